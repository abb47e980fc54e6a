// brevlund check-logs: a simulated contest with planted faults of known truth,
// clean logs that must check to their claimed scores, and the command's forms.
#include "CheckLogs.h"
#include "CheckLogsSim.h"
#include "CliSupport.h"
#include "CrossCheck.h"

#include "Contest.h"
#include "logformats/Cabrillo.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
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

// The call with its digit dropped, as a CW operator misses it; far from
// every other station.
std::string WithoutDigit(TContestSim& Sim, int Station) {
    std::string Call = cli::BaseCall(Sim.Stations[Station].Call);
    Call.erase(Call.find_first_of("0123456789"), 1);
    return Sim.FarFromAll(Call, Station) ? Call : std::string();
}

// What the check of a simulated contest found: per expected status, the
// planted lines that got it; and the clean lines, those that lost credit.
struct TSimOutcome {
    std::map<std::string, int> Found;
    std::size_t Clean = 0, Lost = 0;
    int Unread = 0; // calls without a digit that the reader turned away
};

// A planted fault whose line the reader may turn away: a call without a
// digit. Read, it is a busted call; unread, the partner's QSO is unverified.
struct TMaybeUnread {
    int A, B;
    std::string ALine, BLine;
};

// Every verdict of a check, and each log's scores and counts, as one text.
std::string Summed(const cli::TCrossResult& Result) {
    std::string Text;
    for (const cli::TLogCheck& L : Result.Logs) {
        Text += L.Call + " " + std::to_string(L.Claimed.Score()) + " " +
                std::to_string(L.Checked.Score()) + " " + std::to_string(L.ClockOffset) + " " +
                std::to_string(L.ErrorsCaused) + " " + std::to_string(L.UnverifiedCaused) + ":";
        for (const cli::TCheckedQSO& Q : L.Qsos)
            Text += " " + std::to_string(Q.Qso->Line) + StatusName(Q.Status) + Q.Correct;
        Text += "\n";
    }
    return Text;
}

// Reads every log that sends one, checks them and holds each line to what the
// simulation knows of it, each log's clock, errors caused and unverified QSOs.
TSimOutcome CheckSim(TContestSim& Sim, const cli::TContest& Contest,
                     std::vector<std::size_t>& Caused, std::vector<std::size_t>& LeftUnverified,
                     const std::vector<TMaybeUnread>& Maybe = {}) {
    int Unread = 0;
    std::vector<cli::TCrossLog> Logs;
    std::map<std::string, int> StationOf;
    for (int S = 0; S < static_cast<int>(Sim.Stations.size()); ++S) {
        StationOf[Sim.Stations[S].Call] = S;
        if (Sim.Stations[S].Submits)
            Logs.push_back({Sim.Stations[S].Call + ".log",
                            logformats::ReadCabrillo(Sim.Cabrillo(S), cli::LayoutOf(Contest))});
    }
    const auto LineOf = [&](int S, const std::string& Text) -> test::TSimLine& {
        auto& Lines = Sim.Logs[S];
        return *std::find_if(Lines.begin(), Lines.end(),
                             [&](const test::TSimLine& L) { return L.Text == Text; });
    };
    for (const TMaybeUnread& M : Maybe) {
        const auto& Problems =
            Logs[static_cast<std::size_t>(std::find_if(Logs.begin(), Logs.end(),
                                                       [&](const cli::TCrossLog& L) {
                                                           return L.File ==
                                                                  Sim.Stations[M.A].Call + ".log";
                                                       }) -
                                          Logs.begin())]
                .Read.Problems;
        test::TSimLine& A = LineOf(M.A, M.ALine);
        const std::size_t Line =
            TContestSim::LineOf(static_cast<std::size_t>(&A - &Sim.Logs[M.A][0]));
        if (std::none_of(Problems.begin(), Problems.end(),
                         [&](const logformats::TLogProblem& P) { return P.Line == Line; }))
            continue;
        A.Unreadable = true;
        A.Expect.clear();
        LineOf(M.B, M.BLine).Expect = "unverified";
        --Caused[M.B];
        ++LeftUnverified[M.A];
        ++Unread;
    }
    TAreaList Areas;
    Areas.SetLines(AreaLines);
    cli::TCrossOptions Options;
    Options.Contest = &Contest;
    Options.Threads = 1;
    const cli::TCrossResult Result = cli::CrossCheck(Logs, Areas, Options);
    EXPECT_EQ(Result.Logs.size(), Logs.size());
    // A big contest's logs are shared between two threads: the same verdicts.
    Options.Threads = 2;
    EXPECT_EQ(Summed(cli::CrossCheck(Logs, Areas, Options)), Summed(Result));

    TSimOutcome Outcome;
    Outcome.Unread = Unread;
    std::map<std::size_t, const cli::TLogCheck*> CheckOf; // by input log
    for (const cli::TLogCheck& L : Result.Logs)
        CheckOf[L.Log] = &L;
    for (const cli::TLogCheck& L : Result.Logs) {
        const int S = StationOf.at(L.Call);
        const auto& Lines = Sim.Logs[S];
        EXPECT_EQ(L.ClockOffset, Sim.Stations[S].Clock) << L.Call;
        EXPECT_EQ(L.ErrorsCaused, Caused[S]) << L.Call;
        // Each error caused names a QSO of another log that lost credit so.
        EXPECT_EQ(L.Caused.size(), L.ErrorsCaused) << L.Call;
        for (const cli::TCausedError& C : L.Caused) {
            const auto& Other = CheckOf.at(C.Log)->Qsos;
            const auto Q = std::find_if(Other.begin(), Other.end(), [&](const cli::TCheckedQSO& Q) {
                return Q.Qso->Line == C.Line;
            });
            EXPECT_TRUE(Q != Other.end() && Q->Status == C.Status) << L.Call << " " << C.Line;
            EXPECT_TRUE(cli::Penalised(C.Status));
        }
        EXPECT_EQ(L.UnverifiedCaused, LeftUnverified[S]) << L.Call;
        EXPECT_LE(L.Checked.Score(), L.Claimed.Score());
        std::size_t Q = 0;
        for (std::size_t I = 0; I < Lines.size(); ++I) {
            if (Lines[I].Unreadable) continue;
            if (Q >= L.Qsos.size()) break;
            const cli::TCheckedQSO& Checked = L.Qsos[Q++];
            EXPECT_EQ(Checked.Qso->Line, TContestSim::LineOf(I));
            const std::string Where = L.Call + ":" + std::to_string(Checked.Qso->Line) + " " +
                                      Lines[I].Text + ": " + StatusName(Checked.Status) + " " +
                                      Checked.Correct;
            if (Lines[I].Expect == "credited" || Lines[I].Expect == "ok") {
                ++Outcome.Clean;
                if (!cli::Credited(Checked.Status)) {
                    ++Outcome.Lost;
                    std::printf("a clean QSO lost credit: %s\n", Where.c_str());
                } else if (Lines[I].Expect == "ok") {
                    EXPECT_EQ(StatusName(Checked.Status), std::string("ok")) << Where;
                }
                continue;
            }
            EXPECT_EQ(StatusName(Checked.Status), Lines[I].Expect) << Where;
            EXPECT_EQ(Checked.Correct, Lines[I].Correct) << Where;
            if (StatusName(Checked.Status) == Lines[I].Expect &&
                Checked.Correct == Lines[I].Correct)
                ++Outcome.Found[Lines[I].Expect];
        }
        EXPECT_EQ(Q, L.Qsos.size()) << L.Call;
    }
    return Outcome;
}

