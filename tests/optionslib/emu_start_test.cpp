#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/platform/registry.h"
#include "optionslib/core/emu_start.h"
#include "common/platform/process.h"
#include "optionslib/core/interface_key.h"
#include "optionslib/core/start_error.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo::kstuff {
namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

EmuStartRequest ExampleRequest() {
    EmuStartRequest request;
    request.executable = "C:\\EPSXE\\epsxe.exe";
    request.videoPlugin = "gpuPeopsSoft.dll";
    request.soundPlugin = "spuPeopsSound.dll";
    request.cdromPlugin = "cdrPeops.dll";
    request.netPlugin = "DISABLED";
    return request;
}

struct RecordingStarter {
    std::vector<std::string> lines;
    bool result = true;
    ProcessStarter get() {
        return [this](std::string_view line) {
            lines.emplace_back(line);
            return result;
        };
    }
};

std::string CommandLineFor(test::MemoryRegistry& registry, const EmuStartRequest& request) {
    const auto plan = PlanEmuStart(registry, request);
    return plan ? plan->commandLine : "<refused>";
}

TEST(EmuStartCommandLine, ComposesOptionsCheatAndCards) {
    test::MemoryRegistry registry;
    EmuStartRequest request = ExampleRequest();
    // Nothing optional and no interface key.
    EXPECT_EQ(CommandLineFor(registry, request), "\"C:\\EPSXE\\epsxe.exe\" -nogui -f");

    request.cheatFile = "C:\\EPSXE\\cheats\\x.cht";
    request.card1 = "epsxe000.mcr";
    EXPECT_EQ(CommandLineFor(registry, request),
              "\"C:\\EPSXE\\epsxe.exe\" -nogui -f -loadcheat \"C:\\EPSXE\\cheats\\x.cht\" "
              "-loadmemc0 \"C:\\EPSXE\\memcards\\epsxe000.mcr\"");

    request.card2 = "my card.mcr";
    request.cheatFile.clear();
    EXPECT_EQ(CommandLineFor(registry, request),
              "\"C:\\EPSXE\\epsxe.exe\" -nogui -f -loadmemc0 \"C:\\EPSXE\\memcards\\epsxe000.mcr\" "
              "-loadmemc1 \"C:\\EPSXE\\memcards\\my card.mcr\"");

    request.cardPathsFull = true;
    request.card1 = "D:\\saves\\a.mcr";
    request.card2 = "rel\\b.mcr";
    EXPECT_EQ(CommandLineFor(registry, request),
              "\"C:\\EPSXE\\epsxe.exe\" -nogui -f -loadmemc0 \"D:\\saves\\a.mcr\" -loadmemc1 \"rel\\b.mcr\"");

    // Only card 2: no card 1 option at all.
    request.cardPathsFull = false;
    request.card1.clear();
    request.card2 = "epsxe001.mcr";
    EXPECT_EQ(CommandLineFor(registry, request),
              "\"C:\\EPSXE\\epsxe.exe\" -nogui -f -loadmemc1 \"C:\\EPSXE\\memcards\\epsxe001.mcr\"");
}

TEST(EmuStartCommandLine, GuiSwitchAndExtraCommandLine) {
    test::MemoryRegistry registry;
    registry.SetDword(kUser, kInterfaceKey, "StartGui", 1);
    registry.SetString(kUser, kInterfaceKey, "CmdLine", "-slowboot -analog");
    EXPECT_EQ(CommandLineFor(registry, ExampleRequest()), "\"C:\\EPSXE\\epsxe.exe\" -slowboot -analog");

    registry.SetString(kUser, kInterfaceKey, "CmdLine", "");
    EXPECT_EQ(CommandLineFor(registry, ExampleRequest()), "\"C:\\EPSXE\\epsxe.exe\" -f");

    registry.SetDword(kUser, kInterfaceKey, "StartGui", 0);
    registry.SetString(kUser, kInterfaceKey, "CmdLine", "-bios x");
    EXPECT_EQ(CommandLineFor(registry, ExampleRequest()), "\"C:\\EPSXE\\epsxe.exe\" -nogui -bios x");
}

