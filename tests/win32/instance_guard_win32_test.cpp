// The single-instance guard is a named mutex: a second process of the same
// name is refused, and Windows frees the name when the holder ends.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/platform/instance_guard.h"

namespace dravolo {
namespace {

// What another process sees: CreateMutexA with the same name.
bool NameTakenElsewhere(const std::string& name) {
    HANDLE h = CreateMutexA(nullptr, FALSE, name.c_str());
    const bool taken = h && GetLastError() == ERROR_ALREADY_EXISTS;
    if (h) CloseHandle(h);
    return taken;
}

TEST(Win32InstanceGuard, ANamedMutexThatNeedsNoNamespace) {
    const std::string name = "Dravolo\\Guard " + std::to_string(GetCurrentProcessId());
    auto first = InstanceGuard::Acquire(name);
    ASSERT_NE(first, nullptr);  // the backslash does not select a kernel namespace
    EXPECT_EQ(InstanceGuard::Acquire(name), nullptr);
    EXPECT_TRUE(NameTakenElsewhere("Dravolo_Guard " + std::to_string(GetCurrentProcessId())));
    first.reset();
    EXPECT_FALSE(NameTakenElsewhere("Dravolo_Guard " + std::to_string(GetCurrentProcessId())));
    EXPECT_NE(InstanceGuard::Acquire(name), nullptr);
}

}  // namespace
}  // namespace dravolo
