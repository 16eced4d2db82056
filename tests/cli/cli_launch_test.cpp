// dravolo-cli launch and quick-configure: the double-click's road without a
// window, with its messages on the prompter and a failing exit code.

#include <gtest/gtest.h>

#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "cli/cli.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/scripted_prompter.h"

namespace dravolo {
namespace {

class CliLaunch : public test::PrefixFixture {
protected:
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        cli::Context context{out, err, prompter};
        return cli::Run(args, context);
    }
    std::ostringstream out, err;
    test::ScriptedPrompter prompter;
};

TEST_F(CliLaunch, StopsWithTheProductsMessages) {
    // A missing profile keeps the defaults, whose plugin fields are empty.
    EXPECT_EQ(Run({"launch", "Epsxe", "Missing"}), 1);
    ASSERT_FALSE(prompter.messages.empty());
    EXPECT_EQ(prompter.messages.back().caption, "Ziv Izodur");

    ASSERT_EQ(Run({"profiles", "new", "Epsxe", "NoPlugins"}), 0);
    prompter.messages.clear();
    EXPECT_EQ(Run({"launch", "Epsxe", "NoPlugins"}), 1);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Please select a GPU/SPU/CDR plugin using \nthe plugin manager.");
    EXPECT_EQ(prompter.messages[0].caption, "Ziv Izodur");

    EXPECT_EQ(Run({"launch", "Nowhere", "NoPlugins"}), 2);
    EXPECT_EQ(Run({"quick-configure", "Epsxe", "NoPlugins", "mouse"}), 2);
}

#ifndef _WIN32  // a shell script as the emulator: POSIX only (tests/win32 starts the PE fake emulator)
TEST_F(CliLaunch, StartsTheEmulatorInItsFolder) {
    ASSERT_EQ(Run({"profiles", "new", "Pcsx", "Go"}), 0);
    ASSERT_EQ(Run({"profiles", "set", "Pcsx", "Go", "Gpu=gpuA.dll", "Spu=spuA.dll", "Cdr=cdrA.dll"}), 0);
    // A native stand-in for pcsx.exe that notes where and how it ran.
    WriteHostFile(driveC() + "/pcsx/pcsx.exe", "#!/bin/sh\npwd > started.txt\n");
    ASSERT_EQ(chmod(HostPath(driveC() + "/pcsx/pcsx.exe").c_str(), 0755), 0);
    ASSERT_EQ(Run({"launch", "pcsx", "Go"}), 0) << err.str();
    // The shell makes the file before pwd writes its line: wait for the line.
    const auto started = [&] {
        return HostExists(driveC() + "/pcsx/started.txt") &&
               ReadHostFile(driveC() + "/pcsx/started.txt").find('\n') != std::string::npos;
    };
    for (int i = 0; i < 100 && !started(); ++i) usleep(50'000);
    EXPECT_NE(ReadHostFile(driveC() + "/pcsx/started.txt").find("drive_c/pcsx"), std::string::npos);
    EXPECT_TRUE(prompter.messages.empty()) << prompter.messages.front().text;
}

TEST_F(CliLaunch, AHiveThatCannotBeWrittenFailsTheLaunchAfterTheStart) {
    ASSERT_EQ(Run({"profiles", "new", "Adripsx", "Go"}), 0);
    WriteHostFile(driveC() + "/adripsx/adriile.exe", "#!/bin/sh\npwd > started.txt\n");
    ASSERT_EQ(chmod(HostPath(driveC() + "/adripsx/adriile.exe").c_str(), 0755), 0);
    WriteHostFile(prefix() + "/system.reg", "damaged\n");
    EXPECT_EQ(Run({"launch", "Adripsx", "Go"}), 1);
    for (int i = 0; i < 100 && !HostExists(driveC() + "/adripsx/started.txt"); ++i) usleep(50'000);
    EXPECT_TRUE(HostExists(driveC() + "/adripsx/started.txt"));  // the emulator still got its file and started
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, "Could not write the emulator's settings to\n" + prefix() + "/system.reg");
}
#endif

}  // namespace
}  // namespace dravolo
