// Import of regedit files: "Windows Registry Editor Version 5.00" (UTF-16LE
// with a BOM, or without one read as ANSI, as Wine's regedit does) and
// REGEDIT4 (ANSI). The whole file is parsed into one batch first, so a file
// with any line we cannot read changes nothing.

#include "common/base/text.h"
#include "common/platform/regfile.h"
#include "common/platform/winfs.h"

namespace dravolo {
namespace {

using Text = std::u16string;
using View = std::u16string_view;

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t'; }

View Trim(View s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && (IsSpace(s.back()) || s.back() == u'\r')) s.remove_suffix(1);
    return s;
}

std::string ToAnsi(View s) { return Utf16ToAnsi(s); }

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

std::optional<std::uint32_t> ParseHexNumber(View s) {
    if (s.empty() || s.size() > 8) return std::nullopt;
    std::uint32_t v = 0;
    for (char16_t c : s) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        v = v * 16 + static_cast<std::uint32_t>(d);
    }
    return v;
}

// A quoted string starting after its opening quote; pos ends after the closing
// one. regedit's escapes are \\, \", \n, \r and \0; any other backslash is
// dropped, as Wine's regedit drops it.
std::optional<Text> ParseQuoted(View s, std::size_t& pos) {
    Text out;
    while (pos < s.size()) {
        const char16_t c = s[pos++];
        if (c == u'"') return out;
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (pos >= s.size()) return std::nullopt;
        const char16_t e = s[pos++];
        out += e == u'n' ? u'\n' : e == u'r' ? u'\r' : e == u'0' ? u'\0' : e;
    }
    return std::nullopt;
}

// Nothing but blanks or a comment may follow a value.
bool OnlyTrailing(View s) {
    s = Trim(s);
    return s.empty() || s.front() == u';';
}

std::optional<Bytes> ParseHexList(View s) {
    Bytes out;
    std::size_t i = 0;
    for (;;) {
        while (i < s.size() && IsSpace(s[i])) ++i;
        if (i >= s.size() || s[i] == u';') break;
        const int hi = HexDigit(s[i]);
        const int lo = i + 1 < s.size() ? HexDigit(s[i + 1]) : -1;
        if (hi < 0) return std::nullopt;
        if (lo < 0) {
            out.push_back(static_cast<std::uint8_t>(hi));
            ++i;
        } else {
            out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
            i += 2;
        }
        while (i < s.size() && IsSpace(s[i])) ++i;
        if (i < s.size() && s[i] == u',') ++i;
        else if (i < s.size() && s[i] != u';') return std::nullopt;
    }
    return out;
}

class Parser {
public:
    Parser(Text text, bool unicode) : text_(std::move(text)), unicode_(unicode) {}

    std::optional<RegBatch> Run() {
        std::vector<View> lines = SplitLines();
        if (lines.empty()) return std::nullopt;
        const View header = Trim(lines[0]);
        if (header != u"Windows Registry Editor Version 5.00" && header != u"REGEDIT4") return std::nullopt;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            Text line(Trim(lines[i]));
            // A value's data goes on over lines that end in a backslash.
            while (!line.empty() && line.back() == u'\\' && IsContinuable(line) && i + 1 < lines.size()) {
                line.pop_back();
                line += Trim(lines[++i]);
            }
            if (!Line(line)) return std::nullopt;
        }
        return std::move(batch_);
    }

