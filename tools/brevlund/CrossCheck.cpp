#include "CrossCheck.h"

#include "ReportData.h"

#include "engine/Scoring.h"
#include "engine/Text.h"

#include <algorithm>
#include <array>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <tuple>
#include <unordered_map>

namespace brevlund::cli {

namespace {

using logformats::TLogQSO;

// Clock errors are looked for up to 15 hours either way: a log kept in local
// time instead of UTC is up to 14 hours off, a minute error may come on top.
constexpr std::int64_t OffsetWindow = 15 * 60;
// A log's offset needs this many of its QSOs pinned by the exchanges to one
// QSO of another log, two thirds of them within OffsetSpread minutes of it.
constexpr std::size_t MatchesForOffset = 10;
constexpr std::int64_t OffsetSpread = 2;
// Rounds of measuring each log against the others' corrected clocks: a log
// whose partners are off too settles once they are corrected.
constexpr int OffsetRounds = 4;
// Times are logged in whole minutes and the two logs of one QSO often differ
// by one: less than this is no evidence of a wrong clock.
constexpr std::int64_t SmallestOffset = 2;
// Partners looked at per QSO: real logs have one or two; this bounds the work
// on a log that repeats one QSO thousands of times.
constexpr std::size_t MaxCandidates = 64;
// Two logs with more QSOs with each other than this tell no offset (the
// pinning looks at every pair of them).
constexpr std::size_t MaxPinnedGroup = 64;
// Longer texts are no calls; they take no part in the search for busted calls.
constexpr std::size_t LongestCall = 20;
// Around a QSO whose band or mode the two logs disagree on, the log's other
// QSOs within this many minutes witness the band and mode it was on.
constexpr std::int64_t WitnessWindow = 10;
// A unique call one edit from a call that sent no log but that this many logs
// hold, one of them on that band and mode within KnownCallWindow minutes, is
// that call copied wrongly.
constexpr std::size_t KnownCallLogs = 5;
constexpr std::int64_t KnownCallWindow = 30;

// From this many QSO lines on, the work done log by log (the engine's scoring
// above all) is shared between two threads where the machine has two cores.
constexpr std::size_t TwoThreadsFrom = 100000;

constexpr std::uint32_t None = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t NoTime = std::numeric_limits<std::int64_t>::max();

// How a pair was matched; the order is the order of preference.
enum TTier : std::uint8_t {
    Exact,     // both calls (or base calls), band, mode, time within the tolerance
    LateTime,  // the same but the time, within the time window, the exchanges agreeing
    OtherBand, // band or mode differ, time within the tolerance, the exchanges agreeing
    OtherCall, // one log's call one edit from the call logged, an exchange agreeing
};

struct TEntry {
    const TLogQSO* Qso;
    std::int64_t Minute;  // as logged; NoTime when the QSO has none
    std::uint32_t Log;    // position among the kept logs
    std::uint32_t Worked; // call id
    // The kept log of the station worked (its call, else its base call), or None.
    std::uint32_t Partner;
    std::uint32_t Line;       // as Qso's, kept here so that a partner's line costs no visit
    std::uint32_t Band, Mode; // ids: a log may write any text as its band
    bool X;                   // an X-QSO line
    bool Primary;             // scored and no dupe (a repeat the contest allows is none)
    bool Self;                // the log's own call
    bool Counted;             // the engine counted it in the claimed score
    bool Timed() const { return Minute != NoTime; }
};

// What an entry was matched with, kept as it is paired so that deciding its
// status later visits no other entry.
struct TMatched {
    std::uint32_t Entry = None; // the entry matched, or None
    std::uint32_t Log = None;   // its log
    std::uint32_t Line = 0;     // its line
    TTier Tier = Exact;
    bool Disagree = false; // the exchange received is not what the other sent
    bool Wrong = false;    // this log, not the other, has the time, band or mode wrong
};

struct TPair {
    std::uint64_t Key; // lower is better: tier, then the evidence (QualityKey)
    std::uint32_t A, B;
    bool operator<(const TPair& O) const { return std::tie(Key, A, B) < std::tie(O.Key, O.A, O.B); }
};

struct TAgree {
    int Agree = 0, Disagree = 0;
};

// Texts by a number each: an open-addressed table of ids beside each text's
// hash, since every QSO line's call goes through it.
class TInterner {
public:
    std::uint32_t Id(std::string_view Text) {
        // Logs keep to a band and a mode for many lines in a row.
        if (Last != None && Texts[Last] == Text) return Last;
        if (2 * (Texts.size() + 1) > Table.size()) Grow();
        const std::uint32_t Hash = HashOf(Text);
        for (std::size_t I = Hash & (Table.size() - 1);; I = (I + 1) & (Table.size() - 1)) {
            auto& [Id, Of] = Table[I];
            if (Id == None) {
                Id = static_cast<std::uint32_t>(Texts.size());
                Of = Hash;
                Texts.emplace_back(Text);
                return Last = Id;
            }
            if (Of == Hash && Texts[Id] == Text) return Last = Id;
        }
    }
    // The same of a text in capitals, without making it.
    std::uint32_t UpperId(std::string_view Text) {
        char Small[32];
        if (Text.size() > sizeof Small) return Id(UpperAscii(Text));
        for (std::size_t I = 0; I < Text.size(); ++I)
            Small[I] = UpperAscii(Text[I]);
        return Id(std::string_view(Small, Text.size()));
    }
    const std::string& Text(std::uint32_t Id) const { return Texts[Id]; }
    std::size_t Size() const { return Texts.size(); }

private:
    static std::uint32_t HashOf(std::string_view Text) {
        std::uint64_t H = 1469598103934665603u; // FNV-1a
        for (char C : Text)
            H = (H ^ static_cast<unsigned char>(C)) * 1099511628211u;
        return static_cast<std::uint32_t>(H ^ (H >> 32));
    }
    void Grow() {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> Old(
            std::max<std::size_t>(64, 2 * Table.size()), {None, 0});
        Old.swap(Table);
        for (const auto& [Id, Hash] : Old) {
            if (Id == None) continue;
            std::size_t I = Hash & (Table.size() - 1);
            while (Table[I].first != None)
                I = (I + 1) & (Table.size() - 1);
            Table[I] = {Id, Hash};
        }
    }

