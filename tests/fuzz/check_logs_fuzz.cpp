// The cross-check of brevlund check-logs over up to five Cabrillo logs. The
// first byte picks the tolerance and the penalty; the rest, split at NUL
// bytes, are the logs, each given a call of its own, some one edit apart.
// Invariants: every QSO and X-QSO line gets exactly one status; only scored
// lines that are no dupe earn credit; the checked score never exceeds the
// claimed one without a penalty; a busted call names a log one edit away;
// another order of the files gives the same verdicts.
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

const char* const Calls[] = {"SM5A", "SM5B", "SM5AB", "S5MA", "DL1X"};

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
    const std::string_view Text(reinterpret_cast<const char*>(Data + 1), Size - 1);

    std::vector<TCrossLog> Logs;
    for (std::size_t Start = 0; Start <= Text.size() && Logs.size() < 5;) {
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
    for (const TLogCheck& L : Result.Logs) {
        const logformats::TLogRead& Read = Logs[L.Log].Read;
        FUZZ_CHECK(L.Call == Calls[L.Log]);
        // One status per line, in line order, the X-QSO lines and only they x-qso.
        FUZZ_CHECK(L.Qsos.size() == Read.QSOs.size() + Read.XQSOs.size());
        std::size_t Credit = 0;
        for (std::size_t I = 0; I < L.Qsos.size(); ++I) {
            const TCheckedQSO& Q = L.Qsos[I];
            FUZZ_CHECK(I == 0 || L.Qsos[I - 1].Qso->Line < Q.Qso->Line);
            FUZZ_CHECK(Q.X == (Q.Status == TCheckStatus::XQso));
            const auto& From = Q.X ? Read.XQSOs : Read.QSOs;
            FUZZ_CHECK(Q.Qso >= From.data() && Q.Qso < From.data() + From.size());
            if (Q.Status == TCheckStatus::BustedCall) {
                FUZZ_CHECK(OneEditApart(UpperAscii(Q.Qso->Call), Q.Correct));
                FUZZ_CHECK(Q.OtherLog != NoLog && Calls[Q.OtherLog] == Q.Correct);
            }
            FUZZ_CHECK((Q.Status == TCheckStatus::BustedExchange) <= !Q.Correct.empty());
            Credit += Credited(Q.Status);
        }
        // Credited QSOs are the log's own, scored by the same engine.
        FUZZ_CHECK(L.Checked.QSOs == static_cast<std::int64_t>(Credit));
        FUZZ_CHECK(L.Checked.QSOs <= L.Claimed.QSOs);
        FUZZ_CHECK(L.Checked.Multipliers <= L.Claimed.Multipliers);
        FUZZ_CHECK(L.Checked.Points <= L.Claimed.Points);
        if (Options.Penalty == 0) FUZZ_CHECK(L.Checked.Score() <= L.Claimed.Score());
        FUZZ_CHECK(L.Checked.Score() >= 0);
    }

    // The same logs in reverse order: the same verdicts for every call.
    std::vector<TCrossLog> Reversed(Logs.rbegin(), Logs.rend());
    std::vector<std::int64_t> TotalsA, TotalsB;
    const TVerdicts A = VerdictsOf(Result, TotalsA);
    const TVerdicts B = VerdictsOf(CrossCheck(Reversed, Areas, Options), TotalsB);
    FUZZ_CHECK(A == B);
    FUZZ_CHECK(TotalsA == TotalsB);
    return 0;
}
