// The launch's registry work before the start: imports and writer end up in
// one commit, so a start rewrites the hive once.

#include <gtest/gtest.h>

#include "frontend/launch/config_writers.h"
#include "frontend/launch/launch.h"
#include "tests/launch/fake_windows.h"
#include "tests/launch/launch_fixture.h"

namespace dravolo {
namespace {

class PrepareLaunchTest : public test::LaunchFixture {};

TEST_F(PrepareLaunchTest, ImportsAndWriterCommitOnce) {
    auto& memory = static_cast<test::MemoryRegistry&>(registry());
    InProcessRegistryEditor editor(registry());
    for (const char* slot : {"GPU", "SPU", "CDR", "PAD"}) {
        const std::string key = std::string("Software\\Vision Thing\\PSEmu Pro\\") + slot;
        ASSERT_TRUE(registry().SetString(RegRoot::CurrentUser, key + "\\Plugin", "Setting", slot));
        ASSERT_TRUE(editor.Export(ProfilePath(EmulatorKind::Epsxe, "Crash", "." + LowerAnsi(slot)),
                                  "HKEY_CURRENT_USER\\" + key));
        ASSERT_TRUE(registry().DeleteTree(RegRoot::CurrentUser, key));
    }
    _EPSXEDATA r(settings());
    r.VideoPlugin = r.SoundPlugin = r.CdromPlugin = "x.dll";
    r.DVOCommandLine = "-slowboot";
    r.DVOEnableGui = 0;
    SaveProfile("Crash", r);

    test::FakeWindows windows;
    SleepingWindowPoller poller;
    const int before = memory.commits;
    const auto plan = PrepareLaunch(LaunchRequest{EmulatorKind::Epsxe, std::string("Crash"), true},
                                    LaunchServices{registry(), settings(), prompter, editor, windows, poller});
    ASSERT_TRUE(plan);
    EXPECT_EQ(memory.commits - before, 1);
    EXPECT_EQ(plan->arguments, "-slowboot -nogui");  // read back after the commit
    EXPECT_FALSE(plan->searchWindow);
    EXPECT_EQ(plan->installPath, "c:\\epsxe\\");
    for (const char* slot : {"GPU", "SPU", "CDR", "PAD"})
        EXPECT_EQ(String(RegRoot::CurrentUser, std::string("Software\\Vision Thing\\PSEmu Pro\\") + slot + "\\Plugin",
                         "Setting"),
                  slot);
    EXPECT_EQ(String(RegRoot::CurrentUser, kEpsxeConfigKey, "VideoPlugin"), "x.dll");
}

}  // namespace
}  // namespace dravolo
