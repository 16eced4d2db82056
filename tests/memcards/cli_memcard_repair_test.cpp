// dravolo-cli memcard recover and check: the texts, the exit codes, the
// repair question and what a repair leaves behind.

#include <gtest/gtest.h>

#include "frontend/memcards/memcard_texts.h"
#include "tests/memcards/cli_memcard_fixture.h"
#include "tests/support/card_builder.h"

namespace dravolo {
namespace {

using test::CardBuilder;
using test::CliMemcard;

TEST_F(CliMemcard, RecoverBringsBackAMarkedFreeSaveOrSaysWhyNot) {
    const CardBuilder built = CardBuilder().AddSave({0, 1}, "TWO", 1).AddSave({3}, "ONE", 2);
    WriteHostFile("a.mcr", CardBuilder(built).MarkFree({0, 1}).MarkFree({3}).AddSave({1}, "TOOK", 3).str());
    ASSERT_EQ(Run({"recover", "a.mcr", "4"}), 0) << err.str();
    EXPECT_EQ(out.str(), "The save in slot 4 is back (1 block).\n");
    EXPECT_EQ(Run({"recover", "a.mcr", "1"}), 1);
    EXPECT_EQ(prompter.messages.back().text, "Cannot recover: the block in slot 2 now belongs to another save.");
    EXPECT_EQ(prompter.messages.back().caption, memcards::kCaption);
    EXPECT_EQ(Run({"recover", "a.mcr", "4"}), 1);
    EXPECT_EQ(prompter.messages.back().text, "Cannot recover slot 4: it does not hold a save that was marked as free.");
    ASSERT_EQ(Run({"list", "a.mcr"}), 0);
    EXPECT_EQ(Line(4), "4\tsave\tBA\tONE");
    EXPECT_EQ(Line(1), "1\terased\tBA\tTWO");

    EXPECT_EQ(Run({"recover", "a.mcr", "16"}), 2);
    EXPECT_EQ(Run({"recover", "missing.mcr", "1"}), 1);
}

TEST_F(CliMemcard, CheckReportsFindingsAndRepairsWhenAsked) {
    WriteHostFile("good.mcr", CardBuilder().AddSave({0, 1}).str());
    EXPECT_EQ(Run({"check", "good.mcr"}), 0);
    EXPECT_EQ(out.str(), "No problems found.\n");

    // A three-block save whose first block was cleared, and a bad checksum.
    const CardBuilder bad =
        CardBuilder().AddSave({2, 4, 6}, "CUT", 2).SetState(2, 0xA0).SetByte(CardBuilder::FrameOffset(9) + 127, 0x33);
    WriteHostFile("bad.mcr", bad.str());
    const std::string report =
        "Slot 10: directory frame checksum is 0x33, should be 0xA0.\n"
        "Slot 5: a block in use that no save reaches.\n"
        "Slot 7: a block in use that no save reaches.\n";
    EXPECT_EQ(Run({"check", "bad.mcr"}), 1);
    EXPECT_EQ(out.str(), report);
    EXPECT_EQ(ReadHostFile("bad.mcr"), bad.str());

    // --repair asks; the default No writes nothing.
    EXPECT_EQ(Run({"check", "bad.mcr", "--repair"}), 1);
    EXPECT_EQ(prompter.messages.back().text, memcards::kAskRepairCard);
    EXPECT_EQ(ReadHostFile("bad.mcr"), bad.str());
    prompter.answers.push_back(PromptAnswer::Yes);
    EXPECT_EQ(Run({"check", "bad.mcr", "--repair"}), 0) << out.str();
    EXPECT_EQ(out.str(), report +
                             "Repaired: 1 checksum made right, 1 save of 2 blocks no save reached marked free "
                             "(Recover Slot brings it back).\n");
    EXPECT_EQ(Run({"check", "bad.mcr"}), 0);
    ASSERT_EQ(Run({"recover", "bad.mcr", "5"}), 0) << err.str();
    EXPECT_EQ(ReadHostFile("bad.mcr").substr(8192), bad.str().substr(8192));  // not a data byte changed

    // What Repair cannot mend stays, and so does the exit code.
    WriteHostFile("loop.mcr", CardBuilder().AddSave({3, 5}).SetNext(5, 3).str());
    prompter.answers.push_back(PromptAnswer::Yes);
    EXPECT_EQ(Run({"check", "loop.mcr", "--repair"}), 1);
    EXPECT_EQ(out.str(), "Slot 6: an end block that links on to slot 4 (save of slot 4).\n");

    // A short file: its size is a finding; a file that is not there cannot be read.
    WriteHostFile("short.mcr", CardBuilder().str().substr(0, 8192));
    EXPECT_EQ(Run({"check", "short.mcr"}), 1);
    EXPECT_EQ(Line(1), "Card: the file is 8192 bytes long; a memory card is 131072.");
    EXPECT_EQ(Run({"check", "missing.mcr"}), 2);
    EXPECT_NE(err.str().find("missing.mcr was not found."), std::string::npos);
    WriteHostFile("zero.mcr", std::string(131072, '\0'));
    EXPECT_EQ(Run({"check", "zero.mcr"}), 1);
    EXPECT_EQ(out.str(), "Card: not a formatted memory card (no \"MC\" header).\n");
    EXPECT_EQ(Run({"check", "good.mcr", "--fix"}), 2);
}

}  // namespace
}  // namespace dravolo
