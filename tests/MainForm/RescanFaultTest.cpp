// The log rescan with a query that fails at each of its operations in turn:
// whatever fails, the action comes back, the error box holds the failure, the
// tally holds the rows scored before it and nothing else, and the next rescan
// gives what a rescan without the fault gives.
#include "support/FaultPlan.h"
#include "support/LogFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace brevlund {
namespace {

using test::LogRow;
using test::TFaultPlan;
using test::TLogFixture;

// The SQLite query with a fault plan in front of every operation but the
// attach, which belongs to the window's construction.
class TFaultyQuery final : public TLogQuery {
public:
    explicit TFaultyQuery(TFaultPlan& Plan) : Plan(Plan) {}

    void Attach(std::uint32_t Connection) override { Inner.Attach(Connection); }
    void Close() override {
        Step("close");
        Inner.Close();
    }
    void SetStatement(const std::string& Sql) override {
        Step("set statement");
        Inner.SetStatement(Sql);
    }
    void Open() override {
        Step("open");
        Inner.Open();
    }
    bool AtEnd() const override {
        Step("at end");
        return Inner.AtEnd();
    }
    std::string ColumnText(std::string_view Name) override {
        Step("column " + std::string(Name));
        return Inner.ColumnText(Name);
    }
    void Next() override {
        Step("next");
        Inner.Next();
    }

private:
    void Step(const std::string& What) const { Plan.Step<TDatabaseError>(What); }

    TSqliteLogQuery Inner;
    TFaultPlan& Plan; // the test's
};

// In the query's order (by call sign): a new area, an area on another band, and
// a duplicate whose area must count nothing.
const std::vector<LogRow> Rows = {{"OH2B", "7", "SSB", "59 EF", "eu"},
                                  {"SM5A", "14", "CW", "599 ab"},
                                  {"SM5A", "14", "CW", "599 CD"}};

// Everything the tally holds, as text, so that a difference shows in full.
std::string Describe(const TTally& Tally) {
    std::ostringstream Out;
    Out << "worked:";
    for (std::size_t I = 0; I < Tally.WorkedQSOs.Count(); ++I) {
        const TQSO& Q = Tally.WorkedQSOs[I];
        Out << " " << Q.Call << "/" << Q.Band << "/" << Q.Mode;
    }
    Out << "; bands:";
    for (const TStatistic& S : Tally.BandStats)
        Out << " " << S.Band << "=" << S.QSOs << "," << S.Points << "," << S.Multipliers;
    Out << "; keys:";
    for (const std::string& Key : Tally.MultiplierKeys.Texts())
        Out << " " << Key;
    return Out.str();
}

// The tally after scoring the first Count rows, and those only.
std::string TallyOfFirstRows(std::size_t Count) {
    QsoContext Context{};
    TTally Tally(Context);
    Tally.AreaList.SetLines({"AB=AB", "CD=CD", "EF=EF"});
    for (std::size_t I = 0; I < Count; ++I) {
        test::SetQso(Context, Rows[I].Call, Rows[I].Band, Rows[I].Mode, Rows[I].Exchange);
        Tally.ScoreQSO(true);
    }
    return Describe(Tally);
}

struct TRescanRun {
    TLogFixture F;
    TFaultPlan Plan;

    TRescanRun() {
        F.CreateTable();
        F.Insert(Rows);
        F.Host.DigiBand.Store("28");
        F.Platform.QueryFactory = [this] { return std::make_unique<TFaultyQuery>(Plan); };
    }
    void ClickRecalc() {
        F.Window().ClickRecalcStatistic();
        F.Platform.ProcessMessages();
    }
};

TEST(RescanFaults, EveryOperationOfARescanFailsInTurn) {
    // A run without the fault: what every run must come back to.
    TRescanRun Clean;
    TfmMainForm& CleanForm = Clean.F.Run();
    ASSERT_TRUE(Clean.F.Platform.ErrorBoxes.empty());
    const int Operations = Clean.Plan.Operations();
    const std::string CleanSummary = Clean.F.Window().Text();
    const std::string CleanTally = Describe(CleanForm.Scores());
    ASSERT_EQ(CleanTally, TallyOfFirstRows(Rows.size()));
    // Close, statement, open; per row the end test, seven columns and next; the
    // last end test; close.
    ASSERT_EQ(Operations, 3 + 9 * static_cast<int>(Rows.size()) + 2);

    for (const bool FirstShowing : {true, false}) {
        for (int N = 1; N <= Operations; ++N) {
            TRescanRun R;
            if (FirstShowing) R.Plan.Arm(N);
            TfmMainForm& Form = R.F.Run();
            if (!FirstShowing) {
                ASSERT_TRUE(R.F.Platform.ErrorBoxes.empty());
                R.Plan.Arm(N);
                R.ClickRecalc();
            }
            const std::string Failure = R.Plan.FailureText();
            SCOPED_TRACE((FirstShowing ? "first showing, " : "button, ") + Failure);
            ASSERT_FALSE(Failure.empty());

            EXPECT_TRUE(Form.RecalcEnabled());
            EXPECT_TRUE(R.F.Window().RecalcButtonEnabled);
            EXPECT_EQ(R.F.Platform.ErrorBoxes, std::vector<std::string>{Failure + "."});
            EXPECT_EQ(R.F.Window().Text(), "") << "no summary after a failed rescan";
            // A row is scored once its last column has been read.
            const auto& Done = R.Plan.Succeeded();
            const auto Scored =
                static_cast<std::size_t>(std::count(Done.begin(), Done.end(), "column Continent"));
            EXPECT_EQ(Describe(Form.Scores()), TallyOfFirstRows(Scored));

            R.Plan.Arm(0);
            R.ClickRecalc();
            EXPECT_EQ(R.F.Platform.ErrorBoxes.size(), 1u);
            EXPECT_EQ(R.F.Window().Text(), CleanSummary);
            EXPECT_EQ(Describe(Form.Scores()), CleanTally);
            EXPECT_TRUE(Form.RecalcEnabled());
            EXPECT_EQ(R.Plan.Operations(), Operations) << "the query closed and ran once";
        }
    }
}

} // namespace
} // namespace brevlund
