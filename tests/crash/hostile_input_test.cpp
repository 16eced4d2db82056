// Hostile input is worked through in bounded time and memory. Each case runs
// in a child process with a limit on its address space (beyond what the test
// process had already) and an alarm; the bounds are generous, many times what
// the work needs on a loaded two-core machine, so that only a runaway (a loop
// without end, memory without bound) trips them.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "common/memcard/card_integrity.h"
#include "common/memcard/memcard_file.h"
#include "common/memcard/memcard_ops.h"
#include "common/platform/registry.h"
#include "frontend/core/settings_store.h"
#include "frontend/memcards/slot_listing.h"
#include "frontend/profiles/profile_files.h"
#include "tests/support/card_builder.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

#if defined(__SANITIZE_ADDRESS__)
#define DRAVOLO_NO_MEMORY_LIMIT 1  // ASan reserves terabytes of shadow memory
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DRAVOLO_NO_MEMORY_LIMIT 1
#endif
#endif

namespace dravolo {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;

#ifndef DRAVOLO_NO_MEMORY_LIMIT
std::size_t AddressSpaceNow() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmSize:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
    return 0;
}
#endif

// Runs work in a child allowed `seconds` and `extraBytes` more address space
// than it starts with; the child's exit code is work's result (0: all well).
// A description of how the child ended otherwise.
std::string RunBounded(unsigned seconds, std::size_t extraBytes, const std::function<int()>& work) {
    const pid_t pid = fork();
    if (pid == 0) {
#ifndef DRAVOLO_NO_MEMORY_LIMIT
        const rlimit limit{AddressSpaceNow() + extraBytes, AddressSpaceNow() + extraBytes};
        if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(90);
#else
        (void)extraBytes;
#endif
        alarm(seconds);
        int result = 91;
        try {
            result = work();
        } catch (const std::bad_alloc&) {
            result = 92;
        }
        _exit(result);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) return "over the time bound";
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    if (WEXITSTATUS(status) == 92) return "over the memory bound";
    return WEXITSTATUS(status) == 0 ? "ok" : "failed with " + std::to_string(WEXITSTATUS(status));
}

class HostileInput : public test::PrefixFixture {};

// 10,000 damaged profiles: 60 s and 512 MiB.
TEST_F(HostileInput, AFolderOfTenThousandDamagedProfilesIsListed) {
    std::mt19937 random(17);
    for (int i = 0; i < 10000; ++i) {
        std::string bytes(random() % 150, '\0');  // shorter than any record
        for (char& c : bytes) c = static_cast<char>(random());
        char name[32];
        std::snprintf(name, sizeof name, "Epsxe/Damaged%05d.set", i);
        std::ofstream(HostPath(name), std::ios::binary) << bytes;
    }
    EXPECT_EQ(RunBounded(60, 512 * kMiB,
                         [] {
                             test::MemoryRegistry registry;
                             SettingsStore settings{registry};
                             test::RecordingPrompter prompter;
                             ProfileList list;
                             EnumerateProfiles(EmulatorKind::Epsxe, list, settings, prompter);
                             // Every file listed, with the defaults; one message for all.
                             return list.fileNames.size() == 10000 && list.descriptions.size() == 10000 &&
                                            prompter.messages.size() == 1
                                        ? 0
                                        : 1;
                         }),
              "ok");
}

// A card whose every chain loops: 30 s and 256 MiB for the listing, the
// check, the chain walk and the edits that follow chains.
TEST_F(HostileInput, ACardWhoseChainsAllLoopIsListedAndEdited) {
    test::CardBuilder card;
    for (int slot = 0; slot < 15; ++slot) {
        card.SetState(slot, slot == 0 ? 0x51 : 0x52);
        card.SetNext(slot, static_cast<std::uint8_t>(slot % 2 == 0 ? slot : (slot + 1) % 15));  // self and rings
    }
    const std::string host = driveC() + "/epsxe/memcards/loops.mcr";
    std::ofstream(host, std::ios::binary) << card.str();
    const std::string path = "C:\\epsxe\\memcards\\loops.mcr";
    EXPECT_EQ(RunBounded(30, 256 * kMiB,
                         [&] {
                             memcard::CMemCardFile file;
                             file.Open(path);
                             const auto listing = memcards::ListSlots(file);
                             std::vector<memcard::Finding> findings;
                             memcard::CheckCardFile(path, findings);
                             std::vector<std::uint8_t> chain;
                             memcard::MemCardSaveChain(path, 0, chain);
                             memcard::MemCardFreeSlots(path);
                             memcard::MemCardMarkFree(path, 1);
                             memcard::MemCardDeleteSave(path, 0);
                             memcard::MemCardCopySave(path, 3, path, 4);
                             // A loop is cut after 15 links: one entry more than a card holds.
                             return chain.size() <= 16 && listing.rows.size() <= 15 && findings.size() < 10000 ? 0 : 1;
                         }),
              "ok");
}

// A 50 MB user.reg, read and written once: 300 s and 1 GiB (the work takes
// about 260 MiB and 20 s in a debug build on a busy machine).
TEST_F(HostileInput, AFiftyMegabyteHiveIsReadAndWritten) {
    {
        std::ofstream out(prefix() + "/user.reg", std::ios::binary);
        out << "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
               "#arch=win32\n";
        const std::string data(200, 'x');
        std::size_t written = 0;
        for (int key = 0; written < 50 * 1000 * 1000; ++key) {
            std::ostringstream block;
            block << "\n[Software\\\\Big\\\\Key" << key << "] 1700000000\n#time=1d9a0b0c0d0e0f0\n";
            for (int v = 0; v < 20; ++v) block << "\"Value" << v << "\"=\"" << data << "\"\n";
            out << block.str();
            written += block.str().size();
        }
    }
    EXPECT_EQ(
        RunBounded(300, 1024 * kMiB,
                   [] {
                       auto registry = OpenSystemRegistry();
                       const auto value = registry->QueryString(RegRoot::CurrentUser, "Software\\Big\\Key7", "Value3");
                       if (!value || value->size() != 200) return 1;
                       return registry->SetString(RegRoot::CurrentUser, "Software\\Big\\Key7", "Added", "yes") ? 0 : 2;
                   }),
        "ok");
    const std::string text = ReadHostFile(prefix() + "/user.reg");
    EXPECT_GT(text.size(), 50u * 1000 * 1000);
    const auto key = text.find("[Software\\\\Big\\\\Key7]");
    ASSERT_NE(key, std::string::npos);
    EXPECT_LT(text.find("\"Added\"=\"yes\"", key), text.find("[Software\\\\Big\\\\Key8]"));
}

}  // namespace
}  // namespace dravolo
