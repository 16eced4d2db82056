// Identifying a folder of 20 native plugins (name, type, version, as the
// plugin pages do) through the native plugin host, one host run for the whole
// folder as a page's scan does, against the same identification with the
// libraries loaded into our own process. The host run includes starting and
// ending the host.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "common/platform/library.h"
#include "common/psemu/plugin_module.h"
#include "common/psemu/psemu_plugin.h"

namespace dravolo {
namespace {

namespace fs = std::filesystem;

constexpr int kPlugins = 20;

struct Folder {
    std::string dir;
    std::vector<std::string> files;

    Folder() {
        setenv("DRAVOLO_PLUGINHOST_NATIVE", BENCH_NATIVE_PLUGINHOST, 0);
        dir = (fs::temp_directory_path() / ("dravolo-native-bench-" + std::to_string(getpid()))).string();
        fs::create_directories(dir);
        for (int i = 0; i < kPlugins; ++i) {
            const std::string file = dir + "/gpuBench" + std::to_string(i) + ".dll";
            fs::copy_file(BENCH_NATIVE_PLUGIN, file, fs::copy_options::overwrite_existing);
            files.push_back(file);
        }
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

Folder& Shared() {
    static Folder f;
    return f;
}

using TextFn = const char* (*)();
using LongFn = long (*)();

void BM_NativeInProcess(benchmark::State& state) {
    Folder& f = Shared();
    for (auto _ : state) {
        int found = 0;
        for (const auto& file : f.files) {
            const auto library = Library::Load(file);
            if (!library) continue;
            const auto name = library->Function<TextFn>("PSEgetLibName");
            const auto type = library->Function<LongFn>("PSEgetLibType");
            const auto version = library->Function<LongFn>("PSEgetLibVersion");
            if (!name || !type || !version) continue;
            std::string text = name();
            benchmark::DoNotOptimize(text);
            benchmark::DoNotOptimize(type());
            benchmark::DoNotOptimize(version());
            ++found;
        }
        if (found != kPlugins) state.SkipWithError("a plugin was not identified");
    }
    state.counters["plugins"] = kPlugins;
}

void BM_NativeThroughHost(benchmark::State& state) {
    Folder& f = Shared();
    for (auto _ : state) {
        int found = 0;
        PluginLoader loader;  // one host run for the folder, as a page's scan
        for (const auto& file : f.files)
            if (auto module = loader.Open(file); module && IdentifyPsemuPlugin(*module)) ++found;
        if (found != kPlugins) state.SkipWithError("a plugin was not identified through the host");
    }
    state.counters["plugins"] = kPlugins;
}

BENCHMARK(BM_NativeInProcess)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_NativeThroughHost)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
}  // namespace dravolo

BENCHMARK_MAIN();
