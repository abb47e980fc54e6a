// brevlund check-logs: a simulated contest with planted faults of known truth,
// clean logs that must check to their claimed scores, and the command's forms.
#include "CheckLogs.h"
#include "CheckLogsSim.h"
#include "CliSupport.h"
#include "CrossCheck.h"

#include "logformats/Cabrillo.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace brevlund {
namespace {

using cli::TCheckStatus;
using test::Brevlund;
using test::TContestSim;
using test::TSimQso;

const std::vector<std::string> AreaLines = {"AN=AN", "BO=BO", "CE=CE", "DA=DA",
                                            "EL=EL", "FI=FI", "GR=GR", "HA=HA"};

// A call one edit from Call: a character changed, dropped, added, or two
// neighbours swapped, by Kind; far from every other station.
std::string Busted(TContestSim& Sim, int Station, int Kind) {
    const std::string& Call = Sim.Stations[Station].Call;
    for (;;) {
        std::string Wrong = Call;
        const std::size_t At = static_cast<std::size_t>(Sim.Pick(static_cast<int>(Call.size())));
        const char Letter = static_cast<char>('A' + Sim.Pick(26));
        if (Kind == 0)
            Wrong[At] = Letter;
        else if (Kind == 1)
            Wrong.erase(At, 1);
        else if (Kind == 2)
            Wrong.insert(At, 1, Letter);
        else if (At + 1 < Wrong.size())
            std::swap(Wrong[At], Wrong[At + 1]);
        // Still a call (a letter and a digit), or the reader would turn the line away.
        const bool Digit = Wrong.find_first_of("0123456789") != std::string::npos;
        if (Wrong != Call && Digit && Sim.FarFromAll(Wrong, Station)) return Wrong;
    }
}

// A call far from every station's, new each time.
std::string Stranger(TContestSim& Sim, std::set<std::string>& Used) {
    for (;;) {
        std::string Call = "ZZ" + std::to_string(Sim.Pick(10));
        for (int I = 0; I < 3; ++I)
            Call += static_cast<char>('A' + Sim.Pick(26));
        if (Sim.FarFromAll(Call, -1) && Used.insert(Call).second) return Call;
    }
}

enum TPlant {
    BustChanged,
    BustDropped,
    BustAdded,
    BustSwapped,
    BustExchange,
    NotLogged,
    XQso,
    Dupe,
    Unique,
    Kinds
};

TEST(CheckLogsSimulator, FindsEveryPlantedFaultAndKeepsEveryCleanQso) {
    for (unsigned Seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(Seed));
        TContestSim Sim(Seed, 40, 1500, 8);
        Sim.Stations[0].Clock = 10; // station 0 sends a log; its clock is 10 minutes fast
        std::vector<std::size_t> Caused(Sim.Stations.size(), 0);
        std::vector<int> Planted(Kinds, 0);
        std::set<std::string> Strangers;
        for (const TSimQso& Q : Sim.Qsos) {
            const auto& A = Sim.Stations[Q.A];
            const auto& B = Sim.Stations[Q.B];
            const int Kind =
                Planted[Q.Minute % Kinds] < 4 && A.Submits && B.Submits ? Q.Minute % Kinds : Kinds;
            if (Kind < Kinds) ++Planted[Kind];
            if (Kind <= BustSwapped) {
                auto& Line = Sim.Write(Q.A, Busted(Sim, Q.B, Kind), Sim.Sent(Q.B, Q.Phone), Q);
                Line.Expect = "busted-call";
                Line.Correct = B.Call;
                Sim.Write(Q.B, A.Call, Sim.Sent(Q.A, Q.Phone), Q, 1).Expect = "ok";
                ++Caused[Q.B];
            } else if (Kind == BustExchange) {
                const std::string Wrong =
                    std::string(Q.Phone ? "59 " : "599 ") + (B.Area == "GR" ? "HA" : "GR");
                auto& Line = Sim.Write(Q.A, B.Call, Wrong, Q);
                Line.Expect = "busted-exchange";
                Line.Correct = Sim.Sent(Q.B, Q.Phone);
                Sim.Write(Q.B, A.Call, Sim.Sent(Q.A, Q.Phone), Q).Expect = "ok";
            } else if (Kind == NotLogged) {
                Sim.Write(Q.A, B.Call, Sim.Sent(Q.B, Q.Phone), Q).Expect = "nil";
                ++Caused[Q.B];
            } else if (Kind == XQso) {
                Sim.Write(Q.A, B.Call, Sim.Sent(Q.B, Q.Phone), Q, 0, true).Expect = "x-qso";
                Sim.Write(Q.B, A.Call, Sim.Sent(Q.A, Q.Phone), Q, -1).Expect = "ok";
            } else {
                Sim.WriteBoth(Q);
                TSimQso Later = Q;
                Later.Minute += 30;
                if (Kind == Dupe)
                    Sim.Write(Q.A, B.Call, Sim.Sent(Q.B, Q.Phone), Later).Expect = "dupe";
                if (Kind == Unique)
                    Sim.Write(Q.A, Stranger(Sim, Strangers), "599 AN", Later).Expect = "unique";
            }
        }
        ASSERT_EQ(Planted, std::vector<int>(Kinds, 4)) << "too few QSOs";
        Sim.Finish();

        std::vector<cli::TCrossLog> Logs;
        std::map<std::string, int> StationOf;
        for (int S = 0; S < static_cast<int>(Sim.Stations.size()); ++S) {
            StationOf[Sim.Stations[S].Call] = S;
            if (Sim.Stations[S].Submits)
                Logs.push_back(
                    {Sim.Stations[S].Call + ".log", logformats::ReadCabrillo(Sim.Cabrillo(S))});
        }
        TAreaList Areas;
        Areas.SetLines(AreaLines);
        const cli::TCrossResult Result = cli::CrossCheck(Logs, Areas, {});
        ASSERT_EQ(Result.Logs.size(), Logs.size());

        std::map<std::string, int> Found;
        for (const cli::TLogCheck& L : Result.Logs) {
            const int S = StationOf.at(L.Call);
            const auto& Lines = Sim.Logs[S];
            EXPECT_EQ(L.ClockOffset, Sim.Stations[S].Clock) << L.Call;
            EXPECT_EQ(L.ErrorsCaused, Caused[S]) << L.Call;
            EXPECT_LE(L.Checked.Score(), L.Claimed.Score());
            ASSERT_EQ(L.Qsos.size(), Lines.size()) << L.Call;
            for (std::size_t I = 0; I < Lines.size(); ++I) {
                const cli::TCheckedQSO& Q = L.Qsos[I];
                ASSERT_EQ(Q.Qso->Line, TContestSim::LineOf(I));
                const std::string Where = L.Call + ":" + std::to_string(Q.Qso->Line);
                if (Lines[I].Expect == "credited") {
                    EXPECT_TRUE(cli::Credited(Q.Status)) << Where << " " << StatusName(Q.Status);
                    continue;
                }
                EXPECT_EQ(StatusName(Q.Status), Lines[I].Expect) << Where;
                EXPECT_EQ(Q.Correct, Lines[I].Correct) << Where;
                if (Lines[I].Expect != "ok" && StatusName(Q.Status) == Lines[I].Expect)
                    ++Found[Lines[I].Expect];
            }
        }
        const std::map<std::string, int> Expected = {{"busted-call", 16}, {"busted-exchange", 4},
                                                     {"nil", 4},          {"x-qso", 4},
                                                     {"dupe", 4},         {"unique", 4}};
        EXPECT_EQ(Found, Expected);
    }
}

