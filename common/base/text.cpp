#include "common/base/text.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "common/platform/ansi_code_page.h"

namespace dravolo {
namespace {

// Windows-1252 bytes 0x80-0x9F. The five holes (81, 8D, 8F, 90, 9D) map to the
// C1 controls of the same number, as Windows' best-fit table does.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t AnsiToWide(unsigned char c) {
    if (c >= 0x80 && c <= 0x9F) return kHigh[c - 0x80];
    return c;
}

char WideToAnsi(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<char>(0x80 + i);
    return '?';
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one code point; malformed input yields U+FFFD and consumes one byte.
char32_t NextUtf8(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    auto cont = [&](std::size_t k) -> int {
        if (i + k >= s.size()) return -1;
        const auto b = static_cast<unsigned char>(s[i + k]);
        return (b & 0xC0) == 0x80 ? (b & 0x3F) : -1;
    };
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = b0 & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        int c = cont(static_cast<std::size_t>(k));
        if (c < 0) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | static_cast<char32_t>(c);
    }
    i += static_cast<std::size_t>(len);
    return cp;
}

char32_t NextUtf16(std::u16string_view s, std::size_t& i) {
    char16_t c = s[i++];
    if (c >= 0xD800 && c <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
        char32_t cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (s[i] - 0xDC00);
        ++i;
        return cp;
    }
    return c;
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

}  // namespace

std::u16string AnsiToUtf16(std::string_view ansi) {
    if (SystemHasOtherAnsiCodePage()) return SystemAnsiToUtf16(ansi);
    std::u16string out;
    out.reserve(ansi.size());
    for (char c : ansi) out += AnsiToWide(static_cast<unsigned char>(c));
    return out;
}

std::string Utf16ToAnsi(std::u16string_view wide) {
    if (SystemHasOtherAnsiCodePage()) return SystemUtf16ToAnsi(wide);
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size();) out += WideToAnsi(NextUtf16(wide, i));
    return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
    if (SystemHasOtherAnsiCodePage()) return Utf16ToUtf8(SystemAnsiToUtf16(ansi));
    std::string out;
    out.reserve(ansi.size());
    for (char c : ansi) AppendUtf8(out, AnsiToWide(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
    if (SystemHasOtherAnsiCodePage()) return SystemUtf16ToAnsi(Utf8ToUtf16(utf8));
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) out += WideToAnsi(NextUtf8(utf8, i));
    return out;
}

namespace {

bool HasAnsiForm(char32_t cp) {
    if (cp == U'?') return true;
    if (SystemHasOtherAnsiCodePage()) {
        std::u16string one;
        AppendUtf16(one, cp);
        bool defaulted = false;
        SystemUtf16ToAnsi(one, &defaulted);
        // Surrogates alone and U+FFFD have no form in any code page.
        return !defaulted && !(cp >= 0xD800 && cp <= 0xDFFF) && cp != 0xFFFD;
    }
    return WideToAnsi(cp) != '?';
}

}  // namespace

std::optional<char32_t> FirstCharacterOutsideAnsi(std::u16string_view wide) {
    for (std::size_t i = 0; i < wide.size();) {
        const char32_t cp = NextUtf16(wide, i);
        if (!HasAnsiForm(cp)) return cp;
    }
    return std::nullopt;
}

std::optional<char32_t> FirstUtf8CharacterOutsideAnsi(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t cp = NextUtf8(utf8, i);
        if (!HasAnsiForm(cp)) return cp;
    }
    return std::nullopt;
}

std::string CodePointName(char32_t character) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(character));
    return text;
}

std::string Utf16ToUtf8(std::u16string_view wide) {
    std::string out;
    for (std::size_t i = 0; i < wide.size();) AppendUtf8(out, NextUtf16(wide, i));
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) AppendUtf16(out, NextUtf8(utf8, i));
    return out;
}

char FoldAnsi(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
    // Latin-1 lower-case letters, except the division sign and y-diaeresis.
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
    if (u == 0x9A || u == 0x9C || u == 0x9E) return static_cast<char>(u - 16);  // š œ ž
    if (u == 0xFF) return static_cast<char>(0x9F);                              // ÿ
    return c;
}

std::string UpperAnsi(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = FoldAnsi(c);
    return out;
}

std::string LowerAnsi(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 'A' && u <= 'Z') c = static_cast<char>(u + 32);
        else if (u >= 0xC0 && u <= 0xDE && u != 0xD7) c = static_cast<char>(u + 32);
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAnsi(a[i]) != FoldAnsi(b[i])) return false;
    return true;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(FoldAnsi(a[i]));
        const auto y = static_cast<unsigned char>(FoldAnsi(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::string TrimSpaces(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

}  // namespace dravolo
