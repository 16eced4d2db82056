#include "common/platform/posix/hive.h"

#include <algorithm>
#include <chrono>

#include "common/platform/posix/hive_text.h"

namespace dravolo::hive {
namespace {

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";
constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kTicks1601To1970 = 116'444'736'000'000'000ull;
constexpr std::uint32_t kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegMultiSz = 7;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view SkipBlanks(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    return s.substr(i);
}

// A line without its LF and the CR before it, as Wine reads it.
std::string_view Content(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::vector<std::u16string_view> SplitPath(std::u16string_view path) {
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(u'\\', start), path.size());
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

Bytes Utf16Bytes(std::u16string_view text, bool terminate) {
    Bytes out;
    out.reserve((text.size() + 1) * 2);
    for (char16_t c : text) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    if (terminate) out.insert(out.end(), {0, 0});
    return out;
}

template <typename T>
auto LowerBoundByName(std::vector<T>& items, std::u16string_view name, std::u16string_view (*nameOf)(const T&)) {
    return std::lower_bound(items.begin(), items.end(), name,
                            [&](const T& item, std::u16string_view n) { return CompareNames(nameOf(item), n) < 0; });
}

std::u16string_view SubkeyName(const std::unique_ptr<Key>& k) { return k->name; }
std::u16string_view ValueName(const Value& v) { return v.name; }

void Touch(Key& key, std::uint64_t now) {
    key.dirty = true;
    key.modified = now;
}

// Where the data begins: after the name, the '=' and blanks.
std::optional<std::size_t> DataStart(std::string_view text, std::u16string* name) {
    std::size_t p = text.size() - SkipBlanks(text).size();
    if (p >= text.size()) return std::nullopt;
    std::u16string parsed;
    if (text[p] == '@') {
        ++p;
    } else if (text[p] == '"') {
        ++p;
        auto n = UnescapeString(text, p, '"');
        if (!n) return std::nullopt;
        parsed = std::move(*n);
    } else {
        return std::nullopt;
    }
    while (p < text.size() && IsBlank(text[p])) ++p;
    if (p >= text.size() || text[p] != '=') return std::nullopt;
    ++p;
    while (p < text.size() && IsBlank(text[p])) ++p;
    if (name) *name = std::move(parsed);
    return p;
}

// The line that ends a hex value cut short at the end of a file once anything
// is written after it: no hex digit, so Wine skips the value as it did when
// the file ended there, and nothing after it is taken into the value.
constexpr std::string_view kClosesOpenValue = ";; hex data above cut short\n";

bool EndsWithBackslash(std::string_view s) {
    const std::size_t last = s.find_last_not_of(" \t");
    return last != std::string_view::npos && s[last] == '\\';
}

bool IsHexData(std::string_view text) {
    const auto start = DataStart(text, nullptr);
    return start && text.substr(*start).starts_with("hex");
}

// Comma-separated bytes; a backslash at a line end continues on the next line.
std::optional<Bytes> ParseHexBytes(std::string_view text, std::size_t p) {
    Bytes out;
    for (;;) {
        while (p < text.size() && IsBlank(text[p])) ++p;
        if (p >= text.size()) break;
        if (text[p] == '\\') {
            ++p;
            while (p < text.size() && IsBlank(text[p])) ++p;
            if (p >= text.size() || text[p] != '\n') return std::nullopt;
            ++p;
            continue;
        }
        auto byte = ParseHex(text, p, 2);
        if (!byte) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(*byte));
        while (p < text.size() && IsBlank(text[p])) ++p;
        if (p < text.size() && text[p] == ',') ++p;
    }
    return out;
}

std::string FormatKeyHeader(const Key& key, const std::string& path) {
    std::string out =
        "[" + path + "] " + std::to_string(static_cast<std::uint32_t>(UnixFromFileTime(key.modified))) + "\n";
    out += "#time=" + Hex(key.modified >> 32) + Hex(key.modified & 0xFFFFFFFFu, 8) + "\n";
    return out;
}

// Wine writes a key when it holds values or has no subkeys (or carries
// options); a key with only subkeys exists implicitly through them. The root
// is written only for its own values.
bool ShouldWrite(const Key& key, bool isRoot) {
    if (!key.values.empty() || !key.extraLines.empty()) return true;
    return !isRoot && key.subkeys.empty();
}

// A line we keep as it was read: Content() took off its LF and one CR, so a
// line that still ends in a CR gets that one back, or every rewrite would
// lose one.
void AppendLine(std::string& out, std::string_view line) {
    out += line;
    if (!line.empty() && line.back() == '\r') out += '\r';
    out += '\n';
}

// The text of a key we write ourselves.
std::string FormatKey(const Key& key, const std::string& path) {
    std::string out = "\n" + FormatKeyHeader(key, path);
    for (const std::string& line : key.extraLines) AppendLine(out, line);
    for (const Value& v : key.values) out += FormatValue(v);
    return out;
}

// Collects the file text piece by piece. Keys go out in Wine's order, which
// need not be the order of the file they were read from, so a key's text may
// end where the file ended: without a line feed, or inside a hex value whose
// next line never came. Before anything follows such a piece it gets its line
// feed and a comment line for the open value to take, or the next key's first
// line would be joined to it. When settling, the owner's raw text gets the
// same ending, so it stays the text a fresh read would give it.
class HiveWriter {
public:
    explicit HiveWriter(bool settle) : settle_(settle) {}

