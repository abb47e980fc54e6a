// Scores a read log with the plug-in's own engine: every QSO goes through the
// rule that the host's _AddQSO and the log rescan reach (TTally::Score), given
// its four texts, and the engine says what it decided.
#pragma once

#include "engine/AreaList.h"
#include "engine/HostRecords.h"
#include "engine/Scoring.h"
#include "engine/Summary.h"
#include "logformats/LogRecord.h"

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace brevlund::cli {

// What one QSO earned; parallel to the QSOs scored.
struct TVerdict {
    static constexpr std::uint32_t NoMultiplier = std::numeric_limits<std::uint32_t>::max();

    std::int32_t Points = 0; // -1 for a duplicate
    // The index into the tally's multiplier keys of the band and area it
    // counted first, or NoMultiplier.
    std::uint32_t NewMultiplier = NoMultiplier;
    std::size_t DuplicateOf = 0; // the line that recorded it first, for a duplicate

    bool Duplicate() const { return Points < 0; }
    bool CountedMultiplier() const { return NewMultiplier != NoMultiplier; }
};

class TLogScore {
public:
    explicit TLogScore(const TAreaList& Areas);
    TLogScore(const TLogScore&) = delete;
    TLogScore& operator=(const TLogScore&) = delete;

    // Scores and records with the verdicts of _AddQSO, which sorts the worked
    // list after every recorded QSO. The tool's worked list keeps log order with
    // a hash index instead, so that a whole log costs O(n), not a shift per QSO;
    // the tests and a fuzz target hold it to the plug-in's sorted path.
    TVerdict Add(const logformats::TLogQSO& Qso);

    // Scoring Qso comes soon: see TWorkedList::Prefetch. This many QSOs ahead
    // gives the memory time to answer.
    void Prefetch(const logformats::TLogQSO& Qso) const;
    static constexpr std::size_t PrefetchAhead = 8;

    const TTally& Tally() const { return Scores; }
    TTotals Totals() const { return brevlund::Totals(Scores.BandStats); }
    // The band and area a QSO counted first; only for a verdict that counted one.
    const TMultiplierKey& NewMultiplier(const TVerdict& Verdict) const {
        return Scores.MultiplierKeys[Verdict.NewMultiplier];
    }
    // The statistics window's text, CR LF as the window has it.
    std::string Summary() const;
    // The areas counted on a band's statistic, in the order counted.
    std::vector<std::string> AreasOf(const TStatistic& Stat) const;
    // The multipliers window's captions, in its order, that it would not mark
    // on the band: the areas still needed there.
    std::vector<std::string> Needed(std::string_view Band) const;

private:
    QsoContext Context{}; // the host's road in; this tool scores texts instead
    TTally Scores{Context};
    std::vector<std::size_t> RecordedLines; // by worked-list index: the line recorded
};

// Scores QSOs in the order given, as _AddQSO does one after another.
std::vector<TVerdict> ScoreInLogOrder(TLogScore& Scored,
                                      const std::vector<logformats::TLogQSO>& Qsos);

// Scores QSOs in the order a reader hands them on (TQsoSink), none kept: each
// a few QSOs after it arrives, so that its lookup was prefetched meanwhile.
// Finish scores the last ones.
class TScoreAsRead : public logformats::TQsoSink {
public:
    explicit TScoreAsRead(TLogScore& Scored) : Scored(Scored) {}
    void Take(const logformats::TLogQSO& Qso) override;
    void Finish();

private:
    static constexpr std::size_t Ahead = TLogScore::PrefetchAhead;
    TLogScore& Scored;
    logformats::TLogQSO Waiting[Ahead]; // a ring; its texts keep their room
    std::size_t Taken = 0, Done = 0;
};

} // namespace brevlund::cli
