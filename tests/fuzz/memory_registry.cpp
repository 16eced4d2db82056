#include "tests/fuzz/memory_registry.h"

#include <algorithm>

#include "common/base/text.h"

namespace dravolo::fuzz {
namespace {

std::vector<std::string_view> Parts(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::vector<RegValue>::iterator FindValue(std::vector<RegValue>& values, std::string_view name) {
    return std::find_if(values.begin(), values.end(), [&](const RegValue& v) { return EqualsNoCase(v.name, name); });
}

}  // namespace

MemoryRegistry::Key* MemoryRegistry::Find(RegRoot root, std::string_view path, bool create) {
    Key* key = root == RegRoot::CurrentUser ? &user_ : &machine_;
    for (std::string_view part : Parts(path)) {
        auto& slot = key->subkeys[LowerAnsi(part)];
        if (!slot) {
            if (!create) {
                key->subkeys.erase(LowerAnsi(part));
                return nullptr;
            }
            slot = std::make_unique<Key>();
            slot->name = std::string(part);
        }
        key = slot.get();
    }
    return key;
}

bool MemoryRegistry::KeyExists(RegRoot root, std::string_view path) { return Find(root, path, false) != nullptr; }

std::optional<RegValue> MemoryRegistry::QueryValue(RegRoot root, std::string_view path, std::string_view name) {
    Key* key = Find(root, path, false);
    if (!key) return std::nullopt;
    auto it = FindValue(key->values, name);
    if (it == key->values.end()) return std::nullopt;
    return *it;
}

std::optional<std::vector<RegValue>> MemoryRegistry::EnumValues(RegRoot root, std::string_view path) {
    Key* key = Find(root, path, false);
    if (!key) return std::nullopt;
    return key->values;
}

std::optional<std::vector<std::string>> MemoryRegistry::EnumSubkeys(RegRoot root, std::string_view path) {
    Key* key = Find(root, path, false);
    if (!key) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& [folded, sub] : key->subkeys) names.push_back(sub->name);
    return names;
}

bool MemoryRegistry::CommitBatch(const RegBatch& batch, Error* /*error*/) {
    for (const RegBatch::Change& c : batch.changes()) {
        switch (c.op) {
        case RegBatch::Op::CreateKey: Find(c.root, c.path, true); break;
        case RegBatch::Op::SetValue: {
            Key* key = Find(c.root, c.path, true);
            auto it = FindValue(key->values, c.value.name);
            if (it == key->values.end()) {
                key->values.push_back(c.value);
            } else {
                it->type = c.value.type;
                it->data = c.value.data;
            }
            break;
        }
        case RegBatch::Op::DeleteValue:
            if (Key* key = Find(c.root, c.path, false)) {
                auto it = FindValue(key->values, c.value.name);
                if (it != key->values.end()) key->values.erase(it);
            }
            break;
        case RegBatch::Op::DeleteTree: {
            auto parts = Parts(c.path);
            if (parts.empty()) return false;
            std::string parent;
            for (std::size_t i = 0; i + 1 < parts.size(); ++i) parent += std::string(parts[i]) + "\\";
            if (Key* key = Find(c.root, parent, false)) key->subkeys.erase(LowerAnsi(parts.back()));
            break;
        }
        }
    }
    return true;
}

bool SameContents(const MemoryRegistry::Key& a, const MemoryRegistry::Key& b) {
    if (a.values.size() != b.values.size() || a.subkeys.size() != b.subkeys.size()) return false;
    for (const RegValue& v : a.values) {
        auto it = std::find_if(b.values.begin(), b.values.end(),
                               [&](const RegValue& w) { return EqualsNoCase(v.name, w.name); });
        if (it == b.values.end() || it->type != v.type || it->data != v.data) return false;
    }
    for (const auto& [folded, sub] : a.subkeys) {
        auto it = b.subkeys.find(folded);
        if (it == b.subkeys.end() || !SameContents(*sub, *it->second)) return false;
    }
    return true;
}

}  // namespace dravolo::fuzz