nlohmann::json Parsed(const std::string& Text) {
    return nlohmann::json::parse(Text, nullptr, false);
}

// Logs without a fault check to exactly their claimed scores, and those are
// what brevlund score says of each log.
TEST(CheckLogsSimulator, CleanLogsCheckToTheirClaimedScores) {
    TContestSim Sim(7, 25, 600, 6);
    for (const TSimQso& Q : Sim.Qsos)
        Sim.WriteBoth(Q);
    Sim.Finish();
    test::TTempDir Dir;
    std::string Dom;
    for (const std::string& Line : AreaLines)
        Dom += Line + "\n";
    Dir.Write("brevlund.dom", Dom);
    for (std::size_t S = 0; S < Sim.Stations.size(); ++S)
        if (Sim.Stations[S].Submits)
            Dir.Write(Sim.Stations[S].Call + ".log", Sim.Cabrillo(static_cast<int>(S)));

    const test::TRun Run = Brevlund({"check-logs", Dir.Path, "--json"});
    ASSERT_EQ(Run.Code, 0) << Run.Err;
    const nlohmann::json Json = Parsed(Run.Out);
    ASSERT_FALSE(Json.is_discarded());
    ASSERT_EQ(Json["logs"].size(), 21u); // every sixth station sends no log
    for (const auto& Log : Json["logs"]) {
        SCOPED_TRACE(Log["call"].get<std::string>());
        EXPECT_EQ(Log["checked"], Log["claimed"]);
        EXPECT_EQ(Log["clock_offset_minutes"], 0);
        for (const auto& Q : Log["qsos"])
            EXPECT_TRUE(Q["status"] == "ok" || Q["status"] == "unique") << Q.dump();
        const test::TRun Score = Brevlund({"score", Log["file"], "--json"});
        ASSERT_EQ(Score.Code, 0) << Score.Err;
        const nlohmann::json Scored = Parsed(Score.Out);
        EXPECT_EQ(Scored["total"]["qsos"], Log["claimed"]["qsos"]);
        EXPECT_EQ(Scored["total"]["points"], Log["claimed"]["points"]);
        EXPECT_EQ(Scored["total"]["multipliers"], Log["claimed"]["multipliers"]);
        EXPECT_EQ(Scored["score"], Log["claimed"]["score"]);
    }
}