TEST(EmuStartCommandLine, ExecutableWithoutFolderPassesRelativeCardsAsGiven) {
    test::MemoryRegistry registry;
    EmuStartRequest request = ExampleRequest();
    request.executable = "epsxe.exe";
    request.card1 = "epsxe000.mcr";
    EXPECT_EQ(CardFolderFor("epsxe.exe"), "");
    EXPECT_EQ(CommandLineFor(registry, request), "\"epsxe.exe\" -nogui -f -loadmemc0 \"epsxe000.mcr\"");
}

TEST(EmuStartCommandLine, RefusesWhatCannotBeStartedWithoutWritingOrStarting) {
    // A line of exactly 2047 characters fits the buffer with its terminator.
    test::MemoryRegistry registry;
    EmuStartRequest request = ExampleRequest();
    const std::string base = CommandLineFor(registry, request);  // "... -nogui -f"
    const std::size_t overhead = base.size() + std::string(" -loadcheat \"\"").size();
    request.cheatFile = std::string(kCommandLineBufferBytes - 1 - overhead, 'x');
    EXPECT_EQ(CommandLineFor(registry, request).size(), kCommandLineBufferBytes - 1);

    request.cheatFile.push_back('x');
    RecordingStarter starter;
    EXPECT_FALSE(StartEmulator(registry, request, starter.get()));
    EXPECT_TRUE(starter.lines.empty());
    EXPECT_EQ(registry.commits, 0);
    EXPECT_FALSE(registry.KeyExists(kUser, kEmulatorKey));

    // An extra command line too long for its 260-byte buffer is not cut either.
    registry.SetString(kUser, kInterfaceKey, "CmdLine", std::string(kMaxTextLength + 1, 'c'));
    registry.commits = 0;
    EXPECT_FALSE(StartEmulator(registry, ExampleRequest(), starter.get()));
    EXPECT_TRUE(starter.lines.empty());
    EXPECT_EQ(registry.commits, 0);

    EmuStartRequest empty = ExampleRequest();
    empty.executable.clear();
    EXPECT_FALSE(StartEmulator(registry, empty, starter.get()));
    EXPECT_TRUE(starter.lines.empty());
}

TEST(EmuStartCommandLine, QuotesTheExecutableSoADecoyBeforeTheBlankCannotRun) {
    test::MemoryRegistry registry;
    EmuStartRequest request = ExampleRequest();
    request.executable = "C:\\Program Files\\ePSXe\\epsxe.exe";
    request.card1 = "epsxe000.mcr";
    const std::string expected =
        "\"C:\\Program Files\\ePSXe\\epsxe.exe\" -nogui -f -loadmemc0 \"C:\\Program "
        "Files\\ePSXe\\memcards\\epsxe000.mcr\"";
    EXPECT_EQ(CommandLineFor(registry, request), expected);
    // ePSXe's run-time gives the program its whole path back.
    EXPECT_EQ(SplitCommandLine(CommandLineFor(registry, request)).front(), "C:\\Program Files\\ePSXe\\epsxe.exe");

    // Quoted by the caller already: the same line, the same card folder.
    request.executable = "\"C:\\Program Files\\ePSXe\\epsxe.exe\"";
    EXPECT_EQ(CommandLineFor(registry, request), expected);
    EXPECT_EQ(CardFolderFor(request.executable), "C:\\Program Files\\ePSXe\\memcards\\");

    // A slash separates folders as a backslash does.
    EXPECT_EQ(CardFolderFor("C:/games/ePSXe/epsxe.exe"), "C:/games/ePSXe\\memcards\\");
    EXPECT_EQ(CardFolderFor("C:\\games/epsxe.exe"), "C:\\games\\memcards\\");
}