// The simulations' seeds; BREVLUND_SIM_SEEDS=N runs seeds 1 to N instead, to
// look further than the tests do.
std::vector<unsigned> Seeds() {
    const char* More = std::getenv("BREVLUND_SIM_SEEDS");
    std::vector<unsigned> All;
    for (unsigned S = 1; S <= (More ? static_cast<unsigned>(std::atoi(More)) : 3u); ++S)
        All.push_back(S);
    return All;
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
    WrongBand,
    WrongMode,
    WrongTime,
    Portable,   // logged without the other's /P
    LostDigit,  // a call without its digit
    Unreadable, // the other's line cannot be read
    NoEvidence, // a call one edit from a log that holds a QSO, but no exchange agrees
    KnownCall,  // a unique one edit from a call many logs hold
    Kinds
};

// What each kind of fault must get where it was planted.
const std::map<std::string, int> FoundPerSeed = {
    {"busted-call", 4 * 4 + 4 + 4 + 4}, // four ways to bust a call, /P, the digit, a known call
    {"busted-exchange", 4},
    {"busted-band", 4},
    {"busted-mode", 4},
    {"busted-time", 4},
    {"nil", 4 + 4}, // not logged, and the other side of a bust without evidence
    {"x-qso", 4},
    {"dupe", 4},
    {"unique", 4 + 4},
    {"unverified", 4},
};

