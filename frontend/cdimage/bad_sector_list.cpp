#include "frontend/cdimage/bad_sector_list.h"

#include "common/platform/winfs.h"
#include "frontend/cdimage/cue_sheet.h"

namespace dravolo {

std::string BadSectorListPathFor(std::string_view imagePath) { return ImageSideFilePath(imagePath, ".bad"); }

std::string BuildBadSectorList(const std::vector<std::int32_t>& sectors) {
    std::string text;
    for (const std::int32_t s : sectors) text += std::to_string(s) + "\n";
    return text;
}

bool WriteBadSectorList(std::string_view imagePath, const std::vector<std::int32_t>& sectors) {
    const std::string text = BuildBadSectorList(sectors);
    return WriteWholeFileAtomic(BadSectorListPathFor(imagePath),
                                std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace dravolo
