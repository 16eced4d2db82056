// Listing a folder of 10,000 ePSXe profiles (find, load each record, collect
// description and picture) against reading the same files raw.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "common/base/prompter.h"
#include "common/platform/registry.h"
#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_files.h"

namespace fs = std::filesystem;
using namespace dravolo;

namespace {

constexpr int kProfiles = 10000;

struct SilentPrompter : Prompter {
    PromptAnswer Ask(std::string_view, std::string_view, PromptIcon, PromptButtons, PromptAnswer d) override {
        return d;
    }
};

// A workspace shared by both measurements: a prefix and Epsxe/ with the files.
struct Workspace {
    fs::path root;
    std::unique_ptr<Registry> registry;
    Workspace() {
        std::string templ = (fs::temp_directory_path() / "dravolo-bench-XXXXXX").string();
        root = mkdtemp(templ.data());
        setenv("DRAVOLO_PREFIX", (root / "prefix").c_str(), 1);
        fs::create_directories(root / "work" / "Epsxe");
        fs::current_path(root / "work");
        registry = OpenSystemRegistry();
        SettingsStore settings(*registry);
        for (int i = 0; i < kProfiles; ++i) {
            _EPSXEDATA record(settings);
            record.Properties.Description = "Game number " + std::to_string(i);
            const Bytes bytes = EncodeRecord(record);
            std::ofstream(root / "work" / "Epsxe" / ("Game " + std::to_string(i) + ".set"), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
    }
    ~Workspace() {
        fs::current_path(root.parent_path());
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

Workspace& Shared() {
    static Workspace workspace;
    return workspace;
}

void BM_EnumerateProfiles(benchmark::State& state) {
    Workspace& ws = Shared();
    SettingsStore settings(*ws.registry);
    SilentPrompter prompter;
    for (auto _ : state) {
        ProfileList list;
        EnumerateProfiles(EmulatorKind::Epsxe, list, settings, prompter);
        if (list.fileNames.size() != kProfiles) state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(list);
    }
}

void BM_ReadFilesRaw(benchmark::State& state) {
    Workspace& ws = Shared();
    for (auto _ : state) {
        std::size_t total = 0;
        for (const auto& entry : fs::directory_iterator(ws.root / "work" / "Epsxe")) {
            std::ifstream in(entry.path(), std::ios::binary);
            char buffer[4096];
            in.read(buffer, sizeof buffer);
            total += static_cast<std::size_t>(in.gcount());
        }
        benchmark::DoNotOptimize(total);
    }
}

}  // namespace

BENCHMARK(BM_ReadFilesRaw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnumerateProfiles)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
