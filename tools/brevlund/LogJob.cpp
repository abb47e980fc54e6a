#include "LogJob.h"

#include "Diagnostics.h"

#include <algorithm>
#include <ostream>
#include <utility>

namespace brevlund::cli {

namespace {

// As the log rescan orders its rows: by call in byte order, equal calls as logged.
void SortByCall(std::vector<logformats::TLogQSO>& Qsos) {
    std::stable_sort(Qsos.begin(), Qsos.end(),
                     [](const logformats::TLogQSO& A, const logformats::TLogQSO& B) {
                         return CompareBytes(A.Call, B.Call) < 0;
                     });
}

} // namespace

logformats::TLogRead ReadLogJob(TLogSource Source, const TReadOptions& Options, std::ostream& Err,
                                logformats::TQsoSink* Sink) {
    const std::string Log = Source.Path;
    logformats::TLogRead Read = ReadLog(std::move(Source), Options, Sink);
    PrintProblems(Err, Log, Read);
    return Read;
}

TAreaList AreaListJob(const std::optional<std::string>& Given, const std::string& LogOrFolder,
                      std::optional<std::string>& Missing) {
    if (Given) return ReadAreaList(*Given);
    const std::string Path = AreaListBeside(LogOrFolder);
    TAreaList Areas;
    if (!Areas.LoadFromFile(Path))
        Missing = "no area list at " + Path + ": no area counts as a multiplier";
    return Areas;
}

void TellNoAreaList(std::ostream& Err, const std::optional<std::string>& Missing) {
    if (Missing) Err << "brevlund: " << *Missing << " (name one with --areas)\n";
}

TLogJob RunLogJob(const TLogJobOptions& Options, std::ostream& Err) {
    TLogJob Job;
    Job.Log = Options.Log;
    TLogSource Source = OpenLog(Options.Log);
    Job.Format = Source.Format;
    if (Options.TableGiven && Job.Format != TLogFormat::Sqlite)
        throw TUsageError("--table applies to SQLite logs only");
    if (Options.TokensGiven && Job.Format != TLogFormat::Cabrillo)
        throw TUsageError("--exchange-tokens applies to Cabrillo logs only");

    TReadOptions Read = Options.Read;
    Read.ByCall = Options.ByCall.value_or(Job.Format == TLogFormat::Sqlite);
    // The area list is had before the log, so that a log that is only scored
    // is scored as it is read; a missing one is told after the log's problems.
    Job.Scored =
        std::make_unique<TLogScore>(AreaListJob(Options.Areas, Options.Log, Job.NoAreaList));
    // A database comes in call order already; a file is sorted as the rescan would.
    const bool Sort = Read.ByCall && Job.Format != TLogFormat::Sqlite;
    TScoreAsRead ScoreAsRead(*Job.Scored);
    Job.Read =
        ReadLogJob(std::move(Source), Read, Err, Options.KeepQsos || Sort ? nullptr : &ScoreAsRead);
    ScoreAsRead.Finish();
    TellNoAreaList(Err, Job.NoAreaList);
    if (Sort) SortByCall(Job.Read.QSOs);
    if (!Job.Read.QSOs.empty()) Job.Verdicts = ScoreInLogOrder(*Job.Scored, Job.Read.QSOs);
    if (!Options.KeepQsos) {
        Job.Read.QSOs = {};
        Job.Verdicts = {};
    }
    return Job;
}

} // namespace brevlund::cli
