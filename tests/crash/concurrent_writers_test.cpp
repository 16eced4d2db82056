// Writers at the same time: processes that each store their own registry
// values into one prefix lose none of them.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/platform/registry.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/config_writers.h"
#include "frontend/profiles/profile_files.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"
#include "tool/core/config_commit.h"
#include "tool/core/config_name.h"

namespace dravolo {
namespace {

class ConcurrentWriters : public test::PrefixFixture {};

TEST_F(ConcurrentWriters, ThreeProcessesOf300ValuesEachLoseNone) {
    constexpr int kWriters = 3;
    constexpr int kValues = 300;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = fork();
        if (pid == 0) {
            // Each write is its own save: open, lock, read, change, replace.
            auto registry = OpenSystemRegistry();
            int failed = 0;
            for (int i = 0; i < kValues; ++i)
                failed += !registry->SetString(RegRoot::CurrentUser, "Software\\Race\\W" + std::to_string(w),
                                               "V" + std::to_string(i), std::to_string(w * 1000 + i));
            _exit(failed == 0 ? 0 : 1);
        }
        ASSERT_GT(pid, 0);
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer reported a failed write";
    }
    auto registry = OpenSystemRegistry();
    int found = 0;
    for (int w = 0; w < kWriters; ++w) {
        for (int i = 0; i < kValues; ++i) {
            const auto value = registry->QueryString(RegRoot::CurrentUser, "Software\\Race\\W" + std::to_string(w),
                                                     "V" + std::to_string(i));
            found += value == std::to_string(w * 1000 + i);
        }
    }
    EXPECT_EQ(found, kWriters * kValues);
}

// The front end writing ePSXe's configuration for a launch while the tool
// stores a configuration on OK: in every round both sets of values are there
// afterwards, whichever writer came second.
TEST_F(ConcurrentWriters, ALaunchAndTheToolsOkKeepBothSetsOfValues) {
    const std::string profile = ProfilePath(EmulatorKind::Epsxe, "Race");
    const std::string stored = tool::ConfigurationKeyPath("Mine");
    for (int round = 0; round < 12; ++round) {
        const std::string bios = "scph" + std::to_string(round) + ".bin";
        {
            test::MemoryRegistry memory;
            SettingsStore settings{memory};
            test::RecordingPrompter prompter;
            _EPSXEDATA record(settings);
            record.BiosName = bios;
            if (round == 0) {
                ASSERT_TRUE(CreateProfileFile(EmulatorKind::Epsxe, profile, settings));
            }
            ASSERT_TRUE(SaveProfileRecord(record, profile, prompter));
        }
        ASSERT_TRUE(OpenSystemRegistry()->SetDword(RegRoot::CurrentUser, tool::kActiveConfigurationKey, "Round",
                                                   static_cast<std::uint32_t>(round)));
        const pid_t launch = fork();
        if (launch == 0) {
            test::MemoryRegistry memory;
            SettingsStore settings{memory};
            test::RecordingPrompter prompter;
            auto registry = OpenSystemRegistry();
            _exit(WriteEmulatorConfig(profile, EmulatorKind::Epsxe, *registry, settings, prompter) ? 0 : 1);
        }
        const pid_t ok = fork();
        if (ok == 0) {
            auto registry = OpenSystemRegistry();
            _exit(tool::CommitConfiguration(*registry, "Mine") ? 0 : 1);
        }
        for (const pid_t pid : {launch, ok}) {
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        }
        auto registry = OpenSystemRegistry();
        EXPECT_EQ(registry->QueryString(RegRoot::CurrentUser, kEpsxeConfigKey, "BiosName"), bios) << round;
        EXPECT_EQ(registry->QueryDword(RegRoot::CurrentUser, stored, "Round"), static_cast<std::uint32_t>(round))
            << round;
    }
}

}  // namespace
}  // namespace dravolo
