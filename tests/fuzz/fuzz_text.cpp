// ANSI (Windows-1252), UTF-8 and UTF-16 conversions. Every ANSI text goes to
// UTF-16 or UTF-8 and back unchanged; a UTF-16 text goes through ANSI
// unchanged exactly when no character of it lacks an ANSI form, and the first
// one that lacks it is the one named; valid UTF-8 goes to UTF-16 and back
// unchanged, and any byte string becomes stable after one round.

#include "common/base/text.h"
#include "tests/fuzz/fuzz_check.h"

using namespace dravolo;

namespace {

bool HasLoneSurrogate(std::u16string_view s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] >= 0xD800 && s[i] <= 0xDBFF) {
            if (i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
                ++i;
                continue;
            }
            return true;
        }
        if (s[i] >= 0xDC00 && s[i] <= 0xDFFF) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::AsText(data, size);

    // The bytes as ANSI.
    FUZZ_CHECK(Utf16ToAnsi(AnsiToUtf16(bytes)) == bytes);
    FUZZ_CHECK(Utf8ToAnsi(AnsiToUtf8(bytes)) == bytes);
    FUZZ_CHECK(Utf16ToUtf8(AnsiToUtf16(bytes)) == AnsiToUtf8(bytes));
    FUZZ_CHECK(!FirstCharacterOutsideAnsi(AnsiToUtf16(bytes)).has_value());
    FUZZ_CHECK(UpperAnsi(LowerAnsi(bytes)) == UpperAnsi(bytes));
    FUZZ_CHECK(EqualsNoCase(UpperAnsi(bytes), LowerAnsi(bytes)));

    // The bytes as UTF-16 code units.
    std::u16string wide(size / 2, u'\0');
    for (std::size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const bool fits = AnsiToUtf16(Utf16ToAnsi(wide)) == wide;
    FUZZ_CHECK(fits == !FirstCharacterOutsideAnsi(wide).has_value());
    if (!HasLoneSurrogate(wide)) FUZZ_CHECK(Utf8ToUtf16(Utf16ToUtf8(wide)) == wide);

    // The bytes as UTF-8.
    const std::u16string fromUtf8 = Utf8ToUtf16(bytes);
    const std::string utf8Again = Utf16ToUtf8(fromUtf8);
    FUZZ_CHECK(Utf16ToUtf8(Utf8ToUtf16(utf8Again)) == utf8Again);
    if (utf8Again == bytes) FUZZ_CHECK(FirstUtf8CharacterOutsideAnsi(bytes) == FirstCharacterOutsideAnsi(fromUtf8));
    return 0;
}
