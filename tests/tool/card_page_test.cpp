// The "Memcards" tab's files: the tool's own card summary and icon records,
// the pool's commands on real files in a test prefix, and the slot marks.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/platform/registry.h"
#include "tests/support/card_builder.h"
#include "tests/support/prefix_fixture.h"
#include "tests/tool/tool_workspace.h"
#include "tool/core/card_choice.h"
#include "tool/core/card_pool.h"
#include "tool/core/card_summary.h"
#include "tool/core/report.h"

using namespace dravolo;
using namespace dravolo::tool;
using test::CardBuilder;

namespace {

// Full-width letters: 0x82 0x60 is "A", 0x82 0x81 is "a", 0x82 0x4F is "0";
// 0x81 0x40 is the full-width blank.
std::string FullWidth(std::string_view ascii) {
    std::string out;
    for (char c : ascii) {
        if (c == ' ') {
            out += "\x81\x40";
            continue;
        }
        const int code = (c >= 'a' && c <= 'z') ? c + 0x20 : c + 0x1F;
        out += '\x82';
        out += static_cast<char>(code);
    }
    return out;
}

std::array<std::uint8_t, 128> Pixels(std::uint8_t seed) {
    std::array<std::uint8_t, 128> pixels{};
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(seed + i);
    return pixels;
}

class CardPageTest : public test::PrefixFixture {
protected:
    void SetUp() override {
        PrefixFixture::SetUp();
        workspace_ = std::make_unique<test::ToolWorkspace>(driveC());
        std::filesystem::create_directories(workspace_->host() + "/MemCards");
    }
    std::string Host(const std::string& name) const { return workspace_->host() + "/MemCards/" + name; }
    void Put(const std::string& name, const std::string& bytes) const {
        std::ofstream(Host(name), std::ios::binary) << bytes;
    }
    std::string Get(const std::string& name) const { return ReadHostFile(Host(name)); }
    CardPool pool() const { return CardPool(workspace_->windows()); }

    std::unique_ptr<test::ToolWorkspace> workspace_;
};

}  // namespace

