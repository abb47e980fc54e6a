// `brevlund report` as the operator calls it: the page's embedded data against
// `score --json`, a hostile log's texts kept inside the data, exit codes and
// messages. What the page draws is checked in a browser (tests/report/).
#include "Report.h"
#include "CliSupport.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace brevlund {
namespace {

using test::Brevlund;
using test::TRun;

const std::string Examples = BREVLUND_EXAMPLES;
const std::string AreaFile = Examples + "/host/Plugins/brevlund.dom";
const std::string Hostile = Examples + "/../tests/report/hostile.log";
const std::string HostileAreas = Examples + "/../tests/report/hostile.dom";

const std::string DataStart = "<script type=\"application/json\" id=\"report-data\">";

std::string ReadFile(const std::string& Path) {
    std::ifstream File(Path, std::ios::binary);
    std::ostringstream Text;
    Text << File.rdbuf();
    return Text.str();
}

// The page split at its data block: before, the block, after.
struct TPage {
    std::string Before, Data, After;
};

TPage Split(const std::string& Page) {
    const std::size_t Start = Page.find(DataStart);
    EXPECT_NE(Start, std::string::npos);
    const std::size_t From = Start + DataStart.size();
    const std::size_t End = Page.find("</script>", From);
    EXPECT_NE(End, std::string::npos);
    return {Page.substr(0, From), Page.substr(From, End - From), Page.substr(End)};
}

cli::TJson DataOf(const std::string& Page) {
    return cli::TJson::parse(Split(Page).Data);
}

class ReportTest : public ::testing::Test {
protected:
    // The page of a log, written to a file as the operator gets it.
    std::string Page(const std::string& Log, const std::string& Areas, int Code = 0) {
        const std::string Output = Dir.Path + "/page.html";
        const TRun Run = Brevlund({"report", Log, "--areas", Areas, "-o", Output});
        EXPECT_EQ(Run.Code, Code) << Run.Err;
        EXPECT_EQ(Run.Out, "report written to " + Output + "\n");
        return ReadFile(Output);
    }
    test::TTempDir Dir;
};

TEST_F(ReportTest, SummaryIsWhatScoreJsonPrints) {
    for (const std::string Log : {"contest.log", "contest.adi", "log.csv"}) {
        SCOPED_TRACE(Log);
        const std::string Path = Examples + "/" + Log;
        const TRun Score = Brevlund({"score", Path, "--areas", AreaFile, "--json"});
        ASSERT_EQ(Score.Code, 0) << Score.Err;
        const cli::TJson Data = DataOf(Page(Path, AreaFile));
        EXPECT_EQ(Data["summary"], cli::TJson::parse(Score.Out));
        EXPECT_EQ(cli::Dump(Data["summary"]) + "\n", Score.Out);
        // The score line as the statistics window's last line.
        const std::string Summary = Brevlund({"score", Path, "--areas", AreaFile}).Out;
        const std::size_t Last = Summary.rfind('\n', Summary.size() - 2);
        EXPECT_EQ(Data["score_line"], Summary.substr(Last + 1, Summary.size() - Last - 2));
        EXPECT_EQ(Data["times"], Log != "log.csv");
    }
}

TEST_F(ReportTest, ExampleLogsHeaderAndLists) {
    const cli::TJson Data = DataOf(Page(Examples + "/contest.log", AreaFile));
    EXPECT_EQ(Data["header"]["call"], "SM0XYZ");
    EXPECT_EQ(Data["header"]["contest"], "BREVLUND-DX");
    EXPECT_EQ(Data["header"]["category"]["CATEGORY-OPERATOR"], "SINGLE-OP");
    EXPECT_EQ(Data["hours"].front(),
              cli::TJson::parse(R"({"hour":"2026-03-07T12:00Z","qsos":{"14":4}})"));
    EXPECT_EQ(Data["hours"][6], cli::TJson::parse(R"({"hour":"2026-03-07T18:00Z","qsos":{}})"));
    EXPECT_EQ(Data["multipliers"].front(),
              cli::TJson::parse(R"({"time":"2026-03-07T12:00Z","band":"14","area":"AN","line":11,
                             "outside":false})"));
    EXPECT_EQ(Data["offtimes"], cli::TJson::parse(R"([
        {"from":"2026-03-07T14:00Z","to":"2026-03-07T15:00Z","minutes":60},
        {"from":"2026-03-07T17:00Z","to":"2026-03-07T22:00Z","minutes":300}])"));
    EXPECT_EQ(Data["ontime"], 300);
    EXPECT_EQ(Data["duplicates"], cli::TJson::parse(R"([{"line":14,"time":"2026-03-07T12:15Z",
        "call":"SM5AAA","band":"14","mode":"CW","duplicate_of":11}])"));
    EXPECT_EQ(Data["grid"]["areas"][0],
              cli::TJson::parse(R"({"area":"AN","first":{"7":"2026-03-07T13:02Z",
                                                         "14":"2026-03-07T12:00Z"}})"));
}

