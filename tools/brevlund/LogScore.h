// Scores a read log with the plug-in's own engine: every QSO goes through
// TTally::ScoreQSO exactly as the host's _AddQSO or the log rescan sends it.
#pragma once

#include "engine/AreaList.h"
#include "engine/HostRecords.h"
#include "engine/Scoring.h"
#include "engine/Summary.h"
#include "logformats/LogRecord.h"

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
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

    // As _AddQSO: score and record, then keep the worked list in call order.
    // AddInOrder leaves the sort out, as the rescan does for rows sorted by call.
    TVerdict Add(const logformats::TLogQSO& Qso) { return Score(Qso, true); }
    TVerdict AddInOrder(const logformats::TLogQSO& Qso) { return Score(Qso, false); }

    const TTally& Tally() const { return Scores; }
    // The statistics window's text, CR LF as the window has it.
    std::string Summary() const;
    // The areas counted on a band's statistic, in the order counted.
    std::vector<std::string> AreasOf(const TStatistic& Stat) const;
    // The multipliers window's captions, in its order, that it would not mark
    // on the band: the areas still needed there.
    std::vector<std::string> Needed(std::string_view Band) const;

private:
    TVerdict Score(const logformats::TLogQSO& Qso, bool SortAfter);

    QsoContext Context{};
    TTally Scores{Context};
    std::map<std::tuple<std::string, std::string, std::string>, std::size_t> FirstLines;
};

} // namespace brevlund::cli
