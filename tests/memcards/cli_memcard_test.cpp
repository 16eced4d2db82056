// dravolo-cli memcard run in-process on card files in a private working directory.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "cli/cli.h"
#include "cli/cli_prompter.h"
#include "common/platform/native_text.h"
#include "frontend/memcards/memcard_texts.h"
#include "tests/memcard/read_only_card.h"
#include "tests/support/card_builder.h"
#include "tests/memcards/cli_memcard_fixture.h"
#include "tests/support/ordinary_user.h"

namespace dravolo {
namespace {

using test::CardBuilder;
using test::CliMemcard;

TEST_F(CliMemcard, FormatAndListShowEverySlot) {
    ASSERT_EQ(Run({"format", "a.mcr"}), 0) << err.str();
    EXPECT_EQ(ReadHostFile("a.mcr"), CardBuilder().str());
    EXPECT_TRUE(prompter.messages.empty());
    // Formatting a card that exists is asked, and No keeps it.
    EXPECT_EQ(Run({"format", "a.mcr"}), 1);
    EXPECT_EQ(prompter.messages.back().text, memcards::kAskFormat);

    CardBuilder card;
    card.AddSave({0}, "\x82\x65\x82\x66 \x83\x5E", 1, "BI")
        .AddSave({1, 3}, "TWO", 2, "BE")
        .AddSave({4}, "OLD")
        .MarkFree({4});
    WriteHostFile("b.mcr", card.str());
    ASSERT_EQ(Run({"list", "b.mcr"}), 0) << err.str();
    if (NativeTextIsUtf8()) EXPECT_EQ(Line(1), "1\tsave\tBI\tFG \xE3\x82\xBF");  // the katakana in UTF-8
    else EXPECT_EQ(Line(1), "1\tsave\tBI\tFG \x83^");  // the console shows the Shift-JIS bytes
    EXPECT_EQ(Line(2), "2\tsave\tBE\tTWO");
    EXPECT_EQ(Line(3), "3\tfree\t-\t");
    EXPECT_EQ(Line(4), "4\tend link\tBE\t");
    EXPECT_EQ(Line(5), "5\terased\tBA\tOLD");
    EXPECT_EQ(Line(15), "15\tfree\t-\t");

    EXPECT_EQ(Run({"list", "missing.mcr"}), 1);
    EXPECT_NE(err.str().find("missing.mcr was not found."), std::string::npos);
    WriteHostFile("zero.mcr", std::string(100, '\0'));
    EXPECT_EQ(Run({"list", "zero.mcr"}), 1);
    EXPECT_NE(err.str().find("not a formatted memory card"), std::string::npos);
}

TEST_F(CliMemcard, CopyEraseAndFreeUseSlotsOneToFifteen) {
    WriteHostFile("s.mcr", CardBuilder().AddSave({0, 1, 2}, "BIG", 1).AddSave({14}, "LAST", 2).str());
    WriteHostFile("d.mcr", CardBuilder().AddSave({0}, "TAKEN", 3).str());

    ASSERT_EQ(Run({"copy", "s.mcr", "15", "d.mcr", "2"}), 0) << err.str();
    ASSERT_EQ(Run({"list", "d.mcr"}), 0);
    EXPECT_EQ(Line(2), "2\tsave\tBA\tLAST");

    // Onto a save: asked, No refuses; Yes copies the three blocks.
    EXPECT_EQ(Run({"copy", "s.mcr", "1", "d.mcr", "1"}), 1);
    EXPECT_EQ(prompter.messages.back().text, memcards::kAskOverwriteSave);
    prompter.answers.push_back(PromptAnswer::Yes);
    ASSERT_EQ(Run({"copy", "s.mcr", "1", "d.mcr", "1"}), 0) << err.str();
    ASSERT_EQ(Run({"list", "d.mcr"}), 0);
    EXPECT_EQ(Line(1), "1\tsave\tBA\tBIG");
    EXPECT_EQ(Line(3), "3\tlink\tBA\t");
    EXPECT_EQ(Line(4), "4\tend link\tBA\t");

    // A link is never copied: the product's copy-failed text.
    EXPECT_EQ(Run({"copy", "s.mcr", "2", "d.mcr", "9"}), 1);
    EXPECT_EQ(prompter.messages.back().text, memcards::kCopyFailed);
    EXPECT_EQ(prompter.messages.back().caption, "MemCard Manager");
    EXPECT_EQ(Run({"copy", "s.mcr", "4", "d.mcr", "9"}), 1);
    EXPECT_NE(err.str().find("holds no save"), std::string::npos);

    // Mark free keeps the data, erase clears it; links are refused.
    EXPECT_EQ(Run({"free", "d.mcr", "3"}), 1);
    EXPECT_NE(err.str().find("use its first slot"), std::string::npos);
    prompter.answers.push_back(PromptAnswer::Yes);
    ASSERT_EQ(Run({"free", "d.mcr", "1"}), 0) << err.str();
    EXPECT_EQ(prompter.messages.back().text, memcards::kAskFreeSlot);
    ASSERT_EQ(Run({"list", "d.mcr"}), 0);
    EXPECT_EQ(Line(1), "1\terased\tBA\tBIG");
    EXPECT_EQ(Run({"erase", "d.mcr", "1"}), 1);  // already erased

    prompter.answers.push_back(PromptAnswer::Yes);
    ASSERT_EQ(Run({"erase", "d.mcr", "2"}), 0) << err.str();
    EXPECT_EQ(prompter.messages.back().text, memcards::kAskDeleteSlot);
    ASSERT_EQ(Run({"list", "d.mcr"}), 0);
    EXPECT_EQ(Line(2), "2\tfree\t-\t");

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"erase", "d.mcr", "0"},
                                                {"erase", "d.mcr", "16"},
                                                {"free", "d.mcr", "x"},
                                                {"copy", "s.mcr", "1", "d.mcr"},
                                                {"list"},
                                                {"shred", "d.mcr"}})
        EXPECT_EQ(Run(bad), 2) << bad[0];
}

