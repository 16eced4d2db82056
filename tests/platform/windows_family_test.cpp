#include <gtest/gtest.h>

#include <cstdlib>

#include "common/platform/windows_family.h"
#include "common/platform/wine_host.h"

namespace dravolo {
namespace {

TEST(WindowsFamily, VersionWordRule) {
    EXPECT_EQ(FamilyFromVersionWord(0xC0000A04ul), WindowsFamily::Win9x);  // Windows 98: top bit set
    EXPECT_EQ(FamilyFromVersionWord(0x80000004ul), WindowsFamily::Win9x);
    EXPECT_EQ(FamilyFromVersionWord(0x00000A03ul), WindowsFamily::Win9x);  // NT 3.x counts as 9x
    EXPECT_EQ(FamilyFromVersionWord(0x05650004ul), WindowsFamily::NT);     // NT 4.0
    EXPECT_EQ(FamilyFromVersionWord(0x0A28010Aul), WindowsFamily::NT);     // Windows 10: minor in the high byte
    EXPECT_EQ(FamilyFromVersionWord(0x00000305ul), WindowsFamily::NT);     // major is the low byte
}

TEST(WindowsFamily, OverrideWinsUntilCleared) {
    const WindowsFamily system = CurrentWindowsFamily();
    OverrideWindowsFamily(WindowsFamily::Win9x);
    EXPECT_EQ(CurrentWindowsFamily(), WindowsFamily::Win9x);
    OverrideWindowsFamily(WindowsFamily::NT);
    EXPECT_EQ(CurrentWindowsFamily(), WindowsFamily::NT);
    OverrideWindowsFamily(std::nullopt);
    EXPECT_EQ(CurrentWindowsFamily(), system);
#ifndef _WIN32
    EXPECT_EQ(system, WindowsFamily::NT);  // Wine reports NT
#endif
}

// Wine gives every program it starts its own configuration folder in
// WINECONFIGDIR; Windows itself has no such variable.
TEST(WineHost, KnowsWhetherWineRunsThisProgram) {
#ifdef _WIN32
    EXPECT_EQ(RunsUnderWine(), std::getenv("WINECONFIGDIR") != nullptr);
#else
    EXPECT_FALSE(RunsUnderWine());  // the native build runs on the host itself
#endif
}

}  // namespace
}  // namespace dravolo
