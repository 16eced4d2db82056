#include "common/memcard/memcard_file.h"

#include <algorithm>

#include "common/base/prompter.h"
#include "common/memcard/card_image.h"
#include "common/memcard/card_io.h"
#include "common/platform/winfs.h"

namespace dravolo::memcard {

std::string MemCardOpenErrorText(std::string_view path) {
    const std::string name(path);
    return FileExists(path) ? "Access to " + name + " was denied." : name + " was not found.";
}

void CMemCardFile::Clear() {
    isOpen = 0;
    slotState.fill(0);
    region.fill(0);
    for (auto& t : title) t.fill(0);
    for (auto& p : palette) p.fill(0);
    for (auto& i : icon) i.fill(0);
}

int CMemCardFile::Open(std::string_view path, Prompter* report) {
    Clear();
    if (path.empty()) return 0;
    const auto card = ReadCardFile(path);
    if (!card) {
        if (report) report->Tell(MemCardOpenErrorText(path), "", PromptIcon::Exclamation);
        return 0;
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        slotState[slot] = SlotState(*card, slot);
        region[slot] = SlotRegion(*card, slot);

        const auto block = DataBlock(*card, slot);
        std::copy_n(block.begin() + kTitleOffset, kTitleSize, title[slot].begin());
        std::copy_n(block.begin() + kPaletteOffset, kPaletteSize, palette[slot].begin());
        // A flag with zero high bits means no icon; the bytes there are not an icon.
        if ((block[kIconFlagOffset] & 0xF0) != 0)
            std::copy_n(block.begin() + kIconOffset, kIconSize, icon[slot].begin());
    }
    isOpen = 1;
    return 1;
}

}  // namespace dravolo::memcard
