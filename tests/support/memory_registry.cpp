#include "tests/support/memory_registry.h"

#include <algorithm>

namespace dravolo::test {

MemoryRegistry::Key* MemoryRegistry::FindKey(RegRoot root, std::string_view path, bool create) {
    Key* key = root == RegRoot::CurrentUser ? &currentUser_ : &localMachine_;
    while (!path.empty()) {
        const auto slash = path.find('\\');
        const std::string_view part = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
        if (part.empty()) continue;
        auto it = std::find_if(key->subkeys.begin(), key->subkeys.end(),
                               [&](const Key& k) { return EqualsNoCase(k.name, part); });
        if (it == key->subkeys.end()) {
            if (!create) return nullptr;
            key->subkeys.push_back({std::string(part), {}, {}});
            it = key->subkeys.end() - 1;
        }
        key = &*it;
    }
    return key;
}

std::optional<RegValue> MemoryRegistry::QueryValue(RegRoot root, std::string_view path, std::string_view name) {
    Key* key = FindKey(root, path);
    if (!key) return std::nullopt;
    for (const auto& v : key->values)
        if (EqualsNoCase(v.name, name)) return v;
    return std::nullopt;
}

std::optional<std::vector<RegValue>> MemoryRegistry::EnumValues(RegRoot root, std::string_view path) {
    Key* key = FindKey(root, path);
    if (!key) return std::nullopt;
    return key->values;
}

std::optional<std::vector<std::string>> MemoryRegistry::EnumSubkeys(RegRoot root, std::string_view path) {
    Key* key = FindKey(root, path);
    if (!key) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& k : key->subkeys) names.push_back(k.name);
    return names;
}

bool MemoryRegistry::CommitBatch(const RegBatch& batch, Error* /*error*/) {
    if (failWrites) return false;
    ++commits;
    for (const auto& change : batch.changes()) {
        switch (change.op) {
        case RegBatch::Op::CreateKey: FindKey(change.root, change.path, true); break;
        case RegBatch::Op::SetValue: {
            Key* key = FindKey(change.root, change.path, true);
            auto it = std::find_if(key->values.begin(), key->values.end(),
                                   [&](const RegValue& v) { return EqualsNoCase(v.name, change.value.name); });
            if (it == key->values.end()) key->values.push_back(change.value);
            else {
                it->type = change.value.type;
                it->data = change.value.data;
            }
            break;
        }
        case RegBatch::Op::DeleteValue: {
            if (Key* key = FindKey(change.root, change.path))
                std::erase_if(key->values, [&](const RegValue& v) { return EqualsNoCase(v.name, change.value.name); });
            break;
        }
        case RegBatch::Op::DeleteTree: {
            const auto slash = change.path.rfind('\\');
            const std::string parent = slash == std::string::npos ? "" : change.path.substr(0, slash);
            const std::string leaf = slash == std::string::npos ? change.path : change.path.substr(slash + 1);
            if (Key* key = FindKey(change.root, parent))
                std::erase_if(key->subkeys, [&](const Key& k) { return EqualsNoCase(k.name, leaf); });
            break;
        }
        }
    }
    return true;
}

}  // namespace dravolo::test
