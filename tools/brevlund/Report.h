// `brevlund report`: one self-contained HTML page of a scored log, with the
// charts drawn by the Chart.js built into the program and the data embedded
// once as JSON. Exit codes as `score`: 0 all read, 1 some lines unreadable (the
// page is still written); when nothing can be written it throws TNothingDone,
// which the command line turns into exit 2.
#pragma once

#include "Contest.h"
#include "Json.h"
#include "LogJob.h"
#include "ReportData.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace brevlund::cli {

struct TReportOptions {
    TLogJobOptions Job;
    std::string Output; // empty: the log's name with ".html"; "-": Out
    // --contest: its name heads the page when the log names none, and its
    // period tells the QSOs outside the contest. Unset: the default contest.
    std::optional<TContest> Contest;
};

int Report(const TReportOptions& Options, std::ostream& Out, std::ostream& Err);

// The default page file of a log: its name with ".html" for the extension.
std::string DefaultReportPath(const std::string& Log);

} // namespace brevlund::cli
