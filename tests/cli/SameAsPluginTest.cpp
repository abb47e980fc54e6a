// The tool scores with the plug-in's own engine: the same QSOs give the same
// results through `brevlund score` as through _AddQSO, and a log database the
// same summary as the statistics window's rescan.
#include "CliSupport.h"

#include "plugin/DoMain.h"
#include "support/LogFixture.h"

#include <gtest/gtest.h>

#include <regex>

namespace brevlund {
namespace {

using test::Brevlund;
using test::LogRow;
using test::Printed;
using test::TLogFixture;

const char* const Areas = "AB=AB\nab=CD\nCD=CD\nEF=EF \nGH=GH\nIJ=IJ\n";

// Calls, bands and modes whose byte order, case and blanks matter.
const std::vector<LogRow> Qsos = {
    {"SM5A", "14", "CW", "599 AB"},
    {"OH2B", "7", "CW", "599 gh"},
    {"SM5A", "14", "CW", "599 GH"},
    {"sm5a", "14", "CW", "599 GH"},
    {"SM5A", "14", "SSB", "59 CD"},
    {"DL1C", "10", "CW", "599 IJ"},
    {"DL1C", " 14", "CW", "599 EF"},
    {"G3D", "1.8", "CW", "599 IJ"},
    {"A1", "3.5", "CW", "599 AB1"},
    {"Z9", "28", "RTTY", "ij"},
    {"OH2B", "7", "CW", "599 AB"},
    {"F5E", "21", "SSB", " 59  ab \t"},
    {"A1", "3.5", "CW", "599 IJ"},
    {"K1", "1.8:3.5", "CW", "599 GH"},
    {"\xC4"
     "1",
     "24", "CW", "599 GH"},
    {"AA", "14", "CW", "599 GHX"},
};

TEST(SameAsPlugin, AddQsoOneByOne) {
    TLogFixture F(Areas);
    F.CreateTable(); // empty: the first showing's rescan counts nothing
    DoMain::Run(F.Platform, 0, &F.Host);
    std::vector<std::string> PluginResults;
    for (const LogRow& Q : Qsos) {
        QsoContext Record = F.Host;
        test::SetQso(Record, Q.Call, Q.Band, Q.Mode, Q.Exchange);
        const std::int32_t Result = DoMain::AddQSO(&Record);
        PluginResults.push_back(Result < 0 ? "duplicate" : std::to_string(Result));
    }
    const std::string PluginSummary = F.Window().Text();
    DoMain::Unload();

    std::string Csv;
    for (const LogRow& Q : Qsos)
        Csv += Q.Call + ";" + Q.Band + ";" + Q.Mode + ";" + Q.Exchange + "\n";
    const std::string Log = F.Dir.Write("log.csv", Csv);
    const test::TRun Run =
        Brevlund({"score", Log, "--areas", F.Dir.Path + "/Plugins/brevlund.dom", "--qsos"});
    ASSERT_EQ(Run.Code, 0) << Run.Err;

    // One line a QSO, then a blank line, then the summary.
    std::vector<std::string> ToolResults;
    std::istringstream Lines(Run.Out);
    std::string Line;
    const std::regex Verdict(": (duplicate|(\\d+) points?)[^:]*$");
    while (std::getline(Lines, Line) && !Line.empty()) {
        std::smatch M;
        ASSERT_TRUE(std::regex_search(Line, M, Verdict)) << Line;
        ToolResults.push_back(M[2].matched ? M[2].str() : "duplicate");
    }
    EXPECT_EQ(ToolResults, PluginResults);
    EXPECT_EQ(Run.Out.substr(Run.Out.size() - Printed(PluginSummary).size()),
              Printed(PluginSummary));
}

TEST(SameAsPlugin, LogDatabaseAsTheRescan) {
    TLogFixture F(Areas);
    F.CreateTable();
    F.Insert(Qsos);
    F.Run();
    ASSERT_TRUE(F.Platform.ErrorBoxes.empty());
    const std::string PluginSummary = F.Window().Text();

    const test::TRun Run = Brevlund(
        {"score", F.Dir.Path + "/log.db", "--areas", F.Dir.Path + "/Plugins/brevlund.dom"});
    ASSERT_EQ(Run.Code, 0) << Run.Err;
    EXPECT_EQ(Run.Out, Printed(PluginSummary));
}

} // namespace
} // namespace brevlund