    std::vector<std::pair<std::uint32_t, std::uint32_t>> Table; // (id, hash), or None
    std::deque<std::string> Texts; // by id; a deque, so that a text never moves
    std::uint32_t Last = None;
};

// Work(first, last, thread) over the logs [0, Upto.size() - 1), whose QSO
// lines Upto counts up to each: in two halves of about as many lines on two
// threads, numbered 0 and 1 (Threads as in TCrossOptions), else on this
// thread as 0.
template <typename TWork>
void ForLogs(int Threads, const std::vector<std::size_t>& Upto, TWork&& Work) {
    const std::size_t Count = Upto.size() - 1;
    const bool Two = Threads == 0
                         ? Upto.back() >= TwoThreadsFrom && std::thread::hardware_concurrency() >= 2
                         : Threads >= 2;
    if (!Two) {
        Work(std::size_t{0}, Count, 0);
        return;
    }
    const auto Half = static_cast<std::size_t>(
        std::lower_bound(Upto.begin(), Upto.end(), Upto.back() / 2) - Upto.begin());
    std::exception_ptr Failed;
    std::thread Other([&] {
        try {
            Work(std::min(Half, Count), Count, 1);
        } catch (...) {
            Failed = std::current_exception();
        }
    });
    try {
        Work(std::size_t{0}, std::min(Half, Count), 0);
    } catch (...) {
        Other.join();
        throw;
    }
    Other.join();
    if (Failed) std::rethrow_exception(Failed);
}

// "YYYY-MM-DD HHMM", as Cabrillo writes a date and time.
std::string CabrilloTime(std::int64_t Minute) {
    const std::string Iso = TimeText(Minute); // "2026-03-07T14:02Z"
    return Iso.substr(0, 10) + " " + Iso.substr(11, 2) + Iso.substr(14, 2);
}

std::int64_t Distance(std::int64_t A, std::int64_t B) {
    return A > B ? A - B : B - A;
}

class TChecker {
public:
    TChecker(const std::vector<TCrossLog>& Logs, const TAreaList& Areas,
             const TCrossOptions& Options)
        : Input(Logs), Areas(Areas), Tolerance(std::max(0, Options.ToleranceMinutes)),
          Penalty(std::max(0, Options.Penalty)), Threads(Options.Threads),
          Contest(Options.Contest ? *Options.Contest : BuiltInContests().front()),
          Fields(ComparedFields(Contest)),
          // A repeat the contest allows is a QSO of its own, not the same one
          // logged late.
          TimeWindow(std::max<std::int64_t>(
              Tolerance, Contest.RepeatAfterMinutes > 0
                             ? std::min(TimeWindowMinutes, Contest.RepeatAfterMinutes - 1)
                             : TimeWindowMinutes)) {}

    TCrossResult Run() {
        Keep();
        Collect();
        Arrange();
        EstimateOffsets();
        MatchByCall();
        MatchBusted();
        FindKnownCalls();
        JudgeDisagreements();
        return Decide();
    }

private:
    // The newest log of each call, in call order.
    void Keep() {
        std::map<std::string, std::size_t> ByCall;
        for (std::size_t I = 0; I < Input.size(); ++I) {
            auto [It, New] = ByCall.try_emplace(LogCallOf(Input[I].Read), I);
            if (New) continue;
            const bool Newer = Input[I].Modified >= Input[It->second].Modified;
            Result.Superseded.emplace_back(Newer ? It->second : I, Newer ? I : It->second);
            if (Newer) It->second = I;
        }
        for (const auto& [Call, Index] : ByCall) {
            Kept.push_back(Index);
            LogCall.push_back(Calls.Id(Call));
        }
    }

    // What a line says on its own: its time, what it received and sent by the
    // fields the contest compares. Its call, band and mode are numbered apart.
    void Place(std::uint32_t Log, std::size_t At, const TLogQSO& Qso, bool X, bool Primary,
               std::vector<std::string_view>& Got, std::vector<std::string_view>& Gave) {
        TEntry& E = Entries[At];
        E.Qso = &Qso;
        E.Minute = logformats::MinuteOf(Qso).value_or(NoTime);
        E.Log = Log;
        E.Partner = None;
        E.Line = static_cast<std::uint32_t>(Qso.Line);
        E.X = X;
        E.Primary = E.Counted = Primary;
        logformats::SplitWords(Qso.Exchange, Got);
        logformats::SplitWords(Qso.Sent, Gave);
        std::uint64_t* Keys = FieldKeys.data() + At * 2 * Fields.size();
        for (const auto& [Words, Side] :
             {std::pair{&Got, &TComparedField::Received}, std::pair{&Gave, &TComparedField::Sent}})
            for (const TComparedField& F : Fields)
                *Keys++ = F.*Side < Words->size() ? Pack(FieldKey(F.Kind, (*Words)[F.*Side])) : 0;
    }

    // A field's key as one number, 0 for a field the line lacks: short keys
    // as their bytes, longer ones by an id.
    std::uint64_t Pack(const std::string& Key) {
        if (Key.size() < 8) {
            std::uint64_t Value = Key.size() + 1;
            for (std::size_t I = 0; I < Key.size(); ++I)
                Value |= std::uint64_t{static_cast<unsigned char>(Key[I])} << (8 * (I + 1));
            return Value;
        }
        const std::lock_guard<std::mutex> Lock(LongKeysInUse);
        return 0xFF | (std::uint64_t{LongKeys.Id(Key)} << 8);
    }

    // A contest that allows a station again after some minutes: of the QSOs
    // the engine calls duplicates, those that many minutes after the last one
    // allowed are repeats, matched and credited like any QSO (the engine then
    // counts each call once a band and mode, as it always does).
    void AllowRepeats(std::uint32_t Log, const std::vector<TLogQSO>& Qsos,
                      const std::vector<TVerdict>& Verdicts) {
        std::map<std::size_t, std::vector<std::size_t>> Chains; // by the line recorded first
        for (std::size_t I = 0; I < Qsos.size(); ++I)
            if (Verdicts[I].Duplicate()) Chains[Verdicts[I].DuplicateOf].push_back(I);
        for (auto& [Line, Chain] : Chains) {
            const auto First =
                std::lower_bound(Qsos.begin(), Qsos.end(), Line,
                                 [](const TLogQSO& Q, std::size_t L) { return Q.Line < L; });
            Chain.push_back(static_cast<std::size_t>(First - Qsos.begin()));
            const auto At = [&](std::size_t I) -> TEntry& { return Entries[Begin[Log] + I]; };
            std::sort(Chain.begin(), Chain.end(), [&](std::size_t A, std::size_t B) {
                return std::tie(At(A).Minute, A) < std::tie(At(B).Minute, B);
            });
            std::int64_t Allowed = NoTime;
            for (std::size_t I : Chain) {
                TEntry& E = At(I);
                if (!E.Timed()) continue;
                const bool Repeat =
                    Allowed == NoTime || E.Minute - Allowed >= Contest.RepeatAfterMinutes;
                E.Primary = E.Primary || Repeat;
                if (Repeat) Allowed = E.Minute;
            }
        }
    }

