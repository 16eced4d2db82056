#include "frontend/cdimage/cue_sheet.h"

#include <cstdio>

#include "common/platform/winfs.h"

namespace dravolo {

namespace {

std::size_t NameStart(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? 0 : slash + 1;
}

}  // namespace

std::string ImageSideFilePath(std::string_view imagePath, std::string_view extension) {
    const std::size_t dot = imagePath.find_last_of('.');
    if (dot == std::string_view::npos || dot < NameStart(imagePath))
        return std::string(imagePath) + std::string(extension);
    return std::string(imagePath.substr(0, dot)) + std::string(extension);
}

std::string CueSheetPathFor(std::string_view imagePath) { return ImageSideFilePath(imagePath, ".cue"); }

bool ImageOrCueSheetExists(std::string_view imagePath, bool withCueSheet) {
    return FileExists(imagePath) || (withCueSheet && FileExists(CueSheetPathFor(imagePath)));
}

std::string BuildCueSheet(std::string_view imagePath, const std::vector<TocEntry>& tracks) {
    std::string text = "FILE \"" + std::string(imagePath.substr(NameStart(imagePath))) + "\" BINARY\r\n";
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const TocEntry& t = tracks[i];
        const char* type = !t.dataTrack ? "AUDIO" : t.mode == kTrackMode2 ? "MODE2/2352" : "MODE1/2352";
        const long start = t.start < 0 ? 0 : t.start;
        char lines[96];
        std::snprintf(lines, sizeof lines, "  TRACK %02u %s\r\n    INDEX 01 %02ld:%02ld:%02ld\r\n",
                      static_cast<unsigned>(i + 1), type, start / 75 / 60, start / 75 % 60, start % 75);
        text += lines;
    }
    return text;
}

bool WriteCueSheet(std::string_view imagePath, const std::vector<TocEntry>& tracks) {
    const std::string text = BuildCueSheet(imagePath, tracks);
    return WriteWholeFileAtomic(CueSheetPathFor(imagePath),
                                std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace dravolo
