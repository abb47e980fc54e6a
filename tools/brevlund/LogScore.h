// Scores a read log with the plug-in's own engine: every QSO goes through
// TTally::ScoreQSO exactly as the host's _AddQSO or the log rescan sends it.
#pragma once

#include "engine/AreaList.h"
#include "engine/HostRecords.h"
#include "engine/Scoring.h"
#include "engine/Summary.h"
#include "logformats/LogRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace brevlund::cli {

// What one QSO earned.
struct TVerdict {
    std::size_t Line = 0;
    std::int32_t Points = 0;     // -1 for a duplicate
    std::size_t DuplicateOf = 0; // the line that recorded it first, for a duplicate
    std::string NewArea;         // the area it counted as a new multiplier, or empty
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
    // AddInOrder is the rescan's road for rows sorted by call: the same verdicts.
    TVerdict Add(const logformats::TLogQSO& Qso) { return Score(Qso); }
    TVerdict AddInOrder(const logformats::TLogQSO& Qso) { return Score(Qso); }

    // Scoring Qso comes soon: see TWorkedList::Prefetch.
    void Prefetch(const logformats::TLogQSO& Qso) const;

    const TTally& Tally() const { return Scores; }
    // The statistics window's text, CR LF as the window has it.
    std::string Summary() const;
    // The areas counted on a band's statistic, in the order counted.
    std::vector<std::string> AreasOf(const TStatistic& Stat) const;
    // The multipliers window's captions, in its order, that it would not mark
    // on the band: the areas still needed there.
    std::vector<std::string> Needed(std::string_view Band) const;

private:
    TVerdict Score(const logformats::TLogQSO& Qso);

    QsoContext Context{};
    TTally Scores{Context};
    std::vector<std::size_t> RecordedLines; // by worked-list index: the line recorded
};

} // namespace brevlund::cli
