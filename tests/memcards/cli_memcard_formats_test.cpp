// dravolo-cli memcard import, convert, export-save and import-save through
// the formats: round trips between the commands, questions, refusals and
// the signature notices.

#include <gtest/gtest.h>

#include "common/base/bytes.h"
#include "frontend/memcards/memcard_texts.h"
#include "tests/memcards/cli_memcard_fixture.h"
#include "tests/support/card_builder.h"

namespace dravolo {
namespace {

using test::CardBuilder;
using test::CliMemcard;

CardBuilder Player() { return CardBuilder().AddSave({0}, "ONE", 1).AddSave({2, 5, 3}, "THREE", 2, "BE"); }

TEST_F(CliMemcard, ConvertThroughEveryFormatAndBack) {
    WriteHostFile("a.mcr", Player().str());
    WriteHostFile("back.mcr", "old");
    for (const char* name : {"a.gme", "a.mem", "a.vgs", "a.vmp", "a.vm1", "a.mcd", "a.srm"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(Run({"convert", "a.mcr", name}), 0) << err.str();
        EXPECT_EQ(Run({"convert", name, "back.mcr"}), 1);  // an existing card: No keeps it
        prompter.answers.push_back(PromptAnswer::Yes);
        ASSERT_EQ(Run({"convert", name, "back.mcr"}), 0) << err.str();
        EXPECT_EQ(ReadHostFile("back.mcr"), Player().str());
        EXPECT_EQ(prompter.messages.back().text, memcards::kAskOverwriteCard);
        EXPECT_TRUE(err.str().empty());
    }
    EXPECT_EQ(ReadHostFile("a.gme").size(), 3904u + 131072u);
    EXPECT_EQ(ReadHostFile("a.vmp").substr(0, 4), std::string("\0PMV", 4));
    // The Part's header drop still imports a .gme; a .vmp goes through its reader.
    ASSERT_EQ(Run({"import", "a.gme", "g.mcr"}), 0) << err.str();
    ASSERT_EQ(Run({"import", "a.vmp", "v.mcr"}), 0) << err.str();
    EXPECT_EQ(ReadHostFile("v.mcr"), Player().str());

    // An edited .vmp converts with a notice; a damaged one is refused.
    std::string edited = ReadHostFile("a.vmp");
    edited[0x80 + 9000] ^= 1;
    WriteHostFile("edited.vmp", edited);
    ASSERT_EQ(Run({"convert", "edited.vmp", "e.mcr"}), 0);
    EXPECT_NE(err.str().find("signature of edited.vmp does not match"), std::string::npos);
    WriteHostFile("cut.vmp", edited.substr(0, 70000));
    EXPECT_EQ(Run({"convert", "cut.vmp", "c.mcr"}), 1);
    EXPECT_EQ(prompter.messages.back().text, "cut.vmp is cut short: a PSP memory card needs 131200 bytes.");
    WriteHostFile("junk.bin", std::string(140000, 'j'));
    EXPECT_EQ(Run({"import", "junk.bin", "j.mcr"}), 1);
    EXPECT_EQ(prompter.messages.back().text, "junk.bin is not a memory card in any format known here.");
    EXPECT_FALSE(HostExists("c.mcr") || HostExists("j.mcr"));
    EXPECT_EQ(Run({"convert", "a.mcr", "a.txt"}), 2);
}

TEST_F(CliMemcard, ExportAndImportSavesThroughEveryFormat) {
    WriteHostFile("a.mcr", Player().str());
    for (const char* name : {"s.mcs", "s.ps1", "s.psx", "s.mcb", "s.mcx", "s.pda", "s.psv", "BESLUS-0102SAVE2"}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(Run({"export-save", "a.mcr", "3", name}), 0) << err.str();
        WriteHostFile("b.mcr", CardBuilder().AddSave({0}, "KEEP", 9).str());
        ASSERT_EQ(Run({"import-save", name, "b.mcr"}), 0) << err.str();
        EXPECT_EQ(out.str(), "slot 2\n");
        ASSERT_EQ(Run({"list", "b.mcr"}), 0);
        EXPECT_EQ(Line(1), "1\tsave\tBA\tKEEP");
        EXPECT_EQ(Line(2), "2\tsave\tBE\tTHREE");
        EXPECT_EQ(Line(3), "3\tlink\t-\t");  // later blocks carry no name, as a console writes them
        EXPECT_EQ(Line(4), "4\tend link\t-\t");
        const std::string b = ReadHostFile("b.mcr");
        const std::string a = Player().str();
        for (const auto& [from, to] : {std::pair{2, 1}, std::pair{5, 2}, std::pair{3, 3}})
            EXPECT_EQ(b.substr(CardBuilder::BlockOffset(to), 8192), a.substr(CardBuilder::BlockOffset(from), 8192));
    }

    // Onto a save: asked; a link slot, no room and a missing slot are refused.
    WriteHostFile("b.mcr", CardBuilder().AddSave({0}, "KEEP", 9).AddSave({1, 2}, "TWO", 8).str());
    EXPECT_EQ(Run({"import-save", "s.mcs", "b.mcr", "1"}), 1);
    EXPECT_EQ(prompter.messages.back().text, memcards::kAskOverwriteSave);
    EXPECT_EQ(Run({"import-save", "s.mcs", "b.mcr", "3"}), 1);
    EXPECT_EQ(prompter.messages.back().text,
              "The slot is a later block of another save; choose its first slot or a free one.");
    CardBuilder full;
    for (int slot = 0; slot < 14; ++slot) full.AddSave({slot}, "F", static_cast<std::uint8_t>(slot + 1));
    WriteHostFile("full.mcr", full.str());
    EXPECT_EQ(Run({"import-save", "s.mcs", "full.mcr"}), 1);
    EXPECT_EQ(prompter.messages.back().text, "There is no room on full.mcr: 2 more free slots needed.");
    EXPECT_EQ(ReadHostFile("full.mcr"), full.str());
    EXPECT_EQ(Run({"export-save", "a.mcr", "4", "x.mcs"}), 1);
    EXPECT_EQ(prompter.messages.back().text, "The slot does not start a save.");
    // An existing file is asked about before it is replaced.
    EXPECT_EQ(Run({"export-save", "a.mcr", "1", "s.mcs"}), 1);
    EXPECT_EQ(prompter.messages.back().text, memcards::kAskOverwriteFile);

    WriteHostFile("cut.mcs", ReadHostFile("s.mcs").substr(0, 9000));
    EXPECT_EQ(Run({"import-save", "cut.mcs", "b.mcr", "5"}), 1);
    EXPECT_EQ(prompter.messages.back().text, "cut.mcs is cut short: its save needs 24704 bytes.");
    EXPECT_EQ(Run({"import-save", "missing.mcs", "b.mcr"}), 1);
    EXPECT_EQ(Run({"export-save", "a.mcr", "0", "x.mcs"}), 2);
}

}  // namespace
}  // namespace dravolo
