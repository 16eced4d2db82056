// Export in regedit's "Windows Registry Editor Version 5.00" form, wrapped and
// escaped as Wine's regedit writes it, so either regedit reads it back.

#include <cstdio>

#include "common/base/text.h"
#include "common/platform/regfile.h"
#include "common/platform/winfs.h"

namespace dravolo {
namespace {

// regedit breaks a hex line once it reaches this many characters (the
// continuation backslash then makes 78).
constexpr std::size_t kMaxHexChars = 77;

std::u16string Ascii(std::string_view s) { return std::u16string(s.begin(), s.end()); }

std::u16string HexByte(std::uint8_t b) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    return {kDigits[b >> 4], kDigits[b & 15]};
}

std::u16string HexNumber(std::uint32_t v, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*x", width, v);
    return Ascii(buf);
}

Bytes Utf16Le(std::u16string_view s) {
    Bytes out(s.size() * 2);
    for (std::size_t i = 0; i < s.size(); ++i) StoreU16(&out[i * 2], s[i]);
    return out;
}

void AppendHex(std::u16string& out, std::uint32_t type, std::size_t lineLen, const Bytes& data) {
    const std::u16string tag = type == kRegBinary ? u"hex:" : u"hex(" + HexNumber(type, 1) + u"):";
    out += tag;
    lineLen += tag.size();
    for (std::size_t i = 0; i < data.size(); ++i) {
        out += HexByte(data[i]);
        if (i + 1 == data.size()) break;
        out += u',';
        lineLen += 3;
        if (lineLen >= kMaxHexChars) {
            out += u"\\\r\n  ";
            lineLen = 2;
        }
    }
}

void AppendValue(std::u16string& out, const RegValue& v) {
    const std::size_t start = out.size();
    if (v.name.empty()) out += u"@=";
    else out += u"\"" + RegeditEscaped(AnsiToUtf16(v.name)) + u"\"=";
    const std::size_t lineLen = out.size() - start;

    const std::string_view text(reinterpret_cast<const char*>(v.data.data()), v.data.size());
    if (v.type == kRegSz && !text.empty() && text.find('\0') == text.size() - 1) {
        out += u"\"" + RegeditEscaped(AnsiToUtf16(text.substr(0, text.size() - 1))) + u"\"";
    } else if (v.type == kRegDword && v.data.size() == 4) {
        out += u"dword:" + HexNumber(LoadU32(v.data.data()), 8);
    } else if (IsRegStringType(v.type)) {
        // The file holds what the W-functions see: UTF-16 with the NULs. A
        // REG_SZ without its single NUL goes this way too, so nothing is lost.
        AppendHex(out, v.type, lineLen, Utf16Le(AnsiToUtf16(text)));
    } else {
        AppendHex(out, v.type, lineLen, v.data);
    }
    out += u"\r\n";
}

bool AppendKey(Registry& registry, RegRoot root, const std::string& path, std::u16string& out) {
    auto values = registry.EnumValues(root, path);
    auto subkeys = registry.EnumSubkeys(root, path);
    if (!values || !subkeys) return false;
    out += u"[" + AnsiToUtf16(RootedKeyName(root, path)) + u"]\r\n";
    for (const RegValue& v : *values) AppendValue(out, v);
    out += u"\r\n";
    for (const std::string& sub : *subkeys) {
        // A subkey deleted while we walk is simply not exported.
        AppendKey(registry, root, path.empty() ? sub : path + "\\" + sub, out);
    }
    return true;
}

}  // namespace

std::u16string RegeditEscaped(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        switch (c) {
        case u'\\': out += u"\\\\"; break;
        case u'"': out += u"\\\""; break;
        case u'\r': out += u"\\r"; break;
        case u'\n': out += u"\\n"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::optional<Bytes> ExportRegistryKey(Registry& registry, RegRoot root, std::string_view path) {
    std::string clean(path);
    while (!clean.empty() && clean.back() == '\\') clean.pop_back();
    std::u16string text = u"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n";
    if (!AppendKey(registry, root, clean, text)) return std::nullopt;
    return Utf16Le(text);
}

bool ExportRegistryKeyToFile(Registry& registry, RegRoot root, std::string_view path, std::string_view file,
                             Error* error) {
    auto bytes = ExportRegistryKey(registry, root, path);
    if (!bytes) return false;
    // Replaced atomically: a side file is never left half-written.
    return WriteWholeFileAtomic(file, *bytes, error);
}

}  // namespace dravolo
