#pragma once
// The cue sheet written beside a whole-disc image, so that emulators see every
// track of a multi-track ".bin":
//
//   FILE "NAME.bin" BINARY
//     TRACK 01 MODE2/2352
//       INDEX 01 00:00:00
//     TRACK 02 AUDIO
//       INDEX 01 52:13:40

#include <string>
#include <string_view>
#include <vector>

#include "frontend/cdimage/cd_access.h"

namespace dravolo {

// The image's name with another extension: "C:\\games\\tomba.bin", ".cue" ->
// "C:\\games\\tomba.cue" (appended when the name has no extension).
std::string ImageSideFilePath(std::string_view imagePath, std::string_view extension);
std::string CueSheetPathFor(std::string_view imagePath);
// What the overwrite question is about: the image, and its cue sheet when
// one is to be written.
bool ImageOrCueSheetExists(std::string_view imagePath, bool withCueSheet);
// The sheet's text (CR LF line ends) for a whole-disc image of these tracks.
// Audio tracks by the TOC's control field; data tracks by their mode byte
// (2: MODE2/2352, otherwise MODE1/2352).
std::string BuildCueSheet(std::string_view imagePath, const std::vector<TocEntry>& tracks);
bool WriteCueSheet(std::string_view imagePath, const std::vector<TocEntry>& tracks);

}  // namespace dravolo
