#pragma once
// A registry that is never written: reads see the base registry with the
// changes made through this object on top, and every change is handed to a
// listener as it is committed. A dry run writes through it, so code that reads
// back what it wrote (ePSXe's start options, say) behaves as it really would.

#include <functional>
#include <vector>

#include "common/platform/registry.h"

namespace dravolo {

class OverlayRegistry : public Registry {
public:
    using Listener = std::function<void(const RegBatch::Change&)>;
    OverlayRegistry(Registry& base, Listener listener) : base_(base), listener_(std::move(listener)) {}

    bool KeyExists(RegRoot root, std::string_view path) override;
    std::optional<RegValue> QueryValue(RegRoot root, std::string_view path, std::string_view name) override;
    std::optional<std::vector<RegValue>> EnumValues(RegRoot root, std::string_view path) override;
    std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root, std::string_view path) override;
    bool CommitBatch(const RegBatch& batch, Error* error) override;

    const std::vector<RegBatch::Change>& changes() const { return changes_; }

private:
    Registry& base_;
    Listener listener_;
    std::vector<RegBatch::Change> changes_;
};

// "HKEY_CURRENT_USER\\Software\\Pcsx Gpu = REG_SZ \"gpu.dll\"" and the like:
// one change as a line a person reads.
std::string DescribeRegistryChange(const RegBatch::Change& change);

}  // namespace dravolo