    // Every QSO line of the kept logs, the claimed scores, what each line
    // received and sent, and which log holds the station worked.
    void Collect() {
        // Where each log's entries go: its QSO lines, then its X-QSO lines.
        Begin.assign(1, 0);
        BeginX.resize(Kept.size());
        for (std::size_t L = 0; L < Kept.size(); ++L) {
            const logformats::TLogRead& Read = Input[Kept[L]].Read;
            BeginX[L] = Begin.back() + Read.QSOs.size();
            Begin.push_back(BeginX[L] + Read.XQSOs.size());
        }
        Entries.resize(Begin.back());
        FieldKeys.assign(Begin.back() * 2 * Fields.size(), 0);
        Claimed.resize(Kept.size());
        // Log by log, on two threads for a big contest: the claimed score by
        // the engine, what each line says on its own, and its call, band and
        // mode numbered by the thread's own tables, made one below.
        struct TTexts {
            TInterner Calls, Bands, Modes;
        } Local[2];
        std::vector<std::uint8_t> ThreadOf(Kept.size(), 0);
        ForLogs(Threads, Begin, [&](std::size_t First, std::size_t Last, int Thread) {
            std::vector<std::string_view> Got, Gave; // kept from line to line
            TTexts& Texts = Local[Thread];
            for (std::size_t L = First; L < Last; ++L) {
                ThreadOf[L] = static_cast<std::uint8_t>(Thread);
                const logformats::TLogRead& Read = Input[Kept[L]].Read;
                TLogScore Scored(Areas);
                const std::vector<TVerdict> Verdicts = ScoreInLogOrder(Scored, Read.QSOs);
                Claimed[L] = Scored.Totals();
                const auto Log = static_cast<std::uint32_t>(L);
                for (std::size_t I = 0; I < Read.QSOs.size(); ++I)
                    Place(Log, Begin[L] + I, Read.QSOs[I], false, !Verdicts[I].Duplicate(), Got,
                          Gave);
                if (Contest.RepeatAfterMinutes > 0) AllowRepeats(Log, Read.QSOs, Verdicts);
                for (std::size_t I = 0; I < Read.XQSOs.size(); ++I)
                    Place(Log, BeginX[L] + I, Read.XQSOs[I], true, false, Got, Gave);
                for (std::size_t I = Begin[L]; I < Begin[L + 1]; ++I) {
                    TEntry& E = Entries[I];
                    E.Worked = Texts.Calls.UpperId(E.Qso->Call);
                    E.Band = Texts.Bands.Id(E.Qso->Band);
                    E.Mode = Texts.Modes.UpperId(E.Qso->Mode);
                }
            }
        });
        // The two threads' numbers made one.
        std::vector<std::uint32_t> CallOf[2], BandOf[2], ModeOf[2];
        for (int T = 0; T < 2; ++T)
            for (const auto& [Shared, Own, To] : {std::tuple{&Calls, &Local[T].Calls, &CallOf[T]},
                                                  std::tuple{&Bands, &Local[T].Bands, &BandOf[T]},
                                                  std::tuple{&Modes, &Local[T].Modes, &ModeOf[T]}})
                for (std::uint32_t Id = 0; Id < Own->Size(); ++Id)
                    To->push_back(Shared->Id(Own->Text(Id)));
        for (TEntry& E : Entries) {
            const int T = ThreadOf[E.Log];
            E.Worked = CallOf[T][E.Worked];
            E.Band = BandOf[T][E.Band];
            E.Mode = ModeOf[T][E.Mode];
            E.Self = E.Worked == LogCall[E.Log];
        }

        // The log of each call: its own, else one of its base call.
        Submitted.assign(Calls.Size(), None);
        std::unordered_map<std::string, std::uint32_t> ByBase;
        for (std::uint32_t L = 0; L < Kept.size(); ++L) {
            Submitted[LogCall[L]] = L;
            ByBase.try_emplace(BaseCall(Calls.Text(LogCall[L])), L);
        }
        std::vector<std::uint32_t> LogOf(Calls.Size(), None);
        for (std::uint32_t C = 0; C < Calls.Size(); ++C) {
            LogOf[C] = Submitted[C];
            if (LogOf[C] == None)
                if (const auto It = ByBase.find(BaseCall(Calls.Text(C))); It != ByBase.end())
                    LogOf[C] = It->second;
        }
        // How many logs hold each call, a log's QSOs with itself aside.
        LogsHolding.assign(Calls.Size(), 0);
        std::vector<std::uint32_t> LastHolder(Calls.Size(), None);
        for (TEntry& E : Entries) {
            if (E.Self) continue;
            if (LogOf[E.Worked] != E.Log) E.Partner = LogOf[E.Worked];
            if (LastHolder[E.Worked] != E.Log) {
                LastHolder[E.Worked] = E.Log;
                ++LogsHolding[E.Worked];
            }
        }
    }

    // Each log's entries by partner and time, the untimed last, so that the
    // QSOs two logs hold with each other lie side by side in memory and are
    // walked in order; ByLine keeps the order they were logged in.
    void Arrange() {
        // In place, a log at a time: a big contest's entries are not copied whole.
        const std::size_t PerEntry = 2 * Fields.size();
        ByLine.resize(Entries.size());
        struct TPlace {
            std::uint32_t Partner;
            std::int64_t Minute;
            std::uint32_t Index;
            bool operator<(const TPlace& O) const {
                return std::tie(Partner, Minute, Index) < std::tie(O.Partner, O.Minute, O.Index);
            }
        };
        ForLogs(Threads, Begin, [&](std::size_t FirstLog, std::size_t LastLog, int) {
            std::vector<TPlace> Places;
            std::vector<TEntry> Logged;
            std::vector<std::uint64_t> Keys;
            for (std::size_t L = FirstLog; L < LastLog; ++L) {
                const auto First = static_cast<std::uint32_t>(Begin[L]);
                Places.clear();
                for (std::uint32_t I = First; I < Begin[L + 1]; ++I)
                    Places.push_back({Entries[I].Partner, Entries[I].Minute, I});
                std::sort(Places.begin(), Places.end());
                Logged.assign(Entries.begin() + First, Entries.begin() + Begin[L + 1]);
                Keys.assign(FieldKeys.begin() + First * PerEntry,
                            FieldKeys.begin() + Begin[L + 1] * PerEntry);
                for (std::uint32_t K = 0; K < Places.size(); ++K) {
                    const std::uint32_t From = Places[K].Index - First;
                    ByLine[Places[K].Index] = First + K;
                    Entries[First + K] = Logged[From];
                    std::copy_n(Keys.begin() + From * PerEntry, PerEntry,
                                FieldKeys.begin() + (First + K) * PerEntry);
                }
            }
        });
        // A log's groups are those with the logs after it: its share of the
        // work, so that two threads get about as much.
        GroupWork.assign(1, 0);
        for (std::uint32_t L = 0; L < Kept.size(); ++L)
            GroupWork.push_back(
                GroupWork.back() +
                static_cast<std::size_t>(std::count_if(
                    Entries.begin() + static_cast<std::ptrdiff_t>(Begin[L]),
                    Entries.begin() + static_cast<std::ptrdiff_t>(Begin[L + 1]),
                    [&](const TEntry& E) { return E.Partner != None && E.Partner > L; })));
        Offset.assign(Kept.size(), 0);
        Matched.assign(Entries.size(), TMatched{});
    }

    // [first, last) of Log's entries with the station of log Partner.
    std::pair<std::uint32_t, std::uint32_t> Run(std::uint32_t Log, std::uint32_t Partner) const {
        const TEntry* const First = Entries.data() + Begin[Log];
        const TEntry* const Last = Entries.data() + Begin[Log + 1];
        const auto Low = std::lower_bound(
            First, Last, Partner, [](const TEntry& E, std::uint32_t P) { return E.Partner < P; });
        const auto High = std::upper_bound(
            Low, Last, Partner, [](std::uint32_t P, const TEntry& E) { return P < E.Partner; });
        return {static_cast<std::uint32_t>(Low - Entries.data()),
                static_cast<std::uint32_t>(High - Entries.data())};
    }

