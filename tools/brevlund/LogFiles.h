// Finding, reading and scoring a log file as every brevlund command does: the
// format from the extension, the whole file, the area list beside the log.
#pragma once

#include "LogScore.h"

#include "engine/AreaList.h"
#include "logformats/LogRecord.h"

#include <exception>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace brevlund::cli {

enum class TLogFormat { Cabrillo, Adif, Sqlite, Csv };

// The format named by the file's extension, in any letter case; nothing for
// an unknown one.
std::optional<TLogFormat> FormatOf(const std::string& Path);

// What to say when FormatOf knows no format.
std::string UnknownFormatMessage(const std::string& Path);

// The folder part of a path with its separator, or empty.
std::string FolderOf(const std::string& Path);

// The whole file, or nothing with the reason in Error.
std::optional<std::string> ReadWholeFile(const std::string& Path, std::string& Error);

struct TReadOptions {
    std::string Table = "Log"; // SQLite only
    bool ByCall = false;       // SQLite: the rescan's statement, else the table's own order
    int ExchangeTokens = 0;    // Cabrillo only; 0: from each line's count
};

// Reads a log of the given format; nothing, with the message in Error, when it
// cannot be had at all (a missing file, a database error, no SQLite here) or
// the file is no log of its format: empty, binary or UTF-16, the other format,
// no QSO found. The readers warn of every band and mode outside the known ones.
std::optional<logformats::TLogRead> ReadLog(const std::string& Path, TLogFormat Format,
                                            const TReadOptions& Options, std::string& Error);

// Why a Cabrillo or ADIF file's text cannot be its log before reading it
// ("the file is empty", "binary or UTF-16 text, not a log"), or nothing.
std::optional<std::string> NotText(std::string_view Text);
// Why the read of a Cabrillo or ADIF file is no log (no QSO, the other
// format's content), or nothing.
std::optional<std::string> NotALog(std::string_view Text, TLogFormat Format,
                                   const logformats::TLogRead& Read);

// "brevlund: MESSAGE" on Err, and exit code 2: nothing was done.
int Failure(std::ostream& Err, const std::string& Message);

// Runs a command so that nothing escapes it: an unexpected failure is exit 2
// with its text.
template <typename TCommand> int Guarded(std::ostream& Err, TCommand&& Run) {
    try {
        return Run();
    } catch (const std::exception& E) {
        return Failure(Err, E.what());
    } catch (...) {
        return Failure(Err, "unexpected failure");
    }
}

// Scores QSOs in the order given, as _AddQSO does one after another.
std::vector<TVerdict> ScoreInLogOrder(TLogScore& Scored,
                                      const std::vector<logformats::TLogQSO>& Qsos);

} // namespace brevlund::cli
