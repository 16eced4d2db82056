#include <gtest/gtest.h>
#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
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

TEST(InstanceGuard, PerRegistryGuardsOfTwoPrefixesNeverMeet) {
    const std::string name = UniqueName("guard-registry");
    const char* saved = std::getenv("DRAVOLO_PREFIX");
    const std::string before = saved ? saved : "";
    char first[] = "/tmp/dravolo-guard-a-XXXXXX";
    char second[] = "/tmp/dravolo-guard-b-XXXXXX";
    ASSERT_TRUE(mkdtemp(first) && mkdtemp(second));
    setenv("DRAVOLO_PREFIX", first, 1);
    auto held = InstanceGuard::AcquireForRegistry(name);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(InstanceGuard::AcquireForRegistry(name), nullptr);
    setenv("DRAVOLO_PREFIX", (std::string(first) + "/.").c_str(), 1);  // the same prefix, spelt otherwise
    EXPECT_EQ(InstanceGuard::AcquireForRegistry(name), nullptr);
    setenv("DRAVOLO_PREFIX", second, 1);
    EXPECT_NE(InstanceGuard::AcquireForRegistry(name), nullptr);
    if (saved) {
        setenv("DRAVOLO_PREFIX", before.c_str(), 1);
    } else {
        unsetenv("DRAVOLO_PREFIX");
    }
    std::filesystem::remove_all(first);
    std::filesystem::remove_all(second);
}
#endif

}  // namespace
}  // namespace dravolo