TEST(EmuStartCommandLine, TextArgumentsCannotEndTheirQuotesEarly) {
    test::MemoryRegistry registry;
    EmuStartRequest request = ExampleRequest();
    // A trailing backslash is doubled: the cheat path keeps its closing quote
    // and the card option stays an option of its own.
    request.cheatFile = "C:\\EPSXE\\cheats\\";
    request.card1 = "epsxe000.mcr";
    const std::string line = CommandLineFor(registry, request);
    EXPECT_EQ(line,
              "\"C:\\EPSXE\\epsxe.exe\" -nogui -f -loadcheat \"C:\\EPSXE\\cheats\\\\\" "
              "-loadmemc0 \"C:\\EPSXE\\memcards\\epsxe000.mcr\"");
    EXPECT_EQ(SplitCommandLine(line),
              (std::vector<std::string>{"C:\\EPSXE\\epsxe.exe", "-nogui", "-f", "-loadcheat", "C:\\EPSXE\\cheats\\",
                                        "-loadmemc0", "C:\\EPSXE\\memcards\\epsxe000.mcr"}));

    // A quote in any text argument is refused before anything is written.
    const auto refused = [&](EmuStartRequest bad) {
        RecordingStarter starter;
        registry.commits = 0;
        EmuStartError error = EmuStartError::None;
        const bool started = StartEmulator(registry, bad, starter.get(), &error);
        return !started && starter.lines.empty() && registry.commits == 0 && error == EmuStartError::QuoteInArgument;
    };
    EmuStartRequest bad = ExampleRequest();
    bad.card1 = "x.mcr\" -bios \"C:\\evil.bin";
    EXPECT_TRUE(refused(bad));
    bad = ExampleRequest();
    bad.cheatFile = "a\"b";
    EXPECT_TRUE(refused(bad));
    bad = ExampleRequest();
    bad.executable = "C:\\ePSXe\\epsxe.exe\" -bios \"x";
    EXPECT_TRUE(refused(bad));
    bad = ExampleRequest();
    bad.videoPlugin = "gpu\".dll";
    EXPECT_TRUE(refused(bad));
    EXPECT_FALSE(registry.KeyExists(kUser, kEmulatorKey));
}

TEST(EmuStartValues, AnOverlongBiosOrPadIsRefusedNotSkipped) {
    for (const char* name : {"BIOS", "Pad1", "Pad11"}) {
        test::MemoryRegistry registry;
        registry.SetString(kUser, kInterfaceKey, name, std::string(kMaxTextLength + 1, 'b'));
        registry.commits = 0;
        RecordingStarter starter;
        EmuStartError error = EmuStartError::None;
        EXPECT_FALSE(StartEmulator(registry, ExampleRequest(), starter.get(), &error)) << name;
        EXPECT_EQ(error, EmuStartError::ValueTooLong) << name;
        EXPECT_TRUE(starter.lines.empty()) << name;
        EXPECT_EQ(registry.commits, 0) << name;

        // 259 bytes still fit.
        registry.SetString(kUser, kInterfaceKey, name, std::string(kMaxTextLength, 'b'));
        EXPECT_TRUE(StartEmulator(registry, ExampleRequest(), starter.get())) << name;
    }
}