    void Add(std::string_view piece, Key* owner, std::string* ownerText) {
        if (piece.empty()) return;
        std::string ending;
        if (!out_.empty() && out_.back() != '\n') ending += '\n';
        if (lastOpen_) ending += kClosesOpenValue;
        if (!ending.empty()) {
            out_ += ending;
            if (settle_ && lastText_) *lastText_ += ending;
            if (settle_ && lastKey_) lastKey_->endsInOpenValue = false;
        }
        out_ += piece;
        lastKey_ = owner;
        lastText_ = ownerText;
        lastOpen_ = owner && owner->endsInOpenValue && !owner->dirty;
    }

    void AddKeys(Key& key, const std::string& path, bool isRoot) {
        if (!key.dirty && !key.raw.empty()) {
            Add(key.raw, &key, &key.raw);
        } else if (settle_) {
            key.raw = ShouldWrite(key, isRoot) ? FormatKey(key, path) : std::string();
            key.dirty = false;
            key.endsInOpenValue = false;
            Add(key.raw, &key, &key.raw);
        } else if (ShouldWrite(key, isRoot)) {
            Add(FormatKey(key, path), &key, nullptr);
        }
        for (const auto& sub : key.subkeys) {
            const std::string name = EscapeString(sub->name, "[]");
            AddKeys(*sub, isRoot ? name : path + "\\\\" + name, false);
        }
    }

    std::string Take() { return std::move(out_); }

private:
    bool settle_;
    std::string out_;
    Key* lastKey_ = nullptr;
    std::string* lastText_ = nullptr;
    bool lastOpen_ = false;
};

// Inserts or replaces; true when the key already had a value of that name.
bool PutValue(Key& key, Value value) {
    auto it = LowerBoundByName(key.values, value.name, ValueName);
    if (it != key.values.end() && NamesEqual(it->name, value.name)) {
        *it = std::move(value);
        return true;
    }
    key.values.insert(it, std::move(value));
    return false;
}

Key& AddSubkey(Key& parent, std::u16string_view name) {
    auto it = LowerBoundByName(parent.subkeys, name, SubkeyName);
    if (it != parent.subkeys.end() && NamesEqual((*it)->name, name)) return **it;
    auto key = std::make_unique<Key>();
    key->name = std::u16string(name);
    return **parent.subkeys.insert(it, std::move(key));
}

}  // namespace

std::uint64_t FileTimeFromUnix(std::int64_t seconds) {
    return static_cast<std::uint64_t>(seconds) * kTicksPerSecond + kTicks1601To1970;
}

std::int64_t UnixFromFileTime(std::uint64_t ticks) {
    return (static_cast<std::int64_t>(ticks) - static_cast<std::int64_t>(kTicks1601To1970)) /
           static_cast<std::int64_t>(kTicksPerSecond);
}

std::uint64_t FileTimeNow() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100;
    return static_cast<std::uint64_t>(ticks) + kTicks1601To1970;
}

