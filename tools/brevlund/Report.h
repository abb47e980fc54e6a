// `brevlund report`: one self-contained HTML page of a scored log, with the
// charts drawn by the Chart.js built into the program and the data embedded
// once as JSON. Exit codes as `score`: 0 all read, 1 some lines unreadable (the
// page is still written), 2 nothing written. No exception leaves Report.
#pragma once

#include "Json.h"
#include "LogJob.h"
#include "ReportData.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace brevlund::cli {

struct TReportOptions {
    TLogJobOptions Job;
    std::string Output; // empty: the log's name with ".html"; "-": Out
};

int Report(const TReportOptions& Options, std::ostream& Out, std::ostream& Err);

// The embedded data of a scored log, shown as LogName; texts as Latin-1.
// Notes are said on the page (a missing area list, say).
TJson ReportJson(const std::string& LogName, const TLogJob& Job, const TReportData& Data);

// JSON text that an HTML <script> element holds safely: no "<", ">" or "&"
// (written as \u escapes), so neither "</script" nor "<!--" can occur.
std::string ScriptSafeJson(const TJson& Value);

// The whole page around the data.
std::string ReportPage(const TJson& Data);

// The default page file of a log: its name with ".html" for the extension.
std::string DefaultReportPath(const std::string& Log);

} // namespace brevlund::cli
