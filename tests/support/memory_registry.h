#pragma once
// A registry held in memory, for tests of code that only reads and writes
// values. Names compare without case; order of values is insertion order.

#include <map>

#include "common/base/text.h"
#include "common/platform/registry.h"

namespace dravolo::test {

class MemoryRegistry : public Registry {
public:
    bool KeyExists(RegRoot root, std::string_view path) override { return FindKey(root, path) != nullptr; }
    std::optional<RegValue> QueryValue(RegRoot root, std::string_view path, std::string_view name) override;
    std::optional<std::vector<RegValue>> EnumValues(RegRoot root, std::string_view path) override;
    std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root, std::string_view path) override;
    bool CommitBatch(const RegBatch& batch, Error* error) override;

    int commits = 0;
    bool failWrites = false;

private:
    struct Key {
        std::string name;
        std::vector<RegValue> values;
        std::vector<Key> subkeys;
    };
    Key* FindKey(RegRoot root, std::string_view path, bool create = false);

    Key currentUser_, localMachine_;
};

}  // namespace dravolo::test
