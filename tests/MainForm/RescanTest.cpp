// The log rescan over real SQLite log files, through the statistics window.
#include "support/LogFixture.h"

#include <gtest/gtest.h>

namespace brevlund {
namespace {

using test::LogRow;
using test::TLogFixture;

const std::string EmptySummary = "Band\t  QSOs\tPoints\t   OBL\t\r\nTotal\t     0\t     0\t     0\t"
                                 "\r\n Score: 0*0=0";

TEST(Rescan, Failures) {
    struct Case {
        const char* Name;
        std::function<void(TLogFixture&)> Prepare;
        std::string ErrorBox; // empty: no error
        std::string Summary;
    };
    const Case Cases[] = {
        {"no connection", [](TLogFixture& F) { F.Host.LogConnection = 0; },
         "Missing Connection or ConnectionString.", ""},
        {"table does not exist", [](TLogFixture& F) { F.Host.LogTable.Store("Nope"); },
         "no such table: Nope.", ""},
        {"empty table name leaves two blanks in the statement",
         [](TLogFixture& F) {
             F.CreateTable();
             F.Host.LogTable.Store("");
         },
         "near \"order\": syntax error.", ""},
        {"missing column",
         [](TLogFixture& F) {
             F.CreateTable("QSOReportRecived, DXCCPrefix, MainPrefix, CallSign, DigiBand, "
                           "Continent");
             F.Log.Execute("insert into Log values ('59 AB', 'SM', 'SM', 'SM5A', '14', 'EU')");
         },
         "LogQuery: Field 'QSOMode' not found.", ""},
        {"the first missing column in read order is reported",
         [](TLogFixture& F) {
             F.CreateTable("QSOReportRecived, MainPrefix, CallSign, DigiBand, Continent");
             F.Log.Execute("insert into Log values ('59 AB', 'SM', 'SM5A', '14', 'EU')");
         },
         "LogQuery: Field 'DXCCPrefix' not found.", ""},
        {"empty table without the columns reads no column",
         [](TLogFixture& F) { F.CreateTable("CallSign"); }, "", EmptySummary},
        {"mixed-case column names",
         [](TLogFixture& F) {
             F.CreateTable("qsoreportrecived, DXCCPREFIX, mainPrefix, callsign, DIGIBAND, "
                           "qsomode, continent");
             F.Insert({{"SM5A", "14", "CW", "59 AB"}});
         },
         "",
         "Band\t  QSOs\tPoints\t   OBL\t\r\n  14\t     1\t     1\t     1\t\r\n"
         "Total\t     1\t     1\t     1\t\r\n Score: 1*1=1"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TLogFixture F;
        C.Prepare(F);
        TfmMainForm& Form = F.Run();
        const std::vector<std::string> Expected =
            C.ErrorBox.empty() ? std::vector<std::string>{} : std::vector{C.ErrorBox};
        EXPECT_EQ(F.Platform.ErrorBoxes, Expected);
        EXPECT_EQ(F.Window().Text(), C.Summary);
        EXPECT_TRUE(Form.RecalcEnabled());
        EXPECT_TRUE(F.Window().RecalcButtonEnabled);
        if (!C.ErrorBox.empty()) {
            EXPECT_EQ(Form.Scores().WorkedQSOs.Count(), 0u);
        }
    }
}

TEST(Rescan, RebuildsTheTallyFromTheTable) {
    TLogFixture F;
    F.CreateTable();
    F.Insert({{"SM5A", "14", "CW", "599 ab", "eu"},
              {"SM5A", "14", "CW", "599 CD"}, // a duplicate: its exchange counts nothing
              {"SM5A", "7", "CW", "599 CD"},
              {"OH2B", "10", "SSB", "59 EF"},
              {"DL1C", "14", "SSB", "59 XY", "\xe9u"}});
    F.Host.DigiBand.Store("28");
    TfmMainForm& Form = F.Run();
    ASSERT_TRUE(F.Platform.ErrorBoxes.empty());
    EXPECT_EQ(F.Window().Text(), "Band\t  QSOs\tPoints\t   OBL\t\r\n"
                                 "  14\t     2\t     2\t     1\t\r\n"
                                 "  10\t     1\t     0\t     1\t\r\n"
                                 "   7\t     1\t     2\t     1\t\r\n"
                                 "Total\t     4\t     4\t     3\t\r\n"
                                 " Score: 4*3=12");
    EXPECT_EQ(Form.Scores().WorkedQSOs.Count(), 4u);
    // The band is put back; the other fields keep the last row read (in call order).
    const QsoContext& Context = ContextCopy();
    EXPECT_EQ(Context.DigiBand.Text(), "28");
    EXPECT_EQ(Context.CallSign.Text(), "SM5A");
    EXPECT_EQ(Context.QSOMode.Text(), "CW");
    EXPECT_EQ(Context.Continent.Text(), "EU");
    EXPECT_EQ(Context.DXCCPrefix.Text(), "SM");

    // Pressing "Recalc Statistic" twice gives the same tally.
    const std::string Before = F.Window().Text();
    F.Window().ClickRecalcStatistic();
    F.Platform.ProcessMessages();
    F.Window().ClickRecalcStatistic();
    F.Platform.ProcessMessages();
    EXPECT_EQ(F.Window().Text(), Before);
    EXPECT_EQ(Form.Scores().MultiplierKeys.Count(), 3u);
}

TEST(Rescan, ColumnValuesAsText) {
    TLogFixture F;
    F.CreateTable();
    const std::string LongCall(300, 'K');
    F.Log.Execute("insert into Log values (NULL, NULL, NULL, '" + LongCall +
                  "', NULL, 42, 'Eu\xe9')");
    F.Run();
    ASSERT_TRUE(F.Platform.ErrorBoxes.empty());
    const QsoContext& Context = ContextCopy();
    EXPECT_EQ(Context.CallSign.Text(), LongCall.substr(0, 255));
    EXPECT_EQ(Context.QSOMode.Text(), "42");
    EXPECT_EQ(Context.Continent.Text(), "EU\xe9");
    EXPECT_EQ(Context.QSOReportRecived.Text(), "");
    // A null band is the empty band: recorded, 0 points.
    ASSERT_EQ(fmMainForm->Scores().BandStats.size(), 1u);
    EXPECT_EQ(fmMainForm->Scores().BandStats[0].Band, "");
    EXPECT_EQ(fmMainForm->Scores().BandStats[0].Points, 0);
}

TEST(Rescan, QsosRecordedByTheHostGoUnlessTheTableHoldsThem) {
    TLogFixture F;
    F.CreateTable();
    F.Insert({{"SM5A", "14", "CW", "59 AB"}});
    TfmMainForm& Form = F.Run();
    EXPECT_EQ(F.AddQSO("OH2B", "7", "CW", "59 CD"), 2);
    EXPECT_EQ(F.AddQSO("SM5A", "14", "CW"), -1);
    EXPECT_EQ(Form.Scores().WorkedQSOs.Count(), 2u);
    F.Window().ClickRecalcStatistic();
    F.Platform.ProcessMessages();
    EXPECT_EQ(Form.Scores().WorkedQSOs.Count(), 1u);
    EXPECT_EQ(F.AddQSO("OH2B", "7", "CW", "59 CD"), 2) << "no longer a duplicate";
}

// A database that orders calls without regard to case hands over a, B, B:
// a list kept in arrival order would miss the second B as a duplicate.
TEST(Rescan, DuplicatesFoundWhenTheDatabaseIgnoresCase) {
    TLogFixture F;
    F.CreateTable("QSOReportRecived, DXCCPrefix, MainPrefix, CallSign collate nocase, DigiBand, "
                  "QSOMode, Continent");
    F.Insert({{"B1", "14", "CW", "59 AB"},
              {"a1", "14", "CW", "59 AB"},
              {"B1", "14", "CW", "59 CD"},
              {"c1", "7", "CW"},
              {"C1", "7", "CW"},
              {"c1", "7", "CW"}});
    TfmMainForm& Form = F.Run();
    ASSERT_TRUE(F.Platform.ErrorBoxes.empty());
    EXPECT_EQ(Form.Scores().WorkedQSOs.Count(), 4u);
    ASSERT_EQ(Form.Scores().BandStats.size(), 2u);
    EXPECT_EQ(Form.Scores().BandStats[0].QSOs, 2);
    EXPECT_EQ(Form.Scores().BandStats[0].Multipliers, 1) << "the duplicate's CD must not count";
    EXPECT_EQ(Form.Scores().BandStats[1].QSOs, 2);
}

TEST(Rescan, FailureInsideTheLoopKeepsTheRowsScoredSoFar) {
    // A query whose third row cannot be read.
    class TFailingQuery final : public TLogQuery {
    public:
        void Attach(std::uint32_t) override {}
        void Close() override {}
        void SetStatement(const std::string&) override {}
        void Open() override { Row = 0; }
        bool AtEnd() const override { return Row >= 3; }
        std::string ColumnText(std::string_view Name) override {
            if (Row == 2 && Name == "DigiBand") throw TDatabaseError("disk I/O error");
            if (Name == "CallSign") return "C" + std::to_string(Row);
            if (Name == "DigiBand") return "14";
            return "";
        }
        void Next() override { ++Row; }
        int Row = 0;
    };
    TLogFixture F;
    F.Platform.QueryFactory = [] { return std::make_unique<TFailingQuery>(); };
    F.Host.DigiBand.Store("7");
    TfmMainForm& Form = F.Run();
    EXPECT_EQ(F.Platform.ErrorBoxes, std::vector<std::string>{"disk I/O error."});
    EXPECT_EQ(Form.Scores().WorkedQSOs.Count(), 2u);
    EXPECT_EQ(F.Window().Text(), "") << "no summary after a failed rescan";
    EXPECT_EQ(ContextCopy().CallSign.Text(), "C2") << "read before the failure";
    EXPECT_EQ(ContextCopy().DigiBand.Text(), "14") << "not put back after a failure";
    EXPECT_TRUE(Form.RecalcEnabled());
}

} // namespace
} // namespace brevlund
