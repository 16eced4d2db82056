#include "common/memcard/card_integrity.h"

#include <algorithm>
#include <array>

#include "common/base/bytes.h"
#include "common/memcard/card_image.h"
#include "common/memcard/card_io.h"
#include "common/platform/winfs.h"

namespace dravolo::memcard {

namespace {

constexpr std::size_t kBrokenFrameCount = kFirstFilledFrame - kFirstReservedFrame;  // frames 16-35
constexpr std::uint32_t kNoBrokenSector = 0xFFFFFFFF;
constexpr int kNobody = -1;

using Owners = std::array<int, kSlotCount>;

ConstFrame FrameAt(const CardImage& card, std::size_t frame) {
    return ConstFrame(card.data() + FrameOffset(frame), kFrameSize);
}
Frame FrameAt(CardImage& card, std::size_t frame) { return Frame(card.data() + FrameOffset(frame), kFrameSize); }

bool ChecksumWrong(ConstFrame frame) { return frame[kChecksumOffset] != FrameChecksum(frame); }

Finding ChecksumFinding(FindingKind kind, ConstFrame frame, int slot = -1) {
    return {kind, slot, frame[kChecksumOffset], FrameChecksum(frame)};
}

bool IsKnownState(std::uint8_t state) {
    switch (state) {
    case kStateFirst:
    case kStateLink:
    case kStateEndLink:
    case kStateFree:
    case kStateNeverUsed:
    case 0xA1:
    case 0xA2:
    case 0xA3: return true;
    default: return false;
    }
}

bool IsInUseLink(std::uint8_t state) { return state == kStateLink || state == kStateEndLink; }

std::uint8_t NextOf(const CardImage& card, int slot) { return DirectoryFrame(card, slot)[kNextSlotOffset]; }

// Follows the save in use at `first` through its links, reporting where the
// chain is broken, and records which save reached each block.
void CheckChain(const CardImage& card, int first, Owners& owner, std::vector<Finding>& findings) {
    std::vector<int> chain{first};
    owner[static_cast<std::size_t>(first)] = first;
    const auto where = static_cast<std::uint32_t>(first);
    bool whole = false;
    for (int slot = first;;) {
        const std::uint8_t state = SlotState(card, slot);
        const std::uint8_t next = NextOf(card, slot);
        if (next == kNoNextSlot) {
            whole = chain.size() == 1 ? state == kStateFirst : state == kStateEndLink;
            if (!whole) findings.push_back({FindingKind::ChainNotEnded, slot, 0, where});
            break;
        }
        if (state == kStateEndLink) {
            findings.push_back({FindingKind::EndBlockLinksOn, slot, next, where});
            break;
        }
        if (next >= kSlotCount) {
            findings.push_back({FindingKind::LinkOutOfRange, slot, next, where});
            break;
        }
        if (std::find(chain.begin(), chain.end(), next) != chain.end()) {
            findings.push_back({FindingKind::Loop, slot, next, where});
            break;
        }
        const std::uint8_t nextState = SlotState(card, next);
        if (IsAvailableState(nextState)) {
            findings.push_back({FindingKind::LinkToFreeBlock, slot, next, where});
            break;
        }
        if (!IsInUseLink(nextState)) {
            findings.push_back({FindingKind::LinkToForeignBlock, slot, next, where});
            break;
        }
        const int earlier = owner[next];
        if (earlier != kNobody) {
            findings.push_back({FindingKind::SharedBlock, next, static_cast<std::uint32_t>(earlier), where});
            break;
        }
        owner[next] = first;
        chain.push_back(next);
        slot = next;
    }

    // The size is only worth comparing on a whole chain; a broken one is
    // reported above already.
    const std::uint32_t size = LoadU32(DirectoryFrame(card, first).data() + kSaveSizeOffset);
    if (whole && size != chain.size() * kBlockSize)
        findings.push_back({FindingKind::SizeMismatch, first, size, static_cast<std::uint32_t>(chain.size())});
    const auto block = DataBlock(card, first);
    if (block[kMagicOffset] != 'S' || block[kMagicOffset + 1] != 'C')
        findings.push_back({FindingKind::MissingTitleMagic, first, 0, 0});
}

// Which save in use reaches each block (its first slot), kNobody for none.
Owners ReachedBlocks(const CardImage& card, std::vector<Finding>* findings) {
    Owners owner;
    owner.fill(kNobody);
    std::vector<Finding> ignored;
    for (int first = 0; first < kSlotCount; ++first)
        if (SlotState(card, first) == kStateFirst) CheckChain(card, first, owner, findings ? *findings : ignored);
    return owner;
}

bool Unreached(const CardImage& card, const Owners& owner, int slot) {
    return IsInUseLink(SlotState(card, slot)) && owner[static_cast<std::size_t>(slot)] == kNobody;
}

// Marks the unreachable blocks along the links from `head` as one
// marked-free save: 0xA1 first, 0xA2 middle, 0xA3 last, the last ending in
// 0xFF 0xFF and the first carrying the save's size, so that Recover finds a
// whole chain.
int MarkOrphanChain(CardImage& card, int head, const Owners& owner, std::array<bool, kSlotCount>& done) {
    std::vector<int> chain;
    for (int slot = head;;) {
        chain.push_back(slot);
        done[static_cast<std::size_t>(slot)] = true;
        const std::uint8_t next = NextOf(card, slot);
        if (next >= kSlotCount || done[next] || !Unreached(card, owner, next)) break;
        slot = next;
    }
    for (std::size_t i = 0; i < chain.size(); ++i) {
        Frame frame = DirectoryFrame(card, chain[i]);
        const bool last = i + 1 == chain.size();
        frame[kStateOffset] = i == 0 ? 0xA1 : last ? 0xA3 : 0xA2;
        if (last) {
            frame[kNextSlotOffset] = kNoNextSlot;
            frame[kNextSlotHighOffset] = kNoNextSlot;
        }
    }
    Frame first = DirectoryFrame(card, head);
    const auto size = static_cast<std::uint32_t>(chain.size() * kBlockSize);
    if (LoadU32(first.data() + kSaveSizeOffset) != size) StoreU32(first.data() + kSaveSizeOffset, size);
    for (int slot : chain) UpdateChecksum(DirectoryFrame(card, slot));
    return static_cast<int>(chain.size());
}

}  // namespace

bool IsRepairable(FindingKind kind) {
    switch (kind) {
    case FindingKind::HeaderChecksum:
    case FindingKind::TestFrameChecksum:
    case FindingKind::DirectoryChecksum:
    case FindingKind::BrokenFrameChecksum:
    case FindingKind::UnreachableBlock: return true;
    default: return false;
    }
}

std::vector<Finding> CheckCard(const CardImage& card) {
    std::vector<Finding> findings;
    if (!IsFormattedImage(card)) {
        findings.push_back({FindingKind::NotFormatted});
        return findings;
    }
    if (ChecksumWrong(FrameAt(card, kHeaderFrame)))
        findings.push_back(ChecksumFinding(FindingKind::HeaderChecksum, FrameAt(card, kHeaderFrame)));

    for (int slot = 0; slot < kSlotCount; ++slot) {
        const ConstFrame frame = DirectoryFrame(card, slot);
        if (ChecksumWrong(frame)) findings.push_back(ChecksumFinding(FindingKind::DirectoryChecksum, frame, slot));
        if (!IsKnownState(frame[kStateOffset]))
            findings.push_back({FindingKind::UnknownState, slot, frame[kStateOffset], 0});
    }

    const Owners owner = ReachedBlocks(card, &findings);
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (Unreached(card, owner, slot)) findings.push_back({FindingKind::UnreachableBlock, slot, 0, 0});

    for (std::size_t entry = 0; entry < kBrokenFrameCount; ++entry) {
        const ConstFrame frame = FrameAt(card, kFirstReservedFrame + entry);
        const auto index = static_cast<std::uint32_t>(entry);
        if (ChecksumWrong(frame)) {
            findings.push_back({FindingKind::BrokenFrameChecksum, -1, index, 0});
            continue;
        }
        // Sector 0 is the header and can never be replaced: a zeroed list
        // some programs write means "none" as 0xFFFFFFFF does.
        const std::uint32_t sector = LoadU32(frame.data());
        if (sector != kNoBrokenSector && sector != 0)
            findings.push_back({FindingKind::BrokenFrameListed, -1, index, sector});
    }

    // PCSX-Reloaded formats cards with a zeroed test frame; the console
    // writes it before it uses it, so zero is a blank frame, not damage.
    const ConstFrame test = FrameAt(card, kHeaderCopyFrame);
    const bool blank = std::all_of(test.begin(), test.end(), [](std::uint8_t b) { return b == 0; });
    if (ChecksumWrong(test)) findings.push_back(ChecksumFinding(FindingKind::TestFrameChecksum, test));
    else if (!blank && !std::equal(test.begin(), test.end(), FrameAt(card, kHeaderFrame).begin()))
        findings.push_back({FindingKind::TestFrameDiffers});
    return findings;
}

RepairResult RepairCard(CardImage& card) {
    RepairResult result;
    if (!IsFormattedImage(card)) return result;

    const auto fix = [&](Frame frame) {
        if (!ChecksumWrong(frame)) return;
        UpdateChecksum(frame);
        ++result.checksumsFixed;
    };
    fix(FrameAt(card, kHeaderFrame));
    for (int slot = 0; slot < kSlotCount; ++slot) fix(DirectoryFrame(card, slot));
    for (std::size_t entry = 0; entry < kBrokenFrameCount; ++entry) fix(FrameAt(card, kFirstReservedFrame + entry));
    fix(FrameAt(card, kHeaderCopyFrame));

    // Blocks no save reaches: the heads of their chains are those no other
    // unreachable block links to; what is left after them are loops, each
    // started at its lowest slot.
    const Owners owner = ReachedBlocks(card, nullptr);
    std::array<bool, kSlotCount> linkedTo{};
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::uint8_t next = NextOf(card, slot);
        if (Unreached(card, owner, slot) && next < kSlotCount && next != slot) linkedTo[next] = true;
    }
    std::array<bool, kSlotCount> done{};
    for (bool loops : {false, true}) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if (done[static_cast<std::size_t>(slot)] || !Unreached(card, owner, slot)) continue;
            if (!loops && linkedTo[static_cast<std::size_t>(slot)]) continue;
            result.blocksMarkedFree += MarkOrphanChain(card, slot, owner, done);
            ++result.savesMarkedFree;
        }
    }
    return result;
}

bool CheckCardFile(std::string_view path, std::vector<Finding>& findings) {
    findings.clear();
    const auto card = ReadCardFile(path);
    if (!card) return false;
    const std::optional<std::uint64_t> size = FileSize(path);
    if (size && *size != kCardSize)
        findings.push_back({FindingKind::WrongFileSize, -1,
                            static_cast<std::uint32_t>(std::min<std::uint64_t>(*size, 0xFFFFFFFF)), 0});
    const std::vector<Finding> inside = CheckCard(*card);
    findings.insert(findings.end(), inside.begin(), inside.end());
    return true;
}

std::optional<RepairResult> RepairCardFile(std::string_view path, Error* error) {
    const auto update = OpenCardForUpdate(path, error);
    if (!update) return std::nullopt;
    const RepairResult result = RepairCard(*update->after);
    if (!update->WriteChanges(error)) return std::nullopt;
    return result;
}

}  // namespace dravolo::memcard
