// The snapshots a launch takes of a profile's two 128 KiB memory cards
// (read, compare with the newest snapshot by hash, write, prune to the newest
// ten), against one plain copy of the two files (over the same two copies,
// and to new names as snapshots are). Changed: both cards differ
// from their newest snapshot, as after a session of play. Unchanged: only the
// reads and the hashes, as for a launch that did not save.
// Run: build/release/bench/card_snapshots_bench

#include <stdexcept>
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "common/base/bytes.h"
#include "common/platform/winfs.h"
#include "frontend/core/card_snapshots.h"

namespace fs = std::filesystem;
using namespace dravolo;

namespace {

constexpr std::size_t kCardBytes = 128 * 1024;
constexpr int kKeep = 10;

struct Workspace {
    fs::path root;
    const std::string cards[2] = {"cards\\card1.mcr", "cards\\card2.mcr"};
    const std::string copies[2] = {"copies\\card1.mcr", "copies\\card2.mcr"};
    const std::string folder = "Epsxe\\Crash.snapshots\\";
    Bytes content[2];

    Workspace() {
        std::string templ = (fs::temp_directory_path() / "dravolo-snapshot-bench-XXXXXX").string();
        root = mkdtemp(templ.data());
        fs::create_directories(root / "prefix");
        for (const char* dir : {"cards", "copies", "Epsxe"}) fs::create_directories(root / "work" / dir);
        setenv("DRAVOLO_PREFIX", (root / "prefix").c_str(), 1);
        fs::current_path(root / "work");
        for (int c = 0; c < 2; ++c) {
            content[c].resize(kCardBytes);
            for (std::size_t i = 0; i < kCardBytes; ++i)
                content[c][i] = static_cast<std::uint8_t>((i * 31 + static_cast<std::size_t>(c) * 7) & 0xFF);
            WriteCard(c);
        }
    }
    ~Workspace() {
        std::error_code ec;
        fs::current_path(root.parent_path(), ec);
        fs::remove_all(root, ec);
    }
    void WriteCard(int c) {
        if (!WriteWholeFileAtomic(cards[c], content[c])) throw std::runtime_error("the bench cannot write its card");
    }
    // A save changed both cards since the last launch.
    void ChangeCards(std::uint32_t round) {
        for (int c = 0; c < 2; ++c) {
            content[c][(round * 4099) % kCardBytes] ^= 0x5A;
            WriteCard(c);
        }
    }
};

void BM_PlainCopyOfTwoCards(benchmark::State& state) {
    Workspace ws;
    for (auto _ : state) {
        for (int c = 0; c < 2; ++c) benchmark::DoNotOptimize(CopyFileTo(ws.cards[c], ws.copies[c], false));
    }
}

// The same copy to new names, the oldest deleted as the snapshots are pruned:
// what the file system itself costs for files that are new each time.
void BM_PlainCopyOfTwoCardsToNewFiles(benchmark::State& state) {
    Workspace ws;
    std::uint32_t round = 0;
    for (auto _ : state) {
        ++round;
        for (int c = 0; c < 2; ++c) {
            const std::string base = "copies\\" + std::to_string(c) + "-";
            benchmark::DoNotOptimize(CopyFileTo(ws.cards[c], base + std::to_string(round) + ".mcr", false));
            if (round > kKeep) benchmark::DoNotOptimize(DeleteFileAt(base + std::to_string(round - kKeep) + ".mcr"));
        }
    }
}

void BM_SnapshotsOfTwoChangedCards(benchmark::State& state) {
    Workspace ws;
    std::time_t now = 1'700'000'000;
    std::uint32_t round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ws.ChangeCards(++round);
        state.ResumeTiming();
        ++now;  // one launch a second
        for (int c = 0; c < 2; ++c)
            if (memcards::TakeSnapshot(ws.folder, c + 1, ws.cards[c], kKeep, now) != memcards::SnapshotOutcome::Taken)
                state.SkipWithError("no snapshot taken");
    }
}

void BM_SnapshotsOfTwoUnchangedCards(benchmark::State& state) {
    Workspace ws;
    std::time_t now = 1'700'000'000;
    for (int c = 0; c < 2; ++c) memcards::TakeSnapshot(ws.folder, c + 1, ws.cards[c], kKeep, now);
    for (auto _ : state) {
        for (int c = 0; c < 2; ++c)
            if (memcards::TakeSnapshot(ws.folder, c + 1, ws.cards[c], kKeep, ++now) !=
                memcards::SnapshotOutcome::Unchanged)
                state.SkipWithError("a snapshot of an unchanged card");
    }
}

}  // namespace

BENCHMARK(BM_PlainCopyOfTwoCards)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopyOfTwoCardsToNewFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapshotsOfTwoChangedCards)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapshotsOfTwoUnchangedCards)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