    // Visit(A, [from, to) of its entries with P, P, [from, to) of P's with A,
    // thread) for every two logs that hold QSOs with each other, each two once.
    // Each log's entries are walked once, in order: a cursor per log finds its
    // QSOs with A, as A rises. The logs A are shared between threads as
    // ForLogs shares them; no entry is in two groups.
    template <typename Visitor> void ForEachGroup(Visitor&& Visit) const {
        ForLogs(Threads, GroupWork, [&](std::size_t FirstA, std::size_t LastA, int Thread) {
            std::vector<std::uint32_t> Cursor(Begin.begin(), Begin.end() - 1);
            for (auto A = static_cast<std::uint32_t>(FirstA); A < LastA; ++A) {
                std::uint32_t S = static_cast<std::uint32_t>(Begin[A]);
                const std::uint32_t End = static_cast<std::uint32_t>(Begin[A + 1]);
                while (S != End && Entries[S].Partner != None) {
                    const std::uint32_t P = Entries[S].Partner;
                    std::uint32_t RunEnd = S;
                    while (RunEnd != End && Entries[RunEnd].Partner == P)
                        ++RunEnd;
                    if (P > A) {
                        std::uint32_t& From = Cursor[P];
                        const std::uint32_t PEnd = static_cast<std::uint32_t>(Begin[P + 1]);
                        while (From != PEnd && Entries[From].Partner < A)
                            ++From;
                        std::uint32_t To = From;
                        while (To != PEnd && Entries[To].Partner == A)
                            ++To;
                        if (From != To) Visit(A, S, RunEnd, P, From, To, Thread);
                        From = To;
                    }
                    S = RunEnd;
                }
            }
        });
    }

    const std::uint64_t* KeysOf(std::uint32_t Entry, bool Sent) const {
        return FieldKeys.data() + (std::size_t{Entry} * 2 + Sent) * Fields.size();
    }

    // What Got received against what Gave sent, over the compared fields both have.
    TAgree Agreement(std::uint32_t Got, std::uint32_t Gave) const {
        const std::uint64_t* Received = KeysOf(Got, false);
        const std::uint64_t* Sent = KeysOf(Gave, true);
        TAgree A;
        for (std::size_t F = 0; F < Fields.size(); ++F) {
            if (Received[F] == 0 || Sent[F] == 0) continue;
            (Received[F] == Sent[F] ? A.Agree : A.Disagree) += 1;
        }
        return A;
    }

    // Both ways, no field disagrees and one agrees (any, when the contest
    // compares none).
    bool ExchangesAgree(std::uint32_t A, std::uint32_t B) const {
        const TAgree There = Agreement(A, B), Back = Agreement(B, A);
        return There.Disagree + Back.Disagree == 0 &&
               (Fields.empty() || There.Agree + Back.Agree > 0);
    }

    // Pinned: each side received what the other sent, in every compared field.
    bool Pinned(std::uint32_t A, std::uint32_t B) const {
        if (Fields.empty()) return true;
        const TAgree There = Agreement(A, B), Back = Agreement(B, A);
        return There.Disagree + Back.Disagree == 0 && There.Agree > 0 && Back.Agree > 0;
    }

    bool SameBandAndMode(const TEntry& A, const TEntry& B) const {
        return A.Band == B.Band && A.Mode == B.Mode;
    }

    // Each log's clock error, from the QSOs the exchanges pin to exactly one
    // QSO of the other log within 15 hours, and that QSO to exactly this one:
    // so that neither a clock hours off nor repeats allowed by the contest hide
    // it. A log's offset is the clear majority of its differences, measured
    // against the other logs' corrected clocks, round by round.
    void EstimateOffsets() {
        using TSeen = std::vector<std::vector<std::pair<std::uint32_t, std::int64_t>>>;
        TSeen ByThread[2] = {TSeen(Kept.size()), TSeen(Kept.size())};
        ForEachGroup([&](std::uint32_t A, std::uint32_t AFrom, std::uint32_t ATo, std::uint32_t P,
                         std::uint32_t PFrom, std::uint32_t PTo, int Thread) {
            TSeen& Seen = ByThread[Thread];
            const std::size_t NA = ATo - AFrom, NP = PTo - PFrom;
            if (NA > MaxPinnedGroup || NP > MaxPinnedGroup) return;
            std::array<std::uint8_t, MaxPinnedGroup> CountA{}, CountP{};
            std::array<std::uint8_t, MaxPinnedGroup> OnlyA{};
            for (std::uint32_t I = 0; I < NA; ++I) {
                const TEntry& EA = Entries[AFrom + I];
                if (!EA.Timed()) continue;
                for (std::uint32_t J = 0; J < NP; ++J) {
                    const TEntry& EP = Entries[PFrom + J];
                    if (!EP.Timed() || Distance(EA.Minute, EP.Minute) > OffsetWindow ||
                        !SameBandAndMode(EA, EP) || !Pinned(AFrom + I, PFrom + J))
                        continue;
                    ++CountA[I];
                    ++CountP[J];
                    OnlyA[I] = static_cast<std::uint8_t>(J);
                }
            }
            for (std::size_t I = 0; I < NA; ++I) {
                if (CountA[I] != 1 || CountP[OnlyA[I]] != 1) continue;
                const std::int64_t D = Entries[AFrom + I].Minute - Entries[PFrom + OnlyA[I]].Minute;
                Seen[A].emplace_back(P, D);
                Seen[P].emplace_back(A, -D);
            }
        });
        TSeen& Seen = ByThread[0];
        for (std::size_t L = 0; L < Kept.size(); ++L)
            Seen[L].insert(Seen[L].end(), ByThread[1][L].begin(), ByThread[1][L].end());
        std::vector<std::int64_t> Values;
        for (int Round = 0; Round < OffsetRounds; ++Round) {
            std::vector<int> Next(Kept.size(), 0);
            for (std::size_t L = 0; L < Kept.size(); ++L) {
                if (Seen[L].size() < MatchesForOffset) continue;
                Values.clear();
                for (const auto& [Other, D] : Seen[L])
                    Values.push_back(D + Offset[Other]);
                Next[L] = static_cast<int>(ClearMajority(Values));
            }
            if (Next == Offset) break;
            Offset = std::move(Next);
        }
    }

    // The value most differences gather around (within OffsetSpread either
    // way), when two thirds of them do; else 0.
    static std::int64_t ClearMajority(std::vector<std::int64_t>& Values) {
        std::sort(Values.begin(), Values.end());
        std::size_t Best = 0, BestFrom = 0;
        for (std::size_t From = 0, To = 0; From < Values.size(); ++From) {
            while (To < Values.size() && Values[To] - Values[From] <= 2 * OffsetSpread)
                ++To;
            if (To - From > Best) {
                Best = To - From;
                BestFrom = From;
            }
        }
        const std::int64_t Middle = Values[BestFrom + (Best - 1) / 2];
        const auto Near = std::count_if(Values.begin(), Values.end(), [&](std::int64_t V) {
            return Distance(V, Middle) <= OffsetSpread;
        });
        if (static_cast<std::size_t>(Near) < MatchesForOffset ||
            3 * static_cast<std::size_t>(Near) < 2 * Values.size() ||
            Distance(Middle, 0) < SmallestOffset)
            return 0;
        return std::clamp<std::int64_t>(Middle, -OffsetWindow, OffsetWindow);
    }

    // Time in the clock of log To of a time logged by log From.
    std::int64_t InClockOf(std::uint32_t To, std::uint32_t From, std::int64_t Minute) const {
        return Minute - Offset[From] + Offset[To];
    }

