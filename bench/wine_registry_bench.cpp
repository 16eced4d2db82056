// One launch's registry writes (ePSXe's whole configuration batch) into a Wine
// prefix: straight into the hive files when no wineserver runs, and through
// Wine's "reg import" while one does. Also one value read back each way.
// Needs wine64 and wineserver; without them every case reports the reason.

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/platform/posix/hive_registry.h"
#include "common/platform/posix/wine_bridge.h"
#include "frontend/launch/config_writers.h"
#include "frontend/profiles/records.h"
#include "frontend/shell/settings_store.h"

namespace dravolo {
namespace {

struct Prefix {
    std::string dir, wine, wineserver, problem;
    Prefix() {
        for (const char* w : {"wine64", "/usr/lib/wine/wine64", "wine"})
            if (auto c = wine::RunnerCommand(w); !c.empty()) {
                wine = c[0];
                break;
            }
        for (const char* s : {"wineserver", "/usr/lib/wine/wineserver"})
            if (auto c = wine::RunnerCommand(s); !c.empty()) {
                wineserver = c[0];
                break;
            }
        if (wine.empty() || wineserver.empty()) {
            problem = "wine64 and wineserver are not installed";
            return;
        }
        char tmpl[] = "/tmp/dravolo-wine-bench-XXXXXX";
        dir = std::string(mkdtemp(tmpl)) + "/prefix";
        setenv("DRAVOLO_RUNNER", wine.c_str(), 1);
        setenv("WINEDEBUG", "-all", 1);
        setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
        if (wine::RunInPrefix(dir, {wine}, {"reg", "add", "HKCU\\Software\\Bench", "/f"}, std::chrono::seconds(120))
                .exitCode != 0)
            problem = "wine64 could not set up a prefix";
        Server(false);
    }
    ~Prefix() {
        if (dir.empty()) return;
        Server(false);
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(dir).parent_path(), ec);
    }
    void Server(bool up) {
        wine::RunInPrefix(dir, {wineserver}, {up ? "-p" : "-k"}, std::chrono::seconds(30));
        for (int i = 0; i < 1500 && WineServerRunning(dir) != up; ++i) usleep(20'000);
    }
};

Prefix& Shared() {
    static Prefix p;
    return p;
}

void LaunchWrites(benchmark::State& state, bool server) {
    Prefix& p = Shared();
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
