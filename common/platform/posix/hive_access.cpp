#include "common/platform/posix/hive_access.h"

#include "common/base/text.h"

namespace dravolo::hive {
namespace {

Bytes AnsiToStored(const Bytes& ansi) {
    const std::u16string wide = AnsiToUtf16(std::string_view(reinterpret_cast<const char*>(ansi.data()), ansi.size()));
    Bytes out(wide.size() * 2);
    for (std::size_t i = 0; i < wide.size(); ++i) StoreU16(&out[i * 2], wide[i]);
    return out;
}

// As RegQueryValueExA: whole UTF-16 units converted, NULs included; a stray
// odd byte has no character to become.
Bytes StoredToAnsi(const Bytes& stored) {
    std::u16string wide(stored.size() / 2, u'\0');
    for (std::size_t i = 0; i < wide.size(); ++i) wide[i] = LoadU16(&stored[i * 2]);
    const std::string ansi = Utf16ToAnsi(wide);
    return Bytes(ansi.begin(), ansi.end());
}

RegValue ToInterface(const Value& v) {
    RegValue out;
    out.name = Utf16ToAnsi(v.name);
    out.type = v.type;
    out.data = IsRegStringType(v.type) ? StoredToAnsi(v.data) : v.data;
    return out;
}

const Key* KeyAt(const Hive* h, std::string_view path) { return h ? h->Find(AnsiToUtf16(path)) : nullptr; }

}  // namespace

bool IsRootPath(std::string_view path) { return path.find_first_not_of('\\') == std::string_view::npos; }

bool KeyIn(const Hive* h, std::string_view path) { return KeyAt(h, path) != nullptr; }

std::optional<RegValue> ValueIn(const Hive* h, std::string_view path, std::string_view name) {
    const Key* key = KeyAt(h, path);
    const Value* value = key ? key->FindValue(AnsiToUtf16(name)) : nullptr;
    if (!value) return std::nullopt;
    return ToInterface(*value);
}

std::optional<std::vector<RegValue>> ValuesIn(const Hive* h, std::string_view path) {
    const Key* key = KeyAt(h, path);
    if (!key) return std::nullopt;
    std::vector<RegValue> out;
    out.reserve(key->values.size());
    for (const Value& v : key->values) out.push_back(ToInterface(v));
    return out;
}

std::optional<std::vector<std::string>> SubkeysIn(const Hive* h, std::string_view path) {
    const Key* key = KeyAt(h, path);
    if (!key) return std::nullopt;
    std::vector<std::string> out;
    out.reserve(key->subkeys.size());
    for (const auto& sub : key->subkeys) out.push_back(Utf16ToAnsi(sub->name));
    return out;
}

bool Apply(Hive& h, const RegBatch::Change& c, std::uint64_t now) {
    const std::u16string path = AnsiToUtf16(c.path);
    switch (c.op) {
    case RegBatch::Op::CreateKey: return h.CreateKey(path, now);
    case RegBatch::Op::SetValue: {
        const Bytes data = IsRegStringType(c.value.type) ? AnsiToStored(c.value.data) : c.value.data;
        return h.SetValue(path, AnsiToUtf16(c.value.name), c.value.type, data, now);
    }
    case RegBatch::Op::DeleteValue: return h.DeleteValue(path, AnsiToUtf16(c.value.name), now);
    case RegBatch::Op::DeleteTree: return h.DeleteTree(path, now);
    }
    return false;
}

MemoryHives::MemoryHives()
    : user_(Hive::CreateEmpty("REGISTRY\\\\User", "")), machine_(Hive::CreateEmpty("REGISTRY\\\\Machine", "")) {}

bool MemoryHives::KeyExists(RegRoot root, std::string_view path) { return KeyIn(&Of(root), path); }

std::optional<RegValue> MemoryHives::QueryValue(RegRoot root, std::string_view path, std::string_view name) {
    return ValueIn(&Of(root), path, name);
}

std::optional<std::vector<RegValue>> MemoryHives::EnumValues(RegRoot root, std::string_view path) {
    return ValuesIn(&Of(root), path);
}

std::optional<std::vector<std::string>> MemoryHives::EnumSubkeys(RegRoot root, std::string_view path) {
    return SubkeysIn(&Of(root), path);
}

bool MemoryHives::CommitBatch(const RegBatch& batch, Error* /*error*/) {
    for (const auto& c : batch.changes())
        if (c.op == RegBatch::Op::DeleteTree && IsRootPath(c.path)) return false;
    const std::uint64_t now = FileTimeNow();
    for (const auto& c : batch.changes()) Apply(Of(c.root), c, now);
    return true;
}

}  // namespace dravolo::hive
