#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/base/bytes.h"
#include "common/platform/registry.h"
#include "tests/support/card_builder.h"
#include "tests/support/prefix_fixture.h"
#include "tests/tool/tool_process.h"
#include "tests/tool/tool_workspace.h"
#include "tool/core/card_summary.h"
#include "tool/core/report.h"

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
TEST_F(ReportTest, ProgramWritesTheRecordThroughAPipe) {
    // The tool finds everything from its own place: installed in C:\epsxe.
    const std::string program = workspace_->host() + "/" + std::filesystem::path(KESTRINETOOL_PATH).filename().string();
    std::filesystem::copy_file(KESTRINETOOL_PATH, program);
    const auto run = [&](const std::vector<std::string>& args) { return test::RunWithReportPipe(program, args); };

    test::PipeRun done = run({"/pt", "Game", "#{pipe};0"});
    EXPECT_EQ(done.exitCode, 0);
    EXPECT_EQ(done.written, Bytes(4096, 0));

    done = run({"/pt", "Game", "#{pipe};2047"});
    const Bytes* record = &done.written;
    ASSERT_EQ(record->size(), 4096u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record->data())), kAllLines);
    EXPECT_EQ(LoadU32(record->data() + 4088), 0u);
    EXPECT_EQ(LoadU32(record->data() + 4092), 0u);

    // The card lines come from the card in the pool, with its icon record.
    std::filesystem::create_directories(workspace_->host() + "/MemCards");
    const test::CardBuilder card = test::CardBuilder().AddSave({0}, "\x82\x60\x82\x61");
    std::ofstream(workspace_->host() + "/MemCards/epsxe003.mcr", std::ios::binary) << card.str();
    done = run({"/pt", "Game", "#{pipe};128"});
    ASSERT_EQ(record->size(), 4096u + 160u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record->data())), "7CARD1\tAB; \n");
    EXPECT_EQ(LoadU32(record->data() + 4088), 160u);
    EXPECT_TRUE(std::equal(record->begin() + 4096, record->end(), card.bytes().begin() + 8192 + 96));

    // A name that is no key name gives the empty record: a caller reading
    // its pipe never waits for nothing.
    done = run({"/pt", "Ga\\me", "#{pipe};2047"});
    EXPECT_EQ(done.written, Bytes(4096, 0));
    EXPECT_EQ(done.exitCode, 0);
    EXPECT_EQ(run({"/pt", std::string(300, 'x'), "#{pipe};512"}).written, Bytes(4096, 0));
    // Unknown modes write nothing.
    EXPECT_TRUE(run({"/pt", "Game", "%{pipe};1"}).written.empty());
    done = run({"Game", "#{pipe};1"});
    EXPECT_TRUE(done.written.empty());
    EXPECT_EQ(done.exitCode, 0);
}
#endif