// A log with markup, script and quotes in every text field, and Latin-1 bytes.
TEST_F(ReportTest, HostileLogStaysInsideTheData) {
    const std::string Bad = Page(Hostile, HostileAreas, 1);
    const std::string Good = Page(Examples + "/contest.log", AreaFile);
    const TPage B = Split(Bad), G = Split(Good);
    // Nothing of the log outside the data block, and nothing in the block that
    // could end it or open a comment.
    EXPECT_EQ(B.Before, G.Before);
    EXPECT_EQ(B.After, G.After);
    EXPECT_EQ(B.Data.find_first_of("<>&"), std::string::npos);
    // The texts arrive whole.
    const cli::TJson Data = cli::TJson::parse(B.Data);
    EXPECT_EQ(Data["header"]["contest"],
              "</script><script>document.title='PW'+'NED'</script> & \"quotes\" 'single' &amp;");
    // The station's call as every command takes it: in capitals.
    EXPECT_EQ(Data["header"]["call"], "<IMG/SRC=X/ONERROR=\"DOCUMENT.TITLE='PW'+'NED'\">");
    EXPECT_EQ(Data["duplicates"][0]["band"], "<b>14</b>");
    // A line turned away keeps its text in the message the page shows.
    EXPECT_NE(Data["problems"][2]["message"].get<std::string>().find(
                  "<img/src=x/onerror=document.title='PW'+'NED'>"),
              std::string::npos);
    EXPECT_EQ(Data["problems"].size(), 5u);
    // With the line as the log has it.
    EXPECT_EQ(Data["problems"][4]["text"],
              "QSO: </script><script>document.title='PW'+'NED'</script> & \"'");
    EXPECT_EQ(Data["header"]["name"], "<b onmouseover=\"document.title='PW'+'NED'\">Name</b>");
    EXPECT_EQ(Data["header"]["club"], "</script>&amp;\u00e9");
    EXPECT_EQ(Data["header"]["soapbox"],
              "<script>document.title='PW'+'NED'</script>\nsecond & last line");
    EXPECT_EQ(Data["grid"]["bands"].back(), "<b>14</b>");
    // Latin-1 bytes as their code points.
    EXPECT_EQ(Data["header"]["category"]["CATEGORY-BAND"],
              "ALL\"><svg/onload=document.title='PW'+'NED'> \u00e9&\u00a0");
    EXPECT_NE(B.Data.find("\\u00e9\\u0026\\u00a0"), std::string::npos);
}

TEST_F(ReportTest, Latin1InHeaderTagsAndValues) {
    const std::string Log =
        Dir.Write("latin1.log", "START-OF-LOG: 3.0\nCATEGORY-\xe9: \xe9\n"
                                "QSO: 14000 CW 2026-03-07 1200 ME 599 X SM5A 599 "
                                "AN\nEND-OF-LOG:\n");
    EXPECT_EQ(DataOf(Page(Log, AreaFile))["header"]["category"]["CATEGORY-\u00e9"], "\u00e9");
}

// A band logged in kHz goes by its band; a QSO of a mistyped year, or outside
// the contest's period, is listed and left out of the hours.
TEST_F(ReportTest, KiloHertzBandsAndQsosOutsideTheContest) {
    const std::string Long(300, 'x');
    const std::string Log =
        Dir.Write("far.log", "START-OF-LOG: 3.0\nCALLSIGN: SM5AAA\n"
                             "QSO: 5357 CW 2026-03-07 1200 SM5AAA 599 X DL1A 599 AN\n"
                             "QSO: 14000 CW 2025-03-07 1230 SM5AAA 599 X DL1B 599 AN\n"
                             "QSO: 14000 CW 2026-03-07 1300 SM5AAA 599 X DL1C 599 BO\n"
                             "QSO: " +
                                 Long + "\nEND-OF-LOG:\n");
    const cli::TJson Data = DataOf(Page(Log, AreaFile, 1));
    EXPECT_EQ(Data["band_names"]["5357"], "5 MHz");
    EXPECT_EQ(Data["band_order"], cli::TJson::parse(R"(["5357","14"])"));
    EXPECT_EQ(Data["header"]["contest"], "");
    EXPECT_EQ(Data["contest_name"], "brevlund-dx");
    ASSERT_EQ(Data["outside"].size(), 1u);
    EXPECT_EQ(Data["outside"][0]["line"], 4);
    EXPECT_EQ(Data["hours"].size(), 2u);
    EXPECT_EQ(Data["problems"][0]["text"], "QSO: " + Long.substr(0, 195) + "...");
    // A contest period takes the place of the rule of two days.
    const std::string Contest =
        Dir.Write("far.json", R"({"contest": "FAR", "sent": [{"name": "area", "kind": "text"}],
        "received": [{"name": "area", "kind": "text"}], "compare": [],
        "period": {"start": "2025-03-07 1200", "end": "2025-03-07 1259"}})");
    const TRun Run = Brevlund(
        {"report", Log, "--areas", AreaFile, "--contest", Contest, "-o", Dir.Path + "/far.html"});
    EXPECT_EQ(Run.Code, 1) << Run.Err;
    const cli::TJson Far = DataOf(ReadFile(Dir.Path + "/far.html"));
    EXPECT_EQ(Far["contest_name"], "FAR");
    EXPECT_EQ(Far["outside"].size(), 2u);
    EXPECT_EQ(Far["hours"].size(), 1u);
}

