// One log job: what every brevlund command that scores a log does with the
// path it was given, in this order: the format (by the file's name, else its
// content), the encoding, the reading, the
// problems and warnings (printed the same way for every command), the area
// list (given, or beside the log), then the scoring in log order.
#pragma once

#include "LogInput.h"
#include "LogScore.h"

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brevlund::cli {

struct TLogJobOptions {
    std::string Log;
    std::optional<std::string> Areas; // --areas; else brevlund.dom beside the log
    TReadOptions Read;
    bool TableGiven = false, TokensGiven = false; // options that fit one format only
    // Score in call order, as the log rescan does; else in the order logged.
    // Unset: call order for a database, log order for a file.
    std::optional<bool> ByCall;
    // Keep the QSOs and their verdicts; otherwise each QSO is scored as it is
    // read and let go, and only the tally remains.
    bool KeepQsos = true;
};

struct TLogJob {
    std::string Log;
    TLogFormat Format = TLogFormat::Cabrillo;
    logformats::TLogRead Read; // QSOs in the order scored, when kept
    // Said when no area list lies beside the log, so that no area counts.
    std::optional<std::string> NoAreaList;
    std::unique_ptr<TLogScore> Scored;
    std::vector<TVerdict> Verdicts; // parallel to Read.QSOs, when kept

    // 0 when every line was read, 1 when some could not be.
    int ExitCode() const { return Read.Problems.empty() ? 0 : 1; }
};

// Runs the job, telling Err of problems and warnings; TNothingDone when
// nothing can be scored, TUsageError when an option does not fit the format.
TLogJob RunLogJob(const TLogJobOptions& Options, std::ostream& Err);

// The steps for a command that reads many logs and scores them its own way.
// Steps 2 to 4, the format known (OpenLog, LogInFolder): the log, its
// problems and warnings told.
logformats::TLogRead ReadLogJob(TLogSource Source, const TReadOptions& Options, std::ostream& Err,
                                logformats::TQsoSink* Sink = nullptr);
// Step 5: the area list Given, or the one beside LogOrFolder; when there is
// none there, Missing says so and no area counts. TellNoAreaList tells it.
TAreaList AreaListJob(const std::optional<std::string>& Given, const std::string& LogOrFolder,
                      std::optional<std::string>& Missing);
void TellNoAreaList(std::ostream& Err, const std::optional<std::string>& Missing);

} // namespace brevlund::cli
