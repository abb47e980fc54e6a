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
#include "CrossCheck.h"

#include "engine/AreaList.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <set>
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

// A file that takes no part in the check, and why: it cannot be read, is no
// log, names no call, or a newer log of its call is checked.
struct TNotChecked {
    std::string File, Call, Reason;
};

// The check as check-logs does it, once, for what else publishes its results.
struct TCheckRun {
    std::vector<TCrossLog> Logs; // every log read; Result points into them
    std::vector<TNotChecked> NotChecked;
    TAreaList Areas;
    bool NoAreaList = false; // none was found: no multiplier counts
    TCrossResult Result;
    bool Unread = false; // some file, line or folder could not be read
};
// Reads Options.Inputs and checks them; TNothingDone when no log could be read.
// Tells on Err what it tells in check-logs.
TCheckRun RunCheck(const TCheckLogsOptions& Options, std::ostream& Err);

// The contest as the entrants' reports name it.
std::string ContestTitle(const TContest& Contest);
// "2 hours", "5 hours 30 minutes", "7 minutes".
std::string Duration(int Minutes);
// A QSO as the reports show what was logged: call, band, mode, time, "exchange".
std::string Logged(const logformats::TLogQSO& Q);
// Writes a file whole; false, told on Err, when it cannot.
bool WriteFile(const std::filesystem::path& Path, const std::string& Text, std::ostream& Err);

// A field of results.csv, quoted when it must be.
std::string CsvField(const std::string& Text);

// File names from calls, none given twice: only A-Z, 0-9 and "-" stand, so
// that nothing a log says reaches a path; "SM5AAA/P" is "SM5AAA-P", a second
// call that gives a name already given gets "-2" after it, and so on; "-"
// for an empty call. Without an extension.
class TCallFileNames {
public:
    std::string Take(const std::string& Call);

private:
    std::set<std::string> Given;
};

} // namespace brevlund::cli
