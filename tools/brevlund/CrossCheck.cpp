#include "CrossCheck.h"

#include "engine/Scoring.h"
#include "engine/Text.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

namespace brevlund::cli {

namespace {

using logformats::TLogQSO;

// A window wide enough to find a log's QSOs through a clock error of tens of
// minutes; only QSOs with exactly one partner in it tell a log's offset.
constexpr std::int64_t WideWindow = 60;
constexpr std::size_t MatchesForOffset = 10;
// Times are logged in whole minutes and the two logs of one QSO often differ
// by one: a median of one minute is no evidence of a wrong clock.
constexpr std::int64_t SmallestOffset = 2;
// Partners looked at per QSO: real logs have one or two; this bounds the work
// on a log that repeats one QSO thousands of times.
constexpr std::size_t MaxCandidates = 64;
// Longer texts are no calls; they take no part in the search for busted calls.
constexpr std::size_t LongestCall = 20;

constexpr std::uint32_t None = std::numeric_limits<std::uint32_t>::max();

struct TEntry {
    const TLogQSO* Qso;
    std::uint32_t Log;    // position among the kept logs
    std::uint32_t Worked; // call id
    std::uint32_t Band, Mode;
    std::int64_t Minute;
    bool Timed;
    bool X;       // an X-QSO line
    bool Primary; // scored and no dupe: matched before dupes and X-QSOs
};

// An entry as the matching looks it up: sorted by logging station, station
// worked, band and mode, then by time, the untimed last.
struct TKey {
    std::uint32_t Log, Worked;
    std::uint64_t BandMode;
    std::int64_t Minute; // NoTime when the QSO has none
    std::uint32_t Index; // into the entries
    auto Sorting() const { return std::tie(Log, Worked, BandMode, Minute, Index); }
};

constexpr std::int64_t NoTime = std::numeric_limits<std::int64_t>::max();

struct TPair {
    int Class;         // 0 both primary, +1 per other side, +3 when untimed
    std::int64_t Dist; // minutes apart after the clock offsets
    std::uint32_t A, B;
    bool operator<(const TPair& O) const {
        return std::tie(Class, Dist, A, B) < std::tie(O.Class, O.Dist, O.A, O.B);
    }
};

class TInterner {
public:
    std::uint32_t Id(std::string Text) {
        const auto [It, New] =
            Ids.try_emplace(std::move(Text), static_cast<std::uint32_t>(Texts.size()));
        if (New) Texts.push_back(&It->first);
        return It->second;
    }
    std::uint32_t Find(const std::string& Text) const {
        const auto It = Ids.find(Text);
        return It == Ids.end() ? None : It->second;
    }
    const std::string& Text(std::uint32_t Id) const { return *Texts[Id]; }
    std::size_t Size() const { return Texts.size(); }

private:
    std::unordered_map<std::string, std::uint32_t> Ids;
    std::vector<const std::string*> Texts; // keys of Ids, which never move
};

std::int64_t Median(std::vector<std::int64_t>& Values) {
    const auto Middle = Values.begin() + static_cast<std::ptrdiff_t>((Values.size() - 1) / 2);
    std::nth_element(Values.begin(), Middle, Values.end());
    return *Middle;
}

class TChecker {
public:
    TChecker(const std::vector<TCrossLog>& Logs, const TAreaList& Areas,
             const TCrossOptions& Options)
        : Input(Logs), Areas(Areas), Tolerance(std::max(0, Options.ToleranceMinutes)),
          Penalty(std::max(0, Options.Penalty)),
          Contest(Options.Contest ? *Options.Contest : BuiltInContests().front()) {}

