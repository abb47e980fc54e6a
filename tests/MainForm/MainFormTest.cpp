// The statistics window's behaviour on the headless platform.
#include "support/LogFixture.h"

#include <gtest/gtest.h>

#include <map>

namespace brevlund {
namespace {

using test::TLogFixture;

TEST(ErrorBoxText, FullStopWhenTheLastCharacterSortsAboveIt) {
    const std::pair<std::string, std::string> Cases[] = {
        {"Field not found", "Field not found."},
        {"Done.", "Done."},
        {"(x)", "(x)"},
        {"code 5", "code 5."},
        {"", ""},
        {"Stop!", "Stop!"},
        {"a/b/", "a/b/."},
        {"x-", "x-"},
        {"caf\xe9", "caf\xe9."},
    };
    for (const auto& [Message, Shown] : Cases)
        EXPECT_EQ(ErrorBoxText(Message), Shown);
}

// A host with an empty log table and the standard area list.
class MainFormTest : public ::testing::Test {
protected:
    MainFormTest() { F.CreateTable(); }

    // The values of a window's section in the store.
    std::map<std::string, std::string> Section(const std::string& Name) {
        std::map<std::string, std::string> Values;
        for (const TFileValue& V : F.Platform.Registry.Values("Software\\Logger\\" + Name))
            Values[V.Name] = V.Data;
        return Values;
    }

