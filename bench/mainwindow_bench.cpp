// The main window's first paint with 1,000 ePSXe profiles, 500 of them with a
// picture, against listing the same profiles without a window. The window
// adds reading and shrinking the pictures of the first screen, building the
// list and painting it; a third measurement waits for every picture.
//
// Typing into the filter field over 10,000 profiles: each key narrows the
// list and paints it, against painting the same list and against reading
// the folder again.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "common/base/bytes.h"
#include "common/base/prompter.h"
#include "common/platform/registry.h"
#include <QLineEdit>

#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_files.h"
#include "frontend/shell/CDravolo7View.h"
#include "frontend/shell/CMainFrame.h"
#include "frontend/widgets/file_choosers.h"

namespace fs = std::filesystem;
using namespace dravolo;

namespace {

constexpr int kProfiles = 1000;
constexpr int kWithPicture = 500;

struct SilentPrompter : Prompter {
    PromptAnswer Ask(std::string_view, std::string_view, PromptIcon, PromptButtons, PromptAnswer d) override {
        return d;
    }
};

// 32 x 32, 24 bits: what a profile picture usually is.
Bytes Picture(int seed) {
    ByteWriter w;
    w.Raw("BM");
    w.U32(54 + 32 * 32 * 3);
    w.U32(0);
    w.U32(54);
    w.U32(40);
    w.I32(32);
    w.I32(32);
    w.U16(1);
    w.U16(24);
    for (int i = 0; i < 6; ++i) w.U32(0);
    for (int i = 0; i < 32 * 32; ++i) {
        w.U8(static_cast<std::uint8_t>(seed + i));
        w.U8(static_cast<std::uint8_t>(seed * 7));
        w.U8(static_cast<std::uint8_t>(i / 32 * 8));
    }
    return w.take();
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct Workspace {
    fs::path root;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<SettingsStore> settings;
    SilentPrompter prompter;
    FileChoosers choosers;
    std::unique_ptr<ShellContext> context;

    explicit Workspace(int profiles = kProfiles, int withPicture = kWithPicture) {
        std::string templ = (fs::temp_directory_path() / "dravolo-bench-XXXXXX").string();
        root = mkdtemp(templ.data());
        setenv("DRAVOLO_PREFIX", (root / "prefix").c_str(), 1);
        fs::create_directories(root / "work" / "Epsxe");
        fs::create_directories(root / "work" / "pics");
        fs::current_path(root / "work");
        registry = OpenSystemRegistry();
        settings = std::make_unique<SettingsStore>(*registry);
        context = std::make_unique<ShellContext>(ShellContext{*settings, prompter, choosers});
        for (int i = 0; i < profiles; ++i) {
            _EPSXEDATA record(*settings);
            record.Properties.Description = "Game number " + std::to_string(i);
            if (i % 2 == 0 && i / 2 < withPicture) {
                const std::string picture = "p" + std::to_string(i) + ".bmp";
                WriteFile(root / "work" / "pics" / picture, Picture(i));
                record.Properties.BitmapFile = ".\\pics\\" + picture;
            }
            WriteFile(root / "work" / "Epsxe" / ("Game " + std::to_string(i) + ".set"), EncodeRecord(record));
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
    for (auto _ : state) {
        ProfileList list;
        EnumerateProfiles(EmulatorKind::Epsxe, list, *ws.settings, ws.prompter);
        benchmark::DoNotOptimize(list.fileNames.data());
    }
    state.SetItemsProcessed(state.iterations() * kProfiles);
}
BENCHMARK(BM_EnumerateProfiles)->Unit(benchmark::kMillisecond);

// Build the window (settings, enumeration, pictures, list), show it and
// render it once, as its first paint.
void BM_MainWindowFirstPaint(benchmark::State& state) {
    Workspace& ws = Shared();
    for (auto _ : state) {
        CMainFrame frame(*ws.context);
        frame.resize(760, 520);
        frame.show();
        const QPixmap painted = frame.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
        if (frame.view()->itemCount() != kProfiles) state.SkipWithError("the list is not what was written");
    }
    state.SetItemsProcessed(state.iterations() * kProfiles);
}
BENCHMARK(BM_MainWindowFirstPaint)->Unit(benchmark::kMillisecond);

// The same until every picture has arrived (the list reads the pictures of
// the rows beyond the first screen after it has shown).
void BM_MainWindowAllPictures(benchmark::State& state) {
    Workspace& ws = Shared();
    for (auto _ : state) {
        CMainFrame frame(*ws.context);
        frame.resize(760, 520);
        frame.show();
        const QPixmap painted = frame.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
        frame.view()->FinishPictureLoading();
        if (frame.view()->imageCount() != 5 + kWithPicture) state.SkipWithError("pictures missing");
    }
    state.SetItemsProcessed(state.iterations() * kProfiles);
}
BENCHMARK(BM_MainWindowAllPictures)->Unit(benchmark::kMillisecond);

// The window's fixed cost: the same window over an emulator with no profiles.
void BM_MainWindowNoProfiles(benchmark::State& state) {
    Workspace& ws = Shared();
    ws.settings->SetInt("CurrentEmulator", 1);
    for (auto _ : state) {
        CMainFrame frame(*ws.context);
        frame.resize(760, 520);
        frame.show();
        const QPixmap painted = frame.grab();
        benchmark::DoNotOptimize(painted.cacheKey());
        if (frame.view()->itemCount() != 0) state.SkipWithError("Fpse has no profiles here");
    }
    ws.settings->SetInt("CurrentEmulator", 0);
}
BENCHMARK(BM_MainWindowNoProfiles)->Unit(benchmark::kMillisecond);

constexpr int kManyProfiles = 10000;

Workspace& Many() {
    static Workspace workspace(kManyProfiles, 0);
    return workspace;
}

// A user typing "Game 12" into the filter field and clearing it again.
const QString kTyped[] = {"G", "Ga", "Gam", "Game", "Game ", "Game 1", "Game 12", "Game 1", "Game", ""};

void BM_FilterKeystroke10000(benchmark::State& state) {
    Workspace& ws = Many();
    CMainFrame frame(*ws.context);
    frame.resize(760, 520);
    frame.show();
    std::size_t key = 0;
    for (auto _ : state) {
        frame.view()->filterEdit()->setText(kTyped[key++ % std::size(kTyped)]);
        const QPixmap painted = frame.view()->grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
    if (frame.view()->itemCount() == 0) state.SkipWithError("the filter hid everything");
}
BENCHMARK(BM_FilterKeystroke10000)->Unit(benchmark::kMillisecond);

// Baseline: painting the list of 10,000 without a change.
void BM_Repaint10000(benchmark::State& state) {
    Workspace& ws = Many();
    CMainFrame frame(*ws.context);
    frame.resize(760, 520);
    frame.show();
    for (auto _ : state) {
        frame.view()->update();
        const QPixmap painted = frame.view()->grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
}
BENCHMARK(BM_Repaint10000)->Unit(benchmark::kMillisecond);

// Baseline: reading the folder of 10,000 again (F5) and painting.
void BM_Refill10000(benchmark::State& state) {
    Workspace& ws = Many();
    CMainFrame frame(*ws.context);
    frame.resize(760, 520);
    frame.show();
    for (auto _ : state) {
        frame.view()->Refill();
        const QPixmap painted = frame.view()->grab();
        benchmark::DoNotOptimize(painted.cacheKey());
    }
    if (frame.view()->itemCount() != kManyProfiles) state.SkipWithError("the list is not what was written");
}
BENCHMARK(BM_Refill10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
