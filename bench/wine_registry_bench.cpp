// One launch's registry writes (ePSXe's whole configuration batch) into a Wine
// prefix: straight into the hive files when no wineserver runs, and through
// Wine's "reg import" while one does. Also one value read back each way.
// Needs wine64 and wineserver; without them every case reports the reason.

#include <benchmark/benchmark.h>

#include "bench/wine_prefix.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/config_writers.h"
#include "frontend/profiles/records.h"

namespace dravolo {
namespace {

void LaunchWrites(benchmark::State& state, bool server) {
    bench::WinePrefix& p = bench::SharedWinePrefix();
    if (!p.problem.empty()) {
        state.SkipWithError(p.problem.c_str());
        return;
    }
    p.Server(server);
    auto reg = OpenPrefixRegistry(p.dir);
    SettingsStore settings(*reg);
    const _EPSXEDATA record(settings);  // a new profile's values
    const RegBatch batch = EpsxeConfigBatch(record, WindowsFamily::NT);
    for (auto _ : state) {
        if (!reg->Commit(batch)) state.SkipWithError("commit failed");
        benchmark::DoNotOptimize(reg->QueryString(RegRoot::CurrentUser, kEpsxeConfigKey, "VideoPlugin"));
    }
    state.counters["values"] = static_cast<double>(batch.changes().size());
    p.Server(false);
}

void BM_LaunchWritesDirect(benchmark::State& state) { LaunchWrites(state, false); }
void BM_LaunchWritesThroughWine(benchmark::State& state) { LaunchWrites(state, true); }
BENCHMARK(BM_LaunchWritesDirect)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_LaunchWritesThroughWine)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
}  // namespace dravolo

BENCHMARK_MAIN();