// Logs as other programs write them (TFileStyle: UTF-16 and UTF-8 with their
// marks, .txt and no extension, calls in small letters, a points column,
// no-break spaces and tabs), in a folder beside files that are no log: every
// log is checked and every verdict is the planted one. A call busted into one
// without a digit is read as the call and found busted.
TEST(CheckLogsSimulator, EveryLogReadWhateverItsFile) {
    TContestSim Sim(11, 30, 700, 6);
    int Planted = 0;
    for (const TSimQso& Q : Sim.Qsos) {
        const auto& A = Sim.Stations[Q.A];
        const auto& B = Sim.Stations[Q.B];
        std::string Wrong = B.Call;
        Wrong[Wrong.find_first_of("0123456789")] = 'G';
        if (Planted < 6 && A.Submits && B.Submits && Sim.FarFromAll(Wrong, Q.B)) {
            auto& Line = Sim.Write(Q.A, Wrong, Sim.Sent(Q.B, Q.Phone), Q);
            Line.Expect = "busted-call";
            Line.Correct = B.Call;
            Sim.Write(Q.B, A.Call, Sim.Sent(Q.A, Q.Phone), Q).Expect = "ok";
            ++Planted;
        } else {
            Sim.WriteBoth(Q);
        }
    }
    ASSERT_EQ(Planted, 6);
    Sim.Finish();
    test::TTempDir Dir;
    std::string Dom;
    for (const std::string& Line : AreaLines)
        Dom += Line + "\n";
    Dir.Write("brevlund.dom", Dom);
    Dir.Write("notes.txt", "Logs received by mail; EA1XX still missing.\n");
    Dir.Write("contest.json", R"({"contest": "BREVLUND-DX"})");
    Dir.Write("results.csv", "call,file\n");
    std::map<std::string, int> StationOf;
    for (int S = 0; S < static_cast<int>(Sim.Stations.size()); ++S)
        if (Sim.Stations[S].Submits) {
            const test::TFileStyle Style = test::StyleFor(S);
            StationOf[Sim.Stations[S].Call] = S;
            Dir.Write(Sim.Stations[S].Call + Style.Extension, Styled(Sim.Cabrillo(S), Style));
        }

    const test::TRun Run = Brevlund({"check-logs", Dir.Path, "--json"});
    ASSERT_EQ(Run.Code, 0) << Run.Err;
    const nlohmann::json Json = nlohmann::json::parse(Run.Out, nullptr, false);
    ASSERT_FALSE(Json.is_discarded());
    ASSERT_EQ(Json["logs"].size(), StationOf.size()) << Run.Err;
    int Busts = 0;
    for (const auto& Log : Json["logs"]) {
        const std::string Call = Log["call"];
        ASSERT_EQ(StationOf.count(Call), 1u) << Log.dump();
        const auto& Lines = Sim.Logs[StationOf[Call]];
        ASSERT_EQ(Log["qsos"].size(), Lines.size()) << Call;
        for (std::size_t I = 0; I < Lines.size(); ++I) {
            const auto& Q = Log["qsos"][I];
            const std::string Status = Q["status"], Where = Call + ":" + Q["line"].dump();
            if (Lines[I].Expect == "credited") {
                EXPECT_TRUE(Status == "ok" || Status == "unique") << Where << " " << Status;
                continue;
            }
            EXPECT_EQ(Status, Lines[I].Expect) << Where;
            EXPECT_EQ(Q.value("correct", ""), Lines[I].Correct) << Where;
            Busts += Status == "busted-call";
        }
    }
    EXPECT_EQ(Busts, 6);
}

