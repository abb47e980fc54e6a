// brevlund results: the sponsor's results site. The logs are checked once, as
// check-logs checks them, and the results are written into one folder:
// index.html (a table per category ranked by checked score, the winner of each
// area, the bands, the check logs and the logs not checked), results.csv and
// results.json with the same fields, and a report per entrant, CALL.html and
// CALL.txt. The pages open offline: no address outside the folder.
// Exit codes as check-logs'.
#pragma once

#include "CheckLogs.h"

#include <iosfwd>
#include <string>

namespace brevlund::cli {

struct TResultsOptions {
    TCheckLogsOptions Check; // OutDir: the folder, "results" unless given
    std::string Title;       // the page title; empty: from the contest's name
};

int Results(const TResultsOptions& Options, std::ostream& Out, std::ostream& Err);

} // namespace brevlund::cli
