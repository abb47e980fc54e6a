// The cross-check of brevlund check-logs over up to six Cabrillo logs. The
// first byte picks the tolerance, the penalty and whether the contest allows
// repeats; the rest, split at NUL bytes, are the logs, each given a call of
// its own, some one edit apart, one the portable form of another.
// Invariants: every QSO and X-QSO line gets exactly one status; only scored
// lines that are no dupe earn credit, counted as the engine counts them; the
// checked score never exceeds the claimed one without a penalty; a busted
// call names a call one edit away, or the same but for a suffix; a QSO is
// unverified only where the other log has unreadable lines, and each is
// counted in that log's problems; another order of the files, or two threads,
// give the same verdicts.
#include "FuzzCheck.h"

#include "CrossCheck.h"
#include "engine/Text.h"
#include "logformats/Cabrillo.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

using namespace brevlund;
using namespace brevlund::cli;

namespace {

const char* const Calls[] = {"SM5A", "SM5B", "SM5AB", "S5MA", "DL1X", "SM5B/P"};
constexpr std::size_t LogCount = sizeof Calls / sizeof Calls[0];

struct TVerdictOf {
    std::size_t Line;
    bool X;
    TCheckStatus Status;
    std::string Correct;
    bool operator==(const TVerdictOf& O) const {
        return Line == O.Line && X == O.X && Status == O.Status && Correct == O.Correct;
    }
};

// Per call: each line's verdict, the clock offset and both totals.
using TVerdicts = std::map<std::string, std::vector<TVerdictOf>>;

TVerdicts VerdictsOf(const TCrossResult& Result, std::vector<std::int64_t>& Totals) {
    TVerdicts All;
    for (const TLogCheck& L : Result.Logs) {
        auto& Lines = All[L.Call];
        for (const TCheckedQSO& Q : L.Qsos)
            Lines.push_back({Q.Qso->Line, Q.X, Q.Status, Q.Correct});
        Totals.insert(Totals.end(), {L.ClockOffset, L.Claimed.Score(), L.Checked.Score(),
                                     L.Checked.QSOs, static_cast<std::int64_t>(L.ErrorsCaused)});
    }
    return All;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0) return 0;
    TCrossOptions Options;
    Options.ToleranceMinutes = Data[0] % 6;
    Options.Penalty = (Data[0] >> 4) % 3;
    TContest Contest = BuiltInContests().front();
    Contest.RepeatAfterMinutes = Data[0] & 8 ? 30 : 0;
    Options.Contest = &Contest;
    const std::string_view Text(reinterpret_cast<const char*>(Data + 1), Size - 1);

    std::vector<TCrossLog> Logs;
    for (std::size_t Start = 0; Start <= Text.size() && Logs.size() < LogCount;) {
        std::size_t End = Text.find('\0', Start);
        if (End == std::string_view::npos) End = Text.size();
        const std::string Log = std::string("CALLSIGN: ") + Calls[Logs.size()] + "\n" +
                                std::string(Text.substr(Start, End - Start));
        Logs.push_back({Calls[Logs.size()], logformats::ReadCabrillo(Log)});
        Start = End + 1;
    }
    TAreaList Areas;
    Areas.SetLines({"AN=AN", "BO=BO", "CE=CE"});