TEST(CheckLogsSimulator, FindsEveryPlantedFaultAndKeepsEveryCleanQso) {
    for (unsigned Seed : Seeds()) {
        SCOPED_TRACE("seed " + std::to_string(Seed));
        TContestSim Sim(Seed, 40, 1500, 8);
        Sim.Stations[0].Clock = 10;  // station 0 sends a log; its clock is 10 minutes fast
        Sim.Stations[2].Clock = 120; // station 2 kept its log in local time, 2 hours ahead
        for (int S : {3, 5})         // portable stations, whose logs say so
            Sim.Stations[S].Call += "/P";
        const int Tolerance = cli::TCrossOptions{}.ToleranceMinutes;
        std::vector<std::size_t> Caused(Sim.Stations.size(), 0), Unverified = Caused;
        std::vector<int> Planted(Kinds, 0);
        std::vector<TMaybeUnread> Maybe;
        std::set<std::string> Strangers;
        std::set<int> NilFor, Unread; // stations with a planted NIL against them, an unread line
        const std::size_t TrueQsos = Sim.Qsos.size();
        for (std::size_t N = 0; N < TrueQsos; ++N) {
            const TSimQso Q = Sim.Qsos[N];
            const auto& A = Sim.Stations[Q.A];
            const auto& B = Sim.Stations[Q.B];
            const bool OnTour = B.Call.find('/') != std::string::npos;
            // Another band or mode for A's line, where A never worked B there.
            TSimQso Other = Q;
            Other.Band = (Q.Band + 1 + Sim.Pick(5)) % 6;
            TSimQso OtherMode = Q;
            OtherMode.Phone = !Q.Phone;
            const auto Free = [&](const TSimQso& O) {
                return !Sim.Used.count(TContestSim::ComboKey(O.A, O.B, O.Band, O.Phone));
            };
            const std::string NoDigit = WithoutDigit(Sim, Q.B);
            int Kind = Kinds;
            for (int Try = 0; Try < Kinds && Kind == Kinds; ++Try) {
                const int K = static_cast<int>((N + static_cast<std::size_t>(Try)) % Kinds);
                const bool Fits =
                    K == KnownCall ? A.Submits && !B.Submits
                    : K == Portable
                        ? A.Submits && B.Submits && OnTour
                        : A.Submits && B.Submits && !OnTour && Q.A != 2 && Q.B != 2 &&
                              (K != WrongBand || Free(Other)) &&
                              (K != WrongMode || Free(OtherMode)) &&
                              (K != LostDigit || !NoDigit.empty()) &&
                              // A NIL is one only where the other log was read whole.
                              ((K != NotLogged && K != Unreadable) || !Unread.count(Q.B)) &&
                              (K != NoEvidence || !Unread.count(Q.A)) &&
                              (K != Unreadable || !NilFor.count(Q.B)) &&
                              (K != LostDigit || !NilFor.count(Q.A));
                if (Planted[K] < 4 && Fits) Kind = K;
            }
            if (Kind == Kinds) {
                Sim.WriteBoth(Q);
                continue;
            }
            ++Planted[Kind];
            if (Kind == NotLogged) NilFor.insert(Q.B);
            if (Kind == NoEvidence) NilFor.insert(Q.A);
            if (Kind == Unreadable) Unread.insert(Q.B);
            if (Kind == LostDigit) Unread.insert(Q.A); // the reader may turn its line away
            const std::string Received = Sim.Sent(Q.B, Q);
            if (Kind <= BustSwapped) {
                auto& Line = Sim.Write(Q.A, Busted(Sim, Q.B, Kind), Received, Q);
                Line.Expect = "busted-call";
                Line.Correct = B.Call;
                Sim.Write(Q.B, A.Call, Sim.Sent(Q.A, Q), Q, 1).Expect = "ok";
                ++Caused[Q.B];
            } else if (Kind == Portable || Kind == LostDigit) {
                auto& Line =
                    Sim.Write(Q.A, Kind == Portable ? cli::BaseCall(B.Call) : NoDigit, Received, Q);
                Line.Expect = "busted-call";
                Line.Correct = B.Call;
                if (Kind == LostDigit) Maybe.push_back({Q.A, Q.B, Line.Text, ""});
                auto& Right = Sim.Write(Q.B, A.Call, Sim.Sent(Q.A, Q), Q);
                Right.Expect = "ok";
                if (Kind == LostDigit) Maybe.back().BLine = Right.Text;
                ++Caused[Q.B];
            } else if (Kind == BustExchange) {
                const std::string Wrong =
                    std::string(Q.Phone ? "59 " : "599 ") + (B.Area == "GR" ? "HA" : "GR");
                auto& Line = Sim.Write(Q.A, B.Call, Wrong, Q);
                Line.Expect = "busted-exchange";
                Line.Correct = Received;
                Sim.Write(Q.B, A.Call, Sim.Sent(Q.A, Q), Q).Expect = "ok";
            } else if (Kind == NotLogged) {
                Sim.Write(Q.A, B.Call, Received, Q).Expect = "nil";
                ++Caused[Q.B];
            } else if (Kind == XQso) {
                Sim.Write(Q.A, B.Call, Received, Q, 0, true).Expect = "x-qso";
                Sim.Write(Q.B, A.Call, Sim.Sent(Q.A, Q), Q, -1).Expect = "ok";
            } else if (Kind == WrongBand || Kind == WrongMode || Kind == WrongTime) {
                // A busy spell right after, on the band and mode it truly was:
                // A's own log shows which side is wrong.
                for (const TSimQso& R : Sim.RunOf(Q.A, Q.Band, Q.Phone, Q.Minute + 1, 3))
                    Sim.WriteBoth(R);
                const int Late = Kind == WrongTime ? Tolerance + 2 + Sim.Pick(8) : 0;
                const TSimQso& Logged = Kind == WrongBand   ? Other
                                        : Kind == WrongMode ? OtherMode
                                                            : Q;
                for (const auto& [One, Two] : {std::pair{Q.A, Q.B}, std::pair{Q.B, Q.A}})
                    Sim.Used.insert(TContestSim::ComboKey(One, Two, Logged.Band, Logged.Phone));
                auto& Line = Sim.Write(Q.A, B.Call, Received, Logged, Late);
                Line.Order = Q.Minute;
                Line.Expect = Kind == WrongBand   ? "busted-band"
                              : Kind == WrongMode ? "busted-mode"
                                                  : "busted-time";
                Line.Correct = Kind == WrongBand   ? TContestSim::Bands[Q.Band]
                               : Kind == WrongMode ? (Q.Phone ? "SSB" : "CW")
                                                   : "";
                if (Kind == WrongTime) {
                    const int Since = 720 + Q.Minute + A.Clock;
                    char Time[32];
                    std::snprintf(Time, sizeof Time, "2026-03-%02d %02d%02d", 7 + Since / 1440,
                                  Since % 1440 / 60, Since % 60);
                    Line.Correct = Time;
                }
                Sim.Write(Q.B, A.Call, Sim.Sent(Q.A, Q), Q).Expect = "ok";
            } else if (Kind == Unreadable) {
                Sim.Write(Q.A, B.Call, Received, Q).Expect = "unverified";
                Sim.WriteUnreadable(Q.B, Q);
                ++Unverified[Q.B];
            } else if (Kind == NoEvidence) {
                // A worked a stranger one edit from B, whose log holds a QSO
                // with A then: neither exchange agrees, so no bust is guessed.
                const std::string Wrong =
                    std::string(Q.Phone ? "59 " : "599 ") + (B.Area == "GR" ? "HA" : "GR");
                auto& Line = Sim.Write(Q.A, Busted(Sim, Q.B, 0), Wrong, Q);
                Line.Expect = "unique";
                const std::string WrongA =
                    std::string(Q.Phone ? "59 " : "599 ") + (A.Area == "EL" ? "FI" : "EL");
                Sim.Write(Q.B, A.Call, WrongA, Q, Tolerance).Expect = "nil";
                ++Caused[Q.A];
            } else if (Kind == KnownCall) {
                // B sent no log, but other logs show it on the band just then.
                for (const TSimQso& R : Sim.RunOf(Q.B, Q.Band, Q.Phone, Q.Minute + 2, 1))
                    Sim.WriteBoth(R);
                auto& Line = Sim.Write(Q.A, Busted(Sim, Q.B, 0), Received, Q);
                Line.Expect = "busted-call";
                Line.Correct = B.Call;
            } else {
                Sim.WriteBoth(Q);
                TSimQso Later = Q;
                Later.Minute += 30;
                if (Kind == Dupe) Sim.Write(Q.A, B.Call, Received, Later).Expect = "dupe";
                if (Kind == Unique)
                    Sim.Write(Q.A, Stranger(Sim, Strangers), "599 AN", Later).Expect = "unique";
            }
        }
        ASSERT_EQ(Planted, std::vector<int>(Kinds, 4)) << "too few QSOs";
        Sim.Finish();

        const TSimOutcome Outcome =
            CheckSim(Sim, cli::BuiltInContests().front(), Caused, Unverified, Maybe);
        std::map<std::string, int> Expected = FoundPerSeed;
        Expected["busted-call"] -= Outcome.Unread;
        Expected["unverified"] += Outcome.Unread;
        EXPECT_EQ(Outcome.Found, Expected);
        // Sponsors judge a checker by this: no entrant loses a QSO made as logged.
        EXPECT_LE(Outcome.Lost * 1000, Outcome.Clean * 2)
            << Outcome.Lost << " of " << Outcome.Clean;
        const auto Sum = [](const std::map<std::string, int>& Counts) {
            return std::accumulate(Counts.begin(), Counts.end(), 0,
                                   [](int Total, const auto& C) { return Total + C.second; });
        };
        std::printf("seed %u: %d faults planted, %d of their %d verdicts found; %zu of %zu clean "
                    "QSOs lost credit\n",
                    Seed, Kinds * 4, Sum(Outcome.Found), Sum(Expected), Outcome.Lost,
                    Outcome.Clean);
    }
}