Key* Key::FindSubkey(std::u16string_view n) {
    auto it = LowerBoundByName(subkeys, n, SubkeyName);
    return it != subkeys.end() && NamesEqual((*it)->name, n) ? it->get() : nullptr;
}

const Key* Key::FindSubkey(std::u16string_view n) const { return const_cast<Key*>(this)->FindSubkey(n); }

const Value* Key::FindValue(std::u16string_view n) const {
    auto& vals = const_cast<std::vector<Value>&>(values);
    auto it = LowerBoundByName(vals, n, ValueName);
    return it != vals.end() && NamesEqual(it->name, n) ? &*it : nullptr;
}

std::string FormatValue(const Value& value) {
    std::string out;
    if (value.name.empty()) out = "@=";
    else out = "\"" + EscapeString(value.name, "\"") + "\"=";

    const Bytes& d = value.data;
    switch (value.type) {
    case kRegSz:
    case kRegExpandSz:
    case kRegMultiSz:
        // Only a string ending in its NUL has a string form; anything else
        // would not survive the round trip.
        if (d.size() >= 2 && d.size() % 2 == 0 && d[d.size() - 1] == 0 && d[d.size() - 2] == 0) {
            std::u16string text;
            for (std::size_t i = 0; i < d.size(); i += 2) text += static_cast<char16_t>(LoadU16(&d[i]));
            if (value.type != kRegSz) out += "str(" + Hex(value.type) + "):";
            out += "\"" + EscapeString(text, "\"", true) + "\"\n";
            return out;
        }
        break;
    case kRegDword:
        if (d.size() == 4) {
            out += "dword:" + Hex(LoadU32(d.data()), 8) + "\n";
            return out;
        }
        break;
    default: break;
    }
    out += value.type == kRegBinary ? std::string("hex:") : "hex(" + Hex(value.type) + "):";
    // Wine wraps once the line passes 76 characters, counting the separator
    // commas only when they trigger the wrap.
    std::size_t count = out.size();
    for (std::size_t i = 0; i < d.size(); ++i) {
        out += Hex(d[i], 2);
        count += 2;
        if (i + 1 < d.size()) {
            out += ',';
            if (++count > 76) {
                out += "\\\n  ";
                count = 2;
            }
        }
    }
    out += '\n';
    return out;
}

std::optional<Value> ParseValue(std::string_view text) {
    Value v;
    auto start = DataStart(text, &v.name);
    if (!start) return std::nullopt;
    std::size_t p = *start;
    const std::string_view data = text.substr(p);

    auto parseString = [&](std::size_t skip, std::uint32_t type) -> std::optional<Value> {
        std::size_t q = p + skip;
        auto s = UnescapeString(text, q, '"');
        if (!s) return std::nullopt;
        v.type = type;
        v.data = Utf16Bytes(*s, true);
        return v;
    };
    if (data.starts_with("\"")) return parseString(1, kRegSz);
    if (data.starts_with("str:\"")) return parseString(5, kRegSz);
    if (data.starts_with("str(2):\"")) return parseString(8, kRegExpandSz);
    if (data.starts_with("str(7):\"")) return parseString(8, kRegMultiSz);
    if (data.starts_with("dword:")) {
        p += 6;
        auto n = ParseHex(text, p, 8);
        if (!n) return std::nullopt;
        v.type = kRegDword;
        v.data.resize(4);
        StoreU32(v.data.data(), static_cast<std::uint32_t>(*n));
        return v;
    }
    if (data.starts_with("hex:")) {
        v.type = kRegBinary;
        p += 4;
    } else if (data.starts_with("hex(")) {
        p += 4;
        auto t = ParseHex(text, p, 8);
        if (!t || text.substr(p, 2) != "):") return std::nullopt;
        v.type = static_cast<std::uint32_t>(*t);
        p += 2;
    } else {
        return std::nullopt;
    }
    auto bytes = ParseHexBytes(text, p);
    if (!bytes) return std::nullopt;
    v.data = std::move(*bytes);
    return v;
}