TEST_F(ReportTest, ChartLibraryIsInsideThePage) {
    const std::string Text = Page(Examples + "/contest.log", AreaFile);
    EXPECT_NE(Text.find("Chart.js v3.9.1"), std::string::npos);
    EXPECT_EQ(Text.find("src="), std::string::npos); // nothing loaded from elsewhere
    EXPECT_EQ(Text.find("http://"), std::string::npos);
}

TEST_F(ReportTest, FailuresAndExitCodes) {
    const std::string Log = Dir.Write("log.log", ReadFile(Examples + "/contest.log"));
    const std::string Broken = Dir.Write(
        "broken.log", "START-OF-LOG: 3.0\nQSO: 14000\n"
                      "QSO: 14000 CW 2026-03-07 1200 ME 599 X SM5A 599 AB\nEND-OF-LOG:\n");
    const std::string Areas = Dir.Write("brevlund.dom", "AB=AB\n");
    struct TCase {
        std::vector<std::string> Args;
        int Code;
        std::string Err;
    } const Cases[] = {
        {{}, 2, "report needs a log file"},
        {{Log, "--bogus"}, 2, "unknown option --bogus"},
        {{Log, Log}, 2, "one log at a time"},
        {{Log, "-o"}, 2, "-o needs a file"},
        {{Log, "--areas"}, 2, "--areas needs a file"},
        {{Dir.Write("notes.txt", "73, see you next year\n")}, 2, "unknown log format"},
        {{Dir.Path + "/none.log"}, 2, "cannot read"},
        {{Log, "--areas", Dir.Path + "/none.dom"}, 2, "cannot read"},
        {{Log, "-o", Log}, 2, "would overwrite"},
        {{Log, "-o", Dir.Path + "/./log.log"}, 2, "would overwrite"},
        {{Log, "-o", Areas}, 2, "would overwrite"},
        {{Log, "-o", Dir.Path + "/no/such/folder/x.html"}, 2, "cannot write"},
        {{Broken, "-o", Dir.Path + "/broken.html"}, 1, "broken.log:2: "},
        {{Log}, 0, ""},
    };
    for (const TCase& C : Cases) {
        std::vector<std::string> Args = {"report"};
        Args.insert(Args.end(), C.Args.begin(), C.Args.end());
        const TRun Run = Brevlund(Args);
        SCOPED_TRACE(Run.Err);
        EXPECT_EQ(Run.Code, C.Code);
        EXPECT_NE(Run.Err.find(C.Err), std::string::npos);
    }
    // Nothing overwritten; the pages of the logs that were read are there.
    EXPECT_EQ(ReadFile(Log), ReadFile(Examples + "/contest.log"));
    EXPECT_EQ(ReadFile(Areas), "AB=AB\n");
    EXPECT_EQ(DataOf(ReadFile(Dir.Path + "/broken.html"))["summary"]["score"], 1);
    EXPECT_EQ(DataOf(ReadFile(Dir.Path + "/log.html"))["problems"].size(), 0u);
}

TEST_F(ReportTest, WithoutAnAreaListThePageSaysSo) {
    const std::string Log = Dir.Write("log.log", ReadFile(Examples + "/contest.log"));
    const TRun Run = Brevlund({"report", Log});
    EXPECT_EQ(Run.Code, 0);
    EXPECT_NE(Run.Err.find("no area list at"), std::string::npos);
    const cli::TJson Data = DataOf(ReadFile(Dir.Path + "/log.html"));
    ASSERT_EQ(Data["notes"].size(), 1u);
    EXPECT_EQ(Data["summary"]["total"]["multipliers"], 0);
    EXPECT_TRUE(Data["grid"]["areas"].empty());
}

TEST(ReportPathTest, DefaultPageBesideTheLog) {
    const std::pair<const char*, const char*> Cases[] = {
        {"contest.log", "contest.html"},   {"a/b.c.adi", "a/b.c.html"},
        {"dir.v2/log", "dir.v2/log.html"}, {"log", "log.html"},
        {"/tmp/x.LOG", "/tmp/x.html"},
    };
    for (const auto& [Log, Page] : Cases)
        EXPECT_EQ(cli::DefaultReportPath(Log), Page);
}

} // namespace
} // namespace brevlund
