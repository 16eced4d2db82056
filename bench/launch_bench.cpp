// The launch's own work for an ePSXe profile with four plugin side files (the
// imports and the configuration writer, without starting the emulator) into a
// 2 MB user.reg, against copying that file once durably.

#include <stdexcept>
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "common/base/prompter.h"
#include "common/base/text.h"
#include "common/platform/registry.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/launch.h"
#include "frontend/launch/plugin_settings.h"
#include "frontend/profiles/profile_files.h"

namespace fs = std::filesystem;
using namespace dravolo;

namespace {

class SilentPrompter : public Prompter {
public:
    PromptAnswer Ask(std::string_view, std::string_view, PromptIcon, PromptButtons, PromptAnswer answer) override {
        ++messages;
        return answer;
    }
    int messages = 0;
};

struct Workspace {
    fs::path root;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<RegistryEditor> editor;
    SilentPrompter prompter;

    Workspace() {
        std::string templ = (fs::temp_directory_path() / "dravolo-launch-bench-XXXXXX").string();
        root = mkdtemp(templ.data());
        fs::create_directories(root / "prefix");
        fs::create_directories(root / "work" / "Epsxe");
        setenv("DRAVOLO_PREFIX", (root / "prefix").c_str(), 1);
        fs::current_path(root / "work");
        registry = OpenSystemRegistry();
        settings = std::make_unique<SettingsStore>(*registry);
        editor = MakePlatformRegistryEditor(*registry);

        // A user.reg of about 2 MB with keys like a real prefix's.
        const fs::path hive = root / "prefix" / "user.reg";
        for (int k = 0; !fs::exists(hive) || fs::file_size(hive) < 2'000'000; ++k) {
            RegBatch fill;
            for (int v = 0; v < 200; ++v) {
                const std::string key = "Software\\Filler\\App" + std::to_string(k) + "\\Sub" + std::to_string(v % 10);
                fill.SetString(RegRoot::CurrentUser, key, "Value" + std::to_string(v),
                               "some text of a typical length " + std::to_string(v));
                fill.SetDword(RegRoot::CurrentUser, key, "Number" + std::to_string(v), static_cast<std::uint32_t>(v));
            }
            if (!registry->Commit(fill)) throw std::runtime_error("the bench registry refused its filler");
        }

        // Two profiles with their four side files each, every plugin key a
        // dozen values; they differ, so every launch really changes the hive.
        for (const std::string profile : {"Crash", "Spyro"}) {
            _EPSXEDATA record(*settings);
            record.VideoPlugin = "gpu" + profile + ".dll";
            record.SoundPlugin = "spuPeopsDSound.dll";
            record.CdromPlugin = "cdrMooby2.dll";
            const std::string path = ProfilePath(EmulatorKind::Epsxe, profile);
            CreateProfileFile(EmulatorKind::Epsxe, path, *settings);
            SaveProfileRecord(record, path, prompter);
            for (const char* slot : {"GPU", "SPU", "CDR", "PAD"}) {
                const std::string key = std::string("Software\\Vision Thing\\PSEmu Pro\\") + slot + "\\Plugin";
                RegBatch values;
                for (int v = 0; v < 12; ++v)
                    values.SetDword(RegRoot::CurrentUser, key, "Option" + std::to_string(v),
                                    static_cast<std::uint32_t>(v + profile.size()));
                values.SetString(RegRoot::CurrentUser, key, "Name", profile + " settings of " + slot);
                if (!registry->Commit(values)) throw std::runtime_error("the bench registry refused the values");
                editor->Export(ProfilePath(EmulatorKind::Epsxe, profile, "." + LowerAnsi(slot)),
                               std::string("HKEY_CURRENT_USER\\Software\\Vision Thing\\PSEmu Pro\\") + slot);
            }
        }
    }
    ~Workspace() {
        std::error_code ec;
        fs::current_path(root.parent_path(), ec);
        fs::remove_all(root, ec);
    }
};

Workspace& Shared() {
    static Workspace workspace;
    return workspace;
}

void BM_LaunchWorkEpsxe(benchmark::State& state) {
    Workspace& w = Shared();
    NoWindowFinder windows;
    SleepingWindowPoller poller;
    const LaunchServices services{*w.registry, *w.settings, w.prompter, *w.editor, windows, poller};
    // Alternating profiles: each launch imports settings that differ from the
    // ones in the hive, as switching games does.
    const LaunchRequest requests[2] = {{EmulatorKind::Epsxe, std::string("Crash"), true},
                                       {EmulatorKind::Epsxe, std::string("Spyro"), true}};
    std::size_t round = 0;
    for (auto _ : state) {
        if (!PrepareLaunch(requests[round++ % 2], services)) state.SkipWithError("launch stopped");
    }
    if (w.prompter.messages) state.SkipWithError("the launch showed a message");
}

void BM_CopyHiveOnce(benchmark::State& state) {
    Workspace& w = Shared();
    // A durable copy: read it, write it, fsync it, as any safe rewrite must.
    const std::string from = (w.root / "prefix" / "user.reg").string(), to = (w.root / "copy.reg").string();
    std::vector<char> buffer(fs::file_size(from));
    for (auto _ : state) {
        std::FILE* in = std::fopen(from.c_str(), "rb");
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in);
        std::fclose(in);
        std::FILE* out = std::fopen(to.c_str(), "wb");
        std::fwrite(buffer.data(), 1, got, out);
        std::fflush(out);
        fsync(fileno(out));
        std::fclose(out);
    }
    state.counters["hive_bytes"] = static_cast<double>(buffer.size());
}

}  // namespace

BENCHMARK(BM_CopyHiveOnce)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LaunchWorkEpsxe)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
