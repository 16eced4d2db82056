#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/base/bytes.h"
#include "common/platform/registry.h"
#include "tests/support/card_builder.h"
#include "tests/support/prefix_fixture.h"
#include "tests/tool/tool_workspace.h"
#include "tool/core/card_summary.h"
#include "tool/core/report.h"

#ifdef KESTRINETOOL_PATH
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace dravolo;
using namespace dravolo::tool;

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
const std::string kGame = "Software\\Vision Thing\\KestrineCFG\\Game";
const std::string kEmulator = "C:\\EPSXE\\ePSXe.EXE";

class ReportTest : public test::PrefixFixture {
protected:
    void SetUp() override {
        PrefixFixture::SetUp();
        workspace_ = std::make_unique<test::ToolWorkspace>(driveC());
        workspace_->AddPlugin(test::SharedTestPlugin("gpuTest.dll"), "gpuVideo.dll",
                              "name=Video X\nversion=0x00050107\n");
        workspace_->AddPlugin(test::ToolTestPlugin("padBoth.dll"), "padBoth.dll");
        registry_ = OpenSystemRegistry();
        RegBatch batch;
        batch.SetString(kUser, kGame + "\\Kestrine", "Comment", "Racing, two pads");
        batch.SetString(kUser, kGame + "\\GPU", "GPUlib", "gpuVideo.dll");
        batch.SetString(kUser, kGame + "\\SPU", "SPUlib", "SPUCORE");
        batch.SetString(kUser, kGame + "\\CDR", "CDRlib", "W9XCDRCORE");
        batch.SetString(kUser, kGame + "\\PAD", "PADlib", "PADCORE");
        batch.SetString(kUser, kGame + "\\PAD", "PAD1lib", "padBoth.dll");
        batch.SetString(kUser, kGame + "\\PAD", "PAD2lib", "PAD2CORE");
        batch.SetDword(kUser, kGame + "\\Memory Cards", "MemCard0", 3);
        batch.SetDword(kUser, kGame + "\\Memory Cards", "MemCard1", 12);
        EXPECT_TRUE(registry_->Commit(batch));
    }

    std::unique_ptr<test::ToolWorkspace> workspace_;
    std::unique_ptr<Registry> registry_;
};

const std::string kAllLines =
    "0INFO\tRacing, two pads\n"
    "0EXE\tC:\\EPSXE\\ePSXe.EXE\n"
    "1GPU\tVideo X 1.7\n"
    "2SPU\tInternal ePSXe SPU\n"
    "3CDR\tInternal ePSXe W9X CDR\n"
    "4PAD\tInternal ePSXe PAD\n"
    "5PAD1\tPad Both 1.2\n"
    "6PAD2\tInternal ePSXe PAD2\n"
    "9NET\tInternal ePSXe NULL NET\n"
    "7CARD1\t \n"
    "8CARD2\t \n";

}  // namespace

TEST_F(ReportTest, EveryLineInItsOrder) {
    const Report report = BuildReport(*registry_, "Game", 0x7FF, kEmulator, ReportCardSummary);
    EXPECT_EQ(report.text, kAllLines);
    EXPECT_TRUE(report.card1Icons.empty());

    // Each flag alone gives its own line alone.
    const std::pair<std::uint32_t, const char*> single[] = {
        {kReportInfo, "0INFO\tRacing, two pads\n"},
        {kReportExe, "0EXE\tC:\\EPSXE\\ePSXe.EXE\n"},
        {kReportGpu, "1GPU\tVideo X 1.7\n"},
        {kReportSpu, "2SPU\tInternal ePSXe SPU\n"},
        {kReportCdr, "3CDR\tInternal ePSXe W9X CDR\n"},
        {kReportPad, "4PAD\tInternal ePSXe PAD\n"},
        {kReportPad1, "5PAD1\tPad Both 1.2\n"},
        {kReportPad2, "6PAD2\tInternal ePSXe PAD2\n"},
        {kReportNet, "9NET\tInternal ePSXe NULL NET\n"},
        {kReportCard1, "7CARD1\t \n"},
        {kReportCard2, "8CARD2\t \n"},
    };
    for (const auto& [flag, line] : single)
        EXPECT_EQ(BuildReport(*registry_, "Game", flag, kEmulator, ReportCardSummary).text, line) << flag;

    // Without an emulator path only the comment can be told.
    EXPECT_EQ(BuildReport(*registry_, "Game", 0x7FF, "", ReportCardSummary).text, "0INFO\tRacing, two pads\n");
}

TEST_F(ReportTest, CodeWordsMatchExactlyAndPerKind) {
    RegBatch batch;
    batch.SetString(kUser, kGame + "\\CDR", "CDRlib", "w9xcdrcore");  // case matters: a file name then
    batch.SetString(kUser, kGame + "\\PAD", "PADlib", "PAD1CORE");    // another kind's word
    batch.SetString(kUser, kGame + "\\NET", "NETlib", "DISABLED");
    batch.SetString(kUser, kGame + "\\GPU", "GPUlib", "missing.dll");
    EXPECT_TRUE(registry_->Commit(batch));
    EXPECT_EQ(
        BuildReport(*registry_, "Game", kReportCdr | kReportPad | kReportNet | kReportGpu, kEmulator, ReportCardSummary)
            .text,
        "1GPU\t\n3CDR\t\n4PAD\t\n9NET\tInternal ePSXe NULL NET\n");
}