    // Lower is better: the tier; then fewer fields that disagree and more that
    // agree (an exact match at 07:03 beats a wrong one at 07:00); then the QSOs
    // that count before dupes and X-QSOs, the untimed last; the calls as
    // logged; the nearer in time.
    std::uint64_t QualityKey(TTier T, std::uint32_t A, std::uint32_t B, bool Untimed,
                             std::int64_t Dist) const {
        const TEntry& EA = Entries[A];
        const TEntry& EB = Entries[B];
        const TAgree There = Agreement(A, B), Back = Agreement(B, A);
        const std::uint64_t Disagree = std::min(There.Disagree + Back.Disagree, 15);
        const std::uint64_t Agree = std::min(There.Agree + Back.Agree, 15);
        const std::uint64_t Class = !EA.Primary + !EB.Primary + (Untimed ? 3 : 0);
        const std::uint64_t Inexact = (EA.Partner == EB.Log && EA.Worked != LogCall[EB.Log]) +
                                      (EB.Partner == EA.Log && EB.Worked != LogCall[EA.Log]);
        return std::uint64_t{T} << 60 | Disagree << 56 | (15 - Agree) << 52 | Class << 48 |
               Inexact << 46 | static_cast<std::uint64_t>(std::min<std::int64_t>(Dist, 0xFFFF));
    }

    bool Free(std::uint32_t Entry) const { return Matched[Entry].Entry == None; }

    // Takes pairs best first, each entry at most once.
    void Pair(std::vector<TPair>& Pairs) {
        std::sort(Pairs.begin(), Pairs.end());
        for (const TPair& P : Pairs) {
            if (!Free(P.A) || !Free(P.B)) continue;
            const auto T = static_cast<TTier>(P.Key >> 60);
            for (const auto& [One, Two] : {std::pair{P.A, P.B}, std::pair{P.B, P.A}}) {
                const bool Disagree = Agreement(One, Two).Disagree > 0;
                Matched[One] = {Two, Entries[Two].Log, Entries[Two].Line, T, Disagree, false};
            }
        }
    }

    // Visit(entry, minutes apart, untimed) for the entries in [From, To), in
    // time order, that could be A's QSO: within Window minutes of At, or
    // either without a time; at most MaxCandidates.
    template <typename Visitor>
    void Near(const TEntry& A, std::int64_t At, std::int64_t Window, std::uint32_t From,
              std::uint32_t To, Visitor&& Visit) const {
        const auto Before = [](const TEntry& E, std::int64_t T) { return E.Minute < T; };
        const TEntry* const First = Entries.data() + From;
        const TEntry* const Last = Entries.data() + To;
        const TEntry* const Untimed = std::lower_bound(First, Last, NoTime, Before);
        const auto IndexOf = [&](const TEntry* E) {
            return static_cast<std::uint32_t>(E - Entries.data());
        };
        std::size_t Seen = 0;
        if (A.Timed()) {
            for (const TEntry* E = std::lower_bound(First, Untimed, At - Window, Before);
                 E != Untimed && E->Minute <= At + Window && Seen < MaxCandidates; ++E, ++Seen)
                Visit(IndexOf(E), Distance(E->Minute, At), false);
        } else {
            for (const TEntry* E = First; E != Untimed && Seen < MaxCandidates; ++E, ++Seen)
                Visit(IndexOf(E), std::int64_t{0}, true);
        }
        for (const TEntry* E = Untimed; E != Last && Seen < MaxCandidates; ++E, ++Seen)
            Visit(IndexOf(E), std::int64_t{0}, true);
    }

    // The QSOs two logs hold with each other's calls: both calls, band, mode
    // and time first, then the same at a time beyond the tolerance, then on
    // another band or mode at the time; best first within each, one to one.
    // Every candidate pairs two QSOs of the same two logs, so each two logs are
    // paired on their own, their QSOs near in memory.
    void MatchByCall() {
        std::vector<TPair> ByThread[2];
        ForEachGroup([&](std::uint32_t A, std::uint32_t AFrom, std::uint32_t ATo, std::uint32_t P,
                         std::uint32_t PFrom, std::uint32_t PTo, int Thread) {
            std::vector<TPair>& Pairs = ByThread[Thread];
            Pairs.clear();
            for (std::uint32_t I = AFrom; I != ATo; ++I) {
                const TEntry& EA = Entries[I];
                const std::int64_t At = EA.Timed() ? InClockOf(P, A, EA.Minute) : NoTime;
                Near(EA, At, TimeWindow, PFrom, PTo,
                     [&](std::uint32_t B, std::int64_t Dist, bool Untimed) {
                         const TEntry& EB = Entries[B];
                         const bool Same = SameBandAndMode(EA, EB);
                         TTier T = Exact;
                         if (Untimed || (Same && Dist <= Tolerance)) {
                             if (!Same) return;
                         } else if (Same && ExchangesAgree(I, B)) {
                             T = LateTime;
                         } else if ((EA.Band == EB.Band) != (EA.Mode == EB.Mode) &&
                                    Dist <= Tolerance && ExchangesAgree(I, B)) {
                             T = OtherBand;
                         } else {
                             return;
                         }
                         Pairs.push_back({QualityKey(T, I, B, Untimed, Dist), I, B});
                     });
            }
            Pair(Pairs);
        });
    }

    const std::string& BaseOf(std::uint32_t Call) {
        if (Bases.size() < Calls.Size()) Bases.resize(Calls.Size());
        if (Bases[Call].empty()) Bases[Call] = BaseCall(Calls.Text(Call));
        return Bases[Call];
    }

    // The logs whose base call is one edit from a call's, by the base calls
    // that share a form with one character dropped.
    const std::vector<std::uint32_t>& Neighbours(std::uint32_t Call) {
        if (const auto It = NeighbourCache.find(Call); It != NeighbourCache.end())
            return It->second;
        if (Dropped.empty()) {
            for (std::uint32_t L = 0; L < Kept.size(); ++L) {
                const std::string& Text = BaseOf(LogCall[L]);
                if (Text.size() > LongestCall) continue;
                Dropped[Text].push_back(L);
                for (std::size_t I = 0; I < Text.size(); ++I)
                    Dropped[Text.substr(0, I) + Text.substr(I + 1)].push_back(L);
            }
        }
        std::vector<std::uint32_t> Found;
        const std::string Text = BaseOf(Call);
        if (Text.size() <= LongestCall) {
            const auto Look = [&](const std::string& Form) {
                if (const auto It = Dropped.find(Form); It != Dropped.end())
                    for (std::uint32_t L : It->second)
                        if (OneEditApart(Text, BaseOf(LogCall[L]))) Found.push_back(L);
            };
            Look(Text);
            for (std::size_t I = 0; I < Text.size(); ++I)
                Look(Text.substr(0, I) + Text.substr(I + 1));
            std::sort(Found.begin(), Found.end());
            Found.erase(std::unique(Found.begin(), Found.end()), Found.end());
        }
        return NeighbourCache.emplace(Call, std::move(Found)).first->second;
    }

    // A QSO left over whose call is one edit from a log that holds a QSO left
    // over with this station on that band and mode within the tolerance, and
    // an exchange field agrees: this log copied the call wrongly, and the
    // other log's QSO stands. Without that evidence the call stands as logged.
    void MatchBusted() {
        std::vector<TPair> Pairs;
        for (std::uint32_t A = 0; A < Entries.size(); ++A) {
            const TEntry& EA = Entries[A];
            if (!Free(A) || EA.Self) continue;
            for (std::uint32_t N : Neighbours(EA.Worked)) {
                if (N == EA.Log || N == EA.Partner) continue;
                const auto [From, To] = Run(N, EA.Log);
                const std::int64_t At = EA.Timed() ? InClockOf(N, EA.Log, EA.Minute) : NoTime;
                Near(EA, At, Tolerance, From, To,
                     [&](std::uint32_t B, std::int64_t Dist, bool Untimed) {
                         const TAgree There = Agreement(A, B), Back = Agreement(B, A);
                         if (!Free(B) || !SameBandAndMode(EA, Entries[B]) ||
                             (!Fields.empty() && There.Agree + Back.Agree == 0))
                             return;
                         Pairs.push_back({QualityKey(OtherCall, A, B, Untimed, Dist), A, B});
                     });
            }
        }
        Pair(Pairs);
    }