const std::string Examples = BREVLUND_EXAMPLES "/checklogs";

// The made-up logs of the README, line by line: status, and what was right.
TEST(CheckLogsCommand, ExampleLogsJson) {
    const test::TRun Run = Brevlund({"check-logs", Examples, "--json"});
    ASSERT_EQ(Run.Code, 0) << Run.Err;
    const nlohmann::json Json = Parsed(Run.Out);
    ASSERT_FALSE(Json.is_discarded());
    std::map<std::string, std::string> Got;
    for (const auto& Log : Json["logs"]) {
        std::string Lines;
        for (const auto& Q : Log["qsos"])
            Lines += std::to_string(Q["line"].get<int>()) + ":" + Q["status"].get<std::string>() +
                     (Q.contains("correct") ? "=" + Q["correct"].get<std::string>() : "") + " ";
        Got[Log["call"]] = Lines + "caused " + Log["errors_caused"].dump() + " checked " +
                           Log["checked"]["score"].dump() + "/" + Log["claimed"]["score"].dump();
    }
    const std::map<std::string, std::string> Expected = {
        {"SM5AAA", "6:ok 7:ok 8:dupe 9:ok 10:ok 11:ok 12:unique caused 1 checked 48/48"},
        {"DL1CCC", "6:ok 7:ok 8:ok 9:busted-call=SM5AAA 10:ok caused 0 checked 24/35"},
        {"OH2BBB", "6:ok 7:ok 8:ok 9:ok 10:nil caused 0 checked 16/25"},
        {"G3DDD", "6:ok 7:ok 8:busted-exchange=59 CE 9:x-qso caused 1 checked 8/15"}};
    EXPECT_EQ(Got, Expected);
    // The names and their order as the interface has them.
    EXPECT_NE(
        Run.Out.find(R"({"line":9,"call":"SM5AA","band":"21","mode":"SSB",)"
                     R"("time":"2026-03-07 1402","status":"busted-call","correct":"SM5AAA"})"),
        std::string::npos);
    const std::string Start =
        R"({"logs":[{"file":")" + Examples + R"(/DL1CCC.log","call":"DL1CCC",)";
    EXPECT_EQ(Run.Out.substr(0, Start.size()), Start);
}

