#pragma once
// A registry held in memory, with the names-without-case rules of the real
// one: the fuzz targets import, export and compare registries thousands of
// times a second, which the hive files could not keep up with.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/platform/registry.h"

namespace dravolo::fuzz {

class MemoryRegistry final : public Registry {
public:
    struct Key {
        std::string name;
        std::vector<RegValue> values;                         // in the order they were created
        std::map<std::string, std::unique_ptr<Key>> subkeys;  // by folded name
    };

    bool KeyExists(RegRoot root, std::string_view path) override;
    std::optional<RegValue> QueryValue(RegRoot root, std::string_view path, std::string_view name) override;
    std::optional<std::vector<RegValue>> EnumValues(RegRoot root, std::string_view path) override;
    std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root, std::string_view path) override;
    bool CommitBatch(const RegBatch& batch, Error* error) override;

    const Key& root(RegRoot r) const { return r == RegRoot::CurrentUser ? user_ : machine_; }

private:
    Key* Find(RegRoot root, std::string_view path, bool create);

    Key user_, machine_;
};

// Same keys (names compared without case) holding the same values.
bool SameContents(const MemoryRegistry::Key& a, const MemoryRegistry::Key& b);

}  // namespace dravolo::fuzz