    // A unique call one edit from a call that sent no log but that many logs
    // hold, and that one of them worked on that band and mode about then:
    // the call other logs show is the one this log meant.
    void FindKnownCalls() {
        std::vector<std::uint32_t> Uniques;
        for (std::uint32_t A = 0; A < Entries.size(); ++A) {
            const TEntry& E = Entries[A];
            if (!E.X && E.Primary && !E.Self && Free(A) && E.Partner == None &&
                LogsHolding[E.Worked] == 1 && E.Timed())
                Uniques.push_back(A);
        }
        if (Uniques.empty()) return;
        // The calls many logs hold that sent none, by their base call's forms.
        std::unordered_map<std::string, std::vector<std::uint32_t>> Forms;
        for (std::uint32_t C = 0; C < Calls.Size(); ++C) {
            if (LogsHolding[C] < KnownCallLogs || Submitted[C] != None) continue;
            const std::string& Text = BaseOf(C);
            if (Text.size() > LongestCall) continue;
            Forms[Text].push_back(C);
            for (std::size_t I = 0; I < Text.size(); ++I)
                Forms[Text.substr(0, I) + Text.substr(I + 1)].push_back(C);
        }
        std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> Candidates;
        for (std::uint32_t A : Uniques) {
            const std::string Text = BaseOf(Entries[A].Worked);
            if (Text.size() > LongestCall) continue;
            std::vector<std::uint32_t>& Found = Candidates[A];
            const auto Look = [&](const std::string& Form) {
                if (const auto It = Forms.find(Form); It != Forms.end())
                    for (std::uint32_t C : It->second)
                        if (C != Entries[A].Worked &&
                            (BaseOf(C) == Text || OneEditApart(Text, BaseOf(C))))
                            Found.push_back(C);
            };
            Look(Text);
            for (std::size_t I = 0; I < Text.size(); ++I)
                Look(Text.substr(0, I) + Text.substr(I + 1));
            std::sort(Found.begin(), Found.end());
            Found.erase(std::unique(Found.begin(), Found.end()), Found.end());
        }
        // Where each such call was worked.
        std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> WorkedAt;
        for (const auto& [A, Found] : Candidates)
            for (std::uint32_t C : Found)
                WorkedAt[C];
        if (WorkedAt.empty()) return;
        for (std::uint32_t I = 0; I < Entries.size(); ++I)
            if (const auto It = WorkedAt.find(Entries[I].Worked); It != WorkedAt.end())
                It->second.push_back(I);
        for (std::uint32_t A : Uniques) {
            const TEntry& EA = Entries[A];
            std::uint32_t Best = None;
            for (std::uint32_t C : Candidates[A]) {
                const bool There =
                    std::any_of(WorkedAt[C].begin(), WorkedAt[C].end(), [&](std::uint32_t I) {
                        const TEntry& E = Entries[I];
                        return E.Log != EA.Log && E.Timed() && SameBandAndMode(E, EA) &&
                               Distance(InClockOf(EA.Log, E.Log, E.Minute), EA.Minute) <=
                                   KnownCallWindow;
                    });
                if (There &&
                    (Best == None || LogsHolding[C] > LogsHolding[Best] ||
                     (LogsHolding[C] == LogsHolding[Best] && Calls.Text(C) < Calls.Text(Best))))
                    Best = C;
            }
            if (Best != None) KnownCall[A] = Best;
        }
    }

    // A log's entries in time order, made when first asked for.
    const std::vector<std::uint32_t>& ByTime(std::uint32_t Log) {
        auto [It, New] = TimeOrder.try_emplace(Log);
        if (New) {
            for (std::size_t I = Begin[Log]; I < Begin[Log + 1]; ++I)
                if (Entries[I].Timed()) It->second.push_back(static_cast<std::uint32_t>(I));
            std::stable_sort(It->second.begin(), It->second.end(),
                             [&](std::uint32_t A, std::uint32_t B) {
                                 return Entries[A].Minute < Entries[B].Minute;
                             });
        }
        return It->second;
    }

    // How well a log's other QSOs about then bear out the band (or mode) it
    // gave a QSO, against the one the other log gave: each matched QSO within
    // WitnessWindow minutes counts for the band its partner logged, the nearer
    // in time the more.
    int Witnesses(std::uint32_t A, bool Band, std::uint32_t Mine, std::uint32_t Theirs) {
        const TEntry& EA = Entries[A];
        if (!EA.Timed()) return 0;
        const std::vector<std::uint32_t>& Order = ByTime(EA.Log);
        auto It = std::lower_bound(
            Order.begin(), Order.end(), EA.Minute - WitnessWindow,
            [&](std::uint32_t I, std::int64_t T) { return Entries[I].Minute < T; });
        int Score = 0;
        for (; It != Order.end() && Entries[*It].Minute <= EA.Minute + WitnessWindow; ++It) {
            if (*It == A || Free(*It)) continue;
            const TEntry& Other = Entries[Matched[*It].Entry];
            const std::uint32_t Seen = Band ? Other.Band : Other.Mode;
            const int Weight =
                static_cast<int>(WitnessWindow + 1 - Distance(Entries[*It].Minute, EA.Minute));
            Score += Weight * ((Seen == Mine) - (Seen == Theirs));
        }
        return Score;
    }

    // Whether a QSO's time is out of step with the QSO lines around it in its
    // log: a time typed wrongly, where the log keeps the order it was made in.
    bool OutOfStep(std::uint32_t A) const {
        const TEntry& EA = Entries[A];
        if (EA.X || !EA.Timed()) return false;
        const std::uint32_t L = EA.Log;
        // The QSO lines in the order logged: ByLine over [Begin, BeginX).
        const auto At = [&](std::size_t Position) -> const TEntry& {
            return Entries[ByLine[Position]];
        };
        std::size_t Low = Begin[L], High = BeginX[L];
        while (Low < High) {
            const std::size_t Middle = (Low + High) / 2;
            (At(Middle).Line < EA.Line ? Low = Middle + 1 : High = Middle);
        }
        for (std::size_t I = Low; I-- > Begin[L];)
            if (At(I).Timed()) {
                if (EA.Minute < At(I).Minute - Tolerance) return true;
                break;
            }
        for (std::size_t I = Low + 1; I < BeginX[L]; ++I)
            if (At(I).Timed()) return EA.Minute > At(I).Minute + Tolerance;
        return false;
    }