TEST(CardSummaryTitle, FullWidthLettersUpToFifteenAndTheFirstOtherCharacter) {
    EXPECT_EQ(ConvertSaveTitle(FullWidth("ABC DE")), "ABC");
    EXPECT_EQ(ConvertSaveTitle(FullWidth("ok10")), "ok10");
    EXPECT_EQ(ConvertSaveTitle(FullWidth("ABCDEFGHIJKLMNOPQ")), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(ConvertSaveTitle("SAVE"), "");
    EXPECT_EQ(ConvertSaveTitle(std::string("\x82", 1)), "");  // half a character
}

TEST_F(CardPageTest, SummaryAndIconRecordsOfTheSavesInOrder) {
    CardBuilder card;
    card.AddSave({0}, FullWidth("ABC DE"), 1)
        .SetIcon(0, {0x1111, 0x2222}, Pixels(7))
        .AddSave({1, 2}, FullWidth("ok1"), 2)
        .AddSave({3}, "PLAIN", 3);
    Put("a.mcr", card.str());
    const CardSummary summary = SummariseCard(std::string("C:\\epsxe\\MemCards\\a.mcr"));
    EXPECT_EQ(summary.text, "ABC; ok1; ; ");
    ASSERT_EQ(summary.icons.size(), 3 * kIconRecordSize);
    // Bytes 96 to 255 of each save's first block.
    const Bytes& bytes = card.bytes();
    for (int save = 0; save < 3; ++save) {
        const int slot = save == 0 ? 0 : save == 1 ? 1 : 3;
        const auto from = bytes.begin() + static_cast<std::ptrdiff_t>(CardBuilder::BlockOffset(slot) + 96);
        EXPECT_TRUE(std::equal(from, from + 160, summary.icons.begin() + save * 160)) << save;
    }
    EXPECT_EQ(summary.icons[0], 0x11);  // the palette leads
    EXPECT_EQ(summary.icons[32], 7);    // then the first icon frame
    EXPECT_TRUE(SummariseCard(std::string("C:\\epsxe\\MemCards\\a.mcr"), false).icons.empty());
}

TEST_F(CardPageTest, SavesAreTakenToLieOneAfterAnotherFromBlockOne) {
    // A single save in slot 2 is looked for in block 1, which holds no "SC":
    // the tool shows nothing for it.
    Put("gap.mcr", CardBuilder().AddSave({2}, FullWidth("LATE")).str());
    EXPECT_EQ(SummariseCard(std::string("C:\\epsxe\\MemCards\\gap.mcr")).text, "");
    // Marked-free saves in front are not counted, the saves behind them are
    // still looked for from block 1.
    Put("freed.mcr", CardBuilder().AddSave({0}, FullWidth("OLD")).AddSave({1}, FullWidth("NEW")).MarkFree({0}).str());
    EXPECT_EQ(SummariseCard(std::string("C:\\epsxe\\MemCards\\freed.mcr")).text, "OLD; ");
}

TEST_F(CardPageTest, SummaryOfCardsThatHoldNoSaves) {
    Put("fresh.mcr", CardBuilder().str());
    Put("zero.mcr", CardBuilder::Unformatted().str());
    Put("one.mcr", "M");
    Put("head.mcr", "MC");  // no directory to walk
    EXPECT_EQ(SummariseCard(std::string("C:\\epsxe\\MemCards\\fresh.mcr")).text, "formatted, no blocks used");
    EXPECT_EQ(SummariseCard(std::string("C:\\epsxe\\MemCards\\zero.mcr")).text, "not formatted");
    EXPECT_EQ(SummariseCard(std::string("C:\\epsxe\\MemCards\\one.mcr")).text, " ");
    EXPECT_EQ(SummariseCard(std::string("C:\\epsxe\\MemCards\\head.mcr")).text, "formatted, no blocks used");
    EXPECT_EQ(SummariseCard(std::string("C:\\epsxe\\MemCards\\missing.mcr")).text, " ");
    EXPECT_EQ(SummariseCard(std::nullopt).text, " ");
}

TEST_F(CardPageTest, CreateFormatAndTheFormattedLayout) {
    EXPECT_TRUE(pool().Rows().empty());
    ASSERT_EQ(pool().Create(), 0);
    auto rows = pool().Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].label, "Card 0000");
    EXPECT_EQ(rows[0].summary, "not formatted");
    EXPECT_EQ(rows[0].date.size(), 10u);
    EXPECT_EQ(Get("epsxe000.mcr"), std::string(131072, '\0'));

    ASSERT_TRUE(pool().Format(0));
    EXPECT_EQ(pool().Rows()[0].summary, "formatted, no blocks used");
    const std::string card = Get("epsxe000.mcr");
    ASSERT_EQ(card.size(), 131072u);
    std::string expected(131072, '\0');
    expected[0] = 'M';
    expected[1] = 'C';
    expected[127] = 0x0E;
    for (int f = 1; f <= 15; ++f) {
        expected[128 * f] = static_cast<char>(0xA0);
        expected[128 * f + 8] = expected[128 * f + 9] = static_cast<char>(0xFF);
        expected[128 * f + 127] = static_cast<char>(0xA0);
    }
    for (int f = 16; f <= 35; ++f) {
        for (int b : {0, 1, 2, 3, 8, 9}) expected[128 * f + b] = static_cast<char>(0xFF);
    }
    EXPECT_EQ(card, expected);       // frames 36 to 63 and the blocks stay zero
    EXPECT_FALSE(pool().Format(1));  // no such card
}

TEST_F(CardPageTest, DeleteRenumbersTheFollowingCards) {
    for (int i = 0; i < 4; ++i)
        Put("epsxe00" + std::to_string(i) + ".mcr", std::string(131072, static_cast<char>('a' + i)));
    ASSERT_TRUE(pool().Delete(1).complete);
    EXPECT_EQ(pool().Count(), 3);
    EXPECT_EQ(Get("epsxe000.mcr")[0], 'a');
    EXPECT_EQ(Get("epsxe001.mcr")[0], 'c');
    EXPECT_EQ(Get("epsxe002.mcr")[0], 'd');
    EXPECT_FALSE(HostExists(Host("epsxe003.mcr")));
    // A gap hides what lies after it; the pool ends at the gap.
    Put("epsxe005.mcr", CardBuilder().str());
    EXPECT_EQ(pool().Rows().size(), 3u);
    EXPECT_FALSE(pool().Delete(3).deleted);

    ASSERT_EQ(pool().Duplicate(0), 3);
    EXPECT_EQ(Get("epsxe003.mcr"), Get("epsxe000.mcr"));
    EXPECT_FALSE(pool().Duplicate(7));
}

