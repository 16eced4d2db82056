#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "common/platform/instance_guard.h"

namespace dravolo {
namespace {

std::string UniqueName(const char* base) { return std::string(base) + "-" + std::to_string(getpid()); }

TEST(InstanceGuard, SecondAcquireFailsUntilTheFirstIsReleased) {
    const std::string name = UniqueName("guard/test");  // a '/' must not break the file name
    auto first = InstanceGuard::Acquire(name);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(InstanceGuard::Acquire(name), nullptr);
    EXPECT_NE(InstanceGuard::Acquire(name + "-other"), nullptr);
    first.reset();
    EXPECT_NE(InstanceGuard::Acquire(name), nullptr);
}

#ifndef _WIN32  // tests/win32 holds the Windows form, with a second process started
TEST(InstanceGuard, AnotherProcessIsRefusedWhileHeld) {
    const std::string name = UniqueName("guard-proc");
    auto held = InstanceGuard::Acquire(name);
    ASSERT_NE(held, nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(InstanceGuard::Acquire(name) == nullptr ? 0 : 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
#endif

}  // namespace
}  // namespace dravolo