private:
    std::vector<View> SplitLines() const {
        std::vector<View> lines;
        const View all(text_);
        for (std::size_t start = 0; start < all.size();) {
            const std::size_t nl = std::min(all.find(u'\n', start), all.size());
            lines.push_back(all.substr(start, nl - start));
            start = nl + 1;
        }
        return lines;
    }

    // Only hex data is ever wrapped; a quoted string ending in a backslash is
    // an error, not a continuation. The data starts after the value's name,
    // which may itself hold "=hex".
    static bool IsContinuable(View line) {
        const auto data = DataStart(line);
        return data && line.substr(*data).starts_with(u"hex");
    }

    // Where a value line's data begins: after its name, the '=' and blanks.
    static std::optional<std::size_t> DataStart(View line, std::string* name = nullptr) {
        if (line.empty() || (line.front() != u'@' && line.front() != u'"')) return std::nullopt;
        std::size_t pos = 1;
        if (line.front() == u'"') {
            auto n = ParseQuoted(line, pos);
            if (!n) return std::nullopt;
            if (name) *name = ToAnsi(*n);
        }
        while (pos < line.size() && IsSpace(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] != u'=') return std::nullopt;
        ++pos;
        while (pos < line.size() && IsSpace(line[pos])) ++pos;
        return pos;
    }

    bool Line(View line) {
        if (line.empty() || line.front() == u';' || line.front() == u'#') return true;
        if (line.front() == u'[') return KeyLine(line);
        if (line.front() == u'@' || line.front() == u'"') return ValueLine(line);
        return false;
    }

    bool KeyLine(View line) {
        const std::size_t close = line.rfind(u']');
        if (close == View::npos) return false;
        View name = line.substr(1, close - 1);
        sawKeyLine_ = true;
        const bool remove = !name.empty() && name.front() == u'-';
        if (remove) name.remove_prefix(1);
        auto rooted = ParseRootedKey(ToAnsi(name));
        if (!rooted) return false;  // another root: we cannot honour the file
        if (remove) {
            if (rooted->second.empty()) return false;  // a whole hive
            batch_.DeleteTree(rooted->first, rooted->second);
            haveKey_ = false;
            return true;
        }
        root_ = rooted->first;
        path_ = rooted->second;
        haveKey_ = true;
        batch_.CreateKey(root_, path_);
        return true;
    }

    bool ValueLine(View line) {
        std::string name;
        const auto pos = DataStart(line, &name);
        if (!pos) return false;
        const View data = line.substr(*pos);

        std::optional<RegValue> value;
        bool remove = false;
        if (data.starts_with(u"-") && OnlyTrailing(data.substr(1))) {
            remove = true;
        } else {
            value = ParseData(data);
            if (!value) return false;
        }
        // Values after a "[-key]" line belong to a deleted key: regedit skips
        // them. Before any key line there is no key they could belong to.
        if (!sawKeyLine_) return false;
        if (!haveKey_) return true;
        if (remove) batch_.DeleteValue(root_, path_, name);
        else batch_.SetValue(root_, path_, name, value->type, std::move(value->data));
        return true;
    }

    std::optional<RegValue> ParseData(View data) {
        RegValue v;
        if (data.starts_with(u"\"")) {
            std::size_t pos = 1;
            auto s = ParseQuoted(data, pos);
            if (!s || !OnlyTrailing(data.substr(pos))) return std::nullopt;
            v.type = kRegSz;
            v.data = RegSzData(ToAnsi(*s));
            return v;
        }
        if (data.starts_with(u"dword:")) {
            View digits = data.substr(6);
            const std::size_t end = std::min(digits.find(u';'), digits.size());
            auto n = ParseHexNumber(Trim(digits.substr(0, end)));
            if (!n) return std::nullopt;
            v.type = kRegDword;
            v.data = RegDwordData(*n);
            return v;
        }
        std::size_t listStart;
        if (data.starts_with(u"hex:")) {
            v.type = kRegBinary;
            listStart = 4;
        } else if (data.starts_with(u"hex(")) {
            const std::size_t close = data.find(u"):");
            if (close == View::npos) return std::nullopt;
            auto t = ParseHexNumber(data.substr(4, close - 4));
            if (!t) return std::nullopt;
            v.type = *t;
            listStart = close + 2;
        } else {
            return std::nullopt;
        }
        auto bytes = ParseHexList(data.substr(listStart));
        if (!bytes) return std::nullopt;
        v.data = std::move(*bytes);
        // In a 5.00 file string types carry UTF-16; the interface speaks ANSI.
        if (unicode_ && IsRegStringType(v.type)) {
            Text wide(v.data.size() / 2, u'\0');
            for (std::size_t i = 0; i < wide.size(); ++i) wide[i] = LoadU16(&v.data[i * 2]);
            const std::string ansi = ToAnsi(wide);
            v.data.assign(ansi.begin(), ansi.end());
        }
        return v;
    }

    Text text_;
    bool unicode_;
    RegBatch batch_;
    bool sawKeyLine_ = false;
    bool haveKey_ = false;
    RegRoot root_ = RegRoot::CurrentUser;
    std::string path_;
};

}  // namespace

RegImportResult ImportRegistryData(Registry& registry, std::span<const std::uint8_t> fileBytes, Error* error) {
    Text text;
    bool unicode = false;
    if (fileBytes.size() >= 2 && fileBytes[0] == 0xFF && fileBytes[1] == 0xFE) {
        unicode = true;
        text.resize((fileBytes.size() - 2) / 2);
        for (std::size_t i = 0; i < text.size(); ++i) text[i] = LoadU16(&fileBytes[2 + i * 2]);
    } else {
        text = AnsiToUtf16(std::string_view(reinterpret_cast<const char*>(fileBytes.data()), fileBytes.size()));
    }
    // Only a real 5.00 file stores string types as UTF-16; one without a BOM
    // is read as ANSI throughout, REGEDIT4 always.
    auto batch = Parser(std::move(text), unicode).Run();
    if (!batch) return RegImportResult::BadFormat;
    return registry.Commit(*batch, error) ? RegImportResult::Ok : RegImportResult::CannotWrite;
}

RegImportResult ImportRegistryFile(Registry& registry, std::string_view file, Error* error) {
    const auto bytes = ReadWholeFile(file, error);
    if (!bytes) return RegImportResult::CannotRead;
    return ImportRegistryData(registry, *bytes, error);
}

}  // namespace dravolo
