// The first showing of the statistics window over a 10,000-row log through
// SQLite: the window built for the host's context, then its first showing's
// rescan and summary; beside it the rescan alone and the bare read of the same
// rows under it, whose ratio is the rescan's own cost. The same rows as
// AdoRescanChecks.exe's "time" run, which reads them through ADO under Wine,
// so the figures can stand side by side.
//
//   ./run bench --benchmark_filter=10k
#include "BareRead.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/SqliteLogQuery.h"
#include "provider/SampleLog.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

using namespace brevlund;

namespace {

constexpr int Rows = 10000;

struct TSampleDatabase {
    TSampleDatabase() {
        char Pattern[] = "/tmp/brevlund-first-XXXXXX";
        Folder = mkdtemp(Pattern);
        Path = Folder + "/log.db";
        std::system(("mkdir -p '" + Folder +
                     "/Plugins' && cp '" BREVLUND_SOURCE_DIR
                     "/examples/host/Plugins/brevlund.dom' '" +
                     Folder + "/Plugins/'")
                        .c_str());
        const sample::TTable Log = sample::MakeLog(Rows);
        TSqliteConnection Db(Path);
        std::string Create = "create table Timed (", Insert = "insert into Timed values (";
        for (std::size_t I = 0; I < Log.Header.size(); ++I) {
            std::string Name = Log.Header[I];
            const bool Integer = Name.size() > 4 && Name.compare(Name.size() - 4, 4, ":int") == 0;
            if (Integer) Name.resize(Name.size() - 4);
            Create += (I ? ", " : "") + Name + (Integer ? " integer" : " text");
            Insert += I ? ", ?" : "?";
        }
        Db.Execute(Create + ")");
        Db.Execute("begin");
        sqlite3_stmt* Statement = nullptr;
        sqlite3_prepare_v2(Db.Handle(), (Insert + ")").c_str(), -1, &Statement, nullptr);
        for (const auto& Row : Log.Rows) {
            for (std::size_t I = 0; I < Row.size(); ++I)
                if (Row[I])
                    sqlite3_bind_text(Statement, static_cast<int>(I + 1), Row[I]->c_str(), -1,
                                      SQLITE_TRANSIENT);
                else
                    sqlite3_bind_null(Statement, static_cast<int>(I + 1));
            sqlite3_step(Statement);
            sqlite3_reset(Statement);
        }
        sqlite3_finalize(Statement);
        Db.Execute("commit");
    }
    ~TSampleDatabase() { std::system(("rm -rf '" + Folder + "'").c_str()); }
    std::string Folder, Path;
};

TSampleDatabase& Sample() {
    static TSampleDatabase Made;
    return Made;
}

void BM_FirstShowing10k(benchmark::State& State) {
    const TSampleDatabase& Sample = ::Sample();
    THeadlessPlatform Platform(Sample.Folder + "/Logger.exe");
    TSqliteConnection Log(Sample.Path);
    QsoContext Host{};
    Host.LogConnection = Log.Number();
    Host.LogTable.Store("Timed");
    for (auto _ : State) {
        TfmMainForm Form(Platform, &Host);
        Form.FormShow();
        benchmark::DoNotOptimize(Form.Scores().BandStats.size());
    }
    State.SetItemsProcessed(State.iterations() * Rows);
}

// "Recalc Statistic" without the window around it: the rows read and scored.
void BM_Rescan10k(benchmark::State& State) {
    bench::TimeRescan(State, Sample().Folder, Sample().Path, "Timed", Rows);
}

void BM_BareRead10k(benchmark::State& State) {
    TSqliteConnection Log(Sample().Path);
    for (auto _ : State)
        benchmark::DoNotOptimize(bench::BareRead(Log.Handle(), "Timed"));
    State.SetItemsProcessed(State.iterations() * Rows);
}

} // namespace

BENCHMARK(BM_FirstShowing10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rescan10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareRead10k)->Unit(benchmark::kMillisecond);