TEST(CheckLogsCommand, ExitCodesMessagesAndOutputs) {
    test::TTempDir Dir;
    const std::string Good = Examples + "/SM5AAA.log";
    const std::string Broken =
        Dir.Write("BROKEN.log", "CALLSIGN: SM5AAA\nQSO: 14010 CW\n"
                                "QSO: 14010 CW 2026-03-07 1200 SM5AAA 599 AN DL1CCC 599 BO\n");
    const std::string Latin1 = Dir.Write(
        "X.log", "CALLSIGN: SM5\xC9\nQSO: 14010 CW 2026-03-07 1200 SM5\xC9 599 AN DL1XYZ 599 BO\n");
    struct Case {
        const char* Name;
        std::vector<std::string> Args;
        int Code;
        std::string Out, Err; // parts of each; empty: anything
    };
    const Case Cases[] = {
        {"no logs", {}, 2, "", "needs logs or a folder"},
        {"bad tolerance", {Examples, "--tolerance", "x"}, 2, "", "whole number"},
        {"negative penalty", {Examples, "--penalty=-1"}, 2, "", "whole number"},
        {"unknown option", {Examples, "--fast"}, 2, "", "unknown option --fast"},
        {"missing log only", {Dir.Path + "/none.log"}, 2, "", "no log could be read"},
        {"missing area list", {Examples, "--areas", Dir.Path + "/none.dom"}, 2, "", "cannot read"},
        {"a missing log beside a good one", {Dir.Path + "/none.log", Good}, 1, "SM5AAA", ""},
        {"no area list beside", {Latin1}, 0, "SM5", "no area list"},
        {"a broken line", {Broken}, 1, "SM5AAA", "BROKEN.log:2: "},
        {"the same call twice", {Good, Broken}, 1, "", Broken + ", modified last, is checked"},
        {"a file named that is no log",
         {Dir.Write("notes.txt", "73\n"), Good},
         1,
         Dir.Path + "/notes.txt  not checked: unknown log format",
         "notes.txt: name it .log"},
        {"the table", {Examples}, 0, "G3DDD             3       5     3", ""},
        {"a penalty", {Examples, "--penalty", "2"}, 0, "Penalty", ""},
        {"Latin-1 in JSON", {Latin1, "--json"}, 0, R"("call":"SM5\u00c9")", ""},
    };
    for (const Case& C : Cases) {
        std::vector<std::string> Args = {"check-logs"};
        Args.insert(Args.end(), C.Args.begin(), C.Args.end());
        const test::TRun Run = Brevlund(Args);
        EXPECT_EQ(Run.Code, C.Code) << C.Name << "\n" << Run.Err;
        EXPECT_NE(Run.Out.find(C.Out), std::string::npos) << C.Name << "\n" << Run.Out;
        EXPECT_NE(Run.Err.find(C.Err), std::string::npos) << C.Name << "\n" << Run.Err;
    }

    // A penalty of 2 QSOs: OH2BBB's NIL on 14 costs 2 of its 4 checked points.
    const test::TRun Penalised = Brevlund({"check-logs", Examples, "--json", "--penalty=2"});
    const nlohmann::json Json = Parsed(Penalised.Out);
    for (const auto& Log : Json["logs"])
        if (Log["call"] == "OH2BBB") {
            EXPECT_EQ(Log["penalty_points"], 2);
            EXPECT_EQ(Log["checked"]["points"], 2);
            EXPECT_EQ(Log["checked"]["score"], 8);
        }

    const std::string Out = Dir.Path + "/out/reports";
    const test::TRun Written = Brevlund({"check-logs", Examples, "--out", Out});
    ASSERT_EQ(Written.Code, 0) << Written.Err;
    const auto Read = [](const std::string& Path) {
        std::ostringstream Text;
        Text << std::ifstream(Path).rdbuf();
        return Text.str();
    };
    EXPECT_NE(Read(Out + "/DL1CCC.txt")
                  .find("line 9: SM5AA 21 SSB 2026-03-07 1402 \"59 AN\": busted call: the log of "
                        "SM5AAA holds this QSO (SM5AAA's line 11)"),
              std::string::npos);
    EXPECT_NE(Read(Out + "/SM5AAA.txt").find("line 12: ZZ9ZZZ 21 SSB"), std::string::npos);
    EXPECT_EQ(Read(Out + "/results.csv").substr(0, 5), "call,");
    EXPECT_NE(Read(Out + "/results.csv").find("\nOH2BBB,"), std::string::npos);

    // An out folder that cannot be made is a failure, not a quiet success.
    Dir.Write("file", "");
    EXPECT_EQ(Brevlund({"check-logs", Examples, "--out", Dir.Path + "/file/x"}).Code, 2);
}

