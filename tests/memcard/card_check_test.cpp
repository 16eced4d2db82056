// Recover Slot and Check Integrity on cards from the builder: every refusal
// and every finding on a card damaged in exactly that way, Repair keeping
// every byte of save data, and the file functions.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "common/memcard/card_image.h"
#include "common/memcard/card_integrity.h"
#include "common/memcard/save_recovery.h"
#include "tests/memcard/read_only_card.h"
#include "tests/memcard/card_images.h"
#include "tests/support/card_builder.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo::memcard {
namespace {

using test::CardBuilder;

bool DataBlocksEqual(const CardImage& a, const CardImage& b) {
    return std::equal(a.begin() + kBlockSize, a.end(), b.begin() + kBlockSize);
}

// --- Recover Slot ---

TEST(RecoverSlot, BringsBackWhatMarkFreeTook) {
    const CardBuilder built = CardBuilder().AddSave({0}, "ONE", 1).AddSave({3, 5, 8}, "THREE", 2).AddSave({9}, "X", 3);
    for (int slot : {3, 9}) {
        auto card = ImageOf(built);
        MarkSaveFree(*card, slot);
        ASSERT_NE(*card, *ImageOf(built));
        const RecoverResult result = RecoverSave(*card, slot);
        ASSERT_TRUE(result.ok()) << slot;
        EXPECT_EQ(result.blocks, slot == 3 ? 3 : 1);
        EXPECT_EQ(*card, *ImageOf(built)) << slot;  // states and checksums as before
    }
}

TEST(RecoverSlot, RefusesAChainAnotherSaveTookOrThatIsBroken) {
    const CardBuilder erased = CardBuilder().AddSave({0, 1, 2}, "OLD", 1).MarkFree({0, 1, 2});
    struct Case {
        const char* what;
        CardBuilder card;
        int slot;
        RecoverProblem problem;
        int at, value;
    };
    const Case cases[] = {
        {"a live save took a block", CardBuilder(erased).AddSave({1}, "NEW", 2), 0, RecoverProblem::BlockInUse, 0, 1},
        {"a block was erased since", CardBuilder(erased).SetState(2, 0xA0), 0, RecoverProblem::BlockFree, 1, 2},
        {"a link past the card", CardBuilder(erased).SetNext(1, 40), 0, RecoverProblem::LinkOutOfRange, 1, 40},
        {"a loop", CardBuilder(erased).SetNext(1, 0), 0, RecoverProblem::Loop, 1, 0},
        {"another erased first block", CardBuilder(erased).SetState(1, 0xA1), 0, RecoverProblem::BlockOfOtherSave, 0,
         1},
        {"a middle block ends the chain", CardBuilder(erased).SetState(2, 0xA2), 0, RecoverProblem::ChainNotEnded, 2,
         -1},
        {"an end block links on", CardBuilder(erased).SetState(1, 0xA3), 0, RecoverProblem::ChainNotEnded, 1, -1},
        {"the size says four blocks",
         CardBuilder(erased)
             .SetByte(CardBuilder::FrameOffset(0) + 4, 0)
             .SetByte(CardBuilder::FrameOffset(0) + 5, 0x80)
             .SetState(0, 0xA1),
         0, RecoverProblem::SizeMismatch, 0, 4},
        {"a save in use", CardBuilder().AddSave({4}), 4, RecoverProblem::NotErased, 4, -1},
        {"a free slot", CardBuilder(), 4, RecoverProblem::NotErased, 4, -1},
        {"a later block", erased, 1, RecoverProblem::LinkOfErasedSave, 1, -1},
        {"out of range", erased, 15, RecoverProblem::SlotOutOfRange, -1, -1},
        {"unformatted", CardBuilder::Unformatted(), 0, RecoverProblem::NotFormatted, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto card = ImageOf(c.card);
        const RecoverResult result = RecoverSave(*card, c.slot);
        EXPECT_EQ(result.problem, c.problem);
        EXPECT_EQ(result.at, c.at);
        EXPECT_EQ(result.value, c.value);
        EXPECT_EQ(*card, *ImageOf(c.card));  // a refusal changes nothing
    }

    // Two erased saves whose links reach one block: its data is one of theirs.
    const CardBuilder shared =
        CardBuilder().AddSave({0, 1}, "A", 1).MarkFree({0, 1}).AddSave({2, 1}, "B", 2).MarkFree({2, 1});
    auto card = ImageOf(shared);
    const RecoverResult result = RecoverSave(*card, 0);
    EXPECT_EQ(result.problem, RecoverProblem::SharedBlock);
    EXPECT_EQ(result.value, 1);
    EXPECT_EQ(result.other, 2);
    EXPECT_EQ(*card, *ImageOf(shared));
}

class RecoverFile : public test::PrefixFixture {};

TEST_F(RecoverFile, PatchesTheCardOrSaysWhyNot) {
    const CardBuilder built = CardBuilder().AddSave({2, 4}, "TWO", 1);
    const std::string path = HostPath("a.mcr");
    WriteHostFile("a.mcr", CardBuilder(built).MarkFree({2, 4}).str() + "tail");
    EXPECT_TRUE(RecoverSaveInFile(path, 2).ok());
    EXPECT_EQ(ReadHostFile("a.mcr"), built.str() + "tail");
    EXPECT_EQ(RecoverSaveInFile(path, 2).problem, RecoverProblem::NotErased);
    EXPECT_EQ(RecoverSaveInFile(HostPath("missing.mcr"), 2).problem, RecoverProblem::CannotRead);
    EXPECT_EQ(RecoverSaveInFile(path, 15).problem, RecoverProblem::SlotOutOfRange);

    WriteHostFile("ro.mcr", CardBuilder(built).MarkFree({2, 4}).str());
    const test::ReadOnlyCard readOnly(HostPath("ro.mcr"));
    if (!readOnly.ok()) GTEST_SKIP() << "no way to make a read-only file here";
    EXPECT_EQ(RecoverSaveInFile(HostPath("ro.mcr"), 2).problem, RecoverProblem::CannotWrite);
    EXPECT_EQ(RecoverSaveInFile(HostPath("ro.mcr"), 4).problem, RecoverProblem::LinkOfErasedSave);  // told why first
}

// --- Check Integrity ---

TEST(CheckIntegrity, ConsistentCardsHaveNoFindings) {
    EXPECT_TRUE(CheckCard(*ImageOf(CardBuilder())).empty());
    const CardBuilder busy = CardBuilder()
                                 .AddSave({0}, "ONE", 1)
                                 .AddSave({1, 4, 2}, "THREE", 2)
                                 .AddSave({5, 6}, "ERASED", 3)
                                 .MarkFree({5, 6})
                                 .SetState(9, 0x00);
    EXPECT_TRUE(CheckCard(*ImageOf(busy)).empty());
    // A console's orphans of an erased save (0xA3 after its first block was
    // reused) are free space, not damage.
    EXPECT_TRUE(CheckCard(*ImageOf(CardBuilder(busy).AddSave({5}, "NEW", 4))).empty());
}

TEST(CheckIntegrity, EachDamageIsFoundWhereItIs) {
    const auto sized = [](CardBuilder card, int slot, std::uint32_t size) {
        for (int i = 0; i < 4; ++i)
            card.SetByte(CardBuilder::FrameOffset(slot) + 4 + i, static_cast<std::uint8_t>(size >> (8 * i)));
        return card.SetState(slot, 0x51);  // and the checksum made right
    };
    const CardBuilder two = CardBuilder().AddSave({3, 5});
    struct Case {
        const char* what;
        CardBuilder card;
        std::vector<Finding> expected;
    };
    const Case cases[] = {
        {"unformatted", CardBuilder::Unformatted(), {{FindingKind::NotFormatted}}},
        {"header checksum",
         CardBuilder().SetByte(127, 0x0F),
         {{FindingKind::HeaderChecksum, -1, 0x0F, 0x0E}, {FindingKind::TestFrameDiffers}}},
        {"test frame checksum",
         CardBuilder().SetByte(63 * 128 + 9, 1),
         {{FindingKind::TestFrameChecksum, -1, 0x0E, 0x0F}}},
        {"test frame differs",
         CardBuilder().SetByte(63 * 128 + 9, 1).SetByte(63 * 128 + 127, 0x0F),
         {{FindingKind::TestFrameDiffers}}},
        {"directory checksum",
         CardBuilder().SetByte(CardBuilder::FrameOffset(6) + 127, 0x11),
         {{FindingKind::DirectoryChecksum, 6, 0x11, 0xA0}}},
        {"unknown state", CardBuilder().SetState(7, 0x77), {{FindingKind::UnknownState, 7, 0x77, 0}}},
        {"link out of range",
         CardBuilder(two).SetNext(3, 40),
         {{FindingKind::LinkOutOfRange, 3, 40, 3}, {FindingKind::UnreachableBlock, 5}}},
        {"link to a free block", CardBuilder(two).SetState(5, 0xA0), {{FindingKind::LinkToFreeBlock, 3, 5, 3}}},
        {"link to a marked-free block", CardBuilder(two).SetState(5, 0xA3), {{FindingKind::LinkToFreeBlock, 3, 5, 3}}},
        {"link to another save",
         CardBuilder(two).AddSave({7}, "B", 2).SetNext(3, 7),
         {{FindingKind::LinkToForeignBlock, 3, 7, 3}, {FindingKind::UnreachableBlock, 5}}},
        {"a loop",
         CardBuilder().AddSave({3, 5, 8}).SetNext(5, 3),
         {{FindingKind::Loop, 5, 3, 3}, {FindingKind::UnreachableBlock, 8}}},
        {"an end block links on", CardBuilder(two).SetNext(5, 9), {{FindingKind::EndBlockLinksOn, 5, 9, 3}}},
        {"a middle block ends", CardBuilder(two).SetState(5, 0x52), {{FindingKind::ChainNotEnded, 5, 0, 3}}},
        {"a lone link ends", CardBuilder().AddSave({4}).SetState(4, 0x52), {{FindingKind::UnreachableBlock, 4}}},
        {"a shared block",
         CardBuilder().AddSave({1, 2}, "A", 1).AddSave({3}, "B", 2).SetNext(3, 2),
         {{FindingKind::SharedBlock, 2, 1, 3}}},
        {"size", sized(CardBuilder(two), 3, 3 * 8192), {{FindingKind::SizeMismatch, 3, 3 * 8192, 2}}},
        {"no SC", CardBuilder(two).SetByte(CardBuilder::BlockOffset(3), 'X'), {{FindingKind::MissingTitleMagic, 3}}},
        {"orphans", CardBuilder(two).SetState(3, 0xA0), {{FindingKind::UnreachableBlock, 5}}},
        {"broken-frame checksum",
         CardBuilder().SetByte(17 * 128 + 2, 0),
         {{FindingKind::BrokenFrameChecksum, -1, 1, 0}}},
        {"broken frame listed",
         CardBuilder()
             .SetByte(18 * 128, 0x12)
             .SetByte(18 * 128 + 1, 0x01)
             .SetByte(18 * 128 + 2, 0)
             .SetByte(18 * 128 + 3, 0)
             .SetByte(18 * 128 + 127, 0x13),
         {{FindingKind::BrokenFrameListed, -1, 2, 0x112}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CheckCard(*ImageOf(c.card)), c.expected);
    }
}

TEST(CheckIntegrity, RepairFixesChecksumsAndMakesOrphansRecoverableKeepingEveryDataByte) {
    // An erase that got only as far as the first block of a three-block save,
    // a loop of two orphans, and frames whose checksums are wrong.
    const CardBuilder built = CardBuilder()
                                  .AddSave({0}, "KEEP", 1)
                                  .AddSave({2, 4, 6}, "CUT", 2)
                                  .SetState(2, 0xA0)
                                  .AddSave({10, 11}, "LOOP", 3)
                                  .SetState(10, 0xA0)
                                  .SetState(11, 0x52)
                                  .SetNext(11, 12)
                                  .AddSave({12}, "Y", 4)
                                  .SetState(12, 0x52)
                                  .SetNext(12, 11)
                                  .SetByte(CardBuilder::FrameOffset(0) + 127, 0x00)
                                  .SetByte(127, 0x00)
                                  .SetByte(20 * 128 + 127, 0x44)
                                  .SetByte(63 * 128 + 127, 0x00);
    const auto original = ImageOf(built);
    auto card = ImageOf(built);
    const std::vector<Finding> before = CheckCard(*card);
    EXPECT_EQ(std::count_if(before.begin(), before.end(),
                            [](const Finding& f) { return f.kind == FindingKind::UnreachableBlock; }),
              4);

    const RepairResult repair = RepairCard(*card);
    EXPECT_EQ(repair.checksumsFixed, 4);
    EXPECT_EQ(repair.savesMarkedFree, 2);
    EXPECT_EQ(repair.blocksMarkedFree, 4);
    EXPECT_TRUE(DataBlocksEqual(*card, *original));
    for (int slot = 0; slot < kSlotCount; ++slot)  // names and data of every frame kept
        EXPECT_TRUE(std::equal(DirectoryFrame(*card, slot).begin() + kRegionOffset,
                               DirectoryFrame(*card, slot).begin() + kChecksumOffset,
                               DirectoryFrame(*original, slot).begin() + kRegionOffset))
            << slot;
    const std::vector<Finding> after = CheckCard(*card);
    EXPECT_TRUE(std::none_of(after.begin(), after.end(), [](const Finding& f) { return IsRepairable(f.kind); }));
    EXPECT_TRUE(RepairCard(*card).changed() == false);

    EXPECT_EQ(SlotState(*card, 4), 0xA1);
    EXPECT_EQ(SlotState(*card, 6), 0xA3);
    ASSERT_TRUE(RecoverSave(*card, 4).ok());
    EXPECT_EQ(SaveBlocks(*card, 4), (std::vector<int>{4, 6}));
    EXPECT_EQ(SlotState(*card, 11), 0xA1);
    EXPECT_EQ(SlotState(*card, 12), 0xA3);
    ASSERT_TRUE(RecoverSave(*card, 11).ok());
    EXPECT_TRUE(DataBlocksEqual(*card, *original));

    auto blank = ImageOf(CardBuilder::Unformatted());
    EXPECT_FALSE(RepairCard(*blank).changed());
}

TEST(CheckIntegrity, RandomDirectoriesNeverChangeSaveDataOnRepair) {
    std::mt19937 rng(17);
    for (int round = 0; round < 200; ++round) {
        CardBuilder built;
        for (int slot = 0; slot < 15; ++slot) {
            if (rng() % 3 == 0) continue;
            built.AddSave({slot}, "R", static_cast<std::uint8_t>(rng()));
            built.SetState(slot, static_cast<std::uint8_t>(rng() % 2 ? 0x51 + rng() % 3 : 0xA1 + rng() % 3));
            built.SetNext(slot, static_cast<std::uint8_t>(rng() % 3 ? rng() % 15 : 0xFF));
            if (rng() % 4 == 0) built.SetByte(CardBuilder::FrameOffset(slot) + 127, static_cast<std::uint8_t>(rng()));
        }
        const auto original = ImageOf(built);
        auto card = ImageOf(built);
        CheckCard(*card);
        RepairCard(*card);
        ASSERT_TRUE(DataBlocksEqual(*card, *original)) << round;
        const std::vector<Finding> after = CheckCard(*card);
        EXPECT_TRUE(std::none_of(after.begin(), after.end(), [](const Finding& f) { return IsRepairable(f.kind); }))
            << round;
        for (int slot = 0; slot < kSlotCount; ++slot) RecoverSave(*card, slot);
        EXPECT_TRUE(DataBlocksEqual(*card, *original)) << round;
    }
}

}  // namespace
}  // namespace dravolo::memcard