// A contest of serial numbers that allows a station again after 30 minutes.
cli::TContest SerialsAndRepeats() {
    cli::TContest Contest = cli::LoadContest("rst+serial");
    Contest.RepeatAfterMinutes = 30;
    return Contest;
}

// A fifth of the true QSOs made again on the same band and mode, 32 to 90
// minutes later: after 30 by either clock, as the contest allows.
void AddRepeats(TContestSim& Sim) {
    const std::size_t First = Sim.Qsos.size();
    for (std::size_t I = 0; I < First; ++I) {
        TSimQso Again = Sim.Qsos[I];
        Again.Minute += 32 + Sim.Pick(58);
        if (Sim.Pick(5) == 0 && Again.Minute < TContestSim::ContestMinutes)
            Sim.Qsos.push_back(Again);
    }
}

// Clocks as they go wrong: local time two hours ahead, a half-hour zone
// behind, a few minutes off.
void SetClocks(TContestSim& Sim) {
    Sim.Stations[2].Clock = 120;
    Sim.Stations[4].Clock = -330;
    Sim.Stations[6].Clock = -7;
}

// Repeats hide no clock error: serial numbers pin each QSO to its partner.
TEST(CheckLogsSimulator, RepeatsAllowedWithClocksHoursOff) {
    const cli::TContest Contest = SerialsAndRepeats();
    enum { Early, BustSerial, NotLogged, RepeatKinds };
    for (unsigned Seed : Seeds()) {
        SCOPED_TRACE("seed " + std::to_string(Seed));
        TContestSim Sim(Seed + 100, 30, 1000, 10);
        AddRepeats(Sim);
        SetClocks(Sim);
        Sim.NumberSerials();
        std::vector<std::size_t> Caused(Sim.Stations.size(), 0), Unverified = Caused;
        std::vector<int> Planted(RepeatKinds, 0);
        for (std::size_t N = 0; N < Sim.Qsos.size(); ++N) {
            const TSimQso Q = Sim.Qsos[N];
            const int Kind = static_cast<int>(N % 8);
            if (Kind >= RepeatKinds || Planted[Kind] == 4 || !Sim.Stations[Q.A].Submits ||
                !Sim.Stations[Q.B].Submits) {
                Sim.WriteBoth(Q);
                continue;
            }
            ++Planted[Kind];
            const std::string Received = Sim.Sent(Q.B, Q);
            const std::string& Call = Sim.Stations[Q.B].Call;
            if (Kind == Early) {
                // Logged again ten minutes on: before the contest allows it.
                Sim.WriteBoth(Q);
                TSimQso Again = Q;
                Again.Minute += 10;
                Sim.Write(Q.A, Call, Received, Again).Expect = "dupe";
            } else if (Kind == BustSerial) {
                char Wrong[16];
                std::snprintf(Wrong, sizeof Wrong, "%s %03d", Q.Phone ? "59" : "599",
                              Q.SerialB + 1);
                auto& Line = Sim.Write(Q.A, Call, Wrong, Q);
                Line.Expect = "busted-exchange";
                Line.Correct = Received;
                Sim.Write(Q.B, Sim.Stations[Q.A].Call, Sim.Sent(Q.A, Q), Q).Expect = "ok";
            } else {
                Sim.Write(Q.A, Call, Received, Q).Expect = "nil";
                ++Caused[Q.B];
            }
        }
        ASSERT_EQ(Planted, std::vector<int>(RepeatKinds, 4)) << "too few QSOs";
        Sim.Finish();
        const TSimOutcome Outcome = CheckSim(Sim, Contest, Caused, Unverified);
        const std::map<std::string, int> Expected = {
            {"dupe", 4}, {"busted-exchange", 4}, {"nil", 4}};
        EXPECT_EQ(Outcome.Found, Expected);
        EXPECT_LE(Outcome.Lost * 1000, Outcome.Clean * 2)
            << Outcome.Lost << " of " << Outcome.Clean;
        std::printf("seed %u, repeats: %d faults planted; %zu of %zu clean QSOs lost credit\n",
                    Seed, RepeatKinds * 4, Outcome.Lost, Outcome.Clean);
    }
}

