// Identifying a folder of plugins (name, type, version, as the plugin pages
// do): native plugins through the native plugin host (native_plugin_host_bench
// compares that with our own process), Windows plugins through the plugin
// host under Wine with one host run for the whole folder, and, for scale,
// one host run per plugin. A running wineserver is kept up throughout, as it
// is while an emulator or any Windows program of the prefix runs.
// Needs wine64, pluginhost64.exe and the 64-bit PE test plugin.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/wine_prefix.h"
#include "common/psemu/plugin_module.h"
#include "common/psemu/psemu_plugin.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

constexpr int kPlugins = 20;

struct Folders {
    std::string problem;
    std::vector<std::string> native, windows;  // Windows paths of the copies

    Folders() {
        bench::WinePrefix& p = bench::SharedWinePrefix();
        problem = p.problem;
        if (problem.empty() && (std::string(BENCH_PE_PLUGIN).empty() || std::string(BENCH_PLUGINHOST64).empty()))
            problem = "the 64-bit plugin host or PE test plugin was not built (mingw-w64 missing)";
        if (!problem.empty()) return;
        setenv("DRAVOLO_PREFIX", p.dir.c_str(), 1);
        setenv("DRAVOLO_PLUGINHOST64", BENCH_PLUGINHOST64, 1);
        setenv("DRAVOLO_PLUGINHOST_NATIVE", BENCH_NATIVE_PLUGINHOST, 0);
        fs::create_directories(p.dir + "/drive_c/native");
        fs::create_directories(p.dir + "/drive_c/windows-plugins");
        for (int i = 0; i < kPlugins; ++i) {
            const std::string name = "gpuBench" + std::to_string(i) + ".dll";
            fs::copy_file(BENCH_NATIVE_PLUGIN, p.dir + "/drive_c/native/" + name, fs::copy_options::overwrite_existing);
            fs::copy_file(BENCH_PE_PLUGIN, p.dir + "/drive_c/windows-plugins/" + name,
                          fs::copy_options::overwrite_existing);
            native.push_back("C:\\native\\" + name);
            windows.push_back("C:\\windows-plugins\\" + name);
        }
        p.Server(true);
    }
};

Folders& Shared() {
    static Folders f;
    return f;
}

void Scan(benchmark::State& state, bool windows, bool oneRun) {
    Folders& f = Shared();
    if (!f.problem.empty()) {
        state.SkipWithError(f.problem.c_str());
        return;
    }
    const auto& files = windows ? f.windows : f.native;
    for (auto _ : state) {
        int found = 0;
        if (oneRun) {
            PluginLoader loader;
            for (const auto& file : files)
                if (auto module = loader.Open(file); module && IdentifyPsemuPlugin(*module)) ++found;
        } else {
            for (const auto& file : files)
                if (IdentifyPsemuPluginFile(file)) ++found;
        }
        if (found != kPlugins) state.SkipWithError("a plugin was not identified");
    }
    state.counters["plugins"] = kPlugins;
}

void BM_NativeOneHostRun(benchmark::State& state) { Scan(state, false, true); }
void BM_WindowsOneHostRun(benchmark::State& state) { Scan(state, true, true); }
void BM_WindowsHostRunPerPlugin(benchmark::State& state) { Scan(state, true, false); }
BENCHMARK(BM_NativeOneHostRun)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_WindowsOneHostRun)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WindowsHostRunPerPlugin)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace dravolo

BENCHMARK_MAIN();
