#include "common/memcard/title_text.h"

#include <array>

#include "common/base/text.h"

namespace dravolo::memcard {

namespace {

// Lead byte 0x81, second bytes 0x40-0x97: full-width punctuation. Zero means
// no ANSI equivalent.
constexpr std::array<char, 0x98 - 0x40> MakePunctuationTable() {
    std::array<char, 0x98 - 0x40> t{};
    auto set = [&t](int second, char c) { t[static_cast<std::size_t>(second - 0x40)] = c; };
    set(0x40, ' ');
    set(0x43, ',');
    set(0x44, '.');
    set(0x46, ':');
    set(0x47, ';');
    set(0x48, '?');
    set(0x49, '!');
    set(0x4F, '^');
    set(0x51, '_');
    set(0x5E, '/');
    set(0x60, '~');
    set(0x62, '|');
    set(0x65, '`');
    set(0x66, '\'');
    set(0x68, '"');
    set(0x69, '(');
    set(0x6A, ')');
    set(0x6D, '[');
    set(0x6E, ']');
    set(0x6F, '{');
    set(0x70, '}');
    set(0x7B, '+');
    set(0x7C, '-');
    set(0x81, '=');
    set(0x83, '<');
    set(0x84, '>');
    set(0x8F, '\\');
    set(0x90, '$');
    set(0x93, '%');
    set(0x94, '#');
    set(0x95, '&');
    set(0x96, '*');
    set(0x97, '@');
    return t;
}
constexpr auto kPunctuation = MakePunctuationTable();

// The single ANSI character for a Shift-JIS pair, or 0 when there is none.
char Translate(std::uint8_t lead, std::uint8_t second) {
    if (lead == 0x82) {
        if (second >= 0x4F && second <= 0x58) return static_cast<char>(second - 0x1F);  // 0-9
        if (second >= 0x60 && second <= 0x79) return static_cast<char>(second - 0x1F);  // A-Z
        if (second >= 0x81 && second <= 0x9A) return static_cast<char>(second - 0x20);  // a-z
        return 0;
    }
    if (lead == 0x81) {
        if (second >= 0x40 && second <= 0x97) return kPunctuation[second - 0x40];
        if (second == 0xE1) return static_cast<char>(0xAB);  // left guillemet in Windows-1252
        if (second == 0xE2) return static_cast<char>(0xBB);  // right guillemet
    }
    return 0;
}

}  // namespace

std::string MemCardTitleText(std::span<const std::uint8_t, kTitleSize> title) {
    std::string text;
    for (std::size_t i = 0; i < title.size() && title[i] != 0;) {
        const std::uint8_t lead = title[i];
        if (lead < 0x80) {
            text.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        // A lead byte in the last position or before the terminating zero has
        // lost its second byte; it is not a character, so it is dropped.
        if (i + 1 >= title.size() || title[i + 1] == 0) break;
        const std::uint8_t second = title[i + 1];
        if (const char c = Translate(lead, second); c != 0) {
            text.push_back(c);
        } else {
            text.push_back(static_cast<char>(lead));
            text.push_back(static_cast<char>(second));
        }
        i += 2;
    }
    return TrimSpaces(text);
}

}  // namespace dravolo::memcard