// A clean contest that allows repeats checks to its claimed scores: the
// engine counts a station once a band and mode, claimed and checked alike.
TEST(CheckLogsSimulator, CleanLogsWithRepeatsCheckToTheirClaimedScores) {
    const cli::TContest Contest = SerialsAndRepeats();
    TContestSim Sim(17, 25, 800, 6);
    AddRepeats(Sim);
    SetClocks(Sim);
    Sim.NumberSerials();
    for (const TSimQso& Q : Sim.Qsos)
        Sim.WriteBoth(Q);
    Sim.Finish();
    std::vector<std::size_t> None(Sim.Stations.size(), 0), Also = None;
    const TSimOutcome Outcome = CheckSim(Sim, Contest, None, Also);
    EXPECT_EQ(Outcome.Lost, 0u) << "a clean contest checks to its claimed scores";
    std::vector<cli::TCrossLog> Logs;
    for (int S = 0; S < static_cast<int>(Sim.Stations.size()); ++S)
        if (Sim.Stations[S].Submits)
            Logs.push_back({Sim.Stations[S].Call + ".log",
                            logformats::ReadCabrillo(Sim.Cabrillo(S), cli::LayoutOf(Contest))});
    TAreaList Areas;
    Areas.SetLines(AreaLines);
    cli::TCrossOptions Options;
    Options.Contest = &Contest;
    for (const cli::TLogCheck& L : cli::CrossCheck(Logs, Areas, Options).Logs) {
        EXPECT_EQ(L.Checked.Score(), L.Claimed.Score()) << L.Call;
        EXPECT_EQ(L.Checked.QSOs, L.Claimed.QSOs) << L.Call;
    }
}

// Small contests written by hand, each line's verdict as "status" or
// "status=correct". A log is its call and its QSO lines, each "FREQ MODE TIME
// SENT... CALL RECEIVED..." on 2026-03-07; a line beginning with "!" is written
// as it stands.
struct TLogCase {
    const char* Name;
    const char* Contest; // a built-in name; empty: brevlund-dx
    int RepeatAfter;
    const char* Period; // "HHMM HHMM" on 2026-03-07, or empty
    std::vector<std::pair<std::string, std::vector<std::string>>> Logs;
    std::map<std::string, std::string> Expected; // by call: the verdicts in line order
};

std::string CaseLog(const std::string& Call, const std::vector<std::string>& Lines) {
    std::string Text = "CALLSIGN: " + Call + "\n";
    for (const std::string& Line : Lines) {
        if (Line[0] == '!') {
            Text += Line.substr(1) + "\n";
            continue;
        }
        const std::vector<std::string_view> W = logformats::SplitWords(Line);
        Text += "QSO: " + std::string(W[0]) + " " + std::string(W[1]) + " 2026-03-07 " +
                std::string(W[2]) + " " + Call;
        for (std::size_t I = 3; I < W.size(); ++I)
            Text += " " + std::string(W[I]);
        Text += "\n";
    }
    return Text;
}

