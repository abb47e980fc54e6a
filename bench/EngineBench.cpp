// Scoring against a worked list of 1,000 to 100,000 QSOs: the duplicate check
// alone, and the whole path a recorded QSO takes (score, keep the list in call
// order, reprint the summary), beside the same path done by appending and then
// sorting the whole list.
//
//   ./run bench
#include "engine/Scoring.h"
#include "engine/Summary.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

using namespace brevlund;

namespace {

class TNullBox final : public TTextBox {
public:
    void SetText(const std::string& Text) override { benchmark::DoNotOptimize(Text.data()); }
    std::string GetText() const override { return {}; }
};

const char* const Bands[] = {"1.8", "3.5", "7", "10", "14", "18", "21", "24", "28"};
const char* const Modes[] = {"CW", "SSB"};

// A call like SM5ABC, drawn at random so arrivals are in no particular order.
std::string RandomCall(std::mt19937& Random) {
    std::string Call = "XX0XXX";
    for (std::size_t I = 0; I < Call.size(); ++I)
        Call[I] = I == 2 ? static_cast<char>('0' + Random() % 10)
                         : static_cast<char>('A' + Random() % 26);
    return Call;
}

void NextQso(QsoContext& Context, std::mt19937& Random) {
    Context.CallSign.Store(RandomCall(Random));
    Context.DigiBand.Store(Bands[Random() % 9]);
    Context.QSOMode.Store(Modes[Random() % 2]);
    const char Area[] = {static_cast<char>('A' + Random() % 26),
                         static_cast<char>('A' + Random() % 26), 0};
    Context.QSOReportRecived.Store(std::string("599 ") + Area);
}

void Fill(TTally& Tally, QsoContext& Context, std::mt19937& Random, std::int64_t Count) {
    std::vector<std::string> Areas;
    for (char A = 'A'; A <= 'Z'; ++A)
        Areas.push_back(std::string{A, 'A', '=', A, 'A'});
    Tally.AreaList.SetLines(Areas);
    while (static_cast<std::int64_t>(Tally.WorkedQSOs.Count()) < Count) {
        NextQso(Context, Random);
        Tally.ScoreQSO(true);
    }
}

void BM_ScoreQSO_NoCommit(benchmark::State& State) {
    QsoContext Context{};
    TTally Tally(Context);
    std::mt19937 Random(1);
    Fill(Tally, Context, Random, State.range(0));
    // Half of the probes repeat a recorded QSO, half are new.
    std::vector<QsoContext> Probes(512);
    for (std::size_t I = 0; I < Probes.size(); ++I) {
        if (I % 2 == 0) {
            const TQSO& Q = Tally.WorkedQSOs[Random() % Tally.WorkedQSOs.Count()];
            Probes[I].CallSign.Store(Q.Call);
            Probes[I].DigiBand.Store(Q.Band);
            Probes[I].QSOMode.Store(Q.Mode);
        } else {
            NextQso(Probes[I], Random);
        }
    }
    std::size_t I = 0;
    for (auto _ : State) {
        Context = Probes[I++ % Probes.size()];
        benchmark::DoNotOptimize(Tally.ScoreQSO(false));
    }
}

// The add path as the plug-in runs it: inserted at its place, sort finds order.
void BM_AddQSO_InsertInPlace(benchmark::State& State) {
    QsoContext Context{};
    TTally Tally(Context);
    std::mt19937 Random(2);
    Fill(Tally, Context, Random, State.range(0));
    TNullBox Box;
    for (auto _ : State) {
        NextQso(Context, Random);
        if (Tally.ScoreQSO(true) >= 0) Tally.SortWorkedQSOs();
        PrintSummary(Tally.BandStats, Box);
    }
}

// The same path as first described: append at the end, then sort the whole list.
// It leaves out the band statistics and multiplier steps, so if anything it is
// measured a little too fast.
void BM_AddQSO_AppendThenSort(benchmark::State& State) {
    QsoContext Context{};
    TTally Tally(Context);
    std::mt19937 Random(2);
    Fill(Tally, Context, Random, State.range(0));
    TNullBox Box;
    for (auto _ : State) {
        NextQso(Context, Random);
        if (Tally.IsDuplicate()) continue;
        Tally.WorkedQSOs.Append(Context.CallSign.Text(), Context.DigiBand.Text(),
                                Context.QSOMode.Text());
        Tally.SortWorkedQSOs();
        PrintSummary(Tally.BandStats, Box);
    }
}

} // namespace

BENCHMARK(BM_ScoreQSO_NoCommit)->Arg(1000)->Arg(10000)->Arg(100000);

// Every iteration of the add paths records one more QSO; a fixed, small number
// of iterations keeps the list within a tenth of its starting size.
void AddPathSizes(benchmark::internal::Benchmark* Bench) {
    for (std::int64_t Size : {1000, 10000, 100000})
        Bench->Arg(Size);
}
BENCHMARK(BM_AddQSO_InsertInPlace)->Apply(AddPathSizes)->Iterations(100);
BENCHMARK(BM_AddQSO_AppendThenSort)->Apply(AddPathSizes)->Iterations(100);

BENCHMARK_MAIN();