std::string ReadFile(const std::string& Path) {
    std::ostringstream Text;
    Text << std::ifstream(Path, std::ios::binary).rdbuf();
    return Text.str();
}

// Every folder file that looks like a log is checked or has its row saying
// why, in the table, the JSON, results.csv and a report; files that are no log
// are passed over quietly. Of two logs of one call the one modified last is
// checked, whatever their names' order.
TEST(CheckLogsCommand, NotCheckedRowsAndTheNewestLogOfACall) {
    test::TTempDir Dir;
    for (const char* Name : {"SM5AAA.log", "OH2BBB.log", "DL1CCC.log", "G3DDD.log", "brevlund.dom"})
        Dir.Write(Name, ReadFile(Examples + "/" + Name));
    Dir.Write("notes.txt", "Thanks for the contest!\n");
    Dir.Write("rules.json", R"({"contest": "x"})");
    Dir.Write("empty.log", "");
    std::string Wide; // UTF-16 without a byte-order mark
    for (const char C : "START-OF-LOG: 3.0\nCALLSIGN: EA1XX\n")
        if (C) Wide += {C, '\0'};
    Dir.Write("EA1XX.txt", Wide);
    Dir.Write("header.cbr", "START-OF-LOG: 3.0\nCALLSIGN: F5ZZZ\nEND-OF-LOG:\n");
    Dir.Write("nocall.adi", "<CALL:6>SM5AAA<BAND:3>20m<MODE:2>CW<EOR>\n");
    // OH2BBB's log again, older and without its last QSO, named to sort last.
    const std::string Newest = Dir.Path + "/OH2BBB.log";
    std::string Older = ReadFile(Newest);
    Older.erase(Older.rfind("QSO:"), Older.rfind("END") - Older.rfind("QSO:"));
    const std::string Old = Dir.Write("OH2BBB_first.log", Older);
    std::filesystem::last_write_time(Old, std::filesystem::last_write_time(Newest) -
                                              std::chrono::hours(1));

    const std::map<std::string, std::string> Rows = {
        {"EA1XX.txt", "UTF-16 text without a byte-order mark, not read"},
        {"empty.log", "the file is empty: no QSOs to score"},
        {"header.cbr", "F5ZZZ: no QSOs found: not a Cabrillo log?"},
        {"nocall.adi", "no own call (CALLSIGN: in Cabrillo, STATION_CALLSIGN or OPERATOR in "
                       "ADIF): nothing to check there"},
        {"OH2BBB_first.log", "OH2BBB: a newer log of OH2BBB is checked: " + Newest},
    };
    const std::string Out = Dir.Path + "/results";
    const test::TRun Table = Brevlund({"check-logs", Dir.Path, "--out", Out});
    EXPECT_EQ(Table.Code, 1) << Table.Err;
    EXPECT_NE(Table.Err.find("are logs of the same call, OH2BBB: " + Newest +
                             ", modified last, is checked"),
              std::string::npos)
        << Table.Err;
    EXPECT_NE(Table.Out.find("OH2BBB            5       5     5          25      4       4     4   "
                             "       16"),
              std::string::npos)
        << Table.Out;
    for (const char* Quiet : {"notes.txt", "rules.json", "brevlund.dom"}) {
        EXPECT_EQ(Table.Out.find(Quiet), std::string::npos) << Quiet;
        EXPECT_EQ(Table.Err.find(Quiet), std::string::npos) << Quiet;
    }
    // A row a file: CALL-or-FILE  not checked: reason [(FILE)].
    for (const auto& [File, Why] : Rows) {
        const std::size_t Colon = Why.find(": ");
        const bool Called = File == "header.cbr" || File == "OH2BBB_first.log";
        const std::string Row = Called ? Why.substr(0, Colon) + std::string(12 - Colon, ' ') +
                                             "  not checked: " + Why.substr(Colon + 2) + " (" +
                                             Dir.Path + "/" + File + ")\n"
                                       : Dir.Path + "/" + File + "  not checked: " + Why;
        EXPECT_NE(Table.Out.find(Row), std::string::npos) << Row << "\n" << Table.Out;
    }
    const std::string Csv = ReadFile(Out + "/results.csv");
    EXPECT_NE(Csv.find("\nF5ZZZ," + Dir.Path +
                       "/header.cbr,,,,,,,,,,,,,,,,,,not-checked,no QSOs "
                       "found: not a Cabrillo log?\n"),
              std::string::npos)
        << Csv;
    EXPECT_NE(Csv.find(",errors_caused,status,reason\n"), std::string::npos);
    EXPECT_NE(Csv.find(",0,checked,\n"), std::string::npos);
    EXPECT_NE(ReadFile(Out + "/F5ZZZ.txt").find("was not checked.\n\nWhy: no QSOs found"),
              std::string::npos);
    EXPECT_NE(ReadFile(Out + "/EMPTY.txt").find("Why: the file is empty"), std::string::npos);
    EXPECT_NE(ReadFile(Out + "/OH2BBB.txt").find("the checked log of OH2BBB (" + Newest + ")"),
              std::string::npos);

    const test::TRun Json = Brevlund({"check-logs", Dir.Path, "--json"});
    EXPECT_EQ(Json.Code, 1);
    const nlohmann::json Parsed = nlohmann::json::parse(Json.Out, nullptr, false);
    ASSERT_FALSE(Parsed.is_discarded()) << Json.Out;
    std::map<std::string, std::string> Got;
    std::size_t Checked = 0;
    for (const auto& Log : Parsed["logs"]) {
        if (!Log.contains("status")) {
            ++Checked;
            continue;
        }
        EXPECT_EQ(Log["status"], "not-checked");
        const std::string File = Log["file"], Call = Log["call"];
        Got[File.substr(Dir.Path.size() + 1)] =
            (Call.empty() ? "" : Call + ": ") + Log["reason"].get<std::string>();
    }
    EXPECT_EQ(Checked, 4u);
    ASSERT_EQ(Got.size(), Rows.size());
    for (const auto& [File, Why] : Rows)
        EXPECT_EQ(Got[File].substr(0, Why.size()), Why) << File;
}

TEST(CheckLogsCalls, OneEditApart) {
    struct Case {
        const char *A, *B;
        bool Apart;
    };
    const Case Cases[] = {
        {"DL1CCC", "DL1CCD", true},  {"DL1CCC", "DL1CC", true},
        {"DL1CC", "DL1CCC", true},   {"DL1CCC", "DL1CXCC", true},
        {"DL1CCC", "D1LCCC", true},  {"DL1CCC", "DL1CCC", false},
        {"DL1CCC", "DL1CDD", false}, {"DL1CCC", "DL1C", false},
        {"DL1CCC", "L1DCCC", false}, {"", "A", true},
        {"AB", "BA", true},          {"ABC", "CBA", false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(cli::OneEditApart(C.A, C.B), C.Apart) << C.A << " " << C.B;
}

} // namespace
} // namespace brevlund
