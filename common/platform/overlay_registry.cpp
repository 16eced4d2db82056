#include "common/platform/overlay_registry.h"

#include <cstdio>

#include "common/base/text.h"
#include "common/platform/regfile.h"

namespace dravolo {

namespace {

std::string_view Trimmed(std::string_view path) {
    while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return path;
}

enum class Relation { Unrelated, Same, Above, Below };

// Where the change's key lies seen from the key asked about: the same key,
// above it (an ancestor), below it (a descendant).
Relation RelationOf(const RegBatch::Change& change, RegRoot root, std::string_view path) {
    if (change.root != root) return Relation::Unrelated;
    const std::string_view changed = Trimmed(change.path), asked = Trimmed(path);
    if (EqualsNoCase(changed, asked)) return Relation::Same;
    if (changed.empty() || (changed.size() < asked.size() && asked[changed.size()] == '\\' &&
                            EqualsNoCase(asked.substr(0, changed.size()), changed)))
        return Relation::Above;
    if (asked.empty() || (asked.size() < changed.size() && changed[asked.size()] == '\\' &&
                          EqualsNoCase(changed.substr(0, asked.size()), asked)))
        return Relation::Below;
    return Relation::Unrelated;
}

bool Creates(const RegBatch::Change& change) {
    return change.op == RegBatch::Op::CreateKey || change.op == RegBatch::Op::SetValue;
}

// The first key name below `path` on the way to the change's key.
std::string ChildToward(const RegBatch::Change& change, std::string_view path) {
    std::string_view rest = Trimmed(change.path).substr(Trimmed(path).size());
    while (!rest.empty() && rest.front() == '\\') rest.remove_prefix(1);
    return std::string(rest.substr(0, rest.find('\\')));
}

bool IsDirectChild(const RegBatch::Change& change, std::string_view path) {
    std::string_view rest = Trimmed(change.path).substr(Trimmed(path).size());
    while (!rest.empty() && rest.front() == '\\') rest.remove_prefix(1);
    return rest.find('\\') == std::string_view::npos;
}

std::string TypeName(std::uint32_t type) {
    switch (type) {
    case kRegSz: return "REG_SZ";
    case kRegExpandSz: return "REG_EXPAND_SZ";
    case kRegBinary: return "REG_BINARY";
    case kRegDword: return "REG_DWORD";
    case kRegMultiSz: return "REG_MULTI_SZ";
    case kRegQword: return "REG_QWORD";
    default: return "type " + std::to_string(type);
    }
}

}  // namespace

bool OverlayRegistry::KeyExists(RegRoot root, std::string_view path) {
    bool exists = base_.KeyExists(root, path);
    for (const auto& change : changes_) {
        const Relation r = RelationOf(change, root, path);
        if (change.op == RegBatch::Op::DeleteTree && (r == Relation::Same || r == Relation::Above)) exists = false;
        else if (Creates(change) && (r == Relation::Same || r == Relation::Below)) exists = true;
    }
    return exists;
}

std::optional<RegValue> OverlayRegistry::QueryValue(RegRoot root, std::string_view path, std::string_view name) {
    const auto values = EnumValues(root, path);
    if (!values) return std::nullopt;
    for (const RegValue& value : *values)
        if (EqualsNoCase(value.name, name)) return value;
    return std::nullopt;
}

std::optional<std::vector<RegValue>> OverlayRegistry::EnumValues(RegRoot root, std::string_view path) {
    std::optional<std::vector<RegValue>> values = base_.EnumValues(root, path);
    for (const auto& change : changes_) {
        const Relation r = RelationOf(change, root, path);
        if (change.op == RegBatch::Op::DeleteTree && (r == Relation::Same || r == Relation::Above)) {
            values.reset();
        } else if (Creates(change) && (r == Relation::Same || r == Relation::Below)) {
            if (!values) values.emplace();
            if (change.op != RegBatch::Op::SetValue || r != Relation::Same) continue;
            bool replaced = false;
            for (RegValue& value : *values)
                if (EqualsNoCase(value.name, change.value.name)) {
                    value.type = change.value.type;
                    value.data = change.value.data;
                    replaced = true;
                }
            if (!replaced) values->push_back(change.value);
        } else if (change.op == RegBatch::Op::DeleteValue && r == Relation::Same && values) {
            std::erase_if(*values, [&](const RegValue& v) { return EqualsNoCase(v.name, change.value.name); });
        }
    }
    return values;
}

std::optional<std::vector<std::string>> OverlayRegistry::EnumSubkeys(RegRoot root, std::string_view path) {
    std::optional<std::vector<std::string>> names = base_.EnumSubkeys(root, path);
    auto has = [&](const std::string& name) {
        for (const auto& n : *names)
            if (EqualsNoCase(n, name)) return true;
        return false;
    };
    for (const auto& change : changes_) {
        const Relation r = RelationOf(change, root, path);
        if (change.op == RegBatch::Op::DeleteTree && (r == Relation::Same || r == Relation::Above)) {
            names.reset();
        } else if (change.op == RegBatch::Op::DeleteTree && r == Relation::Below && names) {
            // Only a direct child's deletion takes a name away.
            if (IsDirectChild(change, path)) {
                const std::string child = ChildToward(change, path);
                std::erase_if(*names, [&](const std::string& n) { return EqualsNoCase(n, child); });
            }
        } else if (Creates(change) && (r == Relation::Same || r == Relation::Below)) {
            if (!names) names.emplace();
            if (r == Relation::Below) {
                const std::string child = ChildToward(change, path);
                if (!has(child)) names->push_back(child);
            }
        }
    }
    return names;
}

bool OverlayRegistry::CommitBatch(const RegBatch& batch, Error* /*error*/) {
    for (const auto& change : batch.changes()) {
        changes_.push_back(change);
        if (listener_) listener_(change);
    }
    return true;
}

std::string DescribeRegistryChange(const RegBatch::Change& change) {
    const std::string key = RootedKeyName(change.root, Trimmed(change.path));
    switch (change.op) {
    case RegBatch::Op::CreateKey: return "registry key " + key;
    case RegBatch::Op::DeleteTree: return "registry delete key " + key;
    case RegBatch::Op::DeleteValue:
        return "registry delete " + key + " " + (change.value.name.empty() ? "@" : change.value.name);
    case RegBatch::Op::SetValue: break;
    }
    std::string line = "registry " + key + " " + (change.value.name.empty() ? "@" : change.value.name) + " = " +
                       TypeName(change.value.type) + " ";
    const RegValue& v = change.value;
    if (v.type == kRegSz || v.type == kRegExpandSz) {
        line += "\"" + RegDataAsText(v.data) + "\"";
    } else if (v.type == kRegDword && v.data.size() == 4) {
        char text[32];
        std::snprintf(text, sizeof text, "0x%08x (%u)", *RegDataAsDword(v.data), *RegDataAsDword(v.data));
        line += text;
    } else {
        static const char digits[] = "0123456789abcdef";
        for (std::size_t i = 0; i < v.data.size(); ++i) {
            if (i) line += ',';
            line += digits[v.data[i] >> 4];
            line += digits[v.data[i] & 15];
        }
    }
    return line;
}

}  // namespace dravolo