TEST_F(ReportTest, CardsComeFromCustomOrManagedChoice) {
    std::vector<std::optional<std::string>> asked;
    const CardSummariser recorder = [&](const std::optional<std::string>& path) {
        asked.push_back(path);
        CardSummary card;
        card.text = path ? "GAME; " : " ";
        if (path) card.icons.assign(160, static_cast<std::uint8_t>(asked.size()));
        return card;
    };
    Report report = BuildReport(*registry_, "Game", kReportCard1 | kReportCard2, kEmulator, recorder);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], "C:\\EPSXE\\MemCards\\epsxe003.mcr");
    EXPECT_EQ(asked[1], "C:\\EPSXE\\MemCards\\epsxe012.mcr");

    RegBatch batch;
    batch.SetDword(kUser, kGame + "\\Memory Cards", "CustomCards", 1);
    batch.SetString(kUser, kGame + "\\Memory Cards", "CustomCard0", "D:\\Saves\\mine.mcr");
    EXPECT_TRUE(registry_->Commit(batch));
    asked.clear();
    report = BuildReport(*registry_, "Game", kReportCard1 | kReportCard2, kEmulator, recorder);
    EXPECT_EQ(asked[0], "D:\\Saves\\mine.mcr");
    EXPECT_EQ(asked[1], "");  // custom, but no path given
    EXPECT_EQ(report.text, "7CARD1\tGAME; \n8CARD2\tGAME; \n");

    // No managed card chosen: none.
    registry_->DeleteValue(kUser, kGame + "\\Memory Cards", "CustomCards");
    registry_->DeleteValue(kUser, kGame + "\\Memory Cards", "MemCard1");
    asked.clear();
    report = BuildReport(*registry_, "Game", kReportCard2, kEmulator, recorder);
    EXPECT_EQ(asked[0], std::nullopt);

    // The record: icons after the 4096 bytes, their lengths little-endian.
    Report withIcons;
    withIcons.text = "x";
    withIcons.card1Icons.assign(320, 0xAA);
    withIcons.card2Icons.assign(160, 0xBB);
    const Bytes record = EncodeReportRecord(withIcons);
    ASSERT_EQ(record.size(), 4096u + 480u);
    EXPECT_EQ(LoadU32(record.data() + 4088), 320u);
    EXPECT_EQ(LoadU32(record.data() + 4092), 160u);
    EXPECT_EQ(record[4096], 0xAA);
    EXPECT_EQ(record[4096 + 320], 0xBB);
}

TEST(ReportRecord, TextIsCutAndTerminated) {
    Report report;
    report.text = std::string(5000, 'a');
    const Bytes record = EncodeReportRecord(report);
    ASSERT_EQ(record.size(), 4096u);
    EXPECT_EQ(record[4085], 'a');
    EXPECT_EQ(record[4086], 0);
    EXPECT_EQ(LoadU32(record.data() + 4088), 0u);

    const Bytes empty = EncodeReportRecord(Report{});
    EXPECT_EQ(empty, Bytes(4096, 0));
}

#ifdef KESTRINETOOL_PATH
namespace {

// Runs the installed tool with "/pt NAME MODE", where MODE may name fd 7,
// the write end of a pipe; returns what came through it.
Bytes RunTool(const std::string& program, const std::vector<std::string>& args, int* status) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], 7);
        if (fds[1] != 7) close(fds[1]);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        // No display: the report mode must not need one.
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    Bytes out;
    std::uint8_t buffer[8192];
    for (;;) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        out.insert(out.end(), buffer, buffer + n);
    }
    close(fds[0]);
    waitpid(pid, status, 0);
    return out;
}

}  // namespace

TEST_F(ReportTest, ProgramWritesTheRecordThroughAPipe) {
    // The tool finds everything from its own place: installed in C:\epsxe.
    const std::string program = workspace_->host() + "/kestrinetool";
    std::filesystem::copy_file(KESTRINETOOL_PATH, program);

    int status = -1;
    Bytes record = RunTool(program, {"/pt", "Game", "#7;0"}, &status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(record, Bytes(4096, 0));

    record = RunTool(program, {"/pt", "Game", "#7;2047"}, &status);
    ASSERT_EQ(record.size(), 4096u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data())), kAllLines);
    EXPECT_EQ(LoadU32(record.data() + 4088), 0u);
    EXPECT_EQ(LoadU32(record.data() + 4092), 0u);

    // The card lines come from the card in the pool, with its icon record.
    std::filesystem::create_directories(workspace_->host() + "/MemCards");
    const test::CardBuilder card = test::CardBuilder().AddSave({0}, "\x82\x60\x82\x61");
    std::ofstream(workspace_->host() + "/MemCards/epsxe003.mcr", std::ios::binary) << card.str();
    record = RunTool(program, {"/pt", "Game", "#7;128"}, &status);
    ASSERT_EQ(record.size(), 4096u + 160u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data())), "7CARD1\tAB; \n");
    EXPECT_EQ(LoadU32(record.data() + 4088), 160u);
    EXPECT_TRUE(std::equal(record.begin() + 4096, record.end(), card.bytes().begin() + 8192 + 96));

    // A name that is no key name gives the empty record: a caller reading
    // its pipe never waits for nothing.
    EXPECT_EQ(RunTool(program, {"/pt", "Ga\\me", "#7;2047"}, &status), Bytes(4096, 0));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(RunTool(program, {"/pt", std::string(300, 'x'), "#7;512"}, &status), Bytes(4096, 0));
    // Unknown modes write nothing.
    EXPECT_TRUE(RunTool(program, {"/pt", "Game", "%7;1"}, &status).empty());
    EXPECT_TRUE(RunTool(program, {"Game", "#7;1"}, &status).empty());
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif
