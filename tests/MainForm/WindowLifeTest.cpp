// How both windows appear, save and go, on the headless platform: placement
// before showing, the logoff query, the end of the process without a release,
// and a release that arrives while an error box is up.
#include "plugin/DoMain.h"

#include "support/LogFixture.h"

#include <gtest/gtest.h>

#include <map>

namespace brevlund {
namespace {

using test::TLogFixture;

class WindowLifeTest : public ::testing::Test {
protected:
    WindowLifeTest() { F.CreateTable(); }
    ~WindowLifeTest() override { DoMain::Unload(); }

    std::map<std::string, std::string> Section(const std::string& Name) {
        std::map<std::string, std::string> Values;
        for (const TFileValue& V : F.Platform.Registry.Values("Software\\Logger\\" + Name))
            Values[V.Name] = V.Data;
        return Values;
    }
    void Plant(const std::string& SectionName, const std::string& Name, const std::string& Text) {
        F.Platform.Registry.PutValue("Software\\Logger\\" + SectionName, {Name, "sz", Text});
    }
    TfmDomList& OpenMultipliers() {
        F.Window().ClickMultipliers();
        F.Platform.ProcessMessages();
        return *fmDomList;
    }
    THeadlessDomListWindow& List() { return *F.Platform.DomListWindows.back(); }

    TLogFixture F;
};

TEST_F(WindowLifeTest, BothWindowsArePlacedBeforeTheyAppear) {
    Plant("TfmMainForm", "NormPos", "100,50,500,300");
    Plant("TfmDomList", "NormPos", "600,40,950,240");
    F.Run();
    EXPECT_TRUE(F.Window().Visible());
    EXPECT_EQ(F.Window().Placed.Left, 100);
    EXPECT_EQ(F.Window().PlacementsWhileVisible, 0) << "no jump after appearing";
    EXPECT_NE(F.Window().Text().find("Score:"), std::string::npos) << "FormShow ran after";

    OpenMultipliers();
    EXPECT_TRUE(List().IsVisible());
    EXPECT_EQ(List().Placed.Left, 600);
    EXPECT_EQ(List().PlacementsWhileVisible, 0);
}

TEST_F(WindowLifeTest, TheLogoffQuerySavesTheMultipliersWindowAndClosesNothing) {
    F.Run();
    TfmDomList& Window = OpenMultipliers();
    List().Placed = {0, 1, -1, -1, -1, -1, 610, 45, 960, 250};
    bool CanClose = false;
    Window.Dispatch([&] { CanClose = Window.QueryEndSession(); });
    EXPECT_TRUE(CanClose);
    const auto Saved = Section("TfmDomList");
    EXPECT_EQ(Saved.size(), 9u);
    EXPECT_EQ(Saved.at("NormPos"), "610,45,960,250");
    EXPECT_EQ(Saved.at("Visible"), "0");
    EXPECT_EQ(fmDomList, &Window) << "the session may still go on";
    EXPECT_EQ(F.Platform.DomListWindows.size(), 1u);
}

TEST_F(WindowLifeTest, TheProcessEndingSavesBothWindowsAndDestroysNothing) {
    DoMain::Run(F.Platform, 0, &F.Host);
    OpenMultipliers().SelectBand(5);
    F.Window().Placed = {0, 1, -1, -1, -1, -1, 100, 50, 500, 300};
    List().Placed = {0, 1, -1, -1, -1, -1, 610, 45, 960, 250};

    DoMain::ProcessEnding();
    const auto Main = Section("TfmMainForm");
    EXPECT_EQ(Main.size(), 10u);
    EXPECT_EQ(Main.at("CurrentBand"), "5") << "the band chosen since the last save";
    EXPECT_EQ(Main.at("NormPos"), "100,50,500,300");
    EXPECT_EQ(Main.at("Visible"), "1") << "as the destruction would have saved";
    EXPECT_EQ(Section("TfmDomList").at("NormPos"), "610,45,960,250");
    EXPECT_NE(fmMainForm, nullptr);
    EXPECT_EQ(F.Platform.MainWindows.size(), 1u);
    EXPECT_EQ(F.Platform.DomListWindows.size(), 1u);
    EXPECT_EQ(F.Platform.Pending(), 0u) << "nothing posted, nothing to wait for";
}

TEST_F(WindowLifeTest, TheProcessEndingShowsNoErrorBox) {
    DoMain::Run(F.Platform, 0, &F.Host);
    F.Platform.Registry.SetReadOnly(true);
    DoMain::ProcessEnding();
    EXPECT_TRUE(F.Platform.ErrorBoxes.empty());
    EXPECT_EQ(F.Platform.MainWindows.size(), 1u);
}

TEST_F(WindowLifeTest, AReleaseDuringTheCloseErrorBoxWaitsForTheMultipliersWindow) {
    DoMain::Run(F.Platform, 0, &F.Host);
    OpenMultipliers();
    F.Platform.Registry.SetReadOnly(true); // the close-time save fails in a box
    std::size_t MainWindowsMeanwhile = 0, DomListsMeanwhile = 0;
    bool BoxSeen = false;
    F.Platform.WhileErrorBoxShows = [&] {
        if (BoxSeen) {
            // Later boxes, of the saves as the windows go, run the queue too:
            // the multipliers window's own release waits there.
            F.Platform.ProcessMessages();
            return;
        }
        BoxSeen = true;
        // The host's own message, dispatched by the box's loop, releases the plug-in.
        DoMain::Release();
        F.Platform.ProcessMessages();
        MainWindowsMeanwhile = F.Platform.MainWindows.size();
        DomListsMeanwhile = F.Platform.DomListWindows.size();
    };
    List().SendClose();
    F.Platform.ProcessMessages();
    ASSERT_TRUE(BoxSeen);
    EXPECT_EQ(MainWindowsMeanwhile, 1u) << "the release waits for the close handler";
    EXPECT_EQ(DomListsMeanwhile, 1u);
    EXPECT_TRUE(F.Platform.MainWindows.empty()) << "and happens once it returned";
    EXPECT_TRUE(F.Platform.DomListWindows.empty());
    EXPECT_EQ(fmMainForm, nullptr);
    EXPECT_EQ(fmDomList, nullptr);
}

TEST_F(WindowLifeTest, ASecondRunBringsAMinimisedWindowBack) {
    DoMain::Run(F.Platform, 0, &F.Host);
    F.Window().SysCommand(0xF060);
    F.Platform.ProcessMessages();
    ASSERT_TRUE(F.Window().Minimised());
    DoMain::Run(F.Platform, 0, &F.Host);
    EXPECT_FALSE(F.Window().Minimised());
    EXPECT_TRUE(F.Window().Visible());
}

} // namespace
} // namespace brevlund
