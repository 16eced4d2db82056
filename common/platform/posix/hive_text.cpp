#include "common/platform/posix/hive_text.h"

#include <algorithm>

namespace dravolo::hive {
namespace {

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

// Hive files are written with escapes only, but a hand-edited one may carry raw
// UTF-8; a byte that does not start a valid sequence is taken as Latin-1.
char32_t DecodeRaw(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    const int len = (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) {
        ++i;
        return b0;
    }
    char32_t cp = b0 & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return b0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += static_cast<std::size_t>(len);
    return cp;
}

}  // namespace

char16_t FoldName(char16_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? static_cast<char16_t>(c + 32) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    if (c >= 0x100 && c <= 0x137) return static_cast<char16_t>(c | 1);
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return static_cast<char16_t>(c + (c & 1));
    if (c >= 0x14A && c <= 0x177) return static_cast<char16_t>(c | 1);
    if (c == 0x178) return 0xFF;
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<char16_t>(c + 32);
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
    if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 32);
    return c;
}

int CompareNames(std::u16string_view a, std::u16string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int d = static_cast<int>(FoldName(a[i])) - static_cast<int>(FoldName(b[i]));
        if (d != 0) return d;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool NamesEqual(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && CompareNames(a, b) == 0;
}

std::string EscapeString(std::u16string_view text, std::string_view quote, bool dropFinalNul) {
    // Index = control code; '.' means "no C escape, use octal".
    static constexpr std::string_view kEscapes = ".......abtnvfr.............e....";
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool hasNext = i + 1 < text.size();
        if (c > 127) {
            // A short \x escape would swallow a following hex digit, so Wine
            // pads to four digits exactly then.
            const bool pad = hasNext && text[i + 1] < 128 && IsHexDigit(static_cast<char>(text[i + 1]));
            out += "\\x";
            out += Hex(c, pad ? 4 : 1);
            continue;
        }
        if (c < 32) {
            if (c == 0 && !hasNext && dropFinalNul) continue;
            if (kEscapes[c] != '.') {
                out += '\\';
                out += kEscapes[c];
            } else {
                const bool pad = hasNext && text[i + 1] >= '0' && text[i + 1] <= '7';
                out += '\\';
                if (pad) {
                    out += static_cast<char>('0' + ((c >> 6) & 7));
                    out += static_cast<char>('0' + ((c >> 3) & 7));
                    out += static_cast<char>('0' + (c & 7));
                } else {
                    if (c >= 8) out += static_cast<char>('0' + (c >> 3));
                    out += static_cast<char>('0' + (c & 7));
                }
            }
            continue;
        }
        const char ch = static_cast<char>(c);
        if (ch == '\\' || quote.find(ch) != std::string_view::npos) out += '\\';
        out += ch;
    }
    return out;
}

std::optional<std::u16string> UnescapeString(std::string_view text, std::size_t& pos, char end) {
    std::u16string out;
    std::size_t i = pos;
    while (i < text.size() && text[i] != end) {
        const char c = text[i];
        if (c != '\\') {
            if (static_cast<unsigned char>(c) < 0x80) {
                out += static_cast<char16_t>(c);
                ++i;
            } else {
                const char32_t cp = DecodeRaw(text, i);
                if (cp >= 0x10000) {
                    out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                    out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
                } else {
                    out += static_cast<char16_t>(cp);
                }
            }
            continue;
        }
        if (++i >= text.size()) return std::nullopt;
        const char e = text[i++];
        switch (e) {
        case 'a': out += u'\a'; break;
        case 'b': out += u'\b'; break;
        case 'e': out += char16_t{0x1B}; break;
        case 'f': out += u'\f'; break;
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case 'v': out += u'\v'; break;
        case 'x': {
            if (i >= text.size() || !IsHexDigit(text[i])) {
                out += u'x';
                break;
            }
            unsigned v = 0;
            for (int k = 0; k < 4 && i < text.size() && IsHexDigit(text[i]); ++k)
                v = v * 16 + static_cast<unsigned>(HexValue(text[i++]));
            out += static_cast<char16_t>(v);
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                unsigned v = static_cast<unsigned>(e - '0');
                for (int k = 0; k < 2 && i < text.size() && text[i] >= '0' && text[i] <= '7'; ++k)
                    v = v * 8 + static_cast<unsigned>(text[i++] - '0');
                out += static_cast<char16_t>(v);
            } else {
                out += static_cast<char16_t>(static_cast<unsigned char>(e));
            }
            break;
        }
    }
    if (i >= text.size()) return std::nullopt;
    pos = i + 1;
    return out;
}

std::string Hex(std::uint64_t value, int width) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    do {
        out += kDigits[value & 15];
        value >>= 4;
    } while (value != 0);
    while (static_cast<int>(out.size()) < width) out += '0';
    std::reverse(out.begin(), out.end());
    return out;
}

std::optional<std::uint64_t> ParseHex(std::string_view text, std::size_t& pos, int maxDigits) {
    std::uint64_t v = 0;
    int n = 0;
    while (pos < text.size() && IsHexDigit(text[pos])) {
        if (++n > maxDigits) return std::nullopt;
        v = v * 16 + static_cast<std::uint64_t>(HexValue(text[pos++]));
    }
    if (n == 0) return std::nullopt;
    return v;
}

}  // namespace dravolo::hive