    // Two logs that put one QSO at different times, or on different bands or
    // modes: the side its own log shows to be wrong pays. Where neither log
    // shows it, both keep the QSO.
    void JudgeDisagreements() {
        for (std::uint32_t A = 0; A < Entries.size(); ++A) {
            const std::uint32_t B = Matched[A].Entry;
            const TTier T = Matched[A].Tier;
            if (B == None || B < A || (T != LateTime && T != OtherBand)) continue;
            int SideA = 0, SideB = 0; // higher: better borne out
            if (T == LateTime) {
                SideA = -static_cast<int>(OutOfStep(A));
                SideB = -static_cast<int>(OutOfStep(B));
            } else {
                const bool Band = Entries[A].Band != Entries[B].Band;
                const auto Of = [&](std::uint32_t I) {
                    return Band ? Entries[I].Band : Entries[I].Mode;
                };
                SideA = Witnesses(A, Band, Of(A), Of(B));
                SideB = Witnesses(B, Band, Of(B), Of(A));
            }
            Matched[A].Wrong = SideA < SideB;
            Matched[B].Wrong = SideB < SideA;
        }
    }

    // The times each unreadable line of a log may have held, from the readable
    // QSO lines around it: between its timed neighbours; before the first or
    // after the last, any time.
    const std::vector<std::pair<std::size_t, std::pair<std::int64_t, std::int64_t>>>&
    UnreadSpans(std::uint32_t Log) {
        auto [It, New] = Unread.try_emplace(Log);
        if (!New) return It->second;
        std::vector<std::pair<std::size_t, std::int64_t>> Lines; // (line, minute) of timed entries
        for (std::size_t I = Begin[Log]; I < Begin[Log + 1]; ++I)
            if (Entries[I].Timed()) Lines.emplace_back(Entries[I].Qso->Line, Entries[I].Minute);
        std::sort(Lines.begin(), Lines.end());
        for (const logformats::TLogProblem& Problem : Input[Kept[Log]].Read.Problems) {
            const auto After = std::lower_bound(Lines.begin(), Lines.end(),
                                                std::pair{Problem.Line, std::int64_t{0}});
            std::int64_t Low = std::numeric_limits<std::int64_t>::min() / 2;
            std::int64_t High = std::numeric_limits<std::int64_t>::max() / 2;
            if (After != Lines.begin() && After != Lines.end()) {
                Low = std::min(std::prev(After)->second, After->second);
                High = std::max(std::prev(After)->second, After->second);
            } else if (After != Lines.begin()) {
                Low = std::prev(After)->second;
            } else if (After != Lines.end()) {
                High = After->second;
            }
            It->second.push_back({Problem.Line, {Low, High}});
        }
        return It->second;
    }

    // The unreadable line of the partner's log that may have held a QSO, or 0.
    // The spans are made beforehand (Decide), so that this only reads.
    std::size_t UnreadLineFor(std::uint32_t A) const {
        const TEntry& EA = Entries[A];
        if (Input[Kept[EA.Partner]].Read.Problems.empty()) return 0;
        const std::int64_t At = EA.Timed() ? InClockOf(EA.Partner, EA.Log, EA.Minute) : NoTime;
        for (const auto& [Line, Span] : Unread.at(EA.Partner))
            if (At == NoTime || (At >= Span.first - TimeWindow && At <= Span.second + TimeWindow))
                return Line;
        return 0;
    }

    bool OutsidePeriod(const TEntry& E) const {
        if (!Contest.Period || !E.Timed()) return false;
        const std::int64_t At = E.Minute - Offset[E.Log];
        return At < Contest.Period->Start || At > Contest.Period->End;
    }

    TCheckStatus StatusOf(std::uint32_t A, TCheckedQSO& Q) {
        const TEntry& E = Entries[A];
        if (E.X) return TCheckStatus::XQso;
        if (E.Self) return TCheckStatus::Self;
        if (!E.Primary) return TCheckStatus::Dupe;
        if (OutsidePeriod(E)) return TCheckStatus::OutOfPeriod;
        if (const TMatched& M = Matched[A]; M.Entry != None) {
            if (M.Wrong) {
                const TEntry& Other = Entries[M.Entry];
                if (M.Tier == LateTime) {
                    Q.Correct = CabrilloTime(InClockOf(E.Log, Other.Log, Other.Minute));
                    return TCheckStatus::BustedTime;
                }
                Q.Correct = E.Band != Other.Band ? Other.Qso->Band : Other.Qso->Mode;
                return E.Band != Other.Band ? TCheckStatus::BustedBand : TCheckStatus::BustedMode;
            }
            // Logged as a call one edit away, or without the other's suffix.
            if (E.Partner != M.Log || E.Worked != LogCall[M.Log]) {
                Q.Correct = Calls.Text(LogCall[M.Log]);
                return TCheckStatus::BustedCall;
            }
            // When the other side busted this call, the rest must still match.
            if (!M.Disagree) return TCheckStatus::Ok;
            Q.Correct = Entries[M.Entry].Qso->Sent;
            return TCheckStatus::BustedExchange;
        }
        if (E.Partner != None) {
            if (const std::size_t Line = UnreadLineFor(A)) {
                Q.OtherLog = Kept[E.Partner];
                Q.OtherLine = Line;
                return TCheckStatus::Unverified;
            }
            return TCheckStatus::Nil;
        }
        if (const auto It = KnownCall.find(A); It != KnownCall.end()) {
            Q.Correct = Calls.Text(It->second);
            return TCheckStatus::BustedCall;
        }
        if (LogsHolding[E.Worked] > 1) return TCheckStatus::NotCheckable;
        return TCheckStatus::Unique;
    }

