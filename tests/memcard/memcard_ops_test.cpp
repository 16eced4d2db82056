// The file operations: result codes, in-place writes, imports, the
// directory reader, and damaged, short and oversized card files.

#include <gtest/gtest.h>

#include <random>

#include "common/memcard/memcard_file.h"
#include "common/memcard/memcard_ops.h"
#include "tests/memcard/read_only_card.h"
#include "tests/support/card_builder.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace dravolo::memcard {
namespace {

using test::CardBuilder;

constexpr std::size_t kCard = CardBuilder::kCardSize;

class MemCardFileOps : public test::PrefixFixture {
protected:
    // A card file in the working directory, by its host path.
    std::string Card(const std::string& name, const std::string& content) {
        WriteHostFile(name, content);
        return HostPath(name);
    }
    std::string Missing() { return HostPath("missing.mcr"); }
    std::string Contents(const std::string& path) { return ReadHostFile(path); }
    static std::uint8_t At(const std::string& content, std::size_t offset) {
        return static_cast<std::uint8_t>(content[offset]);
    }
};

TEST_F(MemCardFileOps, FormatWritesAFreshCard) {
    const std::string path = Card("a.mcr", std::string(200000, 'x'));
    EXPECT_EQ(MemCardFormat(path), 1);
    EXPECT_EQ(Contents(path), CardBuilder().str());  // truncated to one card

    EXPECT_EQ(MemCardFormat(HostPath("new.mcd")), 1);
    EXPECT_EQ(Contents(HostPath("new.mcd")), CardBuilder().str());
    // Through a Windows path into the emulator's card folder.
    EXPECT_EQ(MemCardFormat("C:\\EPSXE\\MEMCARDS\\Epsxe000.mcr"), 1);
    EXPECT_EQ(ReadHostFile(driveC() + "/epsxe/memcards/Epsxe000.mcr"), CardBuilder().str());

    EXPECT_EQ(MemCardFormat(""), 0);
    EXPECT_EQ(MemCardFormat(HostPath("no/such/dir/a.mcr")), 0);
}

TEST_F(MemCardFileOps, IsFormattedAndSlotInUseAnswerOneForUnopenableFiles) {
    const std::string card = Card("a.mcr", CardBuilder().AddSave({2, 3}).SetState(4, 0xFF).SetState(5, 0xA3).str());
    EXPECT_EQ(MemCardIsFormatted(card), 1);
    EXPECT_EQ(MemCardIsFormatted(""), 0);
    EXPECT_EQ(MemCardIsFormatted(Missing()), 1);
    EXPECT_EQ(MemCardIsFormatted(Card("blank.mcr", CardBuilder::Unformatted().str())), 0);
    EXPECT_EQ(MemCardIsFormatted(Card("empty.mcr", "")), 0);
    EXPECT_EQ(MemCardIsFormatted(Card("m.mcr", "M")), 0);
    EXPECT_EQ(MemCardIsFormatted(Card("mc.mcr", "MC")), 1);  // the size is never checked

    EXPECT_EQ(MemCardSlotInUse(card, 2), 1);
    EXPECT_EQ(MemCardSlotInUse(card, 3), 1);  // a link is in use
    EXPECT_EQ(MemCardSlotInUse(card, 4), 1);  // unknown states count as in use
    EXPECT_EQ(MemCardSlotInUse(card, 5), 0);  // marked free
    EXPECT_EQ(MemCardSlotInUse(card, 0), 0);
    EXPECT_EQ(MemCardSlotInUse(card, 15), 0);
    EXPECT_EQ(MemCardSlotInUse(card, -1), 0);
    EXPECT_EQ(MemCardSlotInUse(Missing(), 0), 1);
    EXPECT_EQ(MemCardSlotInUse("", 0), 1);
    EXPECT_EQ(MemCardSlotInUse(Missing(), 15), 0);
}

TEST_F(MemCardFileOps, FreeSlotSearchesFailOnTheSameCases) {
    const std::string card = Card("a.mcr", CardBuilder().AddSave({0}).AddSave({1, 3}).SetState(4, 0xA2).str());
    EXPECT_EQ(MemCardFreeSlots(card), 12);
    EXPECT_EQ(MemCardFirstFree(card), 2);
    EXPECT_EQ(MemCardFirstFreeExcept(card, 2), 4);  // marked free counts as available
    const std::string blank = Card("blank.mcr", CardBuilder::Unformatted().str());
    for (const std::string& bad : {std::string(), Missing(), blank}) {
        EXPECT_EQ(MemCardFreeSlots(bad), -1);
        EXPECT_EQ(MemCardFirstFree(bad), -1);
        EXPECT_EQ(MemCardFirstFreeExcept(bad, 0), -1);
    }
    // A formatted card of only its header: every directory frame reads 0x00.
    EXPECT_EQ(MemCardFreeSlots(Card("short.mcr", "MC")), 15);
}

TEST_F(MemCardFileOps, SaveChainAppendsToTheList) {
    const std::string card = Card("a.mcr", CardBuilder().AddSave({4, 9, 2}).str());
    std::vector<std::uint8_t> slots{77};
    EXPECT_EQ(MemCardSaveChain(card, 4, slots), 3);
    EXPECT_EQ(slots, (std::vector<std::uint8_t>{77, 4, 9, 2}));

    slots.clear();
    EXPECT_EQ(MemCardSaveChain("", 4, slots), -1);
    EXPECT_EQ(MemCardSaveChain(Card("blank.mcr", CardBuilder::Unformatted().str()), 4, slots), -1);
    EXPECT_EQ(MemCardSaveChain(card, 15, slots), -1);
    EXPECT_TRUE(slots.empty());
    EXPECT_EQ(MemCardSaveChain(Missing(), 4, slots), 1);
    EXPECT_TRUE(slots.empty());
}

TEST_F(MemCardFileOps, EraseAndMarkFreePatchTheCardInPlace) {
    const CardBuilder built = CardBuilder().AddSave({0}, "KEEP", 5).AddSave({3, 5, 8}, "GONE", 6);
    const std::string tail(5000, '\x5A');  // whatever follows the card is not ours
    const std::string path = Card("a.mcr", built.str() + tail);

    EXPECT_EQ(MemCardMarkFree(path, 3), 1);
    std::string now = Contents(path);
    ASSERT_EQ(now.size(), kCard + tail.size());
    EXPECT_EQ(At(now, CardBuilder::FrameOffset(3)), 0xA1);
    EXPECT_EQ(At(now, CardBuilder::FrameOffset(8)), 0xA3);
    EXPECT_EQ(now.substr(CardBuilder::BlockOffset(3)), built.str().substr(CardBuilder::BlockOffset(3)) + tail);

    EXPECT_EQ(MemCardDeleteSave(path, 3), 1);
    now = Contents(path);
    ASSERT_EQ(now.size(), kCard + tail.size());
    EXPECT_EQ(now.substr(kCard), tail);
    EXPECT_EQ(now.substr(CardBuilder::BlockOffset(3), 8192), std::string(8192, '\0'));
    EXPECT_EQ(now.substr(CardBuilder::BlockOffset(0), 8192), built.str().substr(CardBuilder::BlockOffset(0), 8192));
    EXPECT_EQ(MemCardFreeSlots(path), 14);

    for (int bad : {15, -1}) {
        EXPECT_EQ(MemCardDeleteSave(path, bad), 0);
        EXPECT_EQ(MemCardMarkFree(path, bad), 0);
    }
    EXPECT_EQ(MemCardDeleteSave("", 0), 0);
    EXPECT_EQ(MemCardMarkFree("", 0), 0);
    // A card that is not there was not erased.
    EXPECT_EQ(MemCardDeleteSave(Missing(), 0), 0);
    EXPECT_EQ(MemCardMarkFree(Missing(), 0), 0);
    EXPECT_FALSE(HostExists("missing.mcr"));
}

TEST_F(MemCardFileOps, EraseAndMarkFreeFailOnACardThatCannotBeWritten) {
    const std::string content = CardBuilder().AddSave({0}, "KEEP", 5).AddSave({3, 5}, "TWO", 6).str();
    const std::string path = Card("ro.mcr", content);
    const test::ReadOnlyCard readOnly(path);
    if (!readOnly.ok()) GTEST_SKIP() << "no way to make a read-only file here";
    EXPECT_EQ(MemCardDeleteSave(path, 0), 0);
    EXPECT_EQ(MemCardMarkFree(path, 3), 0);
    // Nothing to change is no success either: the card cannot be written.
    EXPECT_EQ(MemCardDeleteSave(path, 9), 0);
    EXPECT_EQ(Contents(path), content);
}

TEST_F(MemCardFileOps, CopyBetweenCards) {
    const CardBuilder source = CardBuilder().AddSave({2, 6, 9}, "THREE", 3).AddSave({0}, "ONE", 4);
    const std::string src = Card("src.mcr", source.str());
    const std::string dst = Card("dst.mcr", CardBuilder().AddSave({0}).str());

    ASSERT_EQ(MemCardCopySave(src, 2, dst, 7), 1);
    std::vector<std::uint8_t> chain;
    EXPECT_EQ(MemCardSaveChain(dst, 7, chain), 3);
    EXPECT_EQ(chain, (std::vector<std::uint8_t>{7, 1, 2}));
    const int from[] = {2, 6, 9};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(Contents(dst).substr(CardBuilder::BlockOffset(chain[i]), 8192),
                  source.str().substr(CardBuilder::BlockOffset(from[i]), 8192));
    EXPECT_EQ(Contents(src), source.str());
}

TEST_F(MemCardFileOps, CopyFailuresWriteNothing) {
    const std::string src = Card("src.mcr", CardBuilder().AddSave({2, 6, 9}).str());
    const std::string full = CardBuilder().AddSave({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}).str();
    const std::string dst = Card("dst.mcr", full);
    const std::string blank = Card("blank.mcr", CardBuilder::Unformatted().str());

    EXPECT_EQ(MemCardCopySave(src, 2, dst, 13), 0);  // two free slots for three blocks
    EXPECT_EQ(MemCardCopySave(src, 6, dst, 13), 0);  // a link
    EXPECT_EQ(MemCardCopySave(src, 15, dst, 13), 0);
    EXPECT_EQ(MemCardCopySave(src, 2, dst, 15), 0);
    EXPECT_EQ(MemCardCopySave(src, 2, blank, 0), 0);
    EXPECT_EQ(MemCardCopySave(blank, 0, dst, 13), 0);
    EXPECT_EQ(MemCardCopySave(Missing(), 0, dst, 13), 0);
    EXPECT_EQ(MemCardCopySave("", 0, dst, 13), 0);
    EXPECT_EQ(MemCardCopySave(src, 2, Missing(), 0), 0);
    EXPECT_EQ(MemCardCopySave(src, 2, "", 0), 0);
    EXPECT_EQ(Contents(dst), full);
    EXPECT_EQ(Contents(blank), CardBuilder::Unformatted().str());
    EXPECT_FALSE(HostExists("missing.mcr"));
}

TEST_F(MemCardFileOps, CopyWithinOneFile) {
    const CardBuilder built = CardBuilder().AddSave({2, 6, 9}, "THREE", 3).AddSave({0}, "ONE", 4);
    const std::string path = Card("a.mcr", built.str());
    EXPECT_EQ(MemCardCopySave(path, 2, path, 2), 1);  // onto itself: nothing written
    EXPECT_EQ(MemCardCopySave(path, 0, path, 0), 1);
    EXPECT_EQ(Contents(path), built.str());
    EXPECT_EQ(MemCardCopySave(path, 0, path, 5), 1);
    EXPECT_EQ(Contents(path).substr(CardBuilder::BlockOffset(5), 8192),
              built.str().substr(CardBuilder::BlockOffset(0), 8192));

    // The same file by another spelling counts as another file; the save
    // still survives whole, because the source is read before anything is erased.
    const std::string again = Card("b.mcr", built.str());
    const std::string other = ".\\B.MCR";
    ASSERT_EQ(MemCardIsFormatted(other), 1);
    EXPECT_EQ(MemCardCopySave(again, 0, other, 0), 1);
    EXPECT_EQ(Contents(again), built.str());
    EXPECT_EQ(MemCardCopySave(again, 2, other, 2), 1);
    std::vector<std::uint8_t> chain;
    EXPECT_EQ(MemCardSaveChain(again, 2, chain), 3);
    const int from[] = {2, 6, 9};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(Contents(again).substr(CardBuilder::BlockOffset(chain[i]), 8192),
                  built.str().substr(CardBuilder::BlockOffset(from[i]), 8192));
}

TEST_F(MemCardFileOps, ImportDropsTheForeignHeader) {
    std::mt19937 rng(7);
    std::string body(kCard, '\0');
    for (char& c : body) c = static_cast<char>(rng());
    body[0] = 'M';
    body[1] = 'C';

    const std::string gme = Card("a.gme", std::string(3904, 'G') + body);
    EXPECT_EQ(MemCardStripHeader(gme, HostPath("a.mcr"), 3904), 1);
    EXPECT_EQ(ReadHostFile("a.mcr"), body);

    // Anything after the card is left behind; an existing destination is replaced.
    const std::string vgs = Card("b.vgs", std::string(64, 'V') + body + "trailing");
    WriteHostFile("b.mcr", std::string(300000, 'o'));
    EXPECT_EQ(MemCardStripHeader(vgs, HostPath("b.mcr"), 64), 1);
    EXPECT_EQ(ReadHostFile("b.mcr"), body);
}

TEST_F(MemCardFileOps, ImportRefusals) {
    const std::string raw = Card("raw.mem", CardBuilder().str());
    EXPECT_EQ(MemCardStripHeader(raw, HostPath("x.mcr"), 64), 0);  // already a card
    EXPECT_EQ(MemCardStripHeader(Missing(), HostPath("x.mcr"), 64), 0);
    const std::string gme = Card("a.gme", std::string(3904 + kCard, 'G'));
    EXPECT_EQ(MemCardStripHeader("", HostPath("x.mcr"), 3904), 0);
    EXPECT_EQ(MemCardStripHeader(gme, "", 3904), 0);
    EXPECT_FALSE(HostExists("x.mcr"));

    // One byte short of a whole card: nothing written, an old card kept.
    const std::string shortGme = Card("short.gme", std::string(3904 + kCard - 1, 'G'));
    WriteHostFile("old.mcr", CardBuilder().str());
    EXPECT_EQ(MemCardStripHeader(shortGme, HostPath("old.mcr"), 3904), 0);
    EXPECT_EQ(ReadHostFile("old.mcr"), CardBuilder().str());
    EXPECT_EQ(MemCardStripHeader(Card("tiny.vgs", "VGS"), HostPath("x.mcr"), 64), 0);
    EXPECT_FALSE(HostExists("x.mcr"));

    // The destination cannot be created: a failure the user is told about.
    EXPECT_EQ(MemCardStripHeader(gme, HostPath("no/dir/x.mcr"), 3904), 0);
    EXPECT_FALSE(HostExists("no/dir/x.mcr"));
}

TEST_F(MemCardFileOps, DirectoryReaderReadsEveryBlockHeader) {
    std::array<std::uint16_t, 16> palette{};
    for (std::size_t c = 0; c < 16; ++c) palette[c] = static_cast<std::uint16_t>(0x0400 * (c % 32) + c);
    std::array<std::uint8_t, 128> pixels{};
    for (std::size_t i = 0; i < 128; ++i) pixels[i] = static_cast<std::uint8_t>(i);
    const CardBuilder built = CardBuilder()
                                  .AddSave({0}, "\x82\x60", 1, "BI")
                                  .SetIcon(0, palette, pixels)
                                  .AddSave({4, 5}, "NOICON", 2, "BE")
                                  .MarkFree({4, 5});
    const std::string path = Card("a.mcr", built.str());

    CMemCardFile card;
    ASSERT_EQ(card.Open(path), 1);
    EXPECT_EQ(card.isOpen, 1);
    EXPECT_EQ(card.slotState[0], 0x51);
    EXPECT_EQ(card.slotState[4], 0xA1);
    EXPECT_EQ(card.slotState[5], 0xA3);
    EXPECT_EQ(card.slotState[1], 0xA0);
    EXPECT_EQ(card.region[0], kRegionJapan);
    EXPECT_EQ(card.region[4], kRegionEurope);
    EXPECT_EQ(card.title[0][0], 0x82);
    EXPECT_EQ(card.title[4][0], 'N');
    EXPECT_EQ(card.palette[0][2], 0x01);
    EXPECT_EQ(card.palette[0][3], 0x04);
    EXPECT_EQ(card.icon[0], pixels);
    // No icon flag: the icon is blank though the block has bytes there; the
    // middle block's header is read all the same.
    EXPECT_EQ(card.icon[4], CMemCardFile::IconBitmap{});
    EXPECT_EQ(card.title[5][0], CardBuilder::Pattern(2, 1, 4));

    // A short card read after it shows nothing of the first.
    ASSERT_EQ(card.Open(Card("short.mcr", built.str().substr(0, 8192))), 1);
    EXPECT_EQ(card.slotState[0], 0x51);
    EXPECT_EQ(card.title[0], CMemCardFile::Title{});
    EXPECT_EQ(card.icon[0], CMemCardFile::IconBitmap{});
    ASSERT_EQ(card.Open(Card("tiny.mcr", "MC")), 1);
    EXPECT_EQ(card.slotState[0], 0x00);
    EXPECT_EQ(card.region[0], 0);
}

TEST_F(MemCardFileOps, DirectoryReaderReportsOnlyAFailedOpen) {
    test::RecordingPrompter prompter;
    CMemCardFile card;
    ASSERT_EQ(card.Open(Card("a.mcr", CardBuilder().AddSave({0}).str()), &prompter), 1);
    EXPECT_EQ(card.Open("", &prompter), 0);
    EXPECT_EQ(card.isOpen, 0);
    EXPECT_TRUE(prompter.messages.empty());

    EXPECT_EQ(card.Open(Missing(), &prompter), 0);
    EXPECT_EQ(card.isOpen, 0);
    EXPECT_EQ(card.slotState[0], 0);  // the card read before is gone
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, Missing() + " was not found.");
}

