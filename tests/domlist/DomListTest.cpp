// The multipliers window's logic on the headless platform.
#include "support/LogFixture.h"

#include <gtest/gtest.h>

#include <map>

namespace brevlund {
namespace {

using test::TLogFixture;
using Look = TItemLook;

TEST(Panel2Resize, ButtonsShareTheBar) {
    const auto Design = TfmDomList::Panel2Resize(327, 18);
    ASSERT_EQ(Design.size(), 9u);
    for (int K = 0; K < 8; ++K)
        EXPECT_EQ(Design[K], (TButtonPlace{36 * K, 0, 36, 17})) << K;
    EXPECT_EQ(Design[8], (TButtonPlace{288, 0, 35, 17}));

    const auto Wide = TfmDomList::Panel2Resize(450, 18);
    EXPECT_EQ(Wide[0], (TButtonPlace{0, 0, 50, 17}));
    EXPECT_EQ(Wide[8], (TButtonPlace{400, 0, 46, 17}));

    EXPECT_TRUE(TfmDomList::Panel2Resize(0, 18).empty());
    EXPECT_TRUE(TfmDomList::Panel2Resize(327, 18, 0).empty());
    EXPECT_EQ(TfmDomList::Panel2Resize(5, 18, 9)[8].Width, 1); // share 0: the last one takes it
}

class DomListTest : public ::testing::Test {
protected:
    explicit DomListTest(std::string_view Areas = "CD=CD\nAB=AB\nab=ab\n=XY\nAB=AB\nEF=EFGHIJ\n"
                                                  "; no area\n")
        : F(Areas) {
        F.CreateTable();
    }

    TfmDomList& Open() {
        F.Window().ClickMultipliers();
        F.Platform.ProcessMessages();
        return *fmDomList;
    }
    THeadlessDomListWindow& List() { return *F.Platform.DomListWindows.back(); }
    TVariant CurrentBand() { return fmMainForm->Storage().ReadStoredValue("CurrentBand"); }