Hive::Hive() : root_(std::make_unique<Key>()) {}
Hive::Hive(Hive&&) noexcept = default;
Hive& Hive::operator=(Hive&&) noexcept = default;
Hive::~Hive() = default;

std::optional<Hive> Hive::Parse(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t nl = text.find('\n', start);
        const std::size_t end = nl == std::string_view::npos ? text.size() : nl + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    if (lines.empty() || Content(lines[0]) != kSignature) return std::nullopt;

    Hive hive;
    std::string pending;  // blank lines, owned by whatever comes next
    std::string scratch;  // text of a repeated key block, which cannot stay raw
    std::string* target = &hive.header_;
    Key* current = nullptr;

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::string_view content = Content(line);
        const std::string_view trimmed = SkipBlanks(content);
        if (trimmed.empty()) {
            pending += line;
            continue;
        }
        if (trimmed[0] == '[') {
            std::size_t p = 1;
            auto path = UnescapeString(trimmed, p, ']');
            if (path) {
                bool created = false;
                Key& key = hive.Ensure(*path, 0, created);
                while (p < trimmed.size() && IsBlank(trimmed[p])) ++p;
                std::uint64_t seconds = 0;
                bool haveSeconds = false;
                while (p < trimmed.size() && trimmed[p] >= '0' && trimmed[p] <= '9' && seconds < (1ull << 40)) {
                    seconds = seconds * 10 + static_cast<std::uint64_t>(trimmed[p++] - '0');
                    haveSeconds = true;
                }
                if (haveSeconds && key.modified == 0)
                    key.modified = FileTimeFromUnix(static_cast<std::int64_t>(seconds));
                if (!key.raw.empty() || key.dirty) {
                    // Wine merges a repeated key; we do too and write it anew.
                    key.dirty = true;
                    scratch.clear();
                    target = &scratch;
                } else {
                    target = &key.raw;
                }
                *target += pending;
                *target += line;
                pending.clear();
                current = &key;
                continue;
            }
            // A key line we cannot read: wineserver skips it, and so do we,
            // but the file must not be rewritten by us any more. What follows
            // belongs to no key until the next readable key line.
            hive.writable_ = false;
            *target += pending;
            pending.clear();
            *target += line;
            current = nullptr;
            continue;
        }
        *target += pending;
        pending.clear();
        *target += line;
        if (!current) continue;

        if (trimmed[0] == '@' || trimmed[0] == '"') {
            std::string joined(content);
            bool openValue = false;  // the file ended while the value went on
            if (IsHexData(content)) {
                while (EndsWithBackslash(joined) && i + 1 < lines.size()) {
                    ++i;
                    *target += lines[i];
                    joined += '\n';
                    joined += Content(lines[i]);
                }
                openValue = EndsWithBackslash(joined);
            }
            if (auto value = ParseValue(joined)) {
                if (PutValue(*current, std::move(*value))) current->dirty = true;
            } else {
                std::size_t start = 0;
                while (start <= joined.size()) {
                    const std::size_t nl = std::min(joined.find('\n', start), joined.size());
                    current->extraLines.push_back(joined.substr(start, nl - start));
                    start = nl + 1;
                }
                if (openValue) {
                    current->extraLines.emplace_back(kClosesOpenValue.substr(0, kClosesOpenValue.size() - 1));
                    current->endsInOpenValue = true;
                }
            }
        } else if (trimmed.starts_with("#time=")) {
            std::size_t p = 6;
            if (auto t = ParseHex(trimmed, p, 16)) current->modified = *t;
            else current->extraLines.emplace_back(content);
        } else {
            current->extraLines.emplace_back(content);
        }
    }
    hive.trailer_ = std::move(pending);
    return hive;
}

