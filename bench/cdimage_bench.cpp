// Extracting a 700 MB disc from a virtual drive into an image file, against
// copying the same image with cp in the same run: the extraction (26-sector
// reads straight into a batch of 16 transfers, one write per batch) should
// keep at least 0.8 of cp's rate, which copies inside the kernel.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "common/platform/virtual_drive.h"
#include "frontend/cdimage/cd_access.h"
#include "frontend/cdimage/extraction.h"

namespace fs = std::filesystem;
using namespace dravolo;

namespace {

constexpr std::uint32_t kSectors = 700u * 1024 * 1024 / 2352;  // about 700 MB

struct Disc {
    fs::path root, image, target;
    Disc() {
        std::string templ = (fs::temp_directory_path() / "dravolo-cd-bench-XXXXXX").string();
        root = mkdtemp(templ.data());
        image = root / "disc.bin";
        target = root / "copy.bin";
        std::ofstream out(image, std::ios::binary);
        std::vector<char> chunk(2352 * 26);
        for (std::uint32_t s = 0; s < kSectors; s += 26) {
            for (std::size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>((s + i * 7) & 0xFF);
            const std::uint32_t n = std::min<std::uint32_t>(26, kSectors - s);
            out.write(chunk.data(), static_cast<std::streamsize>(n) * 2352);
        }
    }
    ~Disc() { fs::remove_all(root); }
};

Disc& TheDisc() {
    static Disc disc;
    return disc;
}

class NoProgress : public ExtractionObserver {
public:
    void SetProgressRange(int, int, int) override {}
    void StepProgress() override {}
    void SetProgressPos(int) override {}
    void Finished() override {}
};

class NoQuestions : public Prompter {
public:
    PromptAnswer Ask(std::string_view, std::string_view, PromptIcon, PromptButtons, PromptAnswer d) override {
        return d;
    }
};

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Both ways of producing the image, taking turns in every iteration so that
// they meet the same page cache and the same writeback; the old copy is
// removed and the dirty pages flushed outside the timed parts.
void BM_ExtractVersusCp(benchmark::State& state) {
    Disc& disc = TheDisc();
    const std::string command = "cp '" + disc.image.string() + "' '" + disc.target.string() + "'";
    VirtualDisc setup;
    setup.imagePath = disc.image.string();
    std::vector<std::shared_ptr<VirtualDrive>> drives{std::make_shared<VirtualDrive>(setup)};
    CdAccess access([&](ScsiInterface which) { return std::make_unique<VirtualScsiTransport>(which, drives); }, nullptr,
                    (disc.root / "cdrdevnames.log").string());
    NoQuestions prompter;
    access.Init(access.CurrentInterface(), &prompter);
    NoProgress progress;
    auto fresh = [&] {
        fs::remove(disc.target);
        sync();
    };
    double cpSeconds = 0, extractSeconds = 0;
    for (auto _ : state) {
        fresh();
        auto t0 = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
        cpSeconds += Seconds(t0);

        fresh();
        ExtractionJob job;
        job.firstSector = 0;
        job.lastSector = static_cast<std::int32_t>(kSectors - 1);
        job.imageFile = disc.target.string();
        t0 = std::chrono::steady_clock::now();
        if (RunExtraction(access, job, true, prompter, progress) != ExtractionOutcome::Completed)
            state.SkipWithError("extraction failed");
        extractSeconds += Seconds(t0);
        state.SetIterationTime(Seconds(t0));
    }
    const double bytes = static_cast<double>(state.iterations()) * kSectors * 2352 / (1024.0 * 1024.0);
    state.counters["cp_MBps"] = bytes / cpSeconds;
    state.counters["extract_MBps"] = bytes / extractSeconds;
    state.counters["ratio"] = cpSeconds / extractSeconds;
}

}  // namespace

BENCHMARK(BM_ExtractVersusCp)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK_MAIN();
