#pragma once
// The display text of a save's title. Titles are Shift-JIS; the full-width
// Latin letters, digits and common punctuation become their ANSI characters,
// and every other two-byte character stays as its Shift-JIS bytes so that a
// Japanese font can still show it.

#include <cstdint>
#include <span>
#include <string>

#include "common/memcard/card_layout.h"

namespace dravolo::memcard {

// Reads up to the first zero byte or the end of the 64-byte field and trims
// spaces at both ends; an empty result means the title is blank.
std::string MemCardTitleText(std::span<const std::uint8_t, kTitleSize> title);

}  // namespace dravolo::memcard