    TLogFixture F;
};

TEST_F(DomListTest, OpensOnceWithItemsInCaptionOrder) {
    F.Run();
    TfmDomList& Window = Open();
    F.Window().ClickMultipliers();
    F.Platform.ProcessMessages();
    EXPECT_EQ(F.Platform.DomListWindows.size(), 1u);
    EXPECT_EQ(fmDomList, &Window);
    // The locale's order: letter case counts only between otherwise equal
    // captions, and then small letters come first.
    EXPECT_EQ(List().Items, (std::vector<std::string>{"ab", "AB", "AB", "CD", "EFGH", "XY"}));
}

TEST_F(DomListTest, FirstOpeningInAFreshStore) {
    F.Run();
    F.AddQSO("SM5A", "14", "CW", "AB");
    F.AddQSO("OH2B", "7", "CW", "CD");
    TfmDomList& Window = Open();
    EXPECT_TRUE(F.Platform.ErrorBoxes.empty());
    EXPECT_EQ(List().Pressed, 4) << "10 as designed";
    EXPECT_EQ(Window.BandLabel(), "");
    // Empty band label: every area counted on any band is marked.
    EXPECT_EQ(List().Looks(), (std::vector<Look>{Look::Black, Look::Marked, Look::Marked,
                                                 Look::Marked, Look::Black, Look::Black}));
}

TEST_F(DomListTest, ClickingABandSelectsMarksAndStoresIt) {
    F.Run();
    F.AddQSO("SM5A", "14", "CW", "AB");
    F.AddQSO("OH2B", "7", "CW", "CD");
    TfmDomList& Window = Open();
    const int Repaints = List().Repaints;
    List().ClickBand(3);
    F.Platform.ProcessMessages();
    EXPECT_EQ(List().Pressed, 3);
    EXPECT_EQ(Window.BandLabel(), "7");
    EXPECT_EQ(List().Repaints, Repaints + 1);
    EXPECT_EQ(CurrentBand(), TVariant(3));
    EXPECT_EQ(List().Looks(), (std::vector<Look>{Look::Black, Look::Black, Look::Black,
                                                 Look::Marked, Look::Black, Look::Black}));
    List().ClickBand(3); // the pressed button again: stays pressed, redraws
    F.Platform.ProcessMessages();
    EXPECT_EQ(List().Pressed, 3);
    EXPECT_EQ(List().Repaints, Repaints + 2);
}

TEST_F(DomListTest, FollowsTheBandOfEveryRecordedQso) {
    F.Run();
    TfmDomList& Window = Open();
    Window.SelectBand(5);
    F.AddQSO("SM5A", "10", "CW");
    EXPECT_EQ(List().Pressed, 4);
    F.AddQSO("SM5B", "144", "CW");
    F.AddQSO("SM5C", "", "CW");
    EXPECT_EQ(List().Pressed, 4) << "no label: no change";
    F.AddQSO("SM5D", " 14", "CW", "AB");
    EXPECT_EQ(List().Pressed, 5);
    EXPECT_EQ(List().Looks()[1], Look::Marked) << "the key keeps the blank and ends in 14";
    EXPECT_EQ(F.AddQSO("SM5D", " 14", "CW", "AB"), -1);
    F.AddQSO("SM5E", "21", "CW");
    EXPECT_EQ(List().Pressed, 7);
    EXPECT_EQ(CurrentBand(), TVariant(7));
}

TEST_F(DomListTest, ARescanLeavesTheBandOfTheLastRecordedRow) {
    F.Insert({{"AA1A", "21", "CW"}, {"BB1B", "7", "CW"}, {"CC1C", "144", "CW"}});
    F.Run();
    Open().SelectBand(1);
    F.Window().ClickRecalcStatistic();
    F.Platform.ProcessMessages();
    EXPECT_EQ(List().Pressed, 3) << "7, in call order the last of the nine bands";
}

TEST_F(DomListTest, BandNumbersWithoutAButtonChangeNothing) {
    F.Run();
    TfmDomList& Window = Open();
    Window.SelectBand(8);
    for (int Number : {0, 10, -1, 42}) {
        Window.SelectBand(Number);
        EXPECT_EQ(List().Pressed, 8) << Number;
        EXPECT_EQ(Window.BandLabel(), "24") << Number;
        EXPECT_EQ(CurrentBand(), TVariant(8)) << Number;
    }
}

TEST_F(DomListTest, AStoredBandThatIsNoNumberShowsAnErrorAndTheWindowOpens) {
    F.Run();
    fmMainForm->Storage().WriteStoredValue("CurrentBand", "x7");
    TfmDomList& Window = Open();
    EXPECT_EQ(F.Platform.ErrorBoxes,
              std::vector<std::string>{"'x7' is not a valid integer value."});
    EXPECT_EQ(List().Pressed, 4);
    EXPECT_EQ(Window.BandLabel(), "");
    EXPECT_TRUE(List().IsVisible());
    List().ClickBand(2);
    F.Platform.ProcessMessages();
    EXPECT_EQ(Window.BandLabel(), "3.5");
}

TEST_F(DomListTest, ReopeningShowsTheBandSelectedLast) {
    F.Run();
    Open().SelectBand(6);
    List().SendClose();
    F.Platform.ProcessMessages();
    EXPECT_EQ(fmDomList, nullptr);
    EXPECT_TRUE(F.Platform.DomListWindows.empty());
    std::map<std::string, std::string> Section;
    for (const TFileValue& V : F.Platform.Registry.Values("Software\\Logger\\TfmDomList"))
        Section[V.Name] = V.Data;
    EXPECT_EQ(Section.size(), 9u) << "placement only, no CurrentBand";
    EXPECT_EQ(Section["Visible"], "0");

    TfmDomList& Again = Open();
    EXPECT_EQ(List().Pressed, 6);
    EXPECT_EQ(Again.BandLabel(), "18");
}

TEST_F(DomListTest, ItGoesWithTheStatisticsWindowAndItsBandSurvivesARestart) {
    F.Run();
    Open().SelectBand(5);
    fmMainForm->Release();
    fmMainForm = nullptr;
    F.Platform.ProcessMessages();
    EXPECT_TRUE(F.Platform.DomListWindows.empty());
    EXPECT_EQ(fmDomList, nullptr);

    F.Run();
    TfmDomList& Window = Open();
    EXPECT_EQ(List().Pressed, 5);
    EXPECT_EQ(Window.BandLabel(), "14");
}

class MarkingTest : public DomListTest {
protected:
    MarkingTest() : DomListTest("AB=AB\nCD=CD\nab=ab\nEF=EFGH\n") {}
};

TEST_F(MarkingTest, ProbeIsASubstringOfAKey) {
    F.Run();
    TfmDomList& Window = Open();
    // Items: ab, AB, CD, EFGH.
    EXPECT_EQ(List().Looks(), std::vector<Look>(4, Look::Plain)) << "no keys: the list's own font";
    F.AddQSO("SM5A", "7", "CW", "AB");
    F.AddQSO("SM5B", "17", "CW", "CD");
    F.AddQSO("SM5C", "7", "CW", "ab"); // counts for AB again: no new key
    Window.SelectBand(3);              // 7
    EXPECT_EQ(List().Looks(),
              (std::vector<Look>{Look::Black, Look::Marked, Look::Marked, Look::Black}))
        << "17|CD| ends with the label 7";
    Window.SelectBand(5); // 14
    EXPECT_EQ(List().Looks(), std::vector<Look>(4, Look::Black));

    fmMainForm->Release(); // the window reference empty: nothing is read
    fmMainForm = nullptr;
    EXPECT_EQ(List().Looks(), std::vector<Look>(4, Look::Plain));
}

} // namespace
} // namespace brevlund