TEST(EmuStartErrors, EveryRefusalHasItsLastErrorValue) {
    test::MemoryRegistry registry;
    EmuStartError error = EmuStartError::None;
    EmuStartRequest empty = ExampleRequest();
    empty.executable.clear();
    EXPECT_FALSE(PlanEmuStart(registry, empty, &error));
    EXPECT_EQ(error, EmuStartError::EmptyExecutable);
    EmuStartRequest longLine = ExampleRequest();
    longLine.cheatFile = std::string(kCommandLineBufferBytes, 'x');
    EXPECT_FALSE(PlanEmuStart(registry, longLine, &error));
    EXPECT_EQ(error, EmuStartError::CommandLineTooLong);
    RecordingStarter failing;
    failing.result = false;
    EXPECT_FALSE(StartEmulator(registry, ExampleRequest(), failing.get(), &error));
    EXPECT_EQ(error, EmuStartError::NotStarted);

#ifdef _WIN32
    EXPECT_EQ(LastErrorFor(EmuStartError::QuoteInArgument, 0), 87u);      // ERROR_INVALID_PARAMETER
    EXPECT_EQ(LastErrorFor(EmuStartError::ValueTooLong, 0), 234u);        // ERROR_MORE_DATA
    EXPECT_EQ(LastErrorFor(EmuStartError::CommandLineTooLong, 0), 206u);  // ERROR_FILENAME_EXCED_RANGE
    EXPECT_EQ(LastErrorFor(EmuStartError::NotStarted, 0), 2u);            // ERROR_FILE_NOT_FOUND
#else
    EXPECT_EQ(LastErrorFor(EmuStartError::EmptyExecutable, 0), static_cast<unsigned long>(EINVAL));
    EXPECT_EQ(LastErrorFor(EmuStartError::ValueTooLong, 0), static_cast<unsigned long>(EOVERFLOW));
    EXPECT_EQ(LastErrorFor(EmuStartError::CommandLineTooLong, 0), static_cast<unsigned long>(E2BIG));
    EXPECT_EQ(LastErrorFor(EmuStartError::NotStarted, 0), static_cast<unsigned long>(ENOENT));
#endif
    EXPECT_EQ(LastErrorFor(EmuStartError::NotStarted, 5), 5u);  // the creation's own reason wins
}

TEST(EmuStartValues, TranslatesTheInterfaceKeyInOneBatch) {
    test::MemoryRegistry registry;
    RegBatch setup;
    setup.SetString(kUser, kInterfaceKey, "Pad2", "bmotor");
    setup.SetString(kUser, kInterfaceKey, "Pad9", "keys3");
    setup.SetString(kUser, kInterfaceKey, "BIOS", "C:\\EPSXE\\Bios\\scph1001.bin");
    setup.SetDword(kUser, kInterfaceKey, "SoundEnabled", 1);
    setup.SetDword(kUser, kInterfaceKey, "SoundCDDA", 0);
    setup.SetDword(kUser, kInterfaceKey, "SubchannelCdromEnabled", 1);
    setup.SetDword(kUser, kInterfaceKey, "SubchannelCaching", 0);
    setup.SetDword(kUser, kInterfaceKey, "SubchannelCachingLG", 5);
    setup.SetDword(kUser, kInterfaceKey, "AutoPPF", 1);
    setup.SetDword(kUser, kInterfaceKey, "StartGui", 1);
    setup.SetDword(kUser, kInterfaceKey, "Country", 255);
    setup.SetDword(kUser, kInterfaceKey, "CdromLetter", 68);
    ASSERT_TRUE(registry.Commit(setup));
    registry.commits = 0;

    RecordingStarter starter;
    ASSERT_TRUE(StartEmulator(registry, ExampleRequest(), starter.get()));
    EXPECT_EQ(registry.commits, 1);
    ASSERT_EQ(starter.lines.size(), 1u);
    EXPECT_EQ(starter.lines[0], "\"C:\\EPSXE\\epsxe.exe\" -f");

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"VideoPlugin", "gpuPeopsSoft.dll"},
        {"SoundPlugin", "spuPeopsSound.dll"},
        {"CdromPlugin", "cdrPeops.dll"},
        {"NetPlugin", "DISABLED"},
        {"GamepadBMotorType", "bmotor"},
        {"Keys3", "keys3"},
        {"BiosName", "C:\\EPSXE\\Bios\\scph1001.bin"},
        {"SoundEnabled", "1"},
        {"SoundCDDA", "0"},
        {"SubchannelW9xCdromEnabled", "1"},
        {"SubchannelW2kCdromEnabled", "1"},
        {"SubchannelW9xCaching", "0"},
        {"SubchannelW2kCaching", "0"},
        {"SubchannelW9xCachingLG", "1"},
        {"SubchannelW2kCachingLG", "1"},
        {"AutoPpfLoad", "0"},
        {"Country", "255"},
        {"CdromLetter", "68"},
    };
    const auto written = registry.EnumValues(kUser, kEmulatorKey);
    ASSERT_TRUE(written);
    ASSERT_EQ(written->size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        // Exact case of the names matters to ePSXe's readers of the hive.
        EXPECT_EQ((*written)[i].name, expected[i].first);
        EXPECT_EQ((*written)[i].type, kRegSz) << expected[i].first;
        EXPECT_EQ((*written)[i].data, RegSzData(expected[i].second)) << expected[i].first;
    }

    registry.SetDword(kUser, kInterfaceKey, "AutoPPF", 0);
    ASSERT_TRUE(StartEmulator(registry, ExampleRequest(), starter.get()));
    EXPECT_EQ(registry.QueryValue(kUser, kEmulatorKey, "AutoPpfLoad")->data, RegSzData("255"));
}

