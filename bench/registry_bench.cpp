// One launch-sized batch (20 values) committed into a 2 MB user.reg, against
// copying that file once: the rewrite should cost about one copy.

#include <stdexcept>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "common/platform/registry.h"

namespace fs = std::filesystem;
using namespace dravolo;

namespace {

struct BigHive {
    fs::path root;
    std::unique_ptr<Registry> registry;
    BigHive() {
        std::string templ = (fs::temp_directory_path() / "dravolo-bench-XXXXXX").string();
        root = mkdtemp(templ.data());
        setenv("DRAVOLO_PREFIX", root.c_str(), 1);
        registry = OpenSystemRegistry();
        // Grow user.reg to about 2 MB with keys like a real prefix's.
        RegBatch fill;
        for (int k = 0; fs::exists(root / "user.reg") ? fs::file_size(root / "user.reg") < 2'000'000 : true; ++k) {
            fill = RegBatch();
            for (int v = 0; v < 200; ++v) {
                const std::string key = "Software\\Filler\\App" + std::to_string(k) + "\\Sub" + std::to_string(v % 10);
                fill.SetString(RegRoot::CurrentUser, key, "Value" + std::to_string(v),
                               "some text of a typical length " + std::to_string(v));
                fill.SetDword(RegRoot::CurrentUser, key, "Number" + std::to_string(v), static_cast<std::uint32_t>(v));
            }
            if (!registry->Commit(fill)) throw std::runtime_error("the bench registry refused its filler");
        }
    }
    ~BigHive() {
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

BigHive& Shared() {
    static BigHive hive;
    return hive;
}

void BM_CommitTwentyValues(benchmark::State& state) {
    BigHive& hive = Shared();
    std::uint32_t round = 0;
    for (auto _ : state) {
        RegBatch batch;
        for (int i = 0; i < 20; ++i)
            batch.SetDword(RegRoot::CurrentUser, "Software\\epsxe\\config", "Value" + std::to_string(i), round + i);
        if (!hive.registry->Commit(batch)) state.SkipWithError("commit failed");
        ++round;
    }
    state.counters["hive_bytes"] = static_cast<double>(fs::file_size(hive.root / "user.reg"));
}

void BM_CopyHiveOnce(benchmark::State& state) {
    BigHive& hive = Shared();
    // A durable copy: read it, write it, fsync it, as any safe rewrite must.
    const std::string from = (hive.root / "user.reg").string(), to = (hive.root / "copy.reg").string();
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
}

}  // namespace

BENCHMARK(BM_CopyHiveOnce)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommitTwentyValues)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
