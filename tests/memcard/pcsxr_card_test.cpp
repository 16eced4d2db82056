// The blank card PCSX-Reloaded 1.9.94 writes (~/.pcsxr/memcards/card1.mcd on
// its first start), built here byte by byte, against the card we format. Both
// are blank cards with 15 free slots; the one known difference is frames 36 to
// 63 of the directory block, which PCSX-Reloaded leaves zero where we write
// 0xFF in frames 36 to 62 and the header again in frame 63.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "common/memcard/card_image.h"
#include "common/memcard/card_integrity.h"

namespace dravolo::memcard {
namespace {

// The card as PCSX-Reloaded creates it (checked against a card1.mcd made by
// `HOME=$(mktemp -d) xvfb-run -a pcsxr`, which is identical to card2.mcd).
std::unique_ptr<CardImage> PcsxrBlankCard() {
    auto card = std::make_unique<CardImage>();
    card->fill(0);
    std::uint8_t* d = card->data();
    d[0] = 'M';
    d[1] = 'C';
    d[127] = 0x0E;  // 'M' ^ 'C'
    for (std::size_t frame = 1; frame <= 15; ++frame) {
        std::uint8_t* f = d + frame * 128;
        f[0] = 0xA0;  // free
        f[8] = 0xFF;  // no next block
        f[9] = 0xFF;
        f[127] = 0xA0;
    }
    for (std::size_t frame = 16; frame <= 35; ++frame) {
        std::uint8_t* f = d + frame * 128;
        std::fill_n(f, 4, std::uint8_t{0xFF});  // no broken sector
        f[8] = 0xFF;
        f[9] = 0xFF;  // checksum 0: the six 0xFF bytes cancel out
    }
    return card;  // frames 36-63 and all 15 data blocks stay zero
}

TEST(PcsxrCard, BothBlankCardsListFifteenFreeSlotsAndDifferOnlyInFrames36To63) {
    const auto theirs = PcsxrBlankCard();
    auto ours = std::make_unique<CardImage>();
    FormatImage(*ours);

    for (const CardImage* card : {theirs.get(), ours.get()}) {
        EXPECT_TRUE(IsFormattedImage(*card));
        EXPECT_EQ(CountAvailableSlots(*card), 15);
        for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_EQ(SlotState(*card, slot), kStateFree) << slot;
        // Neither is a damaged card: a zero test frame is how PCSX-Reloaded leaves it.
        EXPECT_EQ(CheckCard(*card), std::vector<Finding>{});
    }

    // Known difference, not a fault: frames 36-62 (0xFF here) and frame 63
    // (the header again here) are zero on PCSX-Reloaded's card.
    for (std::size_t i = 0; i < kCardSize; ++i) {
        const std::size_t frame = i / kFrameSize;
        if (frame >= kFirstFilledFrame && frame < kHeaderCopyFrame) {
            EXPECT_EQ((*theirs)[i], 0x00) << i;
            EXPECT_EQ((*ours)[i], 0xFF) << i;
        } else if (frame == kHeaderCopyFrame) {
            EXPECT_EQ((*theirs)[i], 0x00) << i;
            EXPECT_EQ((*ours)[i], (*ours)[i - kHeaderCopyFrame * kFrameSize]) << i;
        } else {
            ASSERT_EQ((*theirs)[i], (*ours)[i]) << "byte " << i << " outside frames 36-63";
        }
    }
}

TEST(PcsxrCard, OnlyAZeroTestFrameIsLeftUnreported) {
    auto card = PcsxrBlankCard();
    (*card)[FrameOffset(kHeaderCopyFrame) + 5] = 0x33;  // anything else there is not a copy of the header
    (*card)[FrameOffset(kHeaderCopyFrame) + kChecksumOffset] = 0x33;
    EXPECT_EQ(CheckCard(*card), std::vector<Finding>{{FindingKind::TestFrameDiffers}});
}

}  // namespace
}  // namespace dravolo::memcard
