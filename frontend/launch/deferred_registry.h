#pragma once
// Collects committed batches and applies them later as one. The launch runs
// its plugin-settings imports and its configuration writer through it, so a
// start rewrites the registry hive once instead of five times. Reads go
// straight to the target and do not see what is still pending: flush before
// reading what was written.

#include "common/platform/registry.h"

namespace dravolo {

class DeferredRegistry : public Registry {
public:
    explicit DeferredRegistry(Registry& target) : target_(target) {}
    ~DeferredRegistry() override { Flush(); }

    bool KeyExists(RegRoot root, std::string_view path) override { return target_.KeyExists(root, path); }
    std::optional<RegValue> QueryValue(RegRoot root, std::string_view path, std::string_view name) override {
        return target_.QueryValue(root, path, name);
    }
    std::optional<std::vector<RegValue>> EnumValues(RegRoot root, std::string_view path) override {
        return target_.EnumValues(root, path);
    }
    std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root, std::string_view path) override {
        return target_.EnumSubkeys(root, path);
    }

    // Queued; always true (the outcome is Flush's).
    bool Commit(const RegBatch& batch) override;

    // Applies everything queued, in order, as one batch.
    bool Flush();

private:
    Registry& target_;
    RegBatch pending_;
};

}  // namespace dravolo