    TCrossResult Run() {
        Keep();
        Collect();
        EstimateOffsets();
        MatchExact();
        MatchBusted();
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

    void Add(std::uint32_t Log, const TLogQSO& Qso, bool X, bool Primary) {
        TEntry E{&Qso,
                 Log,
                 Calls.Id(UpperAscii(Qso.Call)),
                 Bands.Id(Qso.Band),
                 Modes.Id(UpperAscii(Qso.Mode)),
                 0,
                 false,
                 X,
                 Primary};
        if (const auto Minute = logformats::MinuteOf(Qso)) {
            E.Minute = *Minute;
            E.Timed = true;
        }
        Entries.push_back(E);
    }

    // Every QSO line of the kept logs, the claimed scores, and the QSOs sorted
    // by logging station, station worked, band, mode and time.
    void Collect() {
        std::size_t Total = 0;
        for (std::size_t K : Kept)
            Total += Input[K].Read.QSOs.size() + Input[K].Read.XQSOs.size();
        Entries.reserve(Total);
        Claimed.resize(Kept.size());
        First.resize(Kept.size());
        for (std::uint32_t L = 0; L < Kept.size(); ++L) {
            const logformats::TLogRead& Read = Input[Kept[L]].Read;
            TLogScore Scored(Areas);
            const std::vector<TVerdict> Verdicts = ScoreInLogOrder(Scored, Read.QSOs);
            Claimed[L] = Scored.Totals();
            First[L] = Entries.size();
            for (std::size_t I = 0; I < Read.QSOs.size(); ++I) {
                Add(L, Read.QSOs[I], false, !Verdicts[I].Duplicate());
            }
            for (const TLogQSO& Qso : Read.XQSOs)
                Add(L, Qso, true, false);
        }
        First.push_back(Entries.size());

        Submitted.assign(Calls.Size(), None);
        for (std::uint32_t L = 0; L < Kept.size(); ++L)
            Submitted[LogCall[L]] = L;
        // Which logs hold each call: the first one, and whether another does.
        WorkedBy.assign(Calls.Size(), None);
        WorkedByMore.assign(Calls.Size(), false);
        for (const TEntry& E : Entries) {
            if (WorkedBy[E.Worked] == None)
                WorkedBy[E.Worked] = E.Log;
            else if (WorkedBy[E.Worked] != E.Log)
                WorkedByMore[E.Worked] = true;
        }

        Sorted.resize(Entries.size());
        for (std::uint32_t I = 0; I < Entries.size(); ++I) {
            const TEntry& E = Entries[I];
            Sorted[I] = {E.Log, E.Worked, BandMode(E), E.Timed ? E.Minute : NoTime, I};
        }
        std::sort(Sorted.begin(), Sorted.end(),
                  [](const TKey& A, const TKey& B) { return A.Sorting() < B.Sorting(); });
        Offset.assign(Kept.size(), 0);
        Partner.assign(Entries.size(), None);
        Busted.assign(Entries.size(), false);
    }

    static std::uint64_t BandMode(const TEntry& E) {
        return (static_cast<std::uint64_t>(E.Band) << 32) | E.Mode;
    }

    // The entries that Log wrote for QSOs with Worked on a band and mode:
    // [first, last) of Sorted, the timed ones first and in time order.
    std::pair<std::size_t, std::size_t> Group(std::uint32_t Log, std::uint32_t Worked,
                                              std::uint64_t Band) const {
        const auto Wanted = std::make_tuple(Log, Worked, Band);
        const auto Begin = Sorted.begin() + static_cast<std::ptrdiff_t>(First[Log]);
        const auto End = Sorted.begin() + static_cast<std::ptrdiff_t>(First[Log + 1]);
        const auto Low = std::lower_bound(Begin, End, Wanted, [](const TKey& K, const auto& W) {
            return std::tie(K.Log, K.Worked, K.BandMode) < W;
        });
        const auto High = std::upper_bound(Low, End, Wanted, [](const auto& W, const TKey& K) {
            return W < std::tie(K.Log, K.Worked, K.BandMode);
        });
        return {static_cast<std::size_t>(Low - Sorted.begin()),
                static_cast<std::size_t>(High - Sorted.begin())};
    }

    // Calls Visit(entry, distance, untimed) for each entry of the group that
    // could be A's QSO: within Window minutes of A's time seen from the group's
    // clock, or either of them without a time. At most MaxCandidates.
    template <typename Visitor>
    void Candidates(std::uint32_t A, std::uint32_t GroupLog, std::int64_t Window,
                    Visitor&& Visit) const {
        const TEntry& E = Entries[A];
        const auto [Low, High] = Group(GroupLog, LogCall[E.Log], BandMode(E));
        const TKey* const Begin = Sorted.data() + Low;
        const TKey* const End = Sorted.data() + High;
        const auto ByMinute = [](const TKey& K, std::int64_t T) { return K.Minute < T; };
        const TKey* const Untimed = std::lower_bound(Begin, End, NoTime, ByMinute);
        std::size_t Seen = 0;
        const TKey* K = Begin;
        if (E.Timed) {
            const std::int64_t At = E.Minute - Offset[E.Log] + Offset[GroupLog];
            for (K = std::lower_bound(Begin, Untimed, At - Window, ByMinute);
                 K != Untimed && K->Minute <= At + Window && Seen < MaxCandidates; ++K, ++Seen)
                if (K->Index != A) Visit(K->Index, std::abs(K->Minute - At), false);
        } else {
            for (; K != Untimed && Seen < MaxCandidates; ++K, ++Seen)
                if (K->Index != A) Visit(K->Index, std::int64_t{0}, true);
        }
        for (K = Untimed; K != End && Seen < MaxCandidates; ++K, ++Seen)
            if (K->Index != A) Visit(K->Index, std::int64_t{0}, true);
    }

    // Each log's clock error: the median time difference over the QSOs that
    // have exactly one partner in a wide window, seen both ways. A second round
    // measures against the other logs' corrected clocks.
    void EstimateOffsets() {
        std::vector<std::vector<std::pair<std::uint32_t, std::int64_t>>> Diffs(Kept.size());
        for (std::uint32_t A = 0; A < Entries.size(); ++A) {
            const TEntry& E = Entries[A];
            const std::uint32_t Other = Submitted[E.Worked];
            if (!E.Timed || Other == None || Other <= E.Log) continue;
            std::uint32_t Only = None;
            std::size_t Count = 0;
            Candidates(A, Other, WideWindow, [&](std::uint32_t B, std::int64_t, bool Untimed) {
                if (Untimed) return;
                Only = B;
                ++Count;
            });
            if (Count != 1) continue;
            std::size_t Back = 0;
            Candidates(Only, E.Log, WideWindow, [&](std::uint32_t, std::int64_t, bool Untimed) {
                if (!Untimed) ++Back;
            });
            if (Back != 1) continue;
            const std::int64_t D = E.Minute - Entries[Only].Minute;
            Diffs[E.Log].emplace_back(Other, D);
            Diffs[Other].emplace_back(E.Log, -D);
        }
        for (int Round = 0; Round < 2; ++Round) {
            std::vector<int> Next(Kept.size(), 0);
            std::vector<std::int64_t> Values;
            for (std::size_t L = 0; L < Kept.size(); ++L) {
                if (Diffs[L].size() < MatchesForOffset) continue;
                Values.clear();
                for (const auto& [Other, D] : Diffs[L])
                    Values.push_back(D + Offset[Other]);
                const std::int64_t Off = std::clamp<std::int64_t>(Median(Values), -1440, 1440);
                Next[L] = static_cast<int>(std::abs(Off) >= SmallestOffset ? Off : 0);
            }
            Offset = std::move(Next);
        }
    }

    static int ClassOf(const TEntry& A, const TEntry& B, bool Untimed) {
        return (A.Primary ? 0 : 1) + (B.Primary ? 0 : 1) + (Untimed ? 3 : 0);
    }

    // Takes pairs best first, each entry at most once.
    void Pair(std::vector<TPair>& Pairs, bool Bust) {
        std::sort(Pairs.begin(), Pairs.end());
        for (const TPair& P : Pairs) {
            if (Partner[P.A] != None || Partner[P.B] != None) continue;
            Partner[P.A] = P.B;
            Partner[P.B] = P.A;
            if (Bust) Busted[P.A] = true;
        }
    }

    // Both calls, band, mode and time within the tolerance: one to one.
    void MatchExact() {
        std::vector<TPair> Pairs;
        Pairs.reserve(Entries.size() / 2 + 1);
        for (std::uint32_t A = 0; A < Entries.size(); ++A) {
            const TEntry& E = Entries[A];
            const std::uint32_t Other = Submitted[E.Worked];
            if (Other == None || Other < E.Log) continue;
            Candidates(A, Other, Tolerance, [&](std::uint32_t B, std::int64_t Dist, bool Untimed) {
                if (Other == E.Log && B < A) return; // a log's QSO with itself, once
                Pairs.push_back({ClassOf(E, Entries[B], Untimed), Dist, A, B});
            });
        }
        Pair(Pairs, false);
    }

    // The logs whose call is one edit from a call, by the calls that share a
    // form with one character dropped.
    const std::vector<std::uint32_t>& Neighbours(std::uint32_t Call) {
        if (const auto It = NeighbourCache.find(Call); It != NeighbourCache.end())
            return It->second;
        if (Dropped.empty()) {
            for (std::uint32_t L = 0; L < Kept.size(); ++L) {
                const std::string& Text = Calls.Text(LogCall[L]);
                if (Text.size() > LongestCall) continue;
                Dropped[Text].push_back(L);
                for (std::size_t I = 0; I < Text.size(); ++I)
                    Dropped[Text.substr(0, I) + Text.substr(I + 1)].push_back(L);
            }
        }
        std::vector<std::uint32_t> Found;
        const std::string& Text = Calls.Text(Call);
        if (Text.size() <= LongestCall) {
            const auto Look = [&](const std::string& Form) {
                if (const auto It = Dropped.find(Form); It != Dropped.end())
                    for (std::uint32_t L : It->second)
                        if (OneEditApart(Text, Calls.Text(LogCall[L]))) Found.push_back(L);
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
    // over with this station at that band, mode and time: this log copied the
    // call wrongly, and the other log's QSO stands.
    void MatchBusted() {
        std::vector<TPair> Pairs;
        for (std::uint32_t A = 0; A < Entries.size(); ++A) {
            if (Partner[A] != None) continue;
            const TEntry& E = Entries[A];
            for (std::uint32_t Other : Neighbours(E.Worked)) {
                if (Other == E.Log) continue;
                Candidates(A, Other, Tolerance,
                           [&](std::uint32_t B, std::int64_t Dist, bool Untimed) {
                               if (Partner[B] == None)
                                   Pairs.push_back({ClassOf(E, Entries[B], Untimed), Dist, A, B});
                           });
            }
        }
        Pair(Pairs, true);
    }

    TCheckStatus StatusOf(std::uint32_t A, std::string& Correct) const {
        const TEntry& E = Entries[A];
        if (E.X) return TCheckStatus::XQso;
        if (!E.Primary) return TCheckStatus::Dupe;
        if (Busted[A]) {
            Correct = Calls.Text(LogCall[Entries[Partner[A]].Log]);
            return TCheckStatus::BustedCall;
        }
        if (Partner[A] != None) {
            // When the other side busted this call, the rest must still match.
            const std::string& Sent = Entries[Partner[A]].Qso->Sent;
            if (Sent.empty() || CompareExchange(Contest, E.Qso->Exchange, Sent).Disagree == 0)
                return TCheckStatus::Ok;
            Correct = Sent;
            return TCheckStatus::BustedExchange;
        }
        if (Submitted[E.Worked] != None) return TCheckStatus::Nil;
        if (WorkedByMore[E.Worked] || WorkedBy[E.Worked] != E.Log)
            return TCheckStatus::NotCheckable;
        return TCheckStatus::Unique;
    }

    TCrossResult Decide() {
        std::vector<std::size_t> Caused(Kept.size(), 0);
        Result.Logs.resize(Kept.size());
        for (std::uint32_t L = 0; L < Kept.size(); ++L) {
            TLogCheck& Check = Result.Logs[L];
            Check.Log = Kept[L];
            Check.Call = Calls.Text(LogCall[L]);
            Check.ClockOffset = Offset[L];
            Check.Claimed = Claimed[L];
            Check.Qsos.reserve(First[L + 1] - First[L]);
            // The QSOs that stood up, scored again in log order.
            TLogScore Scored(Areas);
            for (std::size_t A = First[L]; A < First[L + 1]; ++A) {
                const TEntry& E = Entries[A];
                TCheckedQSO Q;
                Q.Qso = E.Qso;
                Q.X = E.X;
                Q.Status = StatusOf(static_cast<std::uint32_t>(A), Q.Correct);
                if (Partner[A] != None) {
                    Q.OtherLog = Kept[Entries[Partner[A]].Log];
                    Q.OtherLine = Entries[Partner[A]].Qso->Line;
                }
                if (Q.Status == TCheckStatus::Nil || Q.Status == TCheckStatus::BustedCall) {
                    Check.PenaltyPoints += std::int64_t{Penalty} * BandPoints(E.Qso->Band);
                    const std::uint32_t Target = Q.Status == TCheckStatus::Nil
                                                     ? Submitted[E.Worked]
                                                     : Entries[Partner[A]].Log;
                    if (Target != L) ++Caused[Target];
                }
                if (!E.X && Credited(Q.Status)) Scored.Add(*E.Qso);
                Check.Qsos.push_back(std::move(Q));
            }
            // Scored lines then X-QSO lines: merge them into line order.
            std::stable_sort(Check.Qsos.begin(), Check.Qsos.end(),
                             [](const TCheckedQSO& A, const TCheckedQSO& B) {
                                 return A.Qso->Line < B.Qso->Line;
                             });
            Check.Checked = Scored.Totals();
            Check.Checked.Points =
                std::max<std::int64_t>(0, Check.Checked.Points - Check.PenaltyPoints);
        }
        for (std::size_t L = 0; L < Kept.size(); ++L)
            Result.Logs[L].ErrorsCaused = Caused[L];
        return std::move(Result);
    }

    const std::vector<TCrossLog>& Input;
    const TAreaList& Areas;
    const int Tolerance, Penalty;
    const TContest& Contest;

    TCrossResult Result;
    std::vector<std::size_t> Kept;      // input index of each kept log, in call order
    std::vector<std::uint32_t> LogCall; // call id of each kept log
    TInterner Calls, Bands, Modes;
    std::vector<TEntry> Entries;    // log by log, QSO lines then X-QSO lines
    std::vector<std::size_t> First; // each log's first entry; one more at the end
    std::vector<TTotals> Claimed;
    std::vector<std::uint32_t> Submitted; // by call id: the log of that call, or None
    std::vector<std::uint32_t> WorkedBy;  // by call id: the first log that holds it
    std::vector<bool> WorkedByMore;       // and whether another log holds it too
    std::vector<TKey> Sorted;             // the entries by log, call, band, mode, time
    std::vector<int> Offset;              // by log, minutes
    std::vector<std::uint32_t> Partner;   // by entry: the entry matched, or None
    std::vector<bool> Busted;             // by entry: matched through a busted call
    std::unordered_map<std::string, std::vector<std::uint32_t>> Dropped;
    std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> NeighbourCache;
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
    }
    return "ok";
}

bool Credited(TCheckStatus Status) {
    return Status == TCheckStatus::Ok || Status == TCheckStatus::NotCheckable ||
           Status == TCheckStatus::Unique;
}

std::size_t TLogCheck::Count(TCheckStatus Status) const {
    return static_cast<std::size_t>(std::count_if(
        Qsos.begin(), Qsos.end(), [&](const TCheckedQSO& Q) { return Q.Status == Status; }));
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
