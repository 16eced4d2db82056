// Single-save formats: a file of each built byte by byte from the published
// layouts, round trips through every writer and back onto a card, damaged
// and short files refused, and placing a save as a copy places it.

#include <gtest/gtest.h>

#include <cstring>

#include "common/memcard/card_image.h"
#include "common/memcard/psx_signature.h"
#include "common/memcard/save_formats.h"
#include "tests/memcard/card_images.h"
#include "tests/support/card_builder.h"

namespace dravolo::memcard {
namespace {

using test::CardBuilder;

CardBuilder SourceCard() { return CardBuilder().AddSave({0}, "ONE", 1).AddSave({2, 6, 9}, "THREE", 3, "BE"); }

// The save's name as the builder writes it: region, then "SLUS-0103SAVE3".
std::string NameOf(int seed, std::string_view region = "BE") {
    return std::string(region) + "SLUS-0" + std::to_string(100 + seed) + "SAVE" + std::to_string(seed);
}
// The same as the directory frame's 20 bytes hold it.
std::string FrameNameOf(int seed) {
    std::string name = NameOf(seed);
    name.resize(20, '\0');
    return name;
}

Bytes BlocksOf(const CardBuilder& card, std::initializer_list<int> slots) {
    Bytes blocks;
    for (int slot : slots)
        blocks.insert(blocks.end(), card.bytes().begin() + static_cast<std::ptrdiff_t>(CardBuilder::BlockOffset(slot)),
                      card.bytes().begin() + static_cast<std::ptrdiff_t>(CardBuilder::BlockOffset(slot) + 8192));
    return blocks;
}

SingleSave Extracted() {
    SingleSave save;
    EXPECT_TRUE(ExtractSave(*ImageOf(SourceCard()), 2, save).ok());
    return save;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(SaveFormats, ExtractTakesTheWholeChain) {
    const SingleSave save = Extracted();
    EXPECT_EQ(save.BlockCount(), 3);
    EXPECT_EQ(save.blocks, BlocksOf(SourceCard(), {2, 6, 9}));
    EXPECT_EQ(save.frame[0], 0x51);
    EXPECT_EQ(LoadU32(save.frame.data() + 4), 3u * 8192);
    EXPECT_EQ(save.frame[8], 0xFF);
    EXPECT_EQ(std::string(save.frame.begin() + 10, save.frame.begin() + 30), FrameNameOf(3));
    EXPECT_EQ(save.frame[127], CardBuilder::Checksum(save.frame.data()));
    EXPECT_EQ(SaveFileName(save), NameOf(3));

    SingleSave other;
    const CardImage card = *ImageOf(CardBuilder(SourceCard()).MarkFree({0}));
    EXPECT_TRUE(ExtractSave(card, 0, other).ok());  // a marked-free save leaves as the save it was
    EXPECT_EQ(other.frame[0], 0x51);
    EXPECT_EQ(ExtractSave(card, 6, other).problem, SaveProblem::NoSave);
    EXPECT_EQ(ExtractSave(card, 4, other).problem, SaveProblem::NoSave);
    EXPECT_EQ(ExtractSave(card, 15, other).problem, SaveProblem::SlotOutOfRange);
    EXPECT_EQ(ExtractSave(*ImageOf(CardBuilder::Unformatted()), 0, other).problem, SaveProblem::NotFormatted);
}

TEST(SaveFormats, EachFormatByteForByte) {
    const SingleSave save = Extracted();
    const Bytes blocks = save.blocks;
    const std::string name = FrameNameOf(3);

    // PSXGameEdit: the directory frame, then the blocks.
    const Bytes mcs = Concat(Bytes(save.frame.begin(), save.frame.end()), blocks);
    EXPECT_EQ(WriteSaveData(save, SaveFormat::Mcs), mcs);

    // Action Replay: 20 bytes of name, a zero, the title, zeros to 54, the blocks.
    Bytes ar(54, 0);
    std::memcpy(ar.data(), name.data(), 20);
    std::memcpy(ar.data() + 21, "THREE", 5);
    ar = Concat(ar, blocks);
    EXPECT_EQ(WriteSaveData(save, SaveFormat::ActionReplay, "THREE"), ar);
    // A title too long for the header is cut, its last byte stays zero.
    const Bytes longTitle = WriteSaveData(save, SaveFormat::ActionReplay, std::string(60, 'T'));
    EXPECT_EQ(longTitle[52], 'T');
    EXPECT_EQ(longTitle[53], 0);

    EXPECT_EQ(WriteSaveData(save, SaveFormat::Raw), blocks);

    // PS3: "\0VSP", seed at 0x08, signature at 0x1C, 0x14 at 0x38, type 1 at
    // 0x3C, the data's size at 0x40 and 0x5C, its offset 0x84 at 0x44, 0x200
    // at 0x48, 0x9003 at 0x60, 32 bytes of the frame from its name at 0x64.
    Bytes psv(0x84, 0);
    psv[1] = 'V';
    psv[2] = 'S';
    psv[3] = 'P';
    StoreU32(psv.data() + 0x38, 0x14);
    StoreU32(psv.data() + 0x3C, 1);
    StoreU32(psv.data() + 0x40, 3 * 8192);
    StoreU32(psv.data() + 0x44, 0x84);
    StoreU32(psv.data() + 0x48, 0x200);
    StoreU32(psv.data() + 0x5C, 3 * 8192);
    StoreU32(psv.data() + 0x60, 0x9003);
    std::memcpy(psv.data() + 0x64, save.frame.data() + 10, 32);
    psv = Concat(psv, blocks);
    const Bytes written = WriteSaveData(save, SaveFormat::Psv);
    ASSERT_EQ(written.size(), psv.size());
    EXPECT_TRUE(std::equal(written.begin(), written.begin() + 8, psv.begin()));
    EXPECT_TRUE(std::equal(written.begin() + 0x30, written.end(), psv.begin() + 0x30));
    EXPECT_TRUE(HasValidPsxSignature(written, 0x08, 0x1C));

    // And each reads back as the same save.
    for (const Bytes& file : {mcs, ar, psv, written}) {
        SingleSave read;
        const SaveResult result = ReadSaveData(file, "whatever.bin", read);
        ASSERT_TRUE(result.ok());
        EXPECT_EQ(result.blocks, 3);
        EXPECT_EQ(read.blocks, blocks);
        EXPECT_EQ(std::string(read.frame.begin() + 10, read.frame.begin() + 30), name);
    }
    SingleSave read;
    EXPECT_FALSE(ReadSaveData(psv, "", read).signatureValid);  // seed and signature left zero
    EXPECT_TRUE(ReadSaveData(written, "", read).signatureValid);
    // A raw save's name is its file's name.
    ASSERT_TRUE(ReadSaveData(blocks, "C:\\saves\\" + NameOf(3), read).ok());
    EXPECT_EQ(std::string(read.frame.begin() + 10, read.frame.begin() + 30), name);
    EXPECT_EQ(read.frame[0], 0x51);
}

TEST(SaveFormats, RoundTripsThroughEveryWriterAndBackOntoACard) {
    const SingleSave save = Extracted();
    for (SaveFormat format : {SaveFormat::Mcs, SaveFormat::ActionReplay, SaveFormat::Raw, SaveFormat::Psv}) {
        SCOPED_TRACE(static_cast<int>(format));
        SingleSave read;
        ASSERT_TRUE(ReadSaveData(WriteSaveData(save, format, "THREE"), SaveFileName(save), read).ok());
        auto card = ImageOf(CardBuilder().AddSave({0}, "KEEP", 7).AddSave({4}, "OLD", 8));
        ASSERT_TRUE(PlaceSave(*card, read, 4).ok());
        EXPECT_EQ(SaveBlocks(*card, 4), (std::vector<int>{4, 1, 2}));
        SingleSave again;
        ASSERT_TRUE(ExtractSave(*card, 4, again).ok());
        EXPECT_EQ(again.blocks, save.blocks);
        EXPECT_TRUE(std::equal(again.frame.begin() + 10, again.frame.begin() + 30, save.frame.begin() + 10));
        EXPECT_EQ(SlotState(*card, 0), 0x51);  // the other save stays
    }
}

TEST(SaveFormats, DamagedAndShortFilesAreRefused) {
    const SingleSave save = Extracted();
    const Bytes mcs = WriteSaveData(save, SaveFormat::Mcs);
    const Bytes psv = WriteSaveData(save, SaveFormat::Psv);
    Bytes ps2 = psv;
    StoreU32(ps2.data() + 0x3C, 2);
    Bytes oversized = psv;
    StoreU32(oversized.data() + 0x40, 4 * 8192);
    Bytes sixteen = Bytes(16 * 8192, 0);
    sixteen[0] = 'S';
    sixteen[1] = 'C';
    struct Case {
        const char* what;
        Bytes file;
        SaveProblem problem;
        std::size_t needed;
    };
    const Case cases[] = {
        {"empty", {}, SaveProblem::Empty, 0},
        {"an MCS cut in a block", Bytes(mcs.begin(), mcs.end() - 100), SaveProblem::NotWholeBlocks, 128 + 3 * 8192},
        {"an MCS frame alone", Bytes(mcs.begin(), mcs.begin() + 128), SaveProblem::NotWholeBlocks, 128 + 3 * 8192},
        {"an MCS frame cut", Bytes(mcs.begin(), mcs.begin() + 100), SaveProblem::NotWholeBlocks, 128 + 3 * 8192},
        {"a PS3 save of a PS2 game", ps2, SaveProblem::NotPs1Save, 0},
        {"a PS3 save shorter than it says", oversized, SaveProblem::NotWholeBlocks, 0x84 + 4 * 8192},
        {"a PS3 header cut", Bytes(psv.begin(), psv.begin() + 0x40), SaveProblem::NotWholeBlocks, 0},
        {"a raw save cut", Bytes(save.blocks.begin(), save.blocks.end() - 1), SaveProblem::NotWholeBlocks, 0},
        {"sixteen blocks", sixteen, SaveProblem::TooManyBlocks, 0},
        {"no title anywhere", Bytes(54 + 8192, 0x20), SaveProblem::NotASaveFile, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SingleSave read;
        const SaveResult result = ReadSaveData(c.file, "x", read);
        EXPECT_EQ(result.problem, c.problem);
        EXPECT_EQ(result.needed, c.needed);
    }
}

TEST(SaveFormats, PlacedAsACopyOrRefusedWithoutAChange) {
    const SingleSave save = Extracted();
    // A link slot is never a target; a full card refuses and stays as it was.
    const CardBuilder linked = CardBuilder().AddSave({3, 4});
    auto card = ImageOf(linked);
    EXPECT_EQ(PlaceSave(*card, save, 4).problem, SaveProblem::LinkSlot);
    EXPECT_EQ(*card, *ImageOf(linked));
    const CardBuilder full = CardBuilder().AddSave({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}).AddSave({13});
    card = ImageOf(full);
    const SaveResult result = PlaceSave(*card, save, 14);
    EXPECT_EQ(result.problem, SaveProblem::NoRoom);
    EXPECT_EQ(result.needed, 2u);
    EXPECT_EQ(*card, *ImageOf(full));
    // Over the one-block save in slot 14 of a card with one free slot: 1 + 1 < 3.
    EXPECT_EQ(PlaceSave(*card, save, 13).problem, SaveProblem::NoRoom);
    EXPECT_EQ(PlaceSave(*ImageOf(CardBuilder::Unformatted()), save, 0).problem, SaveProblem::NotFormatted);
    EXPECT_EQ(SaveFormatForPath("A.MCS"), SaveFormat::Mcs);
    EXPECT_EQ(SaveFormatForPath("a.ps1"), SaveFormat::Mcs);
    for (const char* ar : {"a.psx", "a.MCB", "a.mcx", "a.pda"})
        EXPECT_EQ(SaveFormatForPath(ar), SaveFormat::ActionReplay);
    EXPECT_EQ(SaveFormatForPath("BASLUS-00001SAVE"), SaveFormat::Raw);
    EXPECT_EQ(SaveFormatForPath("c:\\x.y\\BESLES-123.PSV"), SaveFormat::Psv);
}

}  // namespace
}  // namespace dravolo::memcard