TEST_F(CliMemcard, ImportOverAnExistingCardAsks) {
    const std::string body = CardBuilder().AddSave({0}, "DEX").str();
    const std::string kept = CardBuilder().AddSave({0}, "PRECIOUS", 2).str();
    WriteHostFile("in.gme", std::string(3904, 'D') + body);
    WriteHostFile("old.mcr", kept);
    EXPECT_EQ(Run({"import", "in.gme", "old.mcr"}), 1);  // the default answer is No
    ASSERT_FALSE(prompter.messages.empty());
    EXPECT_EQ(prompter.messages.back().text, memcards::kAskOverwriteCard);
    EXPECT_EQ(prompter.messages.back().caption, memcards::kOverwriteCaption);
    EXPECT_EQ(ReadHostFile("old.mcr"), kept);
    prompter.answers.push_back(PromptAnswer::Yes);
    ASSERT_EQ(Run({"import", "in.gme", "old.mcr"}), 0) << err.str();
    EXPECT_EQ(ReadHostFile("old.mcr"), body);
}

TEST_F(CliMemcard, CopyOntoAStaleSlotKeepsTheLiveSaveItsLinkPointsAt) {
    // Slot 1: a two-block save deleted by the console (0xA1, next slot 2 kept);
    // slot 2: a one-block save written later into the freed block.
    const CardBuilder dest = CardBuilder().AddSave({0, 1}, "OLD", 3).MarkFree({0, 1}).AddSave({1}, "LIVE", 5);
    WriteHostFile("dst.mcr", dest.str());
    WriteHostFile("src.mcr", CardBuilder().AddSave({0, 1}, "NEW", 7).str());
    ASSERT_EQ(Run({"copy", "src.mcr", "1", "dst.mcr", "1"}), 0) << err.str();
    EXPECT_TRUE(prompter.messages.empty());  // nothing in use was overwritten
    const std::string now = ReadHostFile("dst.mcr");
    EXPECT_EQ(now.substr(CardBuilder::FrameOffset(1), 128), dest.str().substr(CardBuilder::FrameOffset(1), 128));
    EXPECT_EQ(now.substr(CardBuilder::BlockOffset(1), 8192), dest.str().substr(CardBuilder::BlockOffset(1), 8192));
    ASSERT_EQ(Run({"list", "dst.mcr"}), 0);
    EXPECT_EQ(Line(1), "1\tsave\tBA\tNEW");
    EXPECT_EQ(Line(2), "2\tsave\tBA\tLIVE");
    EXPECT_EQ(Line(3), "3\tend link\tBA\t");
}

