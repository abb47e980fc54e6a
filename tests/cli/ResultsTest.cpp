// brevlund results over a simulated contest with categories: ranks within each
// category, the check log apart, the flags, every lost QSO in its entrant's
// report with the other side's line, and the checked scores of check-logs.
#include "CheckLogsSim.h"
#include "CliSupport.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace brevlund {
namespace {

using test::Brevlund;
using test::TContestSim;

std::string ReadAll(const std::string& Path) {
    std::ostringstream Text;
    Text << std::ifstream(Path, std::ios::binary).rdbuf();
    return Text.str();
}

// A planted fault: the log of A gets a line that must lose credit; B's line
// of the QSO (when B logged it) is what A's report must point at.
struct TPlanted {
    int A = 0, B = 0;
    std::string ALine, BLine;
};

TEST(Results, SimulatedContestWithCategories) {
    TContestSim Sim(11, 24, 500);
    // Station 0 a check log, 1 a 20 m entry with QSOs on every band, 2 a
    // claimed score that is not its score; the others in three categories.
    const char* const Operator[] = {"SINGLE-OP", "SINGLE-OP", "MULTI-OP"};
    const char* const Power[] = {"HIGH", "LOW", "HIGH"};
    std::map<std::string, std::string> CategoryOf;
    for (int S = 0; S < static_cast<int>(Sim.Stations.size()); ++S) {
        test::TSimStation& Station = Sim.Stations[S];
        const std::string Op = S == 0 ? "CHECKLOG" : Operator[S % 3];
        const std::string Band = S == 1 ? "20M" : "ALL";
        Station.Header = {
            "CATEGORY-OPERATOR: " + Op, "CATEGORY-BAND: " + Band,
            "CATEGORY-MODE: MIXED",     "CATEGORY-POWER: " + std::string(Power[S % 3]),
            "NAME: Op " + Station.Call, "CLUB: Club " + std::to_string(S % 4)};
        if (S == 2) Station.Header.push_back("CLAIMED-SCORE: 1");
        CategoryOf[Station.Call] = Op + " " + Band + " MIXED " + Power[S % 3];
    }
    std::vector<TPlanted> Planted;
    for (std::size_t I = 0; I < Sim.Qsos.size(); ++I) {
        const test::TSimQso& Q = Sim.Qsos[I];
        if (I % 23 == 5) { // A copied the exchange wrongly
            TPlanted P{Q.A, Q.B, Sim.Write(Q.A, Sim.Stations[Q.B].Call, "599 ZZ", Q).Text, ""};
            P.BLine = Sim.Write(Q.B, Sim.Stations[Q.A].Call, Sim.Sent(Q.A, Q), Q).Text;
            Planted.push_back(P);
        } else if (I % 29 == 7) { // not in B's log
            Planted.push_back(
                {Q.A, Q.B, Sim.Write(Q.A, Sim.Stations[Q.B].Call, Sim.Sent(Q.B, Q), Q).Text, ""});
        } else {
            Sim.WriteBoth(Q);
        }
    }
    Sim.Finish();
    test::TTempDir Dir;
    for (int S = 0; S < static_cast<int>(Sim.Stations.size()); ++S)
        Dir.Write(Sim.Stations[S].Call + ".log", Sim.Cabrillo(S));
    Dir.Write("brevlund.dom", "AN=AN\nBO=BO\nCE=CE\nDA=DA\nEL=EL\nFI=FI\nGR=GR\nHA=HA\n");
    const std::string Out = Dir.Path + "/site";

    const test::TRun Checked = Brevlund({"check-logs", Dir.Path, "--json"});
    ASSERT_EQ(Checked.Code, 0) << Checked.Err;
    const test::TRun Site = Brevlund({"results", Dir.Path, "--out", Out});
    ASSERT_EQ(Site.Code, 0) << Site.Err;
    const nlohmann::json Logs = nlohmann::json::parse(Checked.Out)["logs"];
    const nlohmann::json Results = nlohmann::json::parse(ReadAll(Out + "/results.json"));

    // The check log apart and unranked; every other log ranked, with the
    // scores check-logs gives.
    EXPECT_EQ(Results["checklogs"], nlohmann::json::array({Sim.Stations[0].Call}));
    std::map<std::string, nlohmann::json> Entrant;
    for (const auto& E : Results["entrants"])
        Entrant[E["call"]] = E;
    ASSERT_EQ(Entrant.size() + 1, Logs.size());
    for (const auto& L : Logs) {
        if (L["call"] == Sim.Stations[0].Call) continue;
        const nlohmann::json& E = Entrant.at(L["call"]);
        EXPECT_EQ(E["checked"], L["checked"]) << L["call"];
        EXPECT_EQ(E["claimed"], L["claimed"]) << L["call"];
        EXPECT_EQ(E["category"], CategoryOf.at(L["call"]));
    }
    // Ranks within the category: one more than the entrants that scored more.
    for (const auto& [Call, E] : Entrant) {
        int Better = 0;
        for (const auto& [Other, O] : Entrant)
            Better += O["category"] == E["category"] &&
                      O["checked"]["score"].get<long>() > E["checked"]["score"].get<long>();
        EXPECT_EQ(E["rank"], Better + 1) << Call;
        const std::set<std::string> Known = {"claimed-score", "single-band", "out-of-period",
                                             "missing-header"};
        for (const auto& F : E["flags"])
            EXPECT_TRUE(Known.count(F)) << F;
    }
    const auto Flagged = [&](int S, const char* Flag) {
        const auto& F = Entrant.at(Sim.Stations[S].Call)["flags"];
        return std::find(F.begin(), F.end(), Flag) != F.end();
    };
    EXPECT_TRUE(Flagged(1, "single-band"));
    EXPECT_TRUE(Flagged(2, "claimed-score"));
    for (int S = 3; S < static_cast<int>(Sim.Stations.size()); ++S)
        EXPECT_EQ(Entrant.at(Sim.Stations[S].Call)["flags"], nlohmann::json::array())
            << Sim.Stations[S].Call;

    // Every QSO that lost credit is in its entrant's report, the planted ones
    // with the other side's line.
    std::size_t Lost = 0;
    for (const auto& L : Logs) {
        const std::string Report = ReadAll(Out + "/" + L["call"].get<std::string>() + ".txt");
        ASSERT_EQ(ReadAll(Out + "/" + L["call"].get<std::string>() + ".html").empty(), false);
        for (const auto& Q : L["qsos"]) {
            const std::string Status = Q["status"];
            if (Status == "ok" || Status == "unique" || Status == "unverified" || Status == "x-qso")
                continue;
            ++Lost;
            const std::string Said =
                "line " + Q["line"].dump() + ": " + Q["call"].get<std::string>();
            EXPECT_NE(Report.find(Said), std::string::npos) << Said << "\n" << Report;
        }
    }
    EXPECT_GE(Lost, Planted.size());
    for (const TPlanted& P : Planted) {
        const auto Index = [&](int S, const std::string& Text) {
            const auto& Lines = Sim.Logs[S];
            return static_cast<std::size_t>(
                std::find_if(Lines.begin(), Lines.end(),
                             [&](const test::TSimLine& L) { return L.Text == Text; }) -
                Lines.begin());
        };
        const std::string Report = ReadAll(Out + "/" + Sim.Stations[P.A].Call + ".txt");
        std::string Said = "line " + std::to_string(Sim.LineOf(P.A, Index(P.A, P.ALine))) + ": ";
        if (!P.BLine.empty()) Said += Sim.Stations[P.B].Call + " ";
        EXPECT_NE(Report.find(Said), std::string::npos) << Said;
        if (P.BLine.empty()) continue;
        const std::string Other = Sim.Stations[P.B].Call + "'s line " +
                                  std::to_string(Sim.LineOf(P.B, Index(P.B, P.BLine))) + ": ";
        EXPECT_NE(Report.find(Other), std::string::npos) << Other << "\n" << Report;
    }
    // The single-band entry's QSOs on other bands are listed.
    EXPECT_NE(ReadAll(Out + "/" + Sim.Stations[1].Call + ".txt")
                  .find("in a single-band entry (20M) (single-band)\n"),
              std::string::npos);
}

// The site's files: each report named from the call alone, no two alike; a
// log that could not be checked is listed with its reason; the page carries
// no address outside the folder and the log's texts only escaped.
TEST(Results, FileNamesNotCheckedAndEscaping) {
    test::TTempDir Dir;
    const auto Log = [](const std::string& Call, const std::string& Header,
                        const std::string& Worked) {
        return "START-OF-LOG: 3.0\nCALLSIGN: " + Call + "\nCATEGORY-OPERATOR: SINGLE-OP\n" +
               Header + "QSO: 14010 CW 2026-03-07 1200 " + Call + " 599 AN " + Worked +
               " 599 BO\nEND-OF-LOG:\n";
    };
    Dir.Write("a.log", Log("SM5AAA/P",
                           "NAME: <script>alert(\"x\")</script>\nCLUB: 'q' & \"r\"\n"
                           "SOAPBOX: </pre><img src=x onerror=alert(1)>\n",
                           "SM5AAA-P"));
    // Names as loggers write them: UTF-8 without a mark, and Latin-1.
    Dir.Write("b.log", Log("SM5AAA-P", "NAME: Veiko V\xC3\xA4rk\n", "SM5AAA/P"));
    Dir.Write("c.log", Log("INDEX", "NAME: J\xF5geva\n", "SM5AAA/P"));
    Dir.Write("d.log", "START-OF-LOG: 3.0\nCALLSIGN: OH2XX\nEND-OF-LOG:\n");
    const std::string Out = Dir.Path + "/site";
    const test::TRun Run = Brevlund({"results", Dir.Path, "--out", Out, "--title", "Test <b>"});
    EXPECT_EQ(Run.Code, 1) << Run.Err; // d.log has no QSO
    for (const char* File : {"SM5AAA-P.html", "SM5AAA-P-2.html", "INDEX-2.html", "INDEX-2.txt",
                             "index.html", "results.csv", "results.json"})
        EXPECT_TRUE(std::ifstream(Out + "/" + File).good()) << File;
    const std::string Index = ReadAll(Out + "/index.html");
    EXPECT_NE(Index.find("<title>Test &lt;b&gt;</title>"), std::string::npos);
    EXPECT_NE(Index.find("OH2XX: no QSOs found"), std::string::npos) << Index;
    EXPECT_EQ(Index.find("<script>alert"), std::string::npos);
    EXPECT_NE(Index.find("&lt;script&gt;alert(&quot;x&quot;)"), std::string::npos);
    EXPECT_NE(Index.find("&#39;q&#39; &amp; &quot;r&quot;"), std::string::npos);
    const std::string Csv = ReadAll(Out + "/results.csv");
    for (const std::string& Shown : {Index, Csv}) {
        EXPECT_NE(Shown.find("Veiko V\xC3\xA4rk"), std::string::npos) << Shown;
        EXPECT_NE(Shown.find("J\xC3\xB5geva"), std::string::npos) << Shown;
    }
    for (const std::string& Page : {Index, ReadAll(Out + "/SM5AAA-P.html")}) {
        EXPECT_EQ(Page.find("http:"), std::string::npos);
        EXPECT_EQ(Page.find("https:"), std::string::npos);
        EXPECT_EQ(Page.find("<img"), std::string::npos);
    }
    const nlohmann::json Results = nlohmann::json::parse(ReadAll(Out + "/results.json"));
    ASSERT_EQ(Results["not_checked"].size(), 1u);
    EXPECT_EQ(Results["not_checked"][0]["call"], "OH2XX");
    EXPECT_NE(Csv.find("\nOH2XX,"), std::string::npos);
}

// Entrants rank within the category their header gives, every part of it,
// unless the contest's definition names the parts the results rank by.
TEST(Results, CategoriesTheDefinitionRanksBy) {
    test::TTempDir Dir;
    const auto Log = [](const std::string& Call, const std::string& Category,
                        const std::string& Worked, const std::string& Area,
                        const std::string& Received) {
        std::string Text = "START-OF-LOG: 3.0\nCALLSIGN: " + Call + "\n";
        for (const char* Part : {"OPERATOR: SINGLE-OP", "BAND: ALL", "POWER: LOW"})
            Text += "CATEGORY-" + std::string(Part) + "\n";
        return Text + Category + "QSO: 14010 CW 2026-03-07 1200 " + Call + " 599 " + Area + " " +
               Worked + " 599 " + Received + "\nEND-OF-LOG:\n";
    };
    // SM5AAA also works a station that sent no log: a unique, credited.
    Dir.Write("a.log", Log("SM5AAA",
                           "CATEGORY-STATION: FIXED\n"
                           "QSO: 7010 CW 2026-03-07 1210 SM5AAA 599 AN ZZ9ZZZ 599 BO\n",
                           "DL1CCC", "AN", "BO"));
    Dir.Write("b.log", Log("DL1CCC", "", "SM5AAA", "BO", "AN"));
    Dir.Write("brevlund.dom", "AN=AN\nBO=BO\n");
    const std::string Narrow = Dir.Write(
        "c.json", R"({"contest": "X", "sent": [{"name": "rst", "kind": "rst"}, {"name": "area"}],
        "received": [{"name": "rst", "kind": "rst"}, {"name": "area"}],
        "categories": ["OPERATOR", "BAND", "POWER"]})");
    const struct {
        std::vector<std::string> Options;
        std::map<std::string, std::string> RankAndCategory;
    } Cases[] = {
        {{}, {{"SM5AAA", "1 SINGLE-OP ALL LOW FIXED"}, {"DL1CCC", "1 SINGLE-OP ALL LOW"}}},
        {{"--contest", Narrow},
         {{"SM5AAA", "1 SINGLE-OP ALL LOW"}, {"DL1CCC", "2 SINGLE-OP ALL LOW"}}},
    };
    for (const auto& C : Cases) {
        const std::string Out = Dir.Path + "/site" + std::to_string(C.Options.size());
        std::vector<std::string> Args = {"results", Dir.Path + "/a.log", Dir.Path + "/b.log",
                                         "--out", Out};
        Args.insert(Args.end(), C.Options.begin(), C.Options.end());
        ASSERT_EQ(Brevlund(Args).Code, 0);
        std::map<std::string, std::string> Got;
        const nlohmann::json Results = nlohmann::json::parse(ReadAll(Out + "/results.json"));
        for (const auto& E : Results["entrants"])
            Got[E["call"]] = E["rank"].dump() + " " + E["category"].get<std::string>();
        EXPECT_EQ(Got, C.RankAndCategory);
    }
    EXPECT_NE(ReadAll(Dir.Path + "/site2/SM5AAA.txt").find("Declared: SINGLE-OP ALL LOW FIXED\n"),
              std::string::npos);
}

} // namespace
} // namespace brevlund
