#pragma once
// Pictures and texts of the memory-card page: save icons from the card's
// pixels, the region and generic pictures of the slot lists, the image
// buttons between the lists, and save names with their Shift-JIS characters
// decoded.

#include <QIcon>
#include <QString>
#include <string>

#include "common/memcard/icon.h"

namespace dravolo::memcards {

QIcon SaveIcon(const memcard::IconPixels& pixels);
// kRegionAmericaImage, kRegionEuropeImage, kRegionJapanImage or kGenericImage.
QIcon ListPicture(int image);

enum class PageButton { CopyRight, CopyLeft, Erase };
// A pair of pictures: the normal one and a lighter one under the pointer.
QIcon ButtonIcon(PageButton button);

// A "Save Name" as the list shows it: ANSI characters as Windows-1252, kept
// Shift-JIS pairs decoded from Shift-JIS.
QString SaveNameText(const std::string& saveName);

}  // namespace dravolo::memcards
