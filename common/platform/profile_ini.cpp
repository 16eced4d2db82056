// Private-profile files. The document is kept as its lines, so that a write
// touches exactly one line and leaves comments, blank lines, odd spacing and
// line ends the emulators (or users) put there as they were.

#include "common/platform/profile_ini.h"

#include <cstdint>

#include "common/base/text.h"
#include "common/platform/winfs.h"

namespace dravolo {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// "[name]" with blanks allowed around; the name ends at the first ']'.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return TrimBlanks(line.substr(1, close - 1));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;  // raw: trimmed, quotes still on
};

// "key=value"; comment lines and lines without '=' are no keys.
std::optional<KeyLine> ParseKeyLine(std::string_view line) {
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return std::nullopt;
    const auto eq = trimmed.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view key = TrimBlanks(trimmed.substr(0, eq));
    if (key.empty()) return std::nullopt;
    return KeyLine{key, TrimBlanks(trimmed.substr(eq + 1))};
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view content) {
    IniDocument doc;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const auto nl = content.find('\n', pos);
        if (nl == std::string_view::npos) {
            doc.lines_.push_back({std::string(content.substr(pos)), ""});
            break;
        }
        std::size_t end = nl;
        std::string ending = "\n";
        if (end > pos && content[end - 1] == '\r') {
            --end;
            ending = "\r\n";
        }
        doc.lines_.push_back({std::string(content.substr(pos, end - pos)), std::move(ending)});
        pos = nl + 1;
    }
    return doc;
}

std::string IniDocument::Serialize() const {
    std::size_t size = 0;
    for (const auto& l : lines_) size += l.text.size() + l.ending.size();
    std::string out;
    out.reserve(size);
    for (const auto& l : lines_) {
        out += l.text;
        out += l.ending;
    }
    return out;
}

std::optional<std::size_t> IniDocument::FindSection(std::string_view section) const {
    const std::string_view wanted = TrimBlanks(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = SectionName(lines_[i].text);
        if (name && EqualsNoCase(*name, wanted)) return i;
    }
    return std::nullopt;
}

std::size_t IniDocument::SectionEnd(std::size_t sectionLine) const {
    for (std::size_t i = sectionLine + 1; i < lines_.size(); ++i) {
        if (SectionName(lines_[i].text)) return i;
    }
    return lines_.size();
}

std::optional<std::size_t> IniDocument::FindKey(std::size_t sectionLine, std::string_view key) const {
    const std::string_view wanted = TrimBlanks(key);
    const std::size_t end = SectionEnd(sectionLine);
    for (std::size_t i = sectionLine + 1; i < end; ++i) {
        const auto kl = ParseKeyLine(lines_[i].text);
        if (kl && EqualsNoCase(kl->key, wanted)) return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    const auto s = FindSection(section);
    if (!s) return std::nullopt;
    const auto k = FindKey(*s, key);
    if (!k) return std::nullopt;
    return std::string(Unquote(ParseKeyLine(lines_[*k].text)->value));
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string newLine = std::string(TrimBlanks(key)) + "=" + std::string(value);
    const auto s = FindSection(section);
    if (!s) {
        // Appended at the very end, after a line end if the file lacks one.
        if (!lines_.empty() && lines_.back().ending.empty()) lines_.back().ending = "\r\n";
        lines_.push_back({"[" + std::string(TrimBlanks(section)) + "]", "\r\n"});
        lines_.push_back({newLine, "\r\n"});
        return;
    }
    if (const auto k = FindKey(*s, key)) {
        Line& line = lines_[*k];
        const auto kl = ParseKeyLine(line.text);
        if (kl->value == value) return;  // leave the line's own spacing alone
        // The key keeps the spelling it has in the file, as Windows does.
        line.text = std::string(kl->key) + "=" + std::string(value);
        return;
    }
    // After the section's last non-blank line, so blank lines separating it
    // from the next section stay where they are.
    std::size_t at = SectionEnd(*s);
    while (at > *s + 1 && TrimBlanks(lines_[at - 1].text).empty()) --at;
    if (lines_[at - 1].ending.empty()) lines_[at - 1].ending = "\r\n";
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{newLine, "\r\n"});
}

void IniDocument::DeleteKey(std::string_view section, std::string_view key) {
    const auto s = FindSection(section);
    if (!s) return;
    if (const auto k = FindKey(*s, key)) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*k));
}

void IniDocument::DeleteSection(std::string_view section) {
    const auto s = FindSection(section);
    if (!s) return;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*s),
                 lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(*s)));
}

std::vector<std::string> IniDocument::Sections() const {
    std::vector<std::string> out;
    for (const auto& l : lines_) {
        const auto name = SectionName(l.text);
        if (!name) continue;
        bool seen = false;
        for (const auto& n : out) seen = seen || EqualsNoCase(n, *name);
        if (!seen) out.emplace_back(*name);
    }
    return out;
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const {
    std::vector<std::string> out;
    const auto s = FindSection(section);
    if (!s) return out;
    const std::size_t end = SectionEnd(*s);
    for (std::size_t i = *s + 1; i < end; ++i) {
        if (const auto kl = ParseKeyLine(lines_[i].text)) out.emplace_back(kl->key);
    }
    return out;
}

namespace {

// A missing or unreadable file reads as empty, as GetPrivateProfileString has it.
std::optional<IniDocument> LoadDocument(std::string_view file, bool& existed) {
    existed = FileExists(file);
    if (!existed) return IniDocument::Parse({});
    const auto bytes = ReadWholeFile(file);
    if (!bytes) return std::nullopt;
    return IniDocument::Parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

}  // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    std::string_view file) {
    bool existed = false;
    const auto doc = LoadDocument(file, existed);
    if (doc) {
        if (auto v = doc->Get(section, key)) return std::move(*v);
    }
    return std::string(defaultValue);
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue, std::string_view file) {
    const std::string text = GetPrivateProfileString(section, key, "", file);
    if (text.empty()) return defaultValue;
    // Leading blanks, a sign, then decimal digits up to the first other
    // character; no digits gives 0. Wraps at 32 bits like the Windows call.
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}

// An empty key with no value stands for the NULL key name: the whole section goes.
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::optional<std::string_view> value,
                               std::string_view file) {
    bool existed = false;
    auto doc = LoadDocument(file, existed);
    if (!doc) return false;
    const std::string before = doc->Serialize();
    if (key.empty() && !value) doc->DeleteSection(section);
    else if (!value) doc->DeleteKey(section, key);
    else doc->Set(section, key, *value);
    const std::string after = doc->Serialize();
    if (existed && after == before) return true;
    if (!existed && !value) return true;  // deleting from nothing creates nothing
    return WriteWholeFileAtomic(file, std::span(reinterpret_cast<const std::uint8_t*>(after.data()), after.size()));
}

}  // namespace dravolo
