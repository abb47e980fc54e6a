// What a sponsor tells each entrant after the check: the entry as its header
// declares it and what holding the log to it found, the score claimed and
// checked, every QSO that lost credit with what the other log shows, the
// duplicates, uniques and unverified QSOs apart, the multipliers lost and the
// errors the log caused in others. One report: CALL.txt of check-logs and of
// results, and CALL.html of results.
#pragma once

#include "CheckLogs.h"
#include "EntryCheck.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace brevlund::cli {

// A log's entry: what its header declares, what holding the log to it found,
// and where it stands.
struct TEntry {
    // The category ranked in: the words of the parts the contest ranks by
    // (all the log gives, unless its definition names them), joined by blanks.
    std::string Category;
    std::string Declared; // every part the log gives, when more than Category
    bool CheckLog = false;
    std::string Name, Club, Location, Soapbox;
    std::vector<TEntryFinding> Findings;
    std::vector<TEntryFlag> Flags;
    std::string Area;     // the area its QSOs sent; empty: none
    std::size_t Rank = 0; // in its category; 0: not ranked
};

// The entry of a checked log, held to its header as `score --check` holds
// it: against the score it claimed unless no area list let a multiplier
// count, and against the contest checked.
TEntry EntryOf(const TCheckRun& Run, const TLogCheck& Log, const TContest& Contest);

struct TReportSection {
    std::string Title;
    std::vector<std::string> Lines; // a line beginning with two blanks belongs to the one above
    bool Preformatted = false;      // columns, or the entrant's own lines
};

struct TEntrantReport {
    std::string Title;
    std::vector<TReportSection> Sections;
};

class TEntrantReports {
public:
    TEntrantReports(const TCheckRun& Run, const TCheckLogsOptions& Options);
    TEntrantReport Of(const TLogCheck& Log, const TEntry& Entry) const;

private:
    std::string CallOf(std::size_t Log) const;
    std::string OtherSide(const TCheckedQSO& Q) const;

    const TCheckRun& Run;
    const TCheckLogsOptions& Options;
    std::map<std::size_t, std::string> Calls; // of the logs checked, by input log
};

// How much of the claimed score the check took, in percent to one decimal;
// 0 for a claim of 0 or less. "2.5".
double ReductionPercent(std::int64_t Claimed, std::int64_t Checked);
std::string PercentText(double Percent);

// The report as CALL.txt has it.
std::string ReportText(const TEntrantReport& Report);

} // namespace brevlund::cli
