// brevlund check-logs over a simulated contest of 10,000, 100,000 and
// 1,000,000 QSO lines (50, 200 and 2,000 Cabrillo logs), and over one of
// serial numbers that allows repeats, beside reading the same files and
// splitting their lines into words, so that the checking's own cost shows as a
// ratio. Peak memory is the process's, reported after each run; the logs are
// written by a child process so that making them costs nothing here.
//
//   ./run bench --benchmark_filter='CheckLogs|ReadAndSplit'
#include "CheckLogs.h"
#include "LogInput.h"
#include "MadeUpLogs.h"

#include "logformats/LogRecord.h"

#include <benchmark/benchmark.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <ostream>
#include <streambuf>

using namespace brevlund;

namespace {

// A folder of logs per size, made once per process and removed at its end.
class TContestFolders {
public:
    ~TContestFolders() {
        for (const auto& [Lines, Folder] : Folders)
            std::system(("rm -rf '" + Folder + "' '" + Folder + ".json'").c_str());
    }

    // With Repeats, the folder's definition is Folder + ".json".
    const std::string& Of(int Lines, bool Repeats = false) {
        auto It = Folders.find({Lines, Repeats});
        if (It != Folders.end()) return It->second;
        char Pattern[] = "/tmp/brevlund-checklogs-XXXXXX";
        const std::string Folder = mkdtemp(Pattern);
        const pid_t Child = fork();
        if (Child == 0) {
            bench::WriteContest(Lines, Folder, Repeats ? Folder + ".json" : "");
            _exit(0);
        }
        int Status = 0;
        waitpid(Child, &Status, 0);
        return Folders.emplace(std::pair{Lines, Repeats}, Folder).first->second;
    }

private:
    std::map<std::pair<int, bool>, std::string> Folders;
};

TContestFolders Contests;

class TNullBuffer final : public std::streambuf {
protected:
    int overflow(int C) override { return C; }
    std::streamsize xsputn(const char*, std::streamsize N) override { return N; }
};

double PeakMiB() {
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    return static_cast<double>(Usage.ru_maxrss) / 1024.0;
}

void RunCheckLogs(benchmark::State& State, bool Repeats) {
    const int Lines = static_cast<int>(State.range(0));
    cli::TCheckLogsOptions Options;
    Options.Inputs = {Contests.Of(Lines, Repeats)};
    if (Repeats) Options.Contest = cli::LoadContest(Options.Inputs.front() + ".json");
    TNullBuffer Null;
    std::ostream Out(&Null), Err(&Null);
    for (auto _ : State)
        if (cli::CheckLogs(Options, Out, Err) != 0) State.SkipWithError("check-logs failed");
    State.SetComplexityN(Lines);
    State.counters["QSOs"] = Lines;
    State.counters["peak_MiB"] = PeakMiB();
}

void CheckLogs(benchmark::State& State) {
    RunCheckLogs(State, false);
}

void CheckLogsRepeats(benchmark::State& State) {
    RunCheckLogs(State, true);
}

// The floor under any checker: every file read whole, its lines split into words.
void ReadAndSplit(benchmark::State& State) {
    const int Lines = static_cast<int>(State.range(0));
    const std::string& Folder = Contests.Of(Lines);
    std::vector<std::string> Files;
    if (DIR* Dir = opendir(Folder.c_str())) {
        while (const dirent* Entry = readdir(Dir))
            if (std::string Name = Entry->d_name;
                Name.size() > 4 && Name.substr(Name.size() - 4) == ".log")
                Files.push_back(Folder + "/" + Name);
        closedir(Dir);
    }
    for (auto _ : State) {
        std::size_t Words = 0;
        for (const std::string& File : Files) {
            const std::string Text = cli::ReadTextFile(File);
            logformats::ForEachLine(Text, [&](std::size_t, std::string_view Line) {
                Words += logformats::SplitWords(Line).size();
            });
        }
        benchmark::DoNotOptimize(Words);
    }
    State.SetComplexityN(Lines);
}

} // namespace

BENCHMARK(ReadAndSplit)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckLogs)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oNLogN);
BENCHMARK(CheckLogsRepeats)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
