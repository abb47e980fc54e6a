// What the report page shows, worked out from a read log and the verdicts of
// scoring it in log order: the hours, the multipliers as they came, the area
// grid, the off-times and the band changes. Pure: no files, no HTML, no JSON.
#pragma once

#include "Contest.h"
#include "LogScore.h"

#include "logformats/LogRecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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
    bool Outside = false; // its time lies outside the contest
};

// The most QSOs the summary counts within any window of Minutes clock
// minutes, both ends included, and the window's first minute (the earliest
// of equals).
struct TReportBestRate {
    TMinute Minutes = 0;
    std::int64_t Qsos = 0;
    TMinute From = 0;
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
    // The summary's bands in frequency order, the order of every table and chart.
    std::vector<std::string> Bands;
    std::vector<TReportHour> Hours;
    // The best 10 and 60 minutes, when there are times.
    std::vector<TReportBestRate> BestRates;
    // QSOs the summary counts, per mode: most first, equal counts by name.
    std::vector<std::pair<std::string, std::int64_t>> Modes;
    std::vector<TReportMultiplier> Multipliers;
    // QSO lines (duplicates too) whose time lies far from the contest (a
    // mistyped year, say), in time order: indexes into the QSOs. They count in
    // the score but take no part in anything over time.
    std::vector<std::size_t> Outside;
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
    // What to mend before sending the log, each "LINE: text"; filled by the
    // caller, shown only when there is any.
    std::vector<std::string> Findings;
};

// At most this many hours are charted: a year.
constexpr std::size_t MaxReportHours = 24 * 366;

// A gap of this many minutes or more between two QSOs is an off-time.
constexpr TMinute OffTimeMinutes = 60;

// Without a contest period, a QSO more than this many minutes from the median
// QSO time lies outside the contest: the longest contests last 48 hours.
constexpr TMinute OutsideMinutes = 48 * 60;

// Whether each time lies outside the contest: outside Period when there is
// one, else more than OutsideMinutes from the median time (of an even count,
// the earlier of the middle two, so that one of two far-apart QSOs stays).
std::vector<bool> OutsideTheContest(const std::vector<TMinute>& Times,
                                    const std::optional<TContestPeriod>& Period);

// A band as the page names it: "14 MHz" for the label "14", "1.2 GHz" for
// "1.2G"; a frequency in kHz that the readers kept as written as the band it
// lies on ("14000" is "14 MHz", "5357" "5 MHz", "472" "472 kHz"); any other
// text as it is.
std::string BandName(std::string_view Band);
// Bands lowest frequency first; those of no known frequency after them, as given.
std::vector<std::string> InFrequencyOrder(std::vector<std::string> Bands);

// The texts of the lines Numbers of a log's Text (lines as the readers count
// them), each cut to MaxLength bytes with "..." after; empty past the end.
std::vector<std::string> LineTexts(std::string_view Text, const std::vector<std::size_t>& Numbers,
                                   std::size_t MaxLength = 200);

// Qsos and Verdicts are parallel, as ScoreInLogOrder gives them; Scored is
// the tally they went into; Period, the contest's, when its definition has one.
TReportData BuildReportData(const std::vector<logformats::TLogQSO>& Qsos,
                            const std::vector<TVerdict>& Verdicts, const TLogScore& Scored,
                            const std::optional<TContestPeriod>& Period = std::nullopt);

} // namespace brevlund::cli