    TCrossResult Result;
    try {
        Result = CrossCheck(Logs, Areas, Options);
    } catch (...) {
        FUZZ_CHECK(!"the cross-check threw");
    }
    FUZZ_CHECK(Result.Logs.size() == Logs.size() && Result.Superseded.empty());
    std::size_t Unverified = 0, UnverifiedCaused = 0;
    for (const TLogCheck& L : Result.Logs) {
        const logformats::TLogRead& Read = Logs[L.Log].Read;
        FUZZ_CHECK(L.Call == Calls[L.Log]);
        FUZZ_CHECK(L.UnreadableLines == Read.Problems.size());
        UnverifiedCaused += L.UnverifiedCaused;
        // One status per line, in line order, the X-QSO lines and only they x-qso.
        FUZZ_CHECK(L.Qsos.size() == Read.QSOs.size() + Read.XQSOs.size());
        std::size_t Credit = 0;
        for (std::size_t I = 0; I < L.Qsos.size(); ++I) {
            const TCheckedQSO& Q = L.Qsos[I];
            FUZZ_CHECK(I == 0 || L.Qsos[I - 1].Qso->Line < Q.Qso->Line);
            FUZZ_CHECK(Q.X == (Q.Status == TCheckStatus::XQso));
            const auto& From = Q.X ? Read.XQSOs : Read.QSOs;
            FUZZ_CHECK(Q.Qso >= From.data() && Q.Qso < From.data() + From.size());
            const std::string Base = BaseCall(Q.Qso->Call);
            switch (Q.Status) {
            case TCheckStatus::BustedCall:
                FUZZ_CHECK(OneEditApart(Base, BaseCall(Q.Correct)) ||
                           (Base == BaseCall(Q.Correct) && UpperAscii(Q.Qso->Call) != Q.Correct));
                FUZZ_CHECK(Q.OtherLog == NoLog || Calls[Q.OtherLog] == Q.Correct);
                break;
            case TCheckStatus::BustedExchange:
                FUZZ_CHECK(!Q.Correct.empty());
                break;
            case TCheckStatus::BustedBand:
            case TCheckStatus::BustedMode:
            case TCheckStatus::BustedTime:
                FUZZ_CHECK(Q.OtherLog != NoLog && !Q.Correct.empty());
                FUZZ_CHECK(Q.Status != TCheckStatus::BustedBand || Q.Correct != Q.Qso->Band);
                break;
            case TCheckStatus::Unverified:
                // Never where the other log was read whole.
                FUZZ_CHECK(Q.OtherLog != NoLog && !Logs[Q.OtherLog].Read.Problems.empty());
                FUZZ_CHECK(BaseCall(Calls[Q.OtherLog]) == Base);
                ++Unverified;
                break;
            case TCheckStatus::Self:
                FUZZ_CHECK(UpperAscii(Q.Qso->Call) == L.Call);
                break;
            default:
                break;
            }
            Credit += Credited(Q.Status);
        }
        // Credited QSOs are the log's own, scored by the same engine, which
        // counts a repeat the contest allows once a band and mode.
        FUZZ_CHECK(L.Checked.QSOs <= static_cast<std::int64_t>(Credit));
        FUZZ_CHECK(L.Checked.QSOs <= L.Claimed.QSOs);
        FUZZ_CHECK(L.Checked.Points <= L.Claimed.Points);
        FUZZ_CHECK(L.Checked.Score() >= 0);
        // Without repeats, no more credit than claimed. (A repeat standing in
        // for a first QSO that failed counts with its own exchange.)
        if (Contest.RepeatAfterMinutes == 0) {
            FUZZ_CHECK(L.Checked.QSOs == static_cast<std::int64_t>(Credit));
            FUZZ_CHECK(L.Checked.Multipliers <= L.Claimed.Multipliers);
            if (Options.Penalty == 0) FUZZ_CHECK(L.Checked.Score() <= L.Claimed.Score());
        }
    }
    FUZZ_CHECK(Unverified == UnverifiedCaused);

    // The same logs in reverse order, and checked on two threads: the same
    // verdicts for every call.
    std::vector<TCrossLog> Reversed(Logs.rbegin(), Logs.rend());
    std::vector<std::int64_t> TotalsA, TotalsB, TotalsC;
    const TVerdicts A = VerdictsOf(Result, TotalsA);
    const TVerdicts B = VerdictsOf(CrossCheck(Reversed, Areas, Options), TotalsB);
    FUZZ_CHECK(A == B);
    FUZZ_CHECK(TotalsA == TotalsB);
    if (Size % 16 == 0) { // now and then: a thread costs more than a small check
        Options.Threads = 2;
        const TVerdicts C = VerdictsOf(CrossCheck(Logs, Areas, Options), TotalsC);
        FUZZ_CHECK(A == C);
        FUZZ_CHECK(TotalsA == TotalsC);
    }
    return 0;
}