    TCrossResult Decide() {
        // What matching alone needed, let go before the results take room.
        std::vector<std::uint64_t>().swap(FieldKeys);
        for (std::uint32_t L = 0; L < Kept.size(); ++L)
            if (!Input[Kept[L]].Read.Problems.empty()) UnreadSpans(L);
        std::vector<std::vector<TCausedError>> Caused(Kept.size());
        std::vector<std::size_t> Unverified(Kept.size(), 0);
        std::mutex Counting;
        Result.Logs.resize(Kept.size());
        ForLogs(Threads, Begin, [&](std::size_t FirstLog, std::size_t LastLog, int) {
            std::vector<std::vector<TCausedError>> CausedHere(Kept.size());
            std::vector<std::size_t> UnverifiedHere(Kept.size(), 0);
            for (std::size_t L = FirstLog; L < LastLog; ++L) {
                TLogCheck& Check = Result.Logs[L];
                Check.Log = Kept[L];
                Check.Call = Calls.Text(LogCall[L]);
                Check.ClockOffset = Offset[L];
                Check.Claimed = Claimed[L];
                Check.UnreadableLines = Input[Kept[L]].Read.Problems.size();
                Check.Qsos.reserve(Begin[L + 1] - Begin[L]);
                bool Lost = false; // a QSO the engine counted lost credit
                for (std::size_t Position = Begin[L]; Position < Begin[L + 1]; ++Position) {
                    const std::uint32_t A = ByLine[Position];
                    const TEntry& E = Entries[A];
                    TCheckedQSO Q;
                    Q.Qso = E.Qso;
                    Q.X = E.X;
                    const TMatched& M = Matched[A];
                    if (M.Entry != None) {
                        Q.OtherLog = Kept[M.Log];
                        Q.OtherLine = M.Line;
                    }
                    Q.Status = StatusOf(A, Q);
                    if (Penalised(Q.Status)) {
                        Check.PenaltyPoints += std::int64_t{Penalty} * BandPoints(E.Qso->Band);
                        const std::uint32_t Target = M.Entry != None ? M.Log : E.Partner;
                        if (Target != None && Target != L)
                            CausedHere[Target].push_back(
                                {Kept[L], E.Qso->Line, M.Entry != None ? M.Line : 0, Q.Status});
                    }
                    if (Q.Status == TCheckStatus::Unverified) ++UnverifiedHere[E.Partner];
                    Lost = Lost || (E.Counted && !Credited(Q.Status));
                    Check.Qsos.push_back(std::move(Q));
                }
                // The QSOs that stood up, scored again in log order; when every
                // QSO the engine counted stood up, that is the claimed score.
                Check.Checked = Check.Claimed;
                if (Lost) {
                    TLogScore Scored(Areas);
                    for (const TCheckedQSO& Q : Check.Qsos)
                        if (!Q.X && Credited(Q.Status)) Scored.Add(*Q.Qso);
                    Check.Checked = Scored.Totals();
                }
                // Scored lines then X-QSO lines: merge them into line order.
                if (BeginX[L] != Begin[L + 1])
                    std::stable_sort(Check.Qsos.begin(), Check.Qsos.end(),
                                     [](const TCheckedQSO& A, const TCheckedQSO& B) {
                                         return A.Qso->Line < B.Qso->Line;
                                     });
                Check.Checked.Points =
                    std::max<std::int64_t>(0, Check.Checked.Points - Check.PenaltyPoints);
            }
            const std::lock_guard<std::mutex> Lock(Counting);
            for (std::size_t L = 0; L < Kept.size(); ++L) {
                Caused[L].insert(Caused[L].end(), CausedHere[L].begin(), CausedHere[L].end());
                Unverified[L] += UnverifiedHere[L];
            }
        });
        std::vector<std::size_t> PositionOf(Input.size(), 0);
        for (std::size_t L = 0; L < Kept.size(); ++L)
            PositionOf[Kept[L]] = L;
        for (std::size_t L = 0; L < Kept.size(); ++L) {
            // In call order, then line order, whichever thread found them.
            std::sort(Caused[L].begin(), Caused[L].end(),
                      [&](const TCausedError& A, const TCausedError& B) {
                          return std::tie(PositionOf[A.Log], A.Line) <
                                 std::tie(PositionOf[B.Log], B.Line);
                      });
            Result.Logs[L].ErrorsCaused = Caused[L].size();
            Result.Logs[L].Caused = std::move(Caused[L]);
            Result.Logs[L].UnverifiedCaused = Unverified[L];
        }
        return std::move(Result);
    }

    const std::vector<TCrossLog>& Input;
    const TAreaList& Areas;
    const int Tolerance, Penalty, Threads;
    const TContest& Contest;
    const std::vector<TComparedField> Fields;
    const std::int64_t TimeWindow; // beyond the tolerance: the same QSO at a wrong time

    TCrossResult Result;
    std::vector<std::size_t> Kept;      // input index of each kept log, in call order
    std::vector<std::uint32_t> LogCall; // call id of each kept log
    TInterner Calls, Bands, Modes, LongKeys;
    std::mutex LongKeysInUse;             // the threads of Collect share LongKeys
    std::vector<TEntry> Entries;          // log by log, QSO lines then X-QSO lines
    std::vector<std::uint64_t> FieldKeys; // by entry: received, then sent, per compared field
    std::vector<std::size_t> Begin;       // each log's first entry; one more at the end
    std::vector<std::size_t> BeginX;      // each log's first X-QSO entry
    std::vector<std::size_t> GroupWork;   // by log: its groups' entries, summed up to it
    std::vector<TTotals> Claimed;
    std::vector<std::uint32_t> Submitted;   // by call id: the log of that call, or None
    std::vector<std::uint32_t> LogsHolding; // by call id: how many logs hold it
    std::vector<std::uint32_t> ByLine;      // by position as logged: the entry
    std::vector<int> Offset;                // by log, minutes
    std::vector<TMatched> Matched;          // by entry
    std::unordered_map<std::uint32_t, std::uint32_t> KnownCall; // by entry: the call it meant
    std::vector<std::string> Bases;                             // by call id, once asked for
    std::unordered_map<std::string, std::vector<std::uint32_t>> Dropped;
    std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> NeighbourCache;
    std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> TimeOrder;
    std::unordered_map<std::uint32_t,
                       std::vector<std::pair<std::size_t, std::pair<std::int64_t, std::int64_t>>>>
        Unread;
};

} // namespace

const char* StatusName(TCheckStatus Status) {
    switch (Status) {
    case TCheckStatus::Ok:
    case TCheckStatus::NotCheckable:
        return "ok";
    case TCheckStatus::Dupe:
        return "dupe";
    case TCheckStatus::BustedCall:
        return "busted-call";
    case TCheckStatus::BustedExchange:
        return "busted-exchange";
    case TCheckStatus::Nil:
        return "nil";
    case TCheckStatus::Unique:
        return "unique";
    case TCheckStatus::XQso:
        return "x-qso";
    case TCheckStatus::BustedBand:
        return "busted-band";
    case TCheckStatus::BustedMode:
        return "busted-mode";
    case TCheckStatus::BustedTime:
        return "busted-time";
    case TCheckStatus::Unverified:
        return "unverified";
    case TCheckStatus::Self:
        return "self";
    case TCheckStatus::OutOfPeriod:
        return "out-of-period";
    }
    return "ok";
}

bool Credited(TCheckStatus Status) {
    return Status == TCheckStatus::Ok || Status == TCheckStatus::NotCheckable ||
           Status == TCheckStatus::Unique || Status == TCheckStatus::Unverified;
}

bool Penalised(TCheckStatus Status) {
    return Status == TCheckStatus::Nil || Status == TCheckStatus::BustedCall;
}

std::size_t TLogCheck::Count(TCheckStatus Status) const {
    return static_cast<std::size_t>(std::count_if(
        Qsos.begin(), Qsos.end(), [&](const TCheckedQSO& Q) { return Q.Status == Status; }));
}

const logformats::TLogQSO* QsoAtLine(const logformats::TLogRead& Read, std::size_t Line) {
    for (const std::vector<TLogQSO>* Qsos : {&Read.QSOs, &Read.XQSOs}) {
        const auto It =
            std::lower_bound(Qsos->begin(), Qsos->end(), Line,
                             [](const TLogQSO& Q, std::size_t L) { return Q.Line < L; });
        if (It != Qsos->end() && It->Line == Line) return &*It;
    }
    return nullptr;
}

bool OneEditApart(std::string_view A, std::string_view B) {
    if (A.size() < B.size()) std::swap(A, B);
    if (A.size() - B.size() > 1) return false;
    std::size_t I = 0;
    while (I < B.size() && A[I] == B[I])
        ++I;
    if (A.size() != B.size()) return A.substr(I + 1) == B.substr(I); // one dropped
    if (I == A.size()) return false;                                 // the same
    if (A.substr(I + 1) == B.substr(I + 1)) return true;             // one changed
    return I + 1 < A.size() && A[I] == B[I + 1] && A[I + 1] == B[I] &&
           A.substr(I + 2) == B.substr(I + 2); // two neighbours swapped
}

TCrossResult CrossCheck(const std::vector<TCrossLog>& Logs, const TAreaList& Areas,
                        const TCrossOptions& Options) {
    return TChecker(Logs, Areas, Options).Run();
}

} // namespace brevlund::cli
