// brevlund check-logs: the sponsor's checked score. Reads every log, checks
// each against the others (CrossCheck.h) and writes the results table, a
// report per log and the results file, or one JSON object. A file that is
// not checked (unreadable, no log, no call, a newer log of its call) is in
// the results too, with the reason.
//   0  done, nothing wrong
//   1  done, but some lines or files could not be read (listed on Err)
//   2  nothing checked: no log could be read, output not written (TNothingDone
//      when nothing at all was checked)
#pragma once

#include "Contest.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace brevlund::cli {

struct TCheckLogsOptions {
    std::vector<std::string> Inputs;  // log files, or folders of them (LogInFolder)
    std::optional<std::string> Areas; // the area list; beside the first input unless given
    TContest Contest = BuiltInContests().front();
    int ToleranceMinutes = 3;
    int Penalty = 0;
    bool Json = false;
    std::string OutDir; // CALL.txt per log and results.csv, when not empty
};

int CheckLogs(const TCheckLogsOptions& Options, std::ostream& Out, std::ostream& Err);

} // namespace brevlund::cli