TEST_F(CardPageTest, ImportOfEveryKindAndItsFailures) {
    const std::string host = workspace_->host() + "/";
    const CardBuilder saved = CardBuilder().AddSave({0, 1}, FullWidth("MCR"));
    std::ofstream(host + "plain.MCR", std::ios::binary) << saved.str();
    std::ofstream(host + "dex.gme", std::ios::binary) << std::string(3904, 'h') << saved.str();
    // A .psx save: 54-byte header with the save's name, then one block.
    const std::string name = "BASLUS-00001GAME0001";
    std::string block = saved.str().substr(8192, 8192);
    block.replace(4, 64, FullWidth("PSX SAVE") + std::string(64 - 2 * 8, '\0'));
    std::ofstream(host + "one.psx", std::ios::binary) << name << std::string(34, 'x') << block;
    std::ofstream(host + "both.gme.mcr.psx", std::ios::binary) << saved.str() << std::string(3904, 'z');

    ASSERT_EQ(pool().Import("C:\\epsxe\\plain.MCR"), 0);
    EXPECT_EQ(Get("epsxe000.mcr"), saved.str());
    ASSERT_EQ(pool().Import("C:\\epsxe\\dex.gme"), 1);
    EXPECT_EQ(Get("epsxe001.mcr"), saved.str());
    ASSERT_EQ(pool().Import("C:\\epsxe\\one.psx"), 2);
    const std::string psx = Get("epsxe002.mcr");
    EXPECT_EQ(pool().Rows()[2].summary, "PSX; ");
    EXPECT_EQ(psx.substr(0, 2), "MC");
    EXPECT_EQ(static_cast<std::uint8_t>(psx[127]), 0x0E);
    EXPECT_EQ(static_cast<std::uint8_t>(psx[128]), 0x51);
    EXPECT_EQ(psx.substr(132, 4), std::string("\x00\x20\x00\x00", 4));
    EXPECT_EQ(psx.substr(136, 2), "\xFF\xFF");
    EXPECT_EQ(psx.substr(138, 20), name);
    std::uint8_t sum = 0;
    for (int i = 128; i < 255; ++i) sum ^= static_cast<std::uint8_t>(psx[i]);
    EXPECT_EQ(static_cast<std::uint8_t>(psx[255]), sum);
    EXPECT_EQ(psx.substr(8192, 8192), block);
    EXPECT_EQ(psx.substr(256, 8192 - 256), std::string(8192 - 256, '\0'));  // frames 2-63 empty
    EXPECT_EQ(psx.substr(16384), std::string(131072 - 16384, '\0'));
    // ".MCR" is looked for first, wherever it stands.
    ASSERT_EQ(pool().Import("C:\\epsxe\\both.gme.mcr.psx"), 3);
    EXPECT_EQ(Get("epsxe003.mcr"), saved.str());

    // Too short for its kind, no known extension, missing: nothing is added.
    std::ofstream(host + "short.mcr", std::ios::binary) << std::string(131071, 'x');
    std::ofstream(host + "short.gme", std::ios::binary) << saved.str();
    std::ofstream(host + "short.psx", std::ios::binary) << std::string(8245, 'x');
    std::ofstream(host + "card.bin", std::ios::binary) << saved.str();
    for (const char* path : {"C:\\epsxe\\short.mcr", "C:\\epsxe\\short.gme", "C:\\epsxe\\short.psx",
                             "C:\\epsxe\\card.bin", "C:\\epsxe\\missing.mcr"})
        EXPECT_FALSE(pool().Import(path)) << path;
    EXPECT_EQ(pool().Count(), 4);
}

TEST_F(CardPageTest, ExportCopiesOverAnExistingFile) {
    Put("epsxe000.mcr", CardBuilder().AddSave({0}, FullWidth("X")).str());
    std::ofstream(workspace_->host() + "/out.mcr") << "old";
    EXPECT_TRUE(pool().Export(0, "C:\\epsxe\\out.mcr"));
    EXPECT_EQ(ReadHostFile(workspace_->host() + "/out.mcr"), Get("epsxe000.mcr"));
    EXPECT_FALSE(pool().Export(1, "C:\\epsxe\\out2.mcr"));
    EXPECT_FALSE(pool().Export(0, "C:\\nowhere\\out.mcr"));
    EXPECT_EQ(CardPool::ExportFileName(7), "epsxe007.mcr");
}

