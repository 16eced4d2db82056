// The card image operations in memory: format, chains, erase, mark free and
// copy, on cards from the builder, and on damaged cards.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <tuple>

#include "common/memcard/card_image.h"
#include "tests/memcard/card_images.h"
#include "tests/support/card_builder.h"

namespace dravolo::memcard {
namespace {

using test::CardBuilder;

const std::uint8_t* FrameAt(const CardImage& card, int slot) { return card.data() + DirectoryFrameOffset(slot); }

bool BlockEquals(const CardImage& a, int slotA, const CardImage& b, int slotB) {
    return std::equal(a.begin() + BlockOffset(slotA), a.begin() + BlockOffset(slotA) + kBlockSize,
                      b.begin() + BlockOffset(slotB));
}

bool BlockIsZero(const CardImage& card, int slot) {
    return std::all_of(card.begin() + BlockOffset(slot), card.begin() + BlockOffset(slot) + kBlockSize,
                       [](std::uint8_t b) { return b == 0; });
}

bool ChecksumOk(const CardImage& card, int slot) {
    return FrameChecksum(DirectoryFrame(card, slot)) == FrameAt(card, slot)[kChecksumOffset];
}

// The directory block outside the 15 directory frames: header, reserved
// frames and the header copy. No save operation may change it.
bool OutsideDirectoryFramesEqual(const CardImage& a, const CardImage& b) {
    return std::equal(a.begin(), a.begin() + kFrameSize, b.begin()) &&
           std::equal(a.begin() + FrameOffset(kFirstReservedFrame), a.begin() + kBlockSize,
                      b.begin() + FrameOffset(kFirstReservedFrame));
}

TEST(MemCardImage, FormatMatchesAFreshCardByteForByte) {
    auto card = std::make_unique<CardImage>();
    card->fill(0x5A);  // formatting must not leave anything of what was there
    FormatImage(*card);
    EXPECT_TRUE(std::equal(card->begin(), card->end(), CardBuilder().bytes().begin()));
    EXPECT_TRUE(IsFormattedImage(*card));
    EXPECT_EQ(CountAvailableSlots(*card), 15);
    for (std::size_t frame = 0; frame < kFramesPerBlock; ++frame)
        EXPECT_EQ(FrameChecksum(ConstFrame(card->data() + FrameOffset(frame), kFrameSize)),
                  (*card)[FrameOffset(frame) + kChecksumOffset])
            << "frame " << frame;
}

TEST(MemCardImage, FreeSlotSearchExceptFallsBackToTheSlotItself) {
    auto card = ImageOf(CardBuilder().AddSave({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(FirstAvailableSlotExcept(*card, 14), 14);  // the only one
    EXPECT_EQ(FirstAvailableSlotExcept(*card, 3), 14);
    card = ImageOf(CardBuilder().AddSave({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    EXPECT_EQ(FirstAvailableSlot(*card), -1);
    EXPECT_EQ(FirstAvailableSlotExcept(*card, 14), -1);
}

TEST(MemCardImage, SaveChainFollowsLinksAndStopsOnDamage) {
    auto card = ImageOf(CardBuilder().AddSave({4, 9, 2}).AddSave({7}));
    EXPECT_EQ(SaveChain(*card, 4), (std::vector<int>{4, 9, 2}));
    EXPECT_EQ(SaveChain(*card, 7), (std::vector<int>{7}));
    EXPECT_TRUE(SaveChain(*card, 15).empty());
    EXPECT_TRUE(SaveChain(*card, -1).empty());

    // Links to 15 and beyond point outside the directory: the chain ends there.
    for (int bad : {15, 16, 63, 64, 200, 254}) {
        card = ImageOf(CardBuilder().AddSave({4, 9, 2}).SetNext(9, static_cast<std::uint8_t>(bad)));
        EXPECT_EQ(SaveChain(*card, 4), (std::vector<int>{4, 9})) << bad;
    }
    // A loop stops after 15 links: 16 entries, more than any card can take.
    card = ImageOf(CardBuilder().AddSave({4, 9, 2}).SetNext(2, 4));
    EXPECT_EQ(SaveChain(*card, 4).size(), 16u);
    card = ImageOf(CardBuilder().AddSave({6}).SetNext(6, 6));
    EXPECT_EQ(SaveChain(*card, 6).size(), 16u);
}

TEST(MemCardImage, EraseAndMarkFreeOfAThreeBlockSave) {
    const CardBuilder built = CardBuilder().AddSave({0}, "OTHER", 9).AddSave({3, 5, 8}, "THREE", 2);
    const auto original = ImageOf(built);

    auto erased = ImageOf(built);
    EraseSave(*erased, 3);
    for (int slot : {3, 5, 8}) {
        const std::uint8_t* f = FrameAt(*erased, slot);
        EXPECT_EQ(f[0], 0xA0);
        EXPECT_EQ(f[kNextSlotOffset], 0x00);  // unlike a fresh card's 0xFF 0xFF
        EXPECT_EQ(f[kNextSlotHighOffset], 0x00);
        EXPECT_EQ(f[kChecksumOffset], 0xA0);
        EXPECT_TRUE(std::all_of(f + 1, f + kChecksumOffset, [](std::uint8_t b) { return b == 0; }));
        EXPECT_TRUE(BlockIsZero(*erased, slot));
    }
    EXPECT_TRUE(BlockEquals(*erased, 0, *original, 0));
    EXPECT_TRUE(std::equal(FrameAt(*erased, 0), FrameAt(*erased, 0) + kFrameSize, FrameAt(*original, 0)));
    EXPECT_EQ(CountAvailableSlots(*erased), 14);

    auto marked = ImageOf(built);
    MarkSaveFree(*marked, 3);
    const std::uint8_t expected[] = {0xA1, 0xA2, 0xA3};
    int i = 0;
    for (int slot : {3, 5, 8}) {
        const std::uint8_t* f = FrameAt(*marked, slot);
        EXPECT_EQ(f[0], expected[i++]);
        EXPECT_TRUE(std::equal(f + 1, f + kChecksumOffset, FrameAt(*original, slot) + 1));  // links, names kept
        EXPECT_TRUE(ChecksumOk(*marked, slot));
        EXPECT_TRUE(BlockEquals(*marked, slot, *original, slot));  // data and title kept
    }
    EXPECT_EQ(CountAvailableSlots(*marked), 14);

    // Erasing a marked-free save clears it for good.
    EraseSave(*marked, 3);
    EXPECT_TRUE(BlockIsZero(*marked, 5));
}

TEST(MemCardImage, EraseAndMarkFreeLeaveFreeAndLinkSlotsAlone) {
    const CardBuilder built = CardBuilder().AddSave({3, 5, 8}).SetState(10, 0x00);
    for (int slot : {5, 8, 1, 10, 15, -1, 200}) {
        auto card = ImageOf(built);
        EraseSave(*card, slot);
        EXPECT_EQ(*card, *ImageOf(built)) << slot;
    }
    for (int slot : {1, 10, 15, -1}) {
        auto card = ImageOf(built);
        MarkSaveFree(*card, slot);
        EXPECT_EQ(*card, *ImageOf(built)) << slot;
    }
    // Marking free from a middle block is allowed and runs to the end of the save.
    auto card = ImageOf(built);
    MarkSaveFree(*card, 5);
    EXPECT_EQ(SlotState(*card, 3), 0x51);
    EXPECT_EQ(SlotState(*card, 5), 0xA2);
    EXPECT_EQ(SlotState(*card, 8), 0xA3);
}

TEST(MemCardImage, BrokenChainsStayInsideTheDirectory) {
    // Damaged links of every out-of-range value, and loops back into the save.
    std::vector<CardBuilder> cards;
    for (int bad : {15, 16, 35, 36, 62, 63, 64, 127, 128, 254})
        cards.push_back(
            CardBuilder().AddSave({0}, "KEEP", 7).AddSave({3, 5, 8}).SetNext(5, static_cast<std::uint8_t>(bad)));
    cards.push_back(CardBuilder().AddSave({0}, "KEEP", 7).AddSave({3, 5, 8}).SetNext(8, 3));
    cards.push_back(CardBuilder().AddSave({0}, "KEEP", 7).AddSave({3, 5, 8}).SetNext(8, 5));
    cards.push_back(CardBuilder().AddSave({0}, "KEEP", 7).AddSave({3}).SetNext(3, 3));

    for (const CardBuilder& built : cards) {
        const auto original = ImageOf(built);
        auto erased = ImageOf(built);
        EraseSave(*erased, 3);
        EXPECT_TRUE(OutsideDirectoryFramesEqual(*erased, *original));
        // A looping chain must not run on through the cleared frames' 0x00
        // links into the unrelated save in slot 0.
        EXPECT_EQ(SlotState(*erased, 0), 0x51);
        EXPECT_TRUE(BlockEquals(*erased, 0, *original, 0));
        EXPECT_EQ(SlotState(*erased, 3), 0xA0);

        auto marked = ImageOf(built);
        MarkSaveFree(*marked, 3);
        EXPECT_TRUE(OutsideDirectoryFramesEqual(*marked, *original));
        EXPECT_EQ(SlotState(*marked, 0), 0x51);
        EXPECT_EQ(SlotState(*marked, 3), 0xA1);
        for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_TRUE(BlockEquals(*marked, slot, *original, slot));
    }
}

// --- copy ---

// A three-block save in slots 2, 6, 9 of the source.
CardBuilder ThreeBlockSource() {
    return CardBuilder().AddSave({2, 6, 9}, "\x82\x60\x82\x61", 3).AddSave({0}, "ONE", 4);
}

void ExpectSaveCopied(const CardImage& source, const std::vector<int>& from, const CardImage& dest,
                      const std::vector<int>& to) {
    ASSERT_EQ(from.size(), to.size());
    for (std::size_t i = 0; i < to.size(); ++i) {
        const std::uint8_t* f = FrameAt(dest, to[i]);
        const std::uint8_t* s = FrameAt(source, from[i]);
        EXPECT_TRUE(std::equal(s, s + kNextSlotOffset, f)) << "state, size of block " << i;
        EXPECT_TRUE(std::equal(s + kRegionOffset, s + kChecksumOffset, f + kRegionOffset)) << "names of block " << i;
        if (i + 1 == to.size()) {
            EXPECT_EQ(f[kNextSlotOffset], 0xFF);
            EXPECT_EQ(f[kNextSlotHighOffset], 0xFF);
        } else {
            EXPECT_EQ(f[kNextSlotOffset], to[i + 1]);
            EXPECT_EQ(f[kNextSlotHighOffset], s[kNextSlotHighOffset]);
        }
        EXPECT_TRUE(ChecksumOk(dest, to[i]));
        EXPECT_TRUE(BlockEquals(source, from[i], dest, to[i]));
    }
}

TEST(MemCardCopy, MultiBlockSaveLandsInTheChosenAndLowestFreeSlots) {
    const auto source = ImageOf(ThreeBlockSource());
    auto dest = ImageOf(CardBuilder().AddSave({0}).AddSave({2}).AddSave({5}));
    ASSERT_TRUE(CopySaveBetween(*source, 2, *dest, 7));
    ExpectSaveCopied(*source, {2, 6, 9}, *dest, {7, 1, 3});
    EXPECT_EQ(SaveChain(*dest, 7), (std::vector<int>{7, 1, 3}));
    EXPECT_TRUE(OutsideDirectoryFramesEqual(*dest, *ImageOf(CardBuilder())));
}

TEST(MemCardCopy, RoomTestCountsTheDestinationSave) {
    // Two slots available, empty destination slot: 2 < 3 - 0, refused untouched.
    const auto source = ImageOf(ThreeBlockSource());
    const CardBuilder tight =
        CardBuilder().AddSave({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}).SetState(13, 0xA1).SetState(14, 0x00);
    auto dest = ImageOf(tight);
    EXPECT_FALSE(CopySaveBetween(*source, 2, *dest, 13));
    EXPECT_EQ(*dest, *ImageOf(tight));

    // Destination slot holds a one-block save and two others are free: 2 >= 3 - 1.
    const CardBuilder exact = CardBuilder()
                                  .AddSave({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10})
                                  .AddSave({11}, "OLD", 8)
                                  .SetState(12, 0xA2)
                                  .SetState(13, 0xA0)
                                  .AddSave({14});
    dest = ImageOf(exact);
    ASSERT_TRUE(CopySaveBetween(*source, 2, *dest, 11));
    ExpectSaveCopied(*source, {2, 6, 9}, *dest, {11, 12, 13});
    EXPECT_EQ(CountAvailableSlots(*dest), 0);

    // The same card with one free slot fewer: 1 < 3 - 1.
    dest = ImageOf(CardBuilder(exact).AddSave({13}));
    EXPECT_FALSE(CopySaveBetween(*source, 2, *dest, 11));
}

TEST(MemCardCopy, SingleBlockSaveReplacesTheDestinationSave) {
    const auto source = ImageOf(CardBuilder().AddSave({4}, "ONE", 5));
    // The destination slot starts a two-block save: both its blocks go.
    auto dest = ImageOf(CardBuilder().AddSave({1, 3}, "OLD", 6));
    ASSERT_TRUE(CopySaveBetween(*source, 4, *dest, 1));
    ExpectSaveCopied(*source, {4}, *dest, {1});
    EXPECT_EQ(SlotState(*dest, 3), 0xA0);
    EXPECT_TRUE(BlockIsZero(*dest, 3));

    // A full card takes a one-block save over an existing one: no room test.
    auto full = ImageOf(CardBuilder().AddSave({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}).AddSave({14}));
    EXPECT_TRUE(CopySaveBetween(*source, 4, *full, 14));
    ExpectSaveCopied(*source, {4}, *full, {14});
}

TEST(MemCardCopy, RefusesLinksRangesAndUnformattedCards) {
    const auto source = ImageOf(ThreeBlockSource());
    const CardBuilder destBuilt = CardBuilder().AddSave({3, 4});
    auto dest = ImageOf(destBuilt);
    EXPECT_FALSE(CopySaveBetween(*source, 6, *dest, 0));  // source is a link
    EXPECT_FALSE(CopySaveBetween(*source, 9, *dest, 0));  // source is an end link
    EXPECT_FALSE(CopySaveBetween(*source, 2, *dest, 4));  // destination is an end link
    EXPECT_FALSE(CopySaveBetween(*source, 15, *dest, 0));
    EXPECT_FALSE(CopySaveBetween(*source, 2, *dest, 15));
    EXPECT_FALSE(CopySaveBetween(*source, -1, *dest, 0));
    EXPECT_FALSE(CopySaveBetween(*ImageOf(CardBuilder::Unformatted()), 0, *dest, 0));
    auto blank = ImageOf(CardBuilder::Unformatted());
    EXPECT_FALSE(CopySaveBetween(*source, 0, *blank, 0));
    EXPECT_EQ(*blank, *ImageOf(CardBuilder::Unformatted()));
    EXPECT_EQ(*dest, *ImageOf(destBuilt));
}

TEST(MemCardCopy, WithinOneCard) {
    const CardBuilder built = ThreeBlockSource();
    auto card = ImageOf(built);
    EXPECT_TRUE(CopySaveWithin(*card, 2, 2));  // onto itself: nothing written
    EXPECT_TRUE(CopySaveWithin(*card, 0, 0));
    EXPECT_EQ(*card, *ImageOf(built));

    ASSERT_TRUE(CopySaveWithin(*card, 2, 10));
    ExpectSaveCopied(*ImageOf(built), {2, 6, 9}, *card, {10, 1, 3});
    ExpectSaveCopied(*ImageOf(built), {2, 6, 9}, *card, {2, 6, 9});  // the original stays

    card = ImageOf(built);
    ASSERT_TRUE(CopySaveWithin(*card, 0, 5));
    ExpectSaveCopied(*ImageOf(built), {0}, *card, {5});
}

TEST(MemCardCopy, DestinationChainLinkedIntoTheSourceStillCopiesWhole) {
    // Slot 11's save is damaged and links into the source save's blocks;
    // erasing it first must not spoil what is then copied.
    const CardBuilder built = ThreeBlockSource().AddSave({11}).SetNext(11, 6);
    auto card = ImageOf(built);
    ASSERT_TRUE(CopySaveWithin(*card, 2, 11));
    ExpectSaveCopied(*ImageOf(built), {2, 6, 9}, *card, {11, 1, 3});
}

TEST(MemCardCopy, CopiedMarkedFreeSaveDoesNotOverwriteItself) {
    // The copied states say "free", yet each block needs its own slot.
    const auto source = ImageOf(ThreeBlockSource().MarkFree({2, 6, 9}));
    auto dest = ImageOf(CardBuilder());
    ASSERT_TRUE(CopySaveBetween(*source, 2, *dest, 4));
    ExpectSaveCopied(*source, {2, 6, 9}, *dest, {4, 0, 1});
}

TEST(MemCardCopy, LoopingSourceChainIsRefused) {
    const auto source = ImageOf(ThreeBlockSource().SetNext(9, 2));
    auto dest = ImageOf(CardBuilder());
    EXPECT_FALSE(CopySaveBetween(*source, 2, *dest, 0));
    EXPECT_EQ(*dest, *ImageOf(CardBuilder()));
}

// Slot 0 held a two-block save the console deleted (0xA1, its link to slot 1
// kept); slot 1 was written later with a live save of its own.
CardBuilder StaleLinkCard() {
    return CardBuilder().AddSave({0, 1}, "OLD", 3).MarkFree({0, 1}).AddSave({1}, "LIVE", 5).AddSave({4}, "MORE", 6);
}

void ExpectSaveKept(const CardImage& now, const CardImage& before, int slot) {
    EXPECT_TRUE(std::equal(FrameAt(now, slot), FrameAt(now, slot) + kFrameSize, FrameAt(before, slot))) << slot;
    EXPECT_TRUE(BlockEquals(now, slot, before, slot)) << slot;
}

TEST(MemCardCopy, NeverTouchesAnotherLiveSaveThroughAStaleLink) {
    const auto before = ImageOf(StaleLinkCard());
    for (const CardBuilder& sourceBuilt : {ThreeBlockSource(), CardBuilder().AddSave({7}, "ONE", 8)}) {
        const auto source = ImageOf(sourceBuilt);
        const int first = SlotState(*source, 2) == kStateFirst ? 2 : 7;
        auto dest = ImageOf(StaleLinkCard());
        ASSERT_TRUE(CopySaveBetween(*source, first, *dest, 0));
        ExpectSaveKept(*dest, *before, 1);
        ExpectSaveKept(*dest, *before, 4);
        const std::vector<int> landed = SaveChain(*dest, 0);
        EXPECT_EQ(std::count(landed.begin(), landed.end(), 1), 0);

        // The same within one card.
        auto card = ImageOf(CardBuilder(StaleLinkCard()).AddSave({10, 11, 12}, "THREE", 9));
        const auto original = std::make_unique<CardImage>(*card);
        ASSERT_TRUE(CopySaveWithin(*card, 10, 0));
        ExpectSaveKept(*card, *original, 1);
        ExpectSaveKept(*card, *original, 4);
    }
}

TEST(MemCardImage, EraseAndMarkFreeStopAtBlocksOfAnotherSave) {
    // A damaged end link points at the first block of another save, and two
    // saves share a link block: neither walk may take what is another save's.
    const CardBuilder intoFirst = CardBuilder().AddSave({0, 1}, "A", 1).AddSave({2}, "B", 2).SetNext(1, 2);
    const CardBuilder shared = CardBuilder().AddSave({3, 5}, "C", 3).AddSave({4}, "D", 4).SetNext(4, 5);
    for (const auto& [built, slot, kept] :
         {std::tuple{intoFirst, 0, 2}, std::tuple{shared, 3, 5}, std::tuple{shared, 4, 5}}) {
        const auto original = ImageOf(built);
        auto erased = ImageOf(built);
        EraseSave(*erased, slot);
        EXPECT_EQ(SlotState(*erased, slot), kStateFree);
        ExpectSaveKept(*erased, *original, kept);
        auto marked = ImageOf(built);
        MarkSaveFree(*marked, slot);
        EXPECT_EQ(SlotState(*marked, slot), 0xA1);
        ExpectSaveKept(*marked, *original, kept);
    }
    // An erased save's stale chain ends where a live save took its block.
    auto card = ImageOf(StaleLinkCard());
    EraseSave(*card, 0);
    EXPECT_EQ(SlotState(*card, 0), kStateFree);
    ExpectSaveKept(*card, *ImageOf(StaleLinkCard()), 1);
}

// A first block in a state no console writes (0x4B here) still lists as a
// save in use with the links it reaches; another save's walk into those links
// must stop there too, as it does for a 0x51 or 0xA1 start.
TEST(MemCardImage, EraseAndMarkFreeStopAtBlocksAnOddFirstBlockReaches) {
    const CardBuilder built =
        CardBuilder().AddSave({1, 2, 4}, "A", 1).AddSave({12}, "ODD", 2).SetState(12, 0x4B).SetNext(12, 2);
    const auto original = ImageOf(built);
    ASSERT_EQ(SaveBlocks(*original, 12), (std::vector<int>{12, 2, 4}));
    auto erased = ImageOf(built);
    EraseSave(*erased, 1);
    EXPECT_EQ(SlotState(*erased, 1), kStateFree);
    for (int slot : {2, 4, 12}) ExpectSaveKept(*erased, *original, slot);
    auto marked = ImageOf(built);
    MarkSaveFree(*marked, 1);
    EXPECT_EQ(SlotState(*marked, 1), 0xA1);
    for (int slot : {2, 4, 12}) ExpectSaveKept(*marked, *original, slot);
}

TEST(MemCardCopy, DestinationInUseAndAvailableStillNeedsRoom) {
    // 0xA5 counts as in use and as available; with only it and one other slot
    // free a three-block save does not fit.
    const CardBuilder built = CardBuilder().AddSave({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}).SetState(13, 0xA5);
    const auto source = ImageOf(ThreeBlockSource());
    auto dest = ImageOf(built);
    EXPECT_FALSE(CopySaveBetween(*source, 2, *dest, 13));
    EXPECT_EQ(*dest, *ImageOf(built));
}

// Random directories and links through every operation: no operation may
// change block 0 outside the directory frames, and saves never leak between
// slots through frames outside 1-15.
TEST(MemCardRobustness, RandomDirectoriesThroughEveryOperation) {
    std::mt19937 rng(20240611);
    const std::uint8_t states[] = {0x00, 0x51, 0x52, 0x53, 0xA0, 0xA1, 0xA2, 0xA3, 0xA5, 0xFF, 0x17};
    for (int round = 0; round < 300; ++round) {
        CardBuilder built;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            built.AddSave({slot}, "R", static_cast<std::uint8_t>(rng()));
            built.SetState(slot, states[rng() % std::size(states)]);
            const int pick = static_cast<int>(rng() % 4);
            const std::uint8_t next = pick == 0   ? 0xFF
                                      : pick == 1 ? static_cast<std::uint8_t>(rng())
                                                  : static_cast<std::uint8_t>(rng() % 15);
            built.SetNext(slot, next);
        }
        const auto original = ImageOf(built);
        const int a = static_cast<int>(rng() % 17) - 1;
        const int b = static_cast<int>(rng() % 17) - 1;

        auto card = ImageOf(built);
        EraseSave(*card, a);
        EXPECT_TRUE(OutsideDirectoryFramesEqual(*card, *original));
        card = ImageOf(built);
        MarkSaveFree(*card, a);
        EXPECT_TRUE(OutsideDirectoryFramesEqual(*card, *original));
        for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_TRUE(BlockEquals(*card, slot, *original, slot));

        const std::vector<int> chain = SaveChain(*original, a);
        EXPECT_LE(chain.size(), 16u);
        for (int slot : chain) EXPECT_TRUE(IsValidSlot(slot));

        auto dest = ImageOf(CardBuilder().AddSave({static_cast<int>(rng() % 15)}));
        const auto destBefore = std::make_unique<CardImage>(*dest);
        if (CopySaveBetween(*original, a, *dest, b)) {
            // Every block of the copied save is a block of the source.
            for (int slot : SaveChain(*dest, b)) EXPECT_TRUE(ChecksumOk(*dest, slot));
        } else {
            EXPECT_EQ(*dest, *destBefore);
        }
        EXPECT_TRUE(OutsideDirectoryFramesEqual(*dest, *destBefore));
        card = ImageOf(built);
        CopySaveWithin(*card, a, b);
        EXPECT_TRUE(OutsideDirectoryFramesEqual(*card, *original));
    }
}

}  // namespace
}  // namespace dravolo::memcard
