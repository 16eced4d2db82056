#include <gtest/gtest.h>

#include "common/platform/native_text.h"

namespace dravolo {
namespace {

// Memory-card titles are Shift-JIS; the windows show them as UTF-8 on every
// system, Windows included (code page 932 there, not a Qt codec).
TEST(ShiftJisText, KanaKanjiAndFullWidthCharactersBecomeUtf8) {
    EXPECT_EQ(Utf8FromShiftJis("\x96\x60\x8C\xAF\x82\xCC\x8B\x4C\x98\x5E"), "冒険の記録");
    EXPECT_EQ(Utf8FromShiftJis("\x83\x74\x83\x40\x83\x43\x83\x69\x83\x8B"), "ファイナル");
    EXPECT_EQ(Utf8FromShiftJis("\x81\x40\x82\x50"), "　１");  // ideographic space, full-width digit
    EXPECT_EQ(Utf8FromShiftJis("AB"), "AB");
    EXPECT_EQ(Utf8FromShiftJis(""), "");
}

TEST(ShiftJisText, ALeadByteWithoutItsSecondByteDoesNotConvert) {
    // A title cut in the middle of a pair: shown another way, never as a
    // replacement character.
    EXPECT_EQ(Utf8FromShiftJis("\x83\x74\x83"), std::nullopt);
}

}  // namespace
}  // namespace dravolo