Hive Hive::CreateEmpty(std::string_view relativeTo, std::string_view arch) {
    Hive hive;
    hive.header_ = std::string(kSignature) + "\n;; All keys relative to " + std::string(relativeTo) + "\n";
    if (!arch.empty()) hive.header_ += "\n#arch=" + std::string(arch) + "\n";
    return hive;
}

std::string Hive::SerializeAndSettle() {
    HiveWriter writer(true);
    writer.Add(header_, nullptr, &header_);
    writer.AddKeys(*root_, std::string(), true);
    writer.Add(trailer_, nullptr, &trailer_);
    return writer.Take();
}

std::string Hive::Serialize() const {
    // The writer settles nothing here; it only reads the keys.
    HiveWriter writer(false);
    writer.Add(header_, nullptr, nullptr);
    writer.AddKeys(*root_, std::string(), true);
    writer.Add(trailer_, nullptr, nullptr);
    return writer.Take();
}

std::string Hive::arch() const {
    std::size_t start = 0;
    while (start < header_.size()) {
        const std::size_t nl = std::min(header_.find('\n', start), header_.size());
        const std::string_view line = Content(std::string_view(header_).substr(start, nl - start));
        if (line.starts_with("#arch=")) return std::string(line.substr(6));
        start = nl + 1;
    }
    return {};
}

const Key* Hive::Find(std::u16string_view path) const { return const_cast<Hive*>(this)->Find(path); }

Key* Hive::Find(std::u16string_view path) {
    Key* key = root_.get();
    for (std::u16string_view part : SplitPath(path)) {
        key = key->FindSubkey(part);
        if (!key) return nullptr;
    }
    return key;
}

Key& Hive::Ensure(std::u16string_view path, std::uint64_t now, bool& created) {
    Key* key = root_.get();
    for (std::u16string_view part : SplitPath(path)) {
        if (Key* sub = key->FindSubkey(part)) {
            key = sub;
            continue;
        }
        Key& sub = AddSubkey(*key, part);
        if (now != 0) {
            // Wine stamps the parent when a subkey appears under it.
            Touch(*key, now);
            Touch(sub, now);
        }
        created = true;
        key = &sub;
    }
    return *key;
}

bool Hive::CreateKey(std::u16string_view path, std::uint64_t now) {
    bool created = false;
    Ensure(path, now, created);
    return created;
}

bool Hive::SetValue(std::u16string_view path, std::u16string_view name, std::uint32_t type, const Bytes& data,
                    std::uint64_t now) {
    bool created = false;
    Key& key = Ensure(path, now, created);
    if (const Value* old = key.FindValue(name); old && old->type == type && old->data == data) return created;
    Value v;
    v.name = std::u16string(name);
    v.type = type;
    v.data = data;
    // A value that exists keeps the case of its name, as Windows keeps it.
    auto it = LowerBoundByName(key.values, name, ValueName);
    if (it != key.values.end() && NamesEqual(it->name, name)) v.name = it->name;
    PutValue(key, std::move(v));
    Touch(key, now);
    return true;
}

bool Hive::DeleteValue(std::u16string_view path, std::u16string_view name, std::uint64_t now) {
    Key* key = Find(path);
    if (!key) return false;
    auto it = LowerBoundByName(key->values, name, ValueName);
    if (it == key->values.end() || !NamesEqual(it->name, name)) return false;
    key->values.erase(it);
    Touch(*key, now);
    return true;
}

bool Hive::DeleteTree(std::u16string_view path, std::uint64_t now) {
    auto parts = SplitPath(path);
    if (parts.empty()) return false;
    Key* parent = root_.get();
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        parent = parent->FindSubkey(parts[i]);
        if (!parent) return false;
    }
    auto it = LowerBoundByName(parent->subkeys, parts.back(), SubkeyName);
    if (it == parent->subkeys.end() || !NamesEqual((*it)->name, parts.back())) return false;
    parent->subkeys.erase(it);
    Touch(*parent, now);
    return true;
}

}  // namespace dravolo::hive
