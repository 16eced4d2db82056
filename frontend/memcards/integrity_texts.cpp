#include "frontend/memcards/integrity_texts.h"

#include <cstdio>

namespace dravolo::memcards {

using memcard::FindingKind;
using memcard::RecoverProblem;

namespace {

std::string SlotName(int slot) { return "slot " + std::to_string(slot + 1); }
std::string SlotName(std::uint32_t slot) { return SlotName(static_cast<int>(slot)); }

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value));
    return text;
}

std::string Blocks(long long count) { return std::to_string(count) + (count == 1 ? " block" : " blocks"); }

std::string Checksum(const memcard::Finding& f) {
    return "checksum is " + Hex(f.value) + ", should be " + Hex(f.other) + ".";
}

}  // namespace

std::string FindingText(const memcard::Finding& f) {
    const std::string slot = f.slot >= 0 ? "Slot " + std::to_string(f.slot + 1) + ": " : std::string();
    switch (f.kind) {
    case FindingKind::WrongFileSize:
        return "Card: the file is " + std::to_string(f.value) + " bytes long; a memory card is 131072.";
    case FindingKind::NotFormatted: return "Card: not a formatted memory card (no \"MC\" header).";
    case FindingKind::HeaderChecksum: return "Header frame: " + Checksum(f);
    case FindingKind::TestFrameChecksum: return "Test frame: " + Checksum(f);
    case FindingKind::TestFrameDiffers: return "Test frame: not a copy of the header frame.";
    case FindingKind::DirectoryChecksum: return slot + "directory frame " + Checksum(f);
    case FindingKind::UnknownState: return slot + "unknown state " + Hex(f.value) + ".";
    case FindingKind::LinkOutOfRange:
        return slot + "links to " + Hex(f.value) + ", outside the card (save of " + SlotName(f.other) + ").";
    case FindingKind::LinkToFreeBlock:
        return slot + "links to " + SlotName(f.value) + ", a free block (save of " + SlotName(f.other) + ").";
    case FindingKind::LinkToForeignBlock:
        return slot + "links to " + SlotName(f.value) + ", which is not a block of this save (save of " +
               SlotName(f.other) + ").";
    case FindingKind::Loop:
        return slot + "links back to " + SlotName(f.value) + ": the chain loops (save of " + SlotName(f.other) + ").";
    case FindingKind::SharedBlock:
        return slot + "belongs to the saves of " + SlotName(f.value) + " and " + SlotName(f.other) + ".";
    case FindingKind::ChainNotEnded:
        return slot + "the chain of the save of " + SlotName(f.other) + " ends here without an end block.";
    case FindingKind::EndBlockLinksOn:
        return slot + "an end block that links on to " + SlotName(f.value) + " (save of " + SlotName(f.other) + ").";
    case FindingKind::SizeMismatch:
        return slot + "the save's size is " + std::to_string(f.value) + " bytes, its chain has " + Blocks(f.other) +
               ".";
    case FindingKind::MissingTitleMagic: return slot + "the first block does not start with \"SC\".";
    case FindingKind::UnreachableBlock: return slot + "a block in use that no save reaches.";
    case FindingKind::BrokenFrameChecksum:
        return "Broken-frame list entry " + std::to_string(f.value + 1) + ": checksum is wrong.";
    case FindingKind::BrokenFrameListed:
        return "Broken-frame list entry " + std::to_string(f.value + 1) + ": sector " + std::to_string(f.other) +
               " is listed as broken.";
    }
    return slot + "unknown finding.";
}

std::vector<std::string> FindingLines(const std::vector<memcard::Finding>& findings) {
    std::vector<std::string> lines;
    for (const memcard::Finding& f : findings) lines.push_back(FindingText(f));
    if (lines.empty()) lines.emplace_back("No problems found.");
    return lines;
}

std::string RepairText(const memcard::RepairResult& repair) {
    if (!repair.changed()) return "Nothing to repair.";
    std::string text = "Repaired:";
    if (repair.checksumsFixed > 0)
        text += " " + std::to_string(repair.checksumsFixed) +
                (repair.checksumsFixed == 1 ? " checksum" : " checksums") + " made right";
    if (repair.savesMarkedFree > 0) {
        if (repair.checksumsFixed > 0) text += ",";
        text += " " + std::to_string(repair.savesMarkedFree) + (repair.savesMarkedFree == 1 ? " save" : " saves") +
                " of " + Blocks(repair.blocksMarkedFree) + " no save reached marked free (Recover Slot brings " +
                (repair.savesMarkedFree == 1 ? "it" : "them") + " back)";
    }
    return text + ".";
}

std::string RecoverText(const memcard::RecoverResult& r) {
    const std::string at = SlotName(r.at);
    switch (r.problem) {
    case RecoverProblem::None: return "The save in " + at + " is back (" + Blocks(r.blocks) + ").";
    case RecoverProblem::SlotOutOfRange: return "There is no such slot.";
    case RecoverProblem::NotFormatted: return "The memory card is not formatted.";
    case RecoverProblem::NotErased:
        return "Cannot recover " + at + ": it does not hold a save that was marked as free.";
    case RecoverProblem::LinkOfErasedSave:
        return "Cannot recover " + at + ": it is a later block of an erased save; recover its first slot.";
    case RecoverProblem::LinkOutOfRange: return "Cannot recover: " + at + " links outside the card.";
    case RecoverProblem::BlockInUse:
        return "Cannot recover: the block in " + SlotName(r.value) + " now belongs to another save.";
    case RecoverProblem::BlockFree: return "Cannot recover: the block in " + SlotName(r.value) + " was erased since.";
    case RecoverProblem::BlockOfOtherSave:
        return "Cannot recover: " + at + " links to " + SlotName(r.value) + ", which is not a block of this save.";
    case RecoverProblem::Loop: return "Cannot recover: the chain loops back from " + at + ".";
    case RecoverProblem::ChainNotEnded: return "Cannot recover: the chain is not whole at " + at + ".";
    case RecoverProblem::SharedBlock:
        return "Cannot recover: the block in " + SlotName(r.value) + " also belongs to the erased save in " +
               SlotName(r.other) + ".";
    case RecoverProblem::SizeMismatch:
        return "Cannot recover: the save was " + (r.value >= 0 ? Blocks(r.value) : std::string("of another size")) +
               " long, its chain has " + Blocks(r.other) + " left.";
    case RecoverProblem::CannotRead: return "Cannot recover: the memory card cannot be read.";
    case RecoverProblem::CannotWrite: return "Cannot recover: the memory card cannot be written.";
    }
    return "Cannot recover.";
}

}  // namespace dravolo::memcards
