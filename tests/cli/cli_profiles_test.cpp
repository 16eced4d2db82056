// dravolo-cli run in-process in a private prefix and working directory.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include "cli/cli.h"
#include "cli/cli_prompter.h"
#include "common/platform/registry.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace dravolo {
namespace {

class Cli : public test::PrefixFixture {
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

TEST_F(Cli, NewProfileMakesTheDefaultFileAndListsIt) {
    ASSERT_EQ(Run({"profiles", "new", "Epsxe", "Crash"}), 0) << err.str();
    EXPECT_EQ(ReadHostFile("Epsxe/Crash.set").size(), 150u);
    ASSERT_EQ(Run({"profiles", "new", "epsxe", "Spyro", "--description", "Year of the Dragon", "--bitmap",
                   "c:\\pics\\spyro.bmp"}),
              0);
    ASSERT_EQ(Run({"profiles", "list", "EPSXE"}), 0);
    EXPECT_EQ(out.str(), "Crash\t \t \nSpyro\tYear of the Dragon\tc:\\pics\\spyro.bmp\n");

    EXPECT_EQ(Run({"profiles", "new", "Epsxe", "Crash"}), 1);
    EXPECT_EQ(prompter.messages.back().text, "Error creating new profile.\nCheck if profile exists.");
    EXPECT_EQ(Run({"profiles", "new", "Nowhere", "Crash"}), 2);
}

TEST_F(Cli, ShowAndSetWalkTheFieldsInFileOrder) {
    ASSERT_EQ(Run({"profiles", "new", "Pcsx", "Tekken"}), 0);
    ASSERT_EQ(Run({"profiles", "show", "Pcsx", "Tekken"}), 0);
    const std::string shown = out.str();
    EXPECT_EQ(shown.rfind("Cdda=1\nPsxOut=0\n", 0), 0u) << shown;
    EXPECT_NE(shown.find("Mcd1=c:\\pcsx\\memcards\\Mcd001.mcr\n"), std::string::npos);
    EXPECT_LT(shown.find("BitmapFile="), shown.find("CdTiming="));

    ASSERT_EQ(Run({"profiles", "set", "Pcsx", "Tekken", "Cpu=1", "gpu=gpuX.dll", "RcntFix=1"}), 0) << err.str();
    ASSERT_EQ(Run({"profiles", "show", "Pcsx", "Tekken"}), 0);
    EXPECT_NE(out.str().find("Cpu=1\n"), std::string::npos);
    EXPECT_NE(out.str().find("Gpu=gpuX.dll\n"), std::string::npos);
    EXPECT_NE(out.str().find("RcntFix=1\n"), std::string::npos);

    EXPECT_EQ(Run({"profiles", "set", "Pcsx", "Tekken", "Cdda=2"}), 2);
    EXPECT_EQ(Run({"profiles", "set", "Pcsx", "Tekken", "Cpu=fast"}), 2);
    EXPECT_EQ(Run({"profiles", "set", "Pcsx", "Tekken", "Nope=1"}), 2);
    EXPECT_EQ(Run({"profiles", "show", "Pcsx", "Missing"}), 1);
    EXPECT_EQ(prompter.messages.back().text, "Cannot Open File.");

    // The ePSXe record stores AutoPpfLoad twice; it is one field.
    ASSERT_EQ(Run({"profiles", "new", "Epsxe", "Ppf"}), 0);
    ASSERT_EQ(Run({"profiles", "show", "Epsxe", "Ppf"}), 0);
    const std::string epsxe = out.str();
    EXPECT_EQ(epsxe.find("AutoPpfLoad="), epsxe.rfind("AutoPpfLoad="));
}

TEST_F(Cli, RenameAndDelete) {
    ASSERT_EQ(Run({"profiles", "new", "Fpse", "Old"}), 0);
    WriteHostFile("Fpse/Old.ini", "[x]\r\n");
    ASSERT_EQ(Run({"profiles", "new", "Fpse", "Taken"}), 0);
    EXPECT_EQ(Run({"profiles", "rename", "Fpse", "Old", "Taken"}), 1);
    EXPECT_EQ(Run({"profiles", "rename", "Fpse", "Ghost", "New"}), 1);
    ASSERT_EQ(Run({"profiles", "rename", "Fpse", "Old", "New"}), 0);
    EXPECT_TRUE(HostExists("Fpse/New.ini"));

    prompter.answers.push_back(PromptAnswer::No);
    EXPECT_EQ(Run({"profiles", "delete", "Fpse", "New"}), 1);
    EXPECT_TRUE(HostExists("Fpse/New.set"));
    EXPECT_EQ(prompter.messages.back().text, "Delete Selected Configuration?");
    EXPECT_EQ(prompter.messages.back().caption, "Delete Config");

    prompter.answers.push_back(PromptAnswer::Yes);
    ASSERT_EQ(Run({"profiles", "delete", "Fpse", "New", "Taken"}), 0);
    EXPECT_FALSE(HostExists("Fpse/New.set"));
    EXPECT_FALSE(HostExists("Fpse/New.ini"));
    EXPECT_FALSE(HostExists("Fpse/Taken.set"));
}

TEST_F(Cli, DeleteAndRenameSayWhatStoppedThem) {
#ifndef _WIN32
    // A name Windows refuses, existing here: refused, reported, still there.
    WriteHostFile("Psinex/con.set", "x");
    prompter.answers.push_back(PromptAnswer::Yes);
    EXPECT_EQ(Run({"profiles", "delete", "Psinex", "con"}), 1);
    EXPECT_TRUE(HostExists("Psinex/con.set"));
    EXPECT_EQ(prompter.messages.back().caption, "Profile Name Error");
#endif

    ASSERT_EQ(Run({"profiles", "new", "Psinex", "Old"}), 0);
    WriteHostFile("Psinex/New.cdr", "stray");
    EXPECT_EQ(Run({"profiles", "rename", "Psinex", "Old", "New"}), 1);
    EXPECT_TRUE(HostExists("Psinex/Old.set"));
    EXPECT_FALSE(HostExists("Psinex/New.set"));
}

TEST_F(Cli, NewProfileInAMissingFolder) {
    std::filesystem::remove_all(HostPath("Fpse"));
    ASSERT_EQ(Run({"profiles", "new", "Fpse", "Vib"}), 0) << err.str();
    EXPECT_TRUE(HostExists("Fpse/Vib.set"));
    ASSERT_EQ(Run({"profiles", "list", "Fpse"}), 0);
    EXPECT_EQ(out.str(), "Vib\t \t \n");
}

#ifndef _WIN32
// The program itself, as a terminal hands it UTF-8 arguments.
TEST_F(Cli, TextTheAnsiCodePageCannotHoldIsRefusedNamingTheCharacter) {
    auto cli = [&](const std::string& args, std::string& output) {
        const std::string command = "cd '" + workdir() + "' && DRAVOLO_PREFIX='" + prefix() + "' '" + DRAVOLO_CLI_PATH +
                                    "' " + args + " 2>&1 </dev/null";
        output.clear();
        FILE* pipe = popen(command.c_str(), "r");
        char chunk[256];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, got);
        const int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    std::string output;
    EXPECT_NE(cli("profiles new Epsxe \"ファイナル\"", output), 0);
    EXPECT_NE(output.find("U+30D5"), std::string::npos) << output;
    EXPECT_NE(output.find("\"フ\""), std::string::npos) << output;
    EXPECT_EQ(output.find("\\ / : *"), std::string::npos) << output;  // not the message about file names

    EXPECT_NE(cli("profiles new Epsxe Final --description \"Final ファイナル\"", output), 0);
    EXPECT_NE(output.find("U+30D5"), std::string::npos) << output;
    EXPECT_FALSE(HostExists("Epsxe/Final.set"));

    ASSERT_EQ(cli("profiles new Epsxe Final --description \"Café\"", output), 0) << output;
    EXPECT_NE(cli("profiles set Epsxe Final \"Description=Café ★\"", output), 0);
    EXPECT_NE(output.find("U+2605"), std::string::npos) << output;
    ASSERT_EQ(cli("profiles list Epsxe", output), 0);
    EXPECT_EQ(output, "Final\tCafé\t \n");
}

// Started in the bare home folder (as from a desktop menu) the program works in
// the user's data folder; --workdir names one; help makes no folder at all.
TEST_F(Cli, StartedInTheHomeFolderItWorksInTheDataFolder) {
    const std::string home = root() + "/home";
    std::filesystem::create_directories(home);
    auto cli = [&](const std::string& environment, const std::string& args) {
        const std::string command = "cd '" + home + "' && env -u XDG_DATA_HOME HOME='" + home + "' " + environment +
                                    " DRAVOLO_PREFIX='" + prefix() + "' '" + DRAVOLO_CLI_PATH + "' " + args +
                                    " >/dev/null 2>&1 </dev/null";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    ASSERT_EQ(cli("", "--help"), 0);
    EXPECT_TRUE(std::filesystem::is_empty(home));

    ASSERT_EQ(cli("", "profiles new Epsxe Crash"), 0);
    EXPECT_TRUE(std::filesystem::exists(home + "/.local/share/dravolo/Epsxe/Crash.set"));
    EXPECT_TRUE(std::filesystem::is_directory(home + "/.local/share/dravolo/Pcsx"));

    ASSERT_EQ(cli("XDG_DATA_HOME='" + root() + "/data'", "profiles new Pcsx Tekken"), 0);
    EXPECT_TRUE(std::filesystem::exists(root() + "/data/dravolo/Pcsx/Tekken.set"));

    ASSERT_EQ(cli("", "--workdir '" + root() + "/chosen' profiles new Fpse Vib"), 0);
    EXPECT_TRUE(std::filesystem::exists(root() + "/chosen/Fpse/Vib.set"));
    EXPECT_EQ(cli("", "profiles list Fpse --workdir"), 2);

    // Once the home folder holds profile folders it is used as before.
    std::filesystem::create_directories(home + "/Psinex");
    ASSERT_EQ(cli("", "profiles new Psinex Here"), 0);
    EXPECT_TRUE(std::filesystem::exists(home + "/Psinex/Here.set"));
}
#endif

#ifndef _WIN32
TEST_F(Cli, ShortcutLaunchesTheProfileWithItsPictureAsIcon) {
    // A 1 x 1 24-bit bitmap, red.
    std::string bmp = "BM";
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp += static_cast<char>(v >> (8 * i));
    };
    auto u16 = [&](std::uint16_t v) {
        bmp += static_cast<char>(v);
        bmp += static_cast<char>(v >> 8);
    };
    u32(58);
    u32(0);
    u32(54);
    u32(40);
    u32(1);
    u32(1);
    u16(1);
    u16(24);
    u32(0);
    u32(4);
    u32(0);
    u32(0);
    u32(0);
    u32(0);
    bmp += std::string("\0\0\xFF\0", 4);
    WriteHostFile(driveC() + "/red.bmp", bmp);
    ASSERT_EQ(Run({"profiles", "new", "Epsxe", "Crash Bandicoot", "--bitmap", "c:\\red.bmp"}), 0);
    ASSERT_EQ(Run({"profiles", "new", "Epsxe", "Plain"}), 0);
    setenv("XDG_DATA_HOME", (root() + "/data").c_str(), 1);

    ASSERT_EQ(Run({"profiles", "shortcut", "Epsxe", "Crash Bandicoot", root() + "/desk"}), 0) << err.str();
    const std::string file = root() + "/desk/dravolo-Epsxe-Crash_Bandicoot.desktop";
    EXPECT_EQ(out.str(), file + "\n");
    const std::string entry = ReadHostFile(file);
    EXPECT_NE(entry.find(" launch Epsxe \"Crash Bandicoot\"\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find(" --workdir "), std::string::npos) << entry;
    const std::string icon = root() + "/data/dravolo/icons/dravolo-Epsxe-Crash_Bandicoot.png";
    EXPECT_NE(entry.find("Icon=" + icon + "\n"), std::string::npos) << entry;
    EXPECT_EQ(ReadHostFile(icon).substr(1, 3), "PNG");
    EXPECT_NE(std::filesystem::status(file).permissions() & std::filesystem::perms::owner_exec,
              std::filesystem::perms::none);

    ASSERT_EQ(Run({"profiles", "shortcut", "Epsxe", "Plain", root() + "/desk"}), 0) << err.str();
    EXPECT_NE(ReadHostFile(root() + "/desk/dravolo-Epsxe-Plain.desktop").find("Icon=dravolo\n"), std::string::npos);
    EXPECT_EQ(Run({"profiles", "shortcut", "Epsxe", "Missing", root() + "/desk"}), 1);
    EXPECT_FALSE(HostExists(root() + "/desk/dravolo-Epsxe-Missing.desktop"));
    unsetenv("XDG_DATA_HOME");
}
#endif

#ifndef _WIN32
// "profiles set" on a read-only profile fails and leaves it; on a writable one
// in a folder where nothing can be created it writes the file in place.
TEST_F(Cli, SetFollowsTheProfilesOwnPermission) {
    ASSERT_EQ(Run({"profiles", "new", "Pcsx", "Locked"}), 0);
    ASSERT_EQ(Run({"profiles", "new", "Epsxe", "Open"}), 0);
    const std::string before = ReadHostFile("Pcsx/Locked.set");
    ASSERT_EQ(chmod(HostPath("Pcsx/Locked.set").c_str(), 0444), 0);
    ASSERT_EQ(chmod(HostPath("Epsxe").c_str(), 0555), 0);
    int locked = 0, open = 1;
    {
        test::ActAsOrdinaryUser user(root());
        locked = Run({"profiles", "set", "Pcsx", "Locked", "Cpu=1"});
        open = Run({"profiles", "set", "Epsxe", "Open", "Description=in place"});
    }
    chmod(HostPath("Epsxe").c_str(), 0755);
    EXPECT_EQ(locked, 1);
    EXPECT_TRUE(ReadHostFile("Pcsx/Locked.set") == before);
    ASSERT_FALSE(prompter.messages.empty());
    EXPECT_EQ(prompter.messages[0].text, "Cannot Save to File.");
    EXPECT_EQ(open, 0) << err.str();
    ASSERT_EQ(Run({"profiles", "list", "Epsxe"}), 0);
    EXPECT_EQ(out.str(), "Open\tin place\t \n");
}

// On the terminal the cause follows the product's message.
TEST_F(Cli, AFailedSaveTellsItsCauseAfterTheMessage) {
    ASSERT_EQ(Run({"profiles", "new", "Pcsx", "Locked"}), 0);
    ASSERT_EQ(chmod(HostPath("Pcsx/Locked.set").c_str(), 0444), 0);
    std::ostringstream terminal;
    cli::ConsolePrompter console(terminal, std::nullopt, false);
    cli::Context context{out, terminal, console};
    int result = 0;
    {
        test::ActAsOrdinaryUser user(root());
        result = cli::Run({"profiles", "set", "Pcsx", "Locked", "Cpu=1"}, context);
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(terminal.str(), "File Save Error: Cannot Save to File. (.\\Pcsx\\Locked.set: Permission denied)\n");
}

// A setting the registry cannot take: the hive file and why follow the line.
TEST_F(Cli, ASettingThatCannotBeWrittenTellsItsCause) {
    ASSERT_EQ(Run({"settings", "set", "CurrentView", "1"}), 0) << err.str();
    ASSERT_EQ(chmod((prefix() + "/user.reg").c_str(), 0444), 0);
    int result = 0;
    {
        test::ActAsOrdinaryUser user(root());
        result = Run({"settings", "set", "CurrentView", "2"});
    }
    chmod((prefix() + "/user.reg").c_str(), 0644);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(err.str().rfind("dravolo-cli: the setting could not be written (", 0), 0u) << err.str();
    EXPECT_NE(err.str().find("user.reg: Permission denied)\n"), std::string::npos) << err.str();
    ASSERT_EQ(Run({"settings", "get", "CurrentView"}), 0);
    EXPECT_EQ(out.str(), "1\n");
}
#endif

TEST_F(Cli, SettingsReadTheirDefaultsAndStore) {
    ASSERT_EQ(Run({"settings", "get", "NukeConsole"}), 0);
    EXPECT_EQ(out.str(), "1\n");
    ASSERT_EQ(Run({"settings", "get", "psinexexe"}), 0);
    EXPECT_EQ(out.str(), "psinex pc emulator.exe\n");
    ASSERT_EQ(Run({"settings", "set", "TextColor", "0x00FF0000"}), 0);
    ASSERT_EQ(Run({"settings", "get", "textcolor"}), 0);
    EXPECT_EQ(out.str(), "16711680\n");
    ASSERT_EQ(Run({"settings", "set", "EpsxePath", "d:\\games\\epsxe\\"}), 0);
    ASSERT_EQ(Run({"profiles", "new", "Epsxe", "Moved"}), 0);
    ASSERT_EQ(Run({"profiles", "show", "Epsxe", "Moved"}), 0);
    EXPECT_NE(out.str().find("Memcard1=d:\\games\\epsxe\\memcards\\epsxe000.mcr\n"), std::string::npos);
    EXPECT_EQ(Run({"settings", "set", "CurrentView", "two"}), 2);
    EXPECT_EQ(Run({"settings", "get", "NoSuchSetting"}), 2);
}

#ifndef _WIN32
TEST_F(Cli, ASettingWrittenIntoAHiveWithoutFinalLineFeedKeepsItsKeys) {
    // Beta before Alpha, no blank lines, no final line feed: the rewrite puts
    // Alpha first, and its last line must not take Beta's key line.
    std::ifstream in(std::string(DRAVOLO_TEST_DATA_DIR) + "/fuzz/hive/glued-key-no-final-lf.reg", std::ios::binary);
    const std::string hive((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(hive.empty());
    WriteHostFile(prefix() + "/user.reg", hive);
    ASSERT_EQ(Run({"settings", "set", "CurrentView", "1"}), 0) << err.str();
    auto reg = OpenSystemRegistry();
    EXPECT_EQ(reg->QueryString(RegRoot::CurrentUser, "Software\\Beta", "b"), "beta value");
    EXPECT_EQ(reg->QueryString(RegRoot::CurrentUser, "Software\\Alpha", "a"), "alpha value");
    EXPECT_EQ(reg->QueryValue(RegRoot::CurrentUser, "Software\\Alpha", "b"), std::nullopt);
    ASSERT_EQ(Run({"settings", "get", "CurrentView"}), 0);
    EXPECT_EQ(out.str(), "1\n");
}

// A registry file that cannot be read or written, and a registry that cannot
// take an import: each line ends with the file and why.
TEST_F(Cli, RegistryFileFailuresTellTheirCause) {
    ASSERT_EQ(Run({"settings", "set", "CurrentView", "1"}), 0) << err.str();
    EXPECT_EQ(Run({"reg", "import", "missing.reg"}), 1);
    EXPECT_EQ(err.str(), "dravolo-cli: cannot read 'missing.reg' (missing.reg: No such file or directory)\n");

    const std::string key = "HKEY_CURRENT_USER\\Software\\Dravolo\\Dravolo\\Settings";
    ASSERT_EQ(Run({"reg", "export", "settings.reg", key}), 0) << err.str();
    ASSERT_EQ(Run({"settings", "set", "CurrentView", "2"}), 0) << err.str();  // the import has a change to make
    std::filesystem::create_directory(HostPath("shut"));
    ASSERT_EQ(chmod(HostPath("shut").c_str(), 0555), 0);
    ASSERT_EQ(chmod((prefix() + "/user.reg").c_str(), 0444), 0);
    int exported = 0, imported = 0;
    std::string exportErr, importErr;
    {
        test::ActAsOrdinaryUser user(root());
        exported = Run({"reg", "export", "shut\\settings.reg", key});
        exportErr = err.str();
        imported = Run({"reg", "import", "settings.reg"});
        importErr = err.str();
    }
    chmod((prefix() + "/user.reg").c_str(), 0644);
    EXPECT_EQ(exported, 1);
    EXPECT_EQ(exportErr.rfind("dravolo-cli: cannot write 'shut\\settings.reg' (", 0), 0u) << exportErr;
    EXPECT_NE(exportErr.find(": Permission denied)\n"), std::string::npos) << exportErr;
    EXPECT_EQ(imported, 1);
    EXPECT_EQ(importErr.rfind("dravolo-cli: the registry could not be written; nothing imported (", 0), 0u)
        << importErr;
    EXPECT_NE(importErr.find("user.reg: Permission denied)\n"), std::string::npos) << importErr;
}
#endif

TEST_F(Cli, RegistryExportAndImportRoundTrip) {
    ASSERT_EQ(Run({"settings", "set", "Background", "c:\\bg.bmp"}), 0);
    ASSERT_EQ(Run({"reg", "export", "settings.reg", "HKEY_CURRENT_USER\\Software\\Dravolo\\Dravolo\\Settings"}), 0)
        << err.str();
    const std::string exported = ReadHostFile("settings.reg");
    ASSERT_GE(exported.size(), 2u);
    EXPECT_EQ(exported.substr(0, 2), "\xFF\xFE");
    ASSERT_EQ(Run({"settings", "set", "Background", "c:\\other.bmp"}), 0);
    ASSERT_EQ(Run({"reg", "import", "settings.reg"}), 0) << err.str();
    ASSERT_EQ(Run({"settings", "get", "Background"}), 0);
    EXPECT_EQ(out.str(), "c:\\bg.bmp\n");

    // Windows paths reach the prefix's drives.
    ASSERT_EQ(Run({"reg", "export", "C:\\Saved\\..\\settings.reg", "HKCU\\Software\\Dravolo"}), 0) << err.str();
    EXPECT_TRUE(HostExists(driveC() + "/settings.reg"));
    ASSERT_EQ(Run({"reg", "import", "c:\\SETTINGS.REG"}), 0) << err.str();

    EXPECT_EQ(Run({"reg", "export", "x.reg", "HKEY_CURRENT_USER\\Software\\Nothing"}), 1);
    EXPECT_EQ(Run({"reg", "import", "missing.reg"}), 1);
    WriteHostFile("junk.reg", "not a registry file");
    EXPECT_EQ(Run({"reg", "import", "junk.reg"}), 1);
}

}  // namespace
}  // namespace dravolo
