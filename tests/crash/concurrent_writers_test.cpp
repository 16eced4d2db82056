// Writers at the same time: processes that each store their own registry
// values into one prefix lose none of them.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/platform/registry.h"
#include "tests/support/prefix_fixture.h"

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

}  // namespace
}  // namespace dravolo
