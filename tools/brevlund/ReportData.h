// What the report page shows, worked out from a read log and the verdicts of
// scoring it in log order: the hours, the multipliers as they came, the area
// grid, the off-times and the band changes. Pure: no files, no HTML, no JSON.
#pragma once

#include "LogScore.h"

#include "logformats/LogRecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brevlund::cli {

// A time is whole minutes since 1970-01-01 00:00 UTC, as MinuteOf gives it.
using TMinute = std::int64_t;

// "2026-03-07T14:02Z".
std::string TimeText(TMinute Minute);

// One clock hour (UTC) between the first and the last QSO's hour.
struct TReportHour {
    TMinute Start = 0;
    // QSOs the summary counts (no duplicates), per band: one entry per band
    // worked in the hour, bands in the summary's order.
    std::vector<std::pair<std::string, std::int64_t>> Qsos;
    // QSO lines, duplicates included, whose band differs from the QSO before
    // them in time.
    std::int64_t BandChanges = 0;
    // The running tally at the hour's end, of the QSOs with times.
    std::int64_t Points = 0, Multipliers = 0;
};

// A band and area counted for the first time, in the order scored.
struct TReportMultiplier {
    std::optional<TMinute> Time;
    std::string Band, Area;
    std::size_t Line = 0;
};

struct TReportOffTime {
    TMinute From = 0, To = 0;
};

// One row of the area grid: per grid band, the time of the QSO that counted
// the area there; a band without an entry is still needed.
struct TReportGridArea {
    std::string Area;
    std::vector<std::pair<std::string, std::optional<TMinute>>> First;
};

struct TReportData {
    // Whether any QSO has a valid date and time: without, no time charts.
    bool HasTimes = false;
    // The times span more hours than the charts take (a mistyped year, say):
    // no hours and no time charts, but the off-times.
    bool SpanTooLong = false;
    TMinute FirstTime = 0, LastTime = 0;
    std::vector<TReportHour> Hours;
    std::vector<TReportMultiplier> Multipliers;
    std::vector<std::string> GridBands;
    std::vector<TReportGridArea> Grid;
    std::vector<TReportOffTime> OffTimes;
    // First to last QSO less the off-times.
    TMinute OnTime = 0;
    // QSOs without a valid time, left out of everything over time.
    std::size_t Untimed = 0;
    // The duplicates in log order: the index into the QSOs, and the time.
    struct TDuplicate {
        std::size_t Qso = 0;
        std::optional<TMinute> Time;
    };
    std::vector<TDuplicate> Duplicates;
};

// At most this many hours are charted: a year.
constexpr std::size_t MaxReportHours = 24 * 366;

// A gap of this many minutes or more between two QSOs is an off-time.
constexpr TMinute OffTimeMinutes = 60;

// Qsos and Verdicts are parallel, as ScoreInLogOrder gives them; Scored is
// the tally they went into.
TReportData BuildReportData(const std::vector<logformats::TLogQSO>& Qsos,
                            const std::vector<TVerdict>& Verdicts, const TLogScore& Scored);

} // namespace brevlund::cli