TEST(CheckLogsCases, VerdictsOnTheEvidence) {
    // C1AAA and C2BBB witness where A1AA's operator was: on 14 CW.
    const std::vector<std::string> Witnesses = {"14001 CW 1158 599 AN C1AAA 599 BO",
                                                "14002 CW 1201 599 AN C2BBB 599 CE"};
    const auto With = [&](std::vector<std::string> Lines) {
        Lines.insert(Lines.begin(), Witnesses[0]);
        Lines.push_back(Witnesses[1]);
        return Lines;
    };
    const std::pair<std::string, std::vector<std::string>> C1 = {
        "C1AAA", {"14001 CW 1158 599 BO A1AA 599 AN"}};
    const std::pair<std::string, std::vector<std::string>> C2 = {
        "C2BBB", {"14002 CW 1201 599 CE A1AA 599 AN"}};
    const TLogCase Cases[] = {
        {"the exact match at 12:03, not the wrong one at 12:00",
         "rst+serial",
         0,
         "",
         {{"A1AA", {"14000 CW 1203 599 007 B2BB 599 012"}},
          {"B2BB", {"14000 CW 1200 599 011 A1AA 599 003", "14000 CW 1203 599 012 A1AA 599 007"}}},
         {{"A1AA", "ok"}, {"B2BB", "nil dupe"}}},
        {"no busted call without an exchange that agrees",
         "",
         0,
         "",
         {{"A1AA", {"14000 CW 1200 599 AN B2BC 599 DA"}},
          {"B2BB", {"14000 CW 1203 599 CE A1AA 599 HA"}}},
         {{"A1AA", "unique"}, {"B2BB", "nil"}}},
        {"a busted call with one",
         "",
         0,
         "",
         {{"A1AA", {"14000 CW 1200 599 AN B2BC 599 CE"}},
          {"B2BB", {"14000 CW 1201 599 CE A1AA 599 AN"}}},
         {{"A1AA", "busted-call=B2BB"}, {"B2BB", "ok"}}},
        {"a call without its /P",
         "",
         0,
         "",
         {{"A1AA", {"14000 CW 1200 599 AN OH2DDD 599 CE"}},
          {"OH2DDD/P", {"14000 CW 1200 599 CE A1AA 599 AN"}}},
         {{"A1AA", "busted-call=OH2DDD/P"}, {"OH2DDD/P", "ok"}}},
        {"the wrong band pays, not the right one",
         "",
         0,
         "",
         {{"A1AA", With({"7000 CW 1200 599 AN B2BB 599 CE"})},
          {"B2BB", {"14000 CW 1200 599 CE A1AA 599 AN"}},
          C1,
          C2},
         {{"A1AA", "ok busted-band=14 ok"}, {"B2BB", "ok"}, {"C1AAA", "ok"}, {"C2BBB", "ok"}}},
        {"the wrong mode likewise",
         "",
         0,
         "",
         {{"A1AA", With({"14000 PH 1200 599 AN B2BB 599 CE"})},
          {"B2BB", {"14000 CW 1200 599 CE A1AA 599 AN"}},
          C1,
          C2},
         {{"A1AA", "ok busted-mode=CW ok"}, {"B2BB", "ok"}, {"C1AAA", "ok"}, {"C2BBB", "ok"}}},
        {"neither log shows which band is right: both keep it",
         "",
         0,
         "",
         {{"A1AA", {"7000 CW 1200 599 AN B2BB 599 CE"}},
          {"B2BB", {"14000 CW 1200 599 CE A1AA 599 AN"}}},
         {{"A1AA", "ok"}, {"B2BB", "ok"}}},
        {"a time out of step with its log's order",
         "",
         0,
         "",
         {{"A1AA", With({"14000 CW 1209 599 AN B2BB 599 CE"})},
          {"B2BB", {"14000 CW 1200 599 CE A1AA 599 AN"}},
          C1,
          C2},
         {{"A1AA", "ok busted-time=2026-03-07 1200 ok"}, {"B2BB", "ok"}}},
        {"a time beyond the time window is another QSO",
         "",
         0,
         "",
         {{"A1AA", {"14000 CW 1216 599 AN B2BB 599 CE"}},
          {"B2BB", {"14000 CW 1200 599 CE A1AA 599 AN"}}},
         {{"A1AA", "nil"}, {"B2BB", "nil"}}},
        {"an unreadable line around that time",
         "",
         0,
         "",
         {{"A1AA", {"14000 CW 1200 599 AN B2BB 599 CE", "14000 CW 1300 599 AN B2BB 599 CE"}},
          {"B2BB",
           {"7000 CW 1150 599 CE C1AAA 599 BO", "!QSO: 14000 CW 2026-03-07 1159 B2BB",
            "7000 CW 1210 599 CE C2BBB 599 BO"}}},
         {{"A1AA", "unverified dupe"}, {"B2BB", "credited credited"}}},
        {"self and out of the period",
         "",
         0,
         "1200 1259",
         {{"A1AA", {"14000 CW 1200 599 AN A1AA 599 AN", "14000 CW 1300 599 AN B2BB 599 CE"}},
          {"B2BB", {"14000 CW 1300 599 CE A1AA 599 AN"}}},
         {{"A1AA", "self out-of-period"}, {"B2BB", "out-of-period"}}},
        {"a repeat the contest allows, and one too soon",
         "rst+serial",
         30,
         "",
         {{"A1AA",
           {"14000 CW 1200 599 001 B2BB 599 001", "14000 CW 1210 599 002 B2BB 599 001",
            "14000 CW 1230 599 003 B2BB 599 002"}},
          {"B2BB", {"14000 CW 1200 599 001 A1AA 599 001", "14000 CW 1231 599 002 A1AA 599 003"}}},
         {{"A1AA", "ok dupe ok"}, {"B2BB", "ok ok"}}},
    };
    for (const TLogCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        cli::TContest Contest =
            cli::LoadContest(*C.Contest ? C.Contest : cli::BuiltInContests().front().Name);
        Contest.RepeatAfterMinutes = C.RepeatAfter;
        if (*C.Period) {
            const std::string Period = C.Period;
            Contest.Period =
                cli::TContestPeriod{*logformats::MinuteOf("2026-03-07", Period.substr(0, 4)),
                                    *logformats::MinuteOf("2026-03-07", Period.substr(5, 4))};
        }
        std::vector<cli::TCrossLog> Logs;
        for (const auto& [Call, Lines] : C.Logs)
            Logs.push_back({Call + ".log", logformats::ReadCabrillo(CaseLog(Call, Lines),
                                                                    cli::LayoutOf(Contest))});
        cli::TCrossOptions Options;
        Options.Contest = &Contest;
        const cli::TCrossResult Result = cli::CrossCheck(Logs, TAreaList(), Options);
        for (const cli::TLogCheck& L : Result.Logs) {
            const auto It = C.Expected.find(L.Call);
            if (It == C.Expected.end()) continue;
            std::string Got;
            for (const cli::TCheckedQSO& Q : L.Qsos) {
                const bool Credited = It->second.find("credited") != std::string::npos;
                Got += std::string(Got.empty() ? "" : " ") +
                       (Credited && cli::Credited(Q.Status) ? "credited" : StatusName(Q.Status)) +
                       (Q.Correct.empty() ? "" : "=" + Q.Correct);
            }
            EXPECT_EQ(Got, It->second) << L.Call;
        }
    }
}

