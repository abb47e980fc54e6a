// Scoring a whole Cabrillo log as `brevlund score` does (read the file, read
// its QSOs, score each), beside a bare pass that reads the same file and splits
// its lines into tokens: the floor any reader stands on. Logs of 10,000 to
// 1,000,000 QSOs in random call order, the order that used to cost a shift of
// the worked list per QSO. Reports both times and their ratio.
//
//   ./run bench --benchmark_filter=LogScore
#include "LogJob.h"
#include "MadeUpLogs.h"

#include "logformats/LogRecord.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>

using namespace brevlund;

namespace {

// A made-up log of Count QSOs with random calls, written once per size.
const std::string& LogFile(std::int64_t Count) {
    // Removed when the program ends.
    static struct TFiles {
        std::map<std::int64_t, std::string> Paths;
        ~TFiles() {
            for (const auto& [Count, Path] : Paths)
                std::remove(Path.c_str());
        }
    } Files;
    std::string& Path = Files.Paths[Count];
    if (!Path.empty()) return Path;
    Path = "/tmp/brevlund-bench-" + std::to_string(getpid()) + "-" + std::to_string(Count) + ".log";
    bench::WriteCabrillo(static_cast<long>(Count), Path.c_str());
    return Path;
}

// Read the file, split every line into tokens.
std::size_t BarePass(const std::string& Path) {
    const std::string Text = cli::ReadTextFile(Path);
    std::size_t Tokens = 0;
    std::vector<std::string_view> Words;
    logformats::ForEachLine(Text, [&](std::size_t, std::string_view Line) {
        logformats::SplitWords(Line, Words);
        Tokens += Words.size();
    });
    return Tokens;
}

// What `brevlund score LOG` does before it prints: the same log job.
std::int64_t ScoreLog(const std::string& Path, const std::string& Areas) {
    cli::TLogJobOptions Options;
    Options.Log = Path;
    Options.Areas = Areas;
    std::ostringstream Err;
    const cli::TLogJob Job = cli::RunLogJob(Options, Err);
    benchmark::DoNotOptimize(Job.Scored->Summary());
    return Job.Scored->Totals().Points;
}

void LogScore(benchmark::State& State) {
    const std::string& Path = LogFile(State.range(0));
    const std::string Areas = BREVLUND_SOURCE_DIR "/examples/host/Plugins/brevlund.dom";
    // Wall time, and the thread's CPU time, which other programs on a shared
    // machine do not stretch; the ratio is taken from the CPU times.
    using TClock = std::chrono::steady_clock;
    const auto Cpu = [] {
        timespec T{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
        return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) * 1e-9;
    };
    double Bare = 0, Score = 0, BareCpu = 0, ScoreCpu = 0;
    for (auto _ : State) {
        const auto T0 = TClock::now();
        const double C0 = Cpu();
        benchmark::DoNotOptimize(BarePass(Path));
        const auto T1 = TClock::now();
        const double C1 = Cpu();
        benchmark::DoNotOptimize(ScoreLog(Path, Areas));
        const auto T2 = TClock::now();
        const double C2 = Cpu();
        Bare += std::chrono::duration<double>(T1 - T0).count();
        Score += std::chrono::duration<double>(T2 - T1).count();
        BareCpu += C1 - C0;
        ScoreCpu += C2 - C1;
        State.SetIterationTime(std::chrono::duration<double>(T2 - T1).count());
    }
    using benchmark::Counter;
    State.counters["bare_s"] = Counter(Bare, Counter::kAvgIterations);
    State.counters["score_s"] = Counter(Score, Counter::kAvgIterations);
    State.counters["bare_cpu_s"] = Counter(BareCpu, Counter::kAvgIterations);
    State.counters["score_cpu_s"] = Counter(ScoreCpu, Counter::kAvgIterations);
    State.counters["ratio"] = ScoreCpu / BareCpu;
    State.SetItemsProcessed(State.iterations() * State.range(0));
}

BENCHMARK(LogScore)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->UseManualTime()->Unit(
    benchmark::kMillisecond);

} // namespace