    TLogFixture F;
};

TEST_F(MainFormTest, Caption) {
    F.Run();
    EXPECT_EQ(F.Window().Caption(), "SM5X in Brevlund DX Contest");

    TLogFixture Empty;
    Empty.CreateTable();
    Empty.Host.CaptionTitle.Store("");
    Empty.Run();
    EXPECT_EQ(Empty.Window().Caption(), " in Brevlund DX Contest");
}

TEST_F(MainFormTest, CloseCommandMinimisesAndTheWindowKeepsScoring) {
    TfmMainForm& Form = F.Run();
    for (unsigned Command : {0xF060u, 0xF063u}) { // the system may set the low four bits
        F.Window().SysCommand(Command);
        F.Platform.ProcessMessages();
        EXPECT_TRUE(F.Window().Minimised());
        EXPECT_EQ(fmMainForm, &Form);
        F.Window().ShowAndBringToFront();
    }
    EXPECT_FALSE(Form.WMSysCommand(0xF020)) << "minimise takes the ordinary path";
    EXPECT_FALSE(Form.WMSysCommand(0xF030));
    EXPECT_EQ(F.AddQSO("SM5A", "14", "CW", "AB"), 1);
    EXPECT_NE(F.Window().Text().find("Score: 1*1=1"), std::string::npos);
}

TEST_F(MainFormTest, CloseMessageSavesReleasesTheWindowAndClearsTheReference) {
    F.Run();
    F.Window().SendClose();
    F.Platform.ProcessMessages();
    EXPECT_EQ(fmMainForm, nullptr);
    EXPECT_TRUE(F.Platform.MainWindows.empty()) << "released when the loop dispatched it";
    EXPECT_EQ(Section("TfmMainForm").at("Visible"), "0") << "saved at the close query";
}

TEST_F(MainFormTest, SecondShowDoesNotRescan) {
    F.Insert({{"SM5A", "14", "CW"}});
    TfmMainForm& Form = F.Run();
    F.AddQSO("OH2B", "14", "CW");
    const std::string Summary = F.Window().Text();
    Form.Show();
    EXPECT_EQ(F.Window().Text(), Summary);
    EXPECT_EQ(F.Window().BroughtToFront, 2);
}

TEST_F(MainFormTest, TheRescanPumpsTwiceAndGreysTheButtonMeanwhile) {
    // A query that posts a message as it opens: the pause after the open sees it.
    class TPostingQuery final : public TLogQuery {
    public:
        TPostingQuery(std::function<void()> AOnOpen) : OnOpen(std::move(AOnOpen)) {}
        void Attach(std::uint32_t Connection) override { Real.Attach(Connection); }
        void Close() override { Real.Close(); }
        void SetStatement(const std::string& Sql) override { Real.SetStatement(Sql); }
        void Open() override {
            Real.Open();
            OnOpen();
        }
        bool AtEnd() const override { return Real.AtEnd(); }
        std::string ColumnText(std::string_view Name) override { return Real.ColumnText(Name); }
        void Next() override { Real.Next(); }

    private:
        TSqliteLogQuery Real;
        std::function<void()> OnOpen;
    };
    std::vector<bool> EnabledAtPause;
    F.Platform.QueryFactory = [&] {
        return std::make_unique<TPostingQuery>([&] {
            F.Platform.Post([&] { EnabledAtPause.push_back(F.Window().RecalcButtonEnabled); });
        });
    };
    TfmMainForm& Form = F.Run();
    const int Before = F.Platform.Pumps;
    F.Window().ClickRecalcStatistic();
    F.Platform.ProcessMessages();
    EXPECT_EQ(F.Platform.Pumps - Before, 1 + 2);
    EXPECT_EQ(EnabledAtPause, (std::vector<bool>{false, false}));
    EXPECT_TRUE(Form.RecalcEnabled());
    EXPECT_TRUE(F.Window().RecalcButtonEnabled);
}

TEST_F(MainFormTest, ARecalcWaitingInTheQueueRunsACompleteRescanOfItsOwn) {
    F.Insert({{"SM5A", "14", "CW", "AB"}, {"OH2B", "7", "CW", "CD"}});
    TfmMainForm& Form = F.Run();
    const std::string Summary = F.Window().Text();
    F.Window().ClickRecalcStatistic();
    F.Window().ClickRecalcStatistic();
    F.Platform.ProcessMessages();
    EXPECT_EQ(F.Window().Text(), Summary);
    EXPECT_EQ(Form.Scores().WorkedQSOs.Count(), 2u);
    EXPECT_TRUE(F.Platform.ErrorBoxes.empty());
}

TEST_F(MainFormTest, AReleaseDispatchedDuringTheRescanWaitsForIt) {
    F.Insert({{"SM5A", "14", "CW"}});
    TfmMainForm& Form = F.Run();
    F.Window().ClickRecalcStatistic();
    Form.Release(); // queued behind the click: dispatched at the rescan's first pause
    fmMainForm = nullptr;
    F.Platform.ProcessMessages();
    EXPECT_TRUE(F.Platform.MainWindows.empty());
    EXPECT_TRUE(F.Platform.ErrorBoxes.empty());
}

TEST_F(MainFormTest, ActionEnabledAgainAfterAFailedRescan) {
    F.Log.Execute("drop table Log");
    TfmMainForm& Form = F.Run();
    ASSERT_EQ(F.Platform.ErrorBoxes.size(), 1u);
    EXPECT_TRUE(Form.RecalcEnabled());
    F.CreateTable();
    F.Insert({{"SM5A", "14", "CW"}});
    F.Window().ClickRecalcStatistic();
    F.Platform.ProcessMessages();
    EXPECT_EQ(F.Platform.ErrorBoxes.size(), 1u);
    EXPECT_NE(F.Window().Text().find("Score: 1*0=0"), std::string::npos);
}

TEST_F(MainFormTest, ConstructionCopiesTheContextAndReadsTheAreaListOnce) {
    F.Dir.Write("Plugins/brevlund.dom", "AB=AB\n");
    F.Host.CallSign.Store("HOST");
    TfmMainForm& Form = F.Run();
    EXPECT_EQ(ContextCopy().CallSign.Text(), "HOST");
    EXPECT_EQ(Form.Scores().AreaList.Lines(), std::vector<std::string>{"AB=AB"});
    F.Dir.Write("Plugins/brevlund.dom", "CD=CD\n");
    F.Window().ClickRecalcStatistic();
    F.Platform.ProcessMessages();
    EXPECT_EQ(Form.Scores().AreaList.Lines(), std::vector<std::string>{"AB=AB"});
    EXPECT_EQ(Form.GrabNumber(), "");
}

TEST_F(MainFormTest, PlacementAndCurrentBandSurviveARestart) {
    TfmMainForm& Form = F.Run();
    EXPECT_EQ(Form.Storage().ReadStoredValue("CurrentBand"), TVariant("0")) << "first run";
    EXPECT_TRUE(Section("TfmMainForm").empty()) << "the section comes with the first save";
    Form.Storage().WriteStoredValue("CurrentBand", 5);
    F.Window().Placed = {0, 1, -1, -1, -1, -1, 100, 50, 500, 300};
    F.Window().SysCommand(0xF060); // saved minimised
    F.Platform.ProcessMessages();
    Form.Release();
    fmMainForm = nullptr;
    F.Platform.ProcessMessages();
    ASSERT_TRUE(F.Platform.MainWindows.empty());

    const auto Saved = Section("TfmMainForm");
    EXPECT_EQ(Saved.size(), 10u);
    EXPECT_EQ(Saved.at("CurrentBand"), "5");
    EXPECT_EQ(Saved.at("Visible"), "1") << "saved while being destroyed";
    EXPECT_EQ(Saved.at("ShowCmd"), "2");
    EXPECT_EQ(Saved.at("NormPos(1280x1024)"), "100,50,500,300");

    TfmMainForm& Again = F.Run();
    EXPECT_EQ(Again.Storage().ReadStoredValue("CurrentBand"), TVariant("5"));
    EXPECT_EQ(F.Window().Placed.Left, 100);
    EXPECT_EQ(F.Window().Placed.Bottom, 300);
    EXPECT_FALSE(F.Window().Minimised()) << "a window saved minimised comes back normal";
}

TEST_F(MainFormTest, AStoreThatCannotBeWrittenShowsAnErrorAndTheWindowGoesOn) {
    F.Platform.Registry.SetReadOnly(true);
    F.Run();
    ASSERT_FALSE(F.Platform.ErrorBoxes.empty());
    EXPECT_EQ(F.Platform.ErrorBoxes[0], "Failed to create key 'Software\\Logger'");
    EXPECT_NE(F.Window().Text().find("Score: 0*0=0"), std::string::npos) << "FormShow still ran";
}

} // namespace
} // namespace brevlund
