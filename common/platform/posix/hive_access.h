#pragma once
// The registry operations on parsed hives, shared by the prefix registry (its
// hive files) and the snapshots read back from Wine's "reg export" while a
// wineserver owns the registry.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/platform/posix/hive.h"
#include "common/platform/registry.h"

namespace dravolo::hive {

// What a key holds, converted for the A-function interface.
bool KeyIn(const Hive* h, std::string_view path);
std::optional<RegValue> ValueIn(const Hive* h, std::string_view path, std::string_view name);
std::optional<std::vector<RegValue>> ValuesIn(const Hive* h, std::string_view path);
std::optional<std::vector<std::string>> SubkeysIn(const Hive* h, std::string_view path);

// Applies one change; true when the hive changed.
bool Apply(Hive& h, const RegBatch::Change& change, std::uint64_t now);

// True for "" and paths of only backslashes: the hive's root.
bool IsRootPath(std::string_view path);

// A registry held only in memory: two empty hives. Wine's exports are parsed
// into one of these to be read.
class MemoryHives final : public Registry {
public:
    MemoryHives();
    bool KeyExists(RegRoot root, std::string_view path) override;
    std::optional<RegValue> QueryValue(RegRoot root, std::string_view path, std::string_view name) override;
    std::optional<std::vector<RegValue>> EnumValues(RegRoot root, std::string_view path) override;
    std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root, std::string_view path) override;
    bool CommitBatch(const RegBatch& batch, Error* error) override;

private:
    Hive& Of(RegRoot root) { return root == RegRoot::CurrentUser ? user_ : machine_; }
    Hive user_;
    Hive machine_;
};

}  // namespace dravolo::hive
