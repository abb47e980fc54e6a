// The log rescan over a 100,000-row SQLite log, beside a bare SQLite read of the
// same rows and columns, so the rescan's own cost shows as a ratio.
//
//   ./run bench --benchmark_filter=Rescan\|BareRead
#include "BareRead.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/SqliteLogQuery.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <random>
#include <unistd.h>

using namespace brevlund;

namespace {

constexpr int Rows = 100000;

// A log database in a folder of its own, made once per process.
struct TBenchLog {
    TBenchLog() {
        char Pattern[] = "/tmp/brevlund-bench-XXXXXX";
        Folder = mkdtemp(Pattern);
        Path = Folder + "/log.db";
        TSqliteConnection Log(Path);
        Log.Execute("create table Log (QSOReportRecived, DXCCPrefix, MainPrefix, CallSign, "
                    "DigiBand, QSOMode, Continent)");
        Log.Execute("begin");
        std::mt19937 Random(3);
        const char* Bands[] = {"1.8", "3.5", "7", "10", "14", "18", "21", "24", "28"};
        sqlite3_stmt* Insert = nullptr;
        sqlite3_prepare_v2(Log.Handle(), "insert into Log values (?, 'SM', 'SM', ?, ?, ?, 'eu')",
                           -1, &Insert, nullptr);
        for (int I = 0; I < Rows; ++I) {
            std::string Call = "XX0XXX";
            for (std::size_t K = 0; K < Call.size(); ++K)
                Call[K] = K == 2 ? static_cast<char>('0' + Random() % 10)
                                 : static_cast<char>('A' + Random() % 26);
            const std::string Exchange = std::string("599 ") +
                                         static_cast<char>('A' + Random() % 26) +
                                         static_cast<char>('A' + Random() % 26);
            sqlite3_bind_text(Insert, 1, Exchange.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(Insert, 2, Call.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(Insert, 3, Bands[Random() % 9], -1, SQLITE_STATIC);
            sqlite3_bind_text(Insert, 4, Random() % 2 ? "CW" : "SSB", -1, SQLITE_STATIC);
            sqlite3_step(Insert);
            sqlite3_reset(Insert);
        }
        sqlite3_finalize(Insert);
        Log.Execute("commit");
    }
    ~TBenchLog() { std::system(("rm -rf '" + Folder + "'").c_str()); }
    std::string Folder, Path;
};

TBenchLog& BenchLog() {
    static TBenchLog Log;
    return Log;
}

// The same statement and the seven columns as text, by index: no lookup by
// name, nothing stored, nothing scored.
void BM_BareRead(benchmark::State& State) {
    TSqliteConnection Log(BenchLog().Path);
    for (auto _ : State)
        benchmark::DoNotOptimize(bench::BareRead(Log.Handle(), "Log"));
    State.SetItemsProcessed(State.iterations() * Rows);
}

// The statistics window's rescan: the same read, every row scored.
void BM_Rescan(benchmark::State& State) {
    bench::TimeRescan(State, BenchLog().Folder, BenchLog().Path, "Log", Rows);
}

} // namespace

BENCHMARK(BM_BareRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rescan)->Unit(benchmark::kMillisecond);