// Random bytes, truncated and oversized files, broken chains: every operation
// runs, keeps away from whatever follows the card, and never changes the
// header and reserved frames.
TEST_F(MemCardFileOps, DamagedCardFilesThroughEveryOperation) {
    std::mt19937 rng(99);
    const std::size_t sizes[] = {0,    1,    2,     127,       128,   129,       2048,        8191,
                                 8192, 8193, 70000, kCard - 1, kCard, kCard + 1, kCard + 9000};
    for (int round = 0; round < 60; ++round) {
        CardBuilder built;
        for (int slot = 0; slot < 15; ++slot) {
            if (rng() % 3 == 0) continue;
            built.AddSave({slot}, "X", static_cast<std::uint8_t>(rng()));
            built.SetState(slot, static_cast<std::uint8_t>(rng() % 2 ? 0x51 + rng() % 3 : rng()));
            built.SetNext(slot, static_cast<std::uint8_t>(rng() % 2 ? rng() % 15 : rng()));
        }
        std::string content = built.str();
        if (round % 5 == 0)  // pure noise now and then
            for (std::size_t i = 2; i < content.size(); ++i) content[i] = static_cast<char>(rng());
        const std::size_t size = sizes[static_cast<std::size_t>(round) % std::size(sizes)];
        content.resize(size, '\x77');
        const std::string path = Card("d.mcr", content);
        const std::string other = Card("o.mcr", CardBuilder().AddSave({1, 2}).str());
        const int a = static_cast<int>(rng() % 15);
        const int b = static_cast<int>(rng() % 15);

        CMemCardFile reader;
        reader.Open(path);
        std::vector<std::uint8_t> chain;
        const int n = MemCardSaveChain(path, a, chain);
        EXPECT_LE(n, 16);
        for (std::uint8_t slot : chain) EXPECT_LT(slot, 15);
        MemCardSlotInUse(path, a);
        MemCardFreeSlots(path);
        MemCardFirstFreeExcept(path, a);
        MemCardMarkFree(path, a);
        MemCardCopySave(path, a, path, b);
        MemCardCopySave(path, a, other, b);
        MemCardCopySave(other, 1, path, b);
        MemCardDeleteSave(path, a);

        const std::string now = Contents(path);
        // Only the directory frames and the data blocks may change, and only
        // where a card has them: a short file grows only to hold a write that
        // lands inside the card.
        EXPECT_LE(now.size(), std::max(size, kCard));
        EXPECT_EQ(now.substr(0, std::min<std::size_t>(size, 128)), content.substr(0, 128)) << round;
        if (size > 2048) {
            const std::size_t reserved = std::min(size, std::size_t{8192}) - 2048;
            EXPECT_EQ(now.substr(2048, reserved), content.substr(2048, reserved)) << round;
        }
        if (size > kCard) {
            EXPECT_EQ(now.substr(kCard), content.substr(kCard)) << round;
        }
        const std::string otherNow = Contents(other);
        EXPECT_EQ(otherNow.size(), kCard);
        EXPECT_EQ(otherNow.substr(2048, 8192 - 2048), CardBuilder().str().substr(2048, 8192 - 2048));
    }
}

}  // namespace
}  // namespace dravolo::memcard