TEST(EmuStartValues, MissingInterfaceKeyWritesOnlyThePlugins) {
    test::MemoryRegistry registry;
    RecordingStarter starter;
    starter.result = false;
    EXPECT_FALSE(StartEmulator(registry, ExampleRequest(), starter.get()));
    const auto written = registry.EnumValues(kUser, kEmulatorKey);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->size(), 4u);
    EXPECT_FALSE(registry.KeyExists(kUser, kInterfaceKey));
}

// Through the real registry and process layers: the fake emulator installed as
// epsxe.exe reports the arguments it was given.
class EmuStartEndToEnd : public test::PrefixFixture {};

std::string WaitForReport(const std::string& path) {
    for (int i = 0; i < 200; ++i) {
        std::ifstream in(path);
        if (in) return std::string(std::istreambuf_iterator<char>(in), {});
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return {};
}

TEST_F(EmuStartEndToEnd, StartsTheEmulatorWithTheComposedLine) {
    namespace fs = std::filesystem;
    fs::create_directories(driveC() + "/EPSXE");
    fs::copy_file(FAKE_EMULATOR_PATH, driveC() + "/EPSXE/epsxe.exe");
    auto registry = OpenSystemRegistry();
    ASSERT_TRUE(registry);
    ASSERT_TRUE(registry->SetDword(kUser, kInterfaceKey, "AutoPPF", 1));

    EmuStartRequest request = ExampleRequest();
    request.cheatFile = "C:\\EPSXE\\cheats\\x.cht";
    request.card1 = "epsxe000.mcr";
    ASSERT_TRUE(StartEmulator(*registry, request, DefaultProcessStarter()));

    const std::string report = WaitForReport(workdir() + "/fake_emulator_report.txt");
    EXPECT_NE(report.find("argc=7\n"), std::string::npos) << report;
    EXPECT_NE(report.find("argv[1]=-nogui\nargv[2]=-f\nargv[3]=-loadcheat\nargv[4]=C:\\EPSXE\\cheats\\x.cht\n"
                          "argv[5]=-loadmemc0\nargv[6]=C:\\EPSXE\\memcards\\epsxe000.mcr\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("cwd=" + fs::canonical(workdir()).string() + "\n"), std::string::npos) << report;

    auto reopened = OpenSystemRegistry();
    auto ppf = reopened->QueryValue(kUser, kEmulatorKey, "AutoPpfLoad");
    ASSERT_TRUE(ppf);
    EXPECT_EQ(ppf->type, kRegSz);
    EXPECT_EQ(ppf->data, RegSzData("0"));
    EXPECT_EQ(reopened->QueryString(kUser, kEmulatorKey, "VideoPlugin"), "gpuPeopsSoft.dll");
}

TEST_F(EmuStartEndToEnd, ReportsAMissingEmulator) {
    auto registry = OpenSystemRegistry();
    ASSERT_TRUE(registry);
    EXPECT_FALSE(StartEmulator(*registry, ExampleRequest(), DefaultProcessStarter()));
}

}  // namespace
}  // namespace dravolo::kstuff