TEST_F(CliMemcard, EraseAndFreeOfACardThatCannotBeWrittenFail) {
    const std::string content = CardBuilder().AddSave({0}, "KEEP", 1).AddSave({1, 2}, "TWO", 2).str();
    WriteHostFile("ro.mcr", content);
    const test::ReadOnlyCard readOnly(HostPath("ro.mcr"));
    if (!readOnly.ok()) GTEST_SKIP() << "no way to make a read-only file here";
    prompter.answers.assign(4, PromptAnswer::Yes);
    EXPECT_EQ(Run({"erase", "ro.mcr", "1"}), 1);
    EXPECT_EQ(prompter.messages.back().text, memcards::kEraseFailed);
    EXPECT_EQ(prompter.messages.back().icon, PromptIcon::Stop);
    EXPECT_EQ(Run({"free", "ro.mcr", "2"}), 1);
    EXPECT_EQ(prompter.messages.back().text, memcards::kMarkFreeFailed);
    EXPECT_EQ(ReadHostFile("ro.mcr"), content);
}

#ifndef _WIN32
// On the terminal the cause follows the product's message: a card, a save
// file or a new card that cannot be written names the file and why.
TEST_F(CliMemcard, AFailedCardWriteTellsItsCauseAfterTheMessage) {
    const std::string content = CardBuilder().AddSave({0}, "KEEP", 1).str();
    WriteHostFile("a.mcr", content);
    WriteHostFile("ro.mcr", content);
    std::filesystem::create_directory(HostPath("shut"));
    ASSERT_EQ(chmod(HostPath("ro.mcr").c_str(), 0444), 0);
    ASSERT_EQ(chmod(HostPath("shut").c_str(), 0555), 0);
    std::ostringstream terminal;
    cli::ConsolePrompter console(terminal, true, false);
    cli::Context context{out, terminal, console};
    std::vector<std::pair<int, std::string>> runs;
    {
        test::ActAsOrdinaryUser user(root());
        for (std::vector<std::string> args : {std::vector<std::string>{"memcard", "erase", "ro.mcr", "1"},
                                              {"memcard", "export-save", "a.mcr", "1", "shut\\keep.mcs"},
                                              {"memcard", "format", "shut\\new.mcr"},
                                              {"memcard", "convert", "a.mcr", "shut\\a.gme"}}) {
            terminal.str("");
            const int result = cli::Run(args, context);
            runs.push_back({result, terminal.str()});
        }
    }
    chmod(HostPath("shut").c_str(), 0755);
    chmod(HostPath("ro.mcr").c_str(), 0644);
    ASSERT_EQ(runs.size(), 4u);
    for (const auto& run : runs) EXPECT_EQ(run.first, 1) << run.second;
    EXPECT_NE(runs[0].second.find("MemCard Manager: Error when deleting memcard slot (ro.mcr: Permission denied)\n"),
              std::string::npos)
        << runs[0].second;
    EXPECT_EQ(runs[1].second, "MemCard Manager: Cannot write shut\\keep.mcs. (shut\\keep.mcs: Permission denied)\n");
    EXPECT_EQ(runs[2].second, "dravolo-cli: shut\\new.mcr cannot be written (shut\\new.mcr: Permission denied)\n");
    EXPECT_EQ(runs[3].second, "MemCard Manager: Cannot write shut\\a.gme. (shut\\a.gme: Permission denied)\n");
    EXPECT_EQ(ReadHostFile("ro.mcr"), content);
}
#endif

TEST_F(CliMemcard, ImportDropsTheHeaderByExtension) {
    const std::string body = CardBuilder().AddSave({0}, "DEX").str();
    WriteHostFile("in.gme", std::string(3904, 'D') + body);
    WriteHostFile("in.VGS", std::string(64, 'V') + body);
    ASSERT_EQ(Run({"import", "in.gme", "one.mcr"}), 0) << err.str();
    EXPECT_EQ(ReadHostFile("one.mcr"), body);
    ASSERT_EQ(Run({"import", "in.VGS", "two.mcr"}), 0) << err.str();
    EXPECT_EQ(ReadHostFile("two.mcr"), body);

    ASSERT_EQ(Run({"import", "one.mcr", "three.mcr"}), 0) << err.str();  // any card format, a raw one too
    EXPECT_EQ(ReadHostFile("three.mcr"), body);
    WriteHostFile("short.mem", std::string(64, 'V'));
    EXPECT_EQ(Run({"import", "short.mem", "four.mcr"}), 1);
    EXPECT_EQ(prompter.messages.back().text, memcards::kImportFailed);
    EXPECT_EQ(Run({"import", "in.gme", "no\\such\\dir\\five.mcr"}), 1);
    EXPECT_FALSE(HostExists("four.mcr"));
}

}  // namespace
}  // namespace dravolo