nlohmann::json Parsed(const std::string& Text) {
    return nlohmann::json::parse(Text, nullptr, false);
}

// Logs without a fault check to exactly their claimed scores, and those are
// what brevlund score says of each log.
TEST(CheckLogsSimulator, CleanLogsCheckToTheirClaimedScores) {
    TContestSim Sim(7, 25, 600, 6);
    Sim.Stations[0].Clock = 120; // kept in local time: corrected, and told
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

    const std::string Out = Dir.Path + "/out";
    const test::TRun Run = Brevlund({"check-logs", Dir.Path, "--json", "--out", Out});
    ASSERT_EQ(Run.Code, 0) << Run.Err;
    const nlohmann::json Json = Parsed(Run.Out);
    ASSERT_FALSE(Json.is_discarded());
    ASSERT_EQ(Json["logs"].size(), 21u); // every sixth station sends no log
    for (const auto& Log : Json["logs"]) {
        SCOPED_TRACE(Log["call"].get<std::string>());
        EXPECT_EQ(Log["checked"], Log["claimed"]);
        EXPECT_EQ(Log["clock_offset_minutes"], Log["call"] == Sim.Stations[0].Call ? 120 : 0);
        EXPECT_EQ(Log["unreadable_lines"], 0);
        EXPECT_EQ(Log["unverified_caused"], 0);
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
    std::ostringstream Report;
    Report << std::ifstream(Out + "/" + Sim.Stations[0].Call + ".txt").rdbuf();
    EXPECT_NE(Report.str().find("Clock: your log's times were 2 hours ahead of the other logs"),
              std::string::npos)
        << Report.str();
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
                     (Q.contains("correct") ? "=" + Q["correct"].get<std::string>() : "") +
                     (Q.value("checkable", true) ? "" : "(no log)") + " ";
        Got[Log["call"]] = Lines + "caused " + Log["errors_caused"].dump() + " checked " +
                           Log["checked"]["score"].dump() + "/" + Log["claimed"]["score"].dump();
    }
    const std::map<std::string, std::string> Expected = {
        {"SM5AAA", "9:ok 10:ok 11:dupe 12:ok 13:ok(no log) 14:ok 15:unique caused 1 checked 48/48"},
        {"DL1CCC", "9:ok 10:ok 11:ok 12:busted-call=SM5AAA 13:ok caused 0 checked 24/35"},
        {"OH2BBB", "9:ok 10:ok 11:ok(no log) 12:ok 13:nil caused 0 checked 16/25"},
        {"G3DDD", "9:ok 10:ok 11:busted-exchange=59 CE 12:x-qso caused 1 checked 8/15"}};
    EXPECT_EQ(Got, Expected);
    // The names and their order as the interface has them.
    EXPECT_NE(
        Run.Out.find(R"({"line":12,"call":"SM5AA","band":"21","mode":"SSB",)"
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
        "X.log", "CALLSIGN: SM5\xC9\nQSO: 14010 CW 2026-03-07 1200 SM5\xC9 599 AN DL1XYZ 599 BO\n"
                 "QSO: 1\"4\\\xC9 CW 2026-03-07 1201 SM5\xC9 599 AN DL1XYZ 599 BO\n");
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
        {"Latin-1 and quotes in a QSO's JSON",
         {Latin1, "--json"},
         0,
         R"("band":"1\"4\\\u00c9","mode":"CW")",
         ""},
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
                  .find("busted-call (1):\n    line 12: SM5AA 21 SSB 2026-03-07 1402 \"59 AN\", "
                        "sent \"59 BO\": the log of SM5AAA holds it; SM5AAA's line 14: "
                        "2026-03-07 1402 21 SSB, sent \"59 AN\"\n"),
              std::string::npos);
    EXPECT_NE(Read(Out + "/SM5AAA.txt").find("line 15: ZZ9ZZZ 21 SSB"), std::string::npos);
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
                       "/header.cbr,,,,,,,,,,,,,,,,,,,,,,,,,,not-checked,no QSOs "
                       "found: not a Cabrillo log?\n"),
              std::string::npos)
        << Csv;
    EXPECT_NE(Csv.find(",unverified_caused,status,reason\n"), std::string::npos);
    EXPECT_NE(Csv.find(",0,checked,\n"), std::string::npos);
    EXPECT_NE(ReadFile(Out + "/F5ZZZ.txt").find("was not checked.\n\nWhy: no QSOs found"),
              std::string::npos);
    EXPECT_NE(ReadFile(Out + "/EMPTY.txt").find("Why: the file is empty"), std::string::npos);
    EXPECT_NE(ReadFile(Out + "/OH2BBB.txt").find("Call: OH2BBB (" + Newest + ")"),
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

// What the entrant's report and the results file say of the new verdicts.
TEST(CheckLogsCommand, ReportsTellWhatTheOtherLogShows) {
    test::TTempDir Dir;
    Dir.Write(
        "A1AA.log",
        CaseLog("A1AA", {"14001 CW 1158 599 AN C1AAA 599 BO", "7000 CW 1200 599 AN B2BB 599 CE",
                         "14002 CW 1201 599 AN C2BBB 599 CE", "21000 CW 1300 599 AN B2BB 599 CE"}));
    Dir.Write("B2BB.log", CaseLog("B2BB", {"14000 CW 1200 599 CE A1AA 599 AN",
                                           "!QSO: 21000 CW 2026-03-07 1300 B2BB"}));
    Dir.Write("C1AAA.log", CaseLog("C1AAA", {"14001 CW 1158 599 BO A1AA 599 AN"}));
    Dir.Write("C2BBB.log", CaseLog("C2BBB", {"14002 CW 1201 599 CE A1AA 599 AN"}));
    const std::string Out = Dir.Path + "/out";
    const test::TRun Run = Brevlund({"check-logs", Dir.Path, "--out", Out});
    ASSERT_EQ(Run.Code, 1) << Run.Err; // B2BB's line 3 could not be read
    const auto Read = [](const std::string& Path) {
        std::ostringstream Text;
        Text << std::ifstream(Path).rdbuf();
        return Text.str();
    };
    const std::string A = Read(Out + "/A1AA.txt"), B = Read(Out + "/B2BB.txt");
    for (const char* Said :
         {"line 3: B2BB 7 CW 2026-03-07 1200 \"599 CE\", sent \"599 AN\": the log of B2BB holds "
          "it on 14; B2BB's line 2: 2026-03-07 1200 14 CW, sent \"599 CE\"",
          "Unverified (credited; the other log could not be read there):\n  line 5: B2BB 21 CW "
          "2026-03-07 1300 \"599 CE\"; B2BB's line 3 could not be read"})
        EXPECT_NE(A.find(Said), std::string::npos) << A;
    EXPECT_NE(B.find("Unreadable lines: 1; QSOs in other logs they left unverified: 1\n"),
              std::string::npos)
        << B;
    const std::string Csv = Read(Out + "/results.csv");
    EXPECT_NE(Csv.find(",busted_band,busted_mode,busted_time,unverified,self,out_of_period,"
                       "unreadable_lines,unverified_caused,status,reason\n"),
              std::string::npos)
        << Csv;
    EXPECT_NE(Csv.find("\nB2BB,"), std::string::npos);
    EXPECT_NE(Run.Out.find(" b-exch b-bmt void unique unver clock\n"), std::string::npos)
        << Run.Out;
}

// The example contest's reports: SM5AAA's dupe cost nothing and is no lost
// credit; the bust of its call in DL1CCC's log is named as an error it caused.
TEST(CheckLogsCommand, ReportsNameErrorsCausedAndKeepDupesApart) {
    test::TTempDir Dir;
    ASSERT_EQ(Brevlund({"check-logs", Examples, "--out", Dir.Path}).Code, 0);
    std::ostringstream Text;
    Text << std::ifstream(Dir.Path + "/SM5AAA.txt").rdbuf();
    const std::string Report = Text.str();
    for (const char* Said :
         {"Errors caused (QSOs in other logs that lost credit through your log):\n  DL1CCC's line "
          "12: SM5AA 21 SSB 2026-03-07 1402 \"59 AN\": busted-call (your line 14)\n",
          "QSOs that lost credit:\n  none\n",
          "Duplicates (they scored nothing, so they cost nothing):\n  line 11: DL1CCC 14 CW "})
        EXPECT_NE(Report.find(Said), std::string::npos) << Report;
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
