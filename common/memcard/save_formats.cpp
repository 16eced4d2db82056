#include "common/memcard/save_formats.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "common/base/text.h"
#include "common/memcard/card_image.h"
#include "common/memcard/psx_signature.h"

namespace dravolo::memcard {

namespace {

constexpr std::uint8_t kPsvMagic[4] = {0x00, 'V', 'S', 'P'};
constexpr std::size_t kPsvTypeOffset = 0x3C;
constexpr std::size_t kPsvDataSizeOffset = 0x40;
constexpr std::size_t kPsvDataOffsetOffset = 0x44;
constexpr std::size_t kPsvNameOffset = 0x64;
constexpr std::uint32_t kPsvTypePs1 = 1;

SaveResult Fail(SaveProblem problem, std::size_t needed = 0) {
    SaveResult result;
    result.problem = problem;
    result.needed = needed;
    return result;
}

// `data` is the save's blocks: a whole number of them, one to fifteen.
SaveResult TakeBlocks(std::span<const std::uint8_t> data, SingleSave& save) {
    if (data.empty() || data.size() % kBlockSize != 0) return Fail(SaveProblem::NotWholeBlocks);
    if (data.size() > kSlotCount * kBlockSize) return Fail(SaveProblem::TooManyBlocks);
    save.blocks.assign(data.begin(), data.end());
    SaveResult result;
    result.blocks = save.BlockCount();
    return result;
}

// A directory frame for a save that arrives without one: the first block of
// a save in use with its name, the size set when the save is placed.
void NewFrame(SingleSave& save, std::span<const std::uint8_t> name) {
    save.frame.fill(0);
    save.frame[kStateOffset] = kStateFirst;
    std::copy_n(name.begin(), std::min(name.size(), kSaveNameSize), save.frame.begin() + kRegionOffset);
}

bool IsTitleMagic(std::span<const std::uint8_t> data, std::size_t at) {
    return data.size() >= at + 2 &&
           ((data[at] == 'S' && data[at + 1] == 'C') || (data[at] == 's' && data[at + 1] == 'c'));
}

std::string_view BaseName(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

SaveResult ExtractSave(const CardImage& card, int slot, SingleSave& save) {
    if (!IsValidSlot(slot)) return Fail(SaveProblem::SlotOutOfRange);
    if (!IsFormattedImage(card)) return Fail(SaveProblem::NotFormatted);
    const std::uint8_t state = SlotState(card, slot);
    if (state != kStateFirst && state != MarkedFreeState(kStateFirst)) return Fail(SaveProblem::NoSave);
    const std::vector<int> chain = SaveBlocks(card, slot);
    const ConstFrame frame = DirectoryFrame(card, slot);
    std::copy(frame.begin(), frame.end(), save.frame.begin());
    save.frame[kStateOffset] = kStateFirst;  // a marked-free save leaves as the save it was
    save.frame[kNextSlotOffset] = kNoNextSlot;
    save.frame[kNextSlotHighOffset] = kNoNextSlot;
    StoreU32(save.frame.data() + kSaveSizeOffset, static_cast<std::uint32_t>(chain.size() * kBlockSize));
    UpdateChecksum(save.frame);
    save.blocks.clear();
    for (int block : chain) {
        const auto data = DataBlock(card, block);
        save.blocks.insert(save.blocks.end(), data.begin(), data.end());
    }
    SaveResult result;
    result.blocks = static_cast<int>(chain.size());
    return result;
}

SaveResult ReadSaveData(std::span<const std::uint8_t> file, std::string_view fileName, SingleSave& save) {
    if (file.empty()) return Fail(SaveProblem::Empty);
    if (file[0] == kStateFirst) {  // "Q": a directory frame first
        SaveResult result;
        if (file.size() < kMcsHeaderSize) result = Fail(SaveProblem::NotWholeBlocks);
        else {
            std::copy_n(file.begin(), kFrameSize, save.frame.begin());
            result = TakeBlocks(file.subspan(kMcsHeaderSize), save);
        }
        // The frame's size field tells how long the file should have been.
        if (result.problem == SaveProblem::NotWholeBlocks && file.size() >= kSaveSizeOffset + 4) {
            const std::uint32_t size = LoadU32(file.data() + kSaveSizeOffset);
            if (size % kBlockSize == 0 && size > 0 && size <= kSlotCount * kBlockSize &&
                kMcsHeaderSize + size > file.size())
                result.needed = kMcsHeaderSize + size;
        }
        return result;
    }
    if (IsTitleMagic(file, 0)) {
        const std::string_view name = BaseName(fileName);
        NewFrame(save, std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
        return TakeBlocks(file, save);
    }
    if (file.size() >= 4 && std::memcmp(file.data(), kPsvMagic, 4) == 0) {
        if (file.size() < kPsvHeaderSize) return Fail(SaveProblem::NotWholeBlocks);
        if (LoadU32(file.data() + kPsvTypeOffset) != kPsvTypePs1) return Fail(SaveProblem::NotPs1Save);
        const std::uint64_t size = LoadU32(file.data() + kPsvDataSizeOffset);
        const std::uint64_t offset = LoadU32(file.data() + kPsvDataOffsetOffset);
        if (offset < kPsvHeaderSize || offset + size > file.size())
            return Fail(SaveProblem::NotWholeBlocks, static_cast<std::size_t>(offset + size));
        NewFrame(save, file.subspan(kPsvNameOffset, kSaveNameSize));
        SaveResult result =
            TakeBlocks(file.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(size)), save);
        result.signatureValid = HasValidPsxSignature(file, kPsvSeedOffset, kPsvSignatureOffset);
        return result;
    }
    if (IsTitleMagic(file, kActionReplayHeaderSize)) {
        NewFrame(save, file.first(kSaveNameSize));
        return TakeBlocks(file.subspan(kActionReplayHeaderSize), save);
    }
    return Fail(SaveProblem::NotASaveFile);
}

Bytes WriteSaveData(const SingleSave& save, SaveFormat format, std::string_view title) {
    Bytes out;
    switch (format) {
    case SaveFormat::Mcs: out.assign(save.frame.begin(), save.frame.end()); break;
    case SaveFormat::ActionReplay: {
        out.assign(kActionReplayHeaderSize, 0);
        std::copy_n(save.frame.begin() + kRegionOffset, kSaveNameSize, out.begin());
        // The title, cut to leave the header's last byte zero.
        const std::size_t room = kActionReplayHeaderSize - kActionReplayTitleOffset - 1;
        std::copy_n(title.begin(), std::min(title.size(), room), out.begin() + kActionReplayTitleOffset);
        break;
    }
    case SaveFormat::Raw: break;
    case SaveFormat::Psv: {
        out.assign(kPsvHeaderSize, 0);
        std::copy_n(kPsvMagic, 4, out.begin());
        const auto size = static_cast<std::uint32_t>(save.blocks.size());
        StoreU32(out.data() + 0x38, 0x14);
        StoreU32(out.data() + kPsvTypeOffset, kPsvTypePs1);
        StoreU32(out.data() + kPsvDataSizeOffset, size);
        StoreU32(out.data() + kPsvDataOffsetOffset, kPsvHeaderSize);
        StoreU32(out.data() + 0x48, 0x200);
        StoreU32(out.data() + 0x5C, size);
        StoreU32(out.data() + 0x60, 0x9003);
        std::copy_n(save.frame.begin() + kRegionOffset, 0x20, out.begin() + kPsvNameOffset);
        break;
    }
    }
    out.insert(out.end(), save.blocks.begin(), save.blocks.end());
    if (format == SaveFormat::Psv) SignPsxFile(out, kPsvSeedOffset, kPsvSignatureOffset);
    return out;
}

SaveResult PlaceSave(CardImage& card, const SingleSave& save, int slot) {
    if (!IsValidSlot(slot)) return Fail(SaveProblem::SlotOutOfRange);
    if (!IsFormattedImage(card)) return Fail(SaveProblem::NotFormatted);
    if (IsLinkState(SlotState(card, slot))) return Fail(SaveProblem::LinkSlot);
    const int blocks = save.BlockCount();
    if (blocks < 1 || blocks > kSlotCount || save.blocks.size() % kBlockSize != 0)
        return Fail(SaveProblem::NotWholeBlocks);

    // The save laid out on a card of its own, slots 0 to n-1, then copied.
    const auto source = std::make_unique<CardImage>();
    FormatImage(*source);
    for (int i = 0; i < blocks; ++i) {
        Frame frame = DirectoryFrame(*source, i);
        const bool last = i + 1 == blocks;
        if (i == 0) {
            std::copy(save.frame.begin(), save.frame.end(), frame.begin());
            frame[kStateOffset] = kStateFirst;
            StoreU32(frame.data() + kSaveSizeOffset, static_cast<std::uint32_t>(blocks * kBlockSize));
        } else {
            std::fill(frame.begin(), frame.end(), std::uint8_t{0});
            frame[kStateOffset] = last ? kStateEndLink : kStateLink;
        }
        frame[kNextSlotOffset] = last ? kNoNextSlot : static_cast<std::uint8_t>(i + 1);
        frame[kNextSlotHighOffset] = last ? kNoNextSlot : 0x00;
        UpdateChecksum(frame);
        std::copy_n(save.blocks.begin() + static_cast<std::ptrdiff_t>(i * kBlockSize), kBlockSize,
                    DataBlock(*source, i).begin());
    }
    const int room = CountAvailableSlots(card) + (IsInUseState(SlotState(card, slot)) ? 1 : 0);
    if (!CopySaveBetween(*source, 0, card, slot))
        return Fail(SaveProblem::NoRoom, static_cast<std::size_t>(std::max(blocks - room, 1)));
    SaveResult result;
    result.blocks = blocks;
    return result;
}

SaveFormat SaveFormatForPath(std::string_view path) {
    const std::string_view name = BaseName(path);
    const std::size_t dot = name.rfind('.');
    const std::string extension = dot == std::string_view::npos ? std::string() : LowerAnsi(name.substr(dot + 1));
    if (extension == "mcs" || extension == "ps1") return SaveFormat::Mcs;
    if (extension == "psx" || extension == "mcb" || extension == "mcx" || extension == "pda")
        return SaveFormat::ActionReplay;
    if (extension == "psv") return SaveFormat::Psv;
    return SaveFormat::Raw;
}

std::string SaveFileName(const SingleSave& save) {
    std::string name(save.frame.begin() + kRegionOffset, save.frame.begin() + kRegionOffset + kSaveNameSize);
    name.erase(std::find(name.begin(), name.end(), '\0'), name.end());
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::strchr("\\/:*?\"<>|", c)) c = '_';
    return name.empty() ? std::string("save") : name;
}

}  // namespace dravolo::memcard
