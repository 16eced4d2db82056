// dravolo-cli launch and quick-configure: the double-click's road without a
// window, with its messages on the prompter and a failing exit code.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "cli/cli.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

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
    test::RecordingPrompter prompter;
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

// Every file below the test's root with its content: what a dry run must leave alone.
std::map<std::string, std::string> TreeOf(const std::string& root) {
    std::map<std::string, std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        std::string content;
        if (entry.is_regular_file()) {
            FILE* file = std::fopen(entry.path().c_str(), "rb");
            char chunk[4096];
            std::size_t got;
            while (file && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, got);
            if (file) std::fclose(file);
        }
        tree[entry.path().string()] = content;
    }
    return tree;
}

TEST_F(CliLaunch, DryRunPrintsTheRegistryValuesImportsAndCommandLineAndChangesNothing) {
    ASSERT_EQ(Run({"profiles", "new", "Pcsx", "Go"}), 0);
    ASSERT_EQ(Run({"profiles", "set", "Pcsx", "Go", "Gpu=gpuA.dll", "Spu=spuA.dll", "Cdr=cdrA.dll",
                   "Mcd1=c:\\pcsx\\memcards\\card1.mcr"}),
              0);
    WriteHostFile(driveC() + "/pcsx/memcards/card1.mcr", std::string(131072, '\0'));
    WriteHostFile("Pcsx/Go.gpu",
                  "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vision Thing\\PSEmu Pro\\GPU\\Test]\r\n"
                  "\"Resolution\"=dword:00000002\r\n");
    WriteHostFile(driveC() + "/pcsx/pcsx.exe", "#!/bin/sh\ntouch started.txt\n");
    ASSERT_EQ(chmod(HostPath(driveC() + "/pcsx/pcsx.exe").c_str(), 0755), 0);
    const auto before = TreeOf(root());

    ASSERT_EQ(Run({"launch", "--dry-run", "Pcsx", "Go"}), 0) << err.str();
    const std::string shown = out.str();
    const auto at = [&](std::string_view text) { return shown.find(text); };
    EXPECT_NE(at("import .\\Pcsx\\Go.gpu\n"), std::string::npos) << shown;
    EXPECT_NE(at("registry HKEY_CURRENT_USER\\Software\\Vision Thing\\PSEmu Pro\\GPU\\Test Resolution = REG_DWORD "
                 "0x00000002 (2)\n"),
              std::string::npos)
        << shown;
    EXPECT_NE(at("registry HKEY_CURRENT_USER\\Software\\Pcsx Gpu = REG_SZ \"gpuA.dll\"\n"), std::string::npos) << shown;
    EXPECT_NE(at(".snapshots"), std::string::npos) << shown;  // the card snapshot the launch takes first
    EXPECT_NE(at("cd c:\\pcsx\\\n"), std::string::npos) << shown;
    EXPECT_NE(at("start c:\\pcsx\\pcsx.exe"), std::string::npos) << shown;
    EXPECT_LT(at("import "), at("registry HKEY_CURRENT_USER\\Software\\Pcsx "));
    EXPECT_LT(at("registry HKEY_CURRENT_USER\\Software\\Pcsx "), at("start "));
    EXPECT_EQ(TreeOf(root()), before);  // no registry, card, snapshot or emulator file touched

    // The launch's own stops are the same as without --dry-run.
    ASSERT_EQ(Run({"settings", "set", "PcsxPath", "c:\\nowhere\\"}), 0);
    prompter.messages.clear();
    EXPECT_EQ(Run({"launch", "--dry-run", "Pcsx", "Go"}), 1);
    ASSERT_FALSE(prompter.messages.empty());
    EXPECT_EQ(prompter.messages.back().caption, "Directory Error");
    EXPECT_EQ(Run({"launch", "--dry-run", "Pcsx"}), 2);
}

TEST_F(CliLaunch, DryRunShowsIniLinesAndFileCopies) {
    ASSERT_EQ(Run({"profiles", "new", "Psinex", "Ini"}), 0);
    ASSERT_EQ(Run({"profiles", "set", "Psinex", "Ini", "Graphics=gpuP.dll", "Sound=spuP.dll", "CdRom=cdrP.dll"}), 0)
        << err.str();
    WriteHostFile(driveC() + "/psinex/psinex pc emulator.ini", "[GENERAL]\r\nMDEC=False\r\n[OTHER]\r\nKeep=1\r\n");
    const auto before = TreeOf(root());
    Run({"launch", "--dry-run", "Psinex", "Ini"});
    EXPECT_NE(out.str().find("[PLUGINS] Graphics=plugins\\gpuP.dll\n"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find("Keep=1"), std::string::npos) << out.str();  // unchanged lines are not news
    EXPECT_EQ(TreeOf(root()), before);

    ASSERT_EQ(Run({"profiles", "new", "Fpse", "Copy"}), 0);
    ASSERT_EQ(
        Run({"profiles", "set", "Fpse", "Copy", "GpuPlugin=gpuF.dll", "SpuPlugin=spuF.dll", "CdrPlugin=cdrF.dll"}), 0)
        << err.str();
    WriteHostFile("Fpse/Copy.ini", "[FPSE]\r\nLastGPU=GPUPsemu.dll\r\n");
    const auto beforeFpse = TreeOf(root());
    Run({"launch", "--dry-run", "Fpse", "Copy"});
    EXPECT_NE(out.str().find("ini c:\\fpse\\FPSE.INI [FPSE] LastGPU=GPUPsemu.dll\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("copy c:\\fpse\\plugin\\GPUPsemu.dll -> c:\\fpse\\GPURend.dll\n"), std::string::npos)
        << out.str();
    EXPECT_EQ(TreeOf(root()), beforeFpse);
}
#endif

}  // namespace
}  // namespace dravolo