TEST_F(CardPageTest, SlotMarksAndTheCardChoice) {
    ManagedSlots slots;
    EXPECT_EQ(SlotMark(slots, 0), 0);  // both absent
    slots.slot2 = 3;
    EXPECT_EQ(SlotMark(slots, 3), kMarkSlot2);
    slots.slot1 = 1;
    EXPECT_EQ(SlotMark(slots, 1), kMarkSlot1);
    EXPECT_EQ(SlotMark(slots, 0), 0);
    slots.slot2 = 1;
    EXPECT_EQ(SlotMark(slots, 1), kMarkBothSlots);

    auto registry = OpenSystemRegistry();
    EXPECT_FALSE(ReadCustomCards(*registry).useCustom);
    ASSERT_TRUE(WriteManagedSlot(*registry, 1, 4));
    EXPECT_EQ(ReadManagedSlots(*registry).slot2, 4u);
    EXPECT_FALSE(ReadManagedSlots(*registry).slot1);
    ASSERT_TRUE(WriteCustomCards(*registry, {true, "D:\\a.mcr", ""}));
    const CustomCards cards = ReadCustomCards(*registry);
    EXPECT_TRUE(cards.useCustom);
    EXPECT_EQ(cards.card1, "D:\\a.mcr");
    EXPECT_EQ(registry->QueryDword(RegRoot::CurrentUser, kMemoryCardsKey, "CustomCards"), 1u);
}

TEST_F(CardPageTest, SlotsFollowTheCardsThatMovedWhenOneIsDeleted) {
    auto registry = OpenSystemRegistry();
    constexpr RegRoot kUser = RegRoot::CurrentUser;
    const std::string a = "Software\\Vision Thing\\KestrineCFG\\A\\Memory Cards";
    const std::string b = "Software\\Vision Thing\\KestrineCFG\\B\\Memory Cards";
    RegBatch batch;
    batch.SetDword(kUser, kMemoryCardsKey, "MemCard0", 2);
    batch.SetDword(kUser, kMemoryCardsKey, "MemCard1", 1);
    batch.SetDword(kUser, a, "MemCard0", 0);
    batch.SetDword(kUser, a, "MemCard1", 4);  // did not move: the renaming stopped before it
    batch.SetDword(kUser, b, "MemCard0", 3);
    batch.SetString(kUser, b, "MemCard1", "2");  // no number: not ours to change
    EXPECT_TRUE(registry->Commit(batch));
    // Card 1 deleted, cards 2 and 3 moved down.
    ASSERT_TRUE(FollowCardDeletion(*registry, 1, 4));
    EXPECT_EQ(registry->QueryDword(kUser, kMemoryCardsKey, "MemCard0"), 1u);
    EXPECT_FALSE(registry->QueryValue(kUser, kMemoryCardsKey, "MemCard1"));
    EXPECT_EQ(registry->QueryDword(kUser, a, "MemCard0"), 0u);
    EXPECT_EQ(registry->QueryDword(kUser, a, "MemCard1"), 4u);
    EXPECT_EQ(registry->QueryDword(kUser, b, "MemCard0"), 2u);
    EXPECT_EQ(registry->QueryString(kUser, b, "MemCard1"), "2");
}

TEST_F(CardPageTest, ReportCardLinesCarryTheIconRecords) {
    Put("epsxe000.mcr", CardBuilder()
                            .AddSave({0}, FullWidth("ABC DE"))
                            .SetIcon(0, {0xABCD}, Pixels(3))
                            .AddSave({1}, FullWidth("Two"))
                            .str());
    auto registry = OpenSystemRegistry();
    const std::string game = "Software\\Vision Thing\\KestrineCFG\\Game\\Memory Cards";
    registry->SetDword(RegRoot::CurrentUser, game, "MemCard0", 0);
    registry->SetDword(RegRoot::CurrentUser, game, "MemCard1", 9);
    const Report report =
        BuildReport(*registry, "Game", kReportCard1 | kReportCard2, "C:\\EPSXE\\ePSXe.EXE", ReportCardSummary);
    EXPECT_EQ(report.text, "7CARD1\tABC; Two; \n8CARD2\t \n");
    const Bytes record = EncodeReportRecord(report);
    ASSERT_EQ(record.size(), 4096u + 320u);
    EXPECT_EQ(LoadU32(record.data() + 4088), 320u);
    EXPECT_EQ(LoadU32(record.data() + 4092), 0u);
    EXPECT_EQ(LoadU16(record.data() + 4096), 0xABCD);
    EXPECT_EQ(record[4096 + 32], 3);
}
