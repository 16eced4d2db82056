// ANSI text and its Unicode forms: what round-trips and what the ANSI code
// page cannot hold.

#include <gtest/gtest.h>

#include "common/base/text.h"

namespace dravolo {
namespace {

// Every byte of Windows-1252 comes back from UTF-16 and UTF-8 as it was
// (Windows builds run their suites in a Western code page).
TEST(AnsiText, EveryByteRoundTrips) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(all)), all);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
    EXPECT_EQ(FirstCharacterOutsideAnsi(AnsiToUtf16(all)), std::nullopt);
    EXPECT_EQ(FirstUtf8CharacterOutsideAnsi(AnsiToUtf8(all)), std::nullopt);
    EXPECT_EQ(AnsiToUtf8("\x80 \xE9"), "\xE2\x82\xAC \xC3\xA9");  // euro sign, e acute
}

TEST(AnsiText, TheFirstCharacterWithoutAnAnsiFormIsFound) {
    EXPECT_EQ(FirstUtf8CharacterOutsideAnsi("Final ファイナル"), U'\u30D5');
    EXPECT_EQ(FirstUtf8CharacterOutsideAnsi("Café ★ ☆"), U'\u2605');
    EXPECT_EQ(FirstUtf8CharacterOutsideAnsi("what? ok"), std::nullopt);  // a real '?' is ANSI
    EXPECT_EQ(FirstUtf8CharacterOutsideAnsi("emoji \xF0\x9F\x8E\xAE"), U'\U0001F3AE');
    EXPECT_EQ(FirstCharacterOutsideAnsi(u"ok \U0001F3AE"), U'\U0001F3AE');
    EXPECT_EQ(FirstUtf8CharacterOutsideAnsi("bad \xFF byte"), U'\uFFFD');  // not UTF-8 at all
    EXPECT_EQ(CodePointName(U'\u30D5'), "U+30D5");
    EXPECT_EQ(CodePointName(U'\U0001F3AE'), "U+1F3AE");
    EXPECT_EQ(Utf8ToAnsi("ファ"), "??");  // what would have been stored
}

}  // namespace
}  // namespace dravolo
