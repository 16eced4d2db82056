#pragma once
// Collects committed batches and applies them later, one batch per hive. The
// launch runs its plugin-settings imports and its configuration writer through
// it, so a start rewrites each hive once instead of five times. The hives are
// committed apart: a machine hive that cannot be written must not take the
// user's plugin settings down with it. Reads go straight to the target and do
// not see what is still pending: flush before reading what was written.

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
    bool CommitBatch(const RegBatch& batch, Error* error) override;

    std::string StoreName(RegRoot root) const override { return target_.StoreName(root); }

    // Applies everything queued, in order, as one batch per root
    // (HKEY_CURRENT_USER first). False when a root's batch failed; the roots
    // that failed since the last call come from TakeFailures.
    bool Flush();
    std::vector<RegRoot> TakeFailures();

private:
    Registry& target_;
    RegBatch pending_;
    std::vector<RegRoot> failures_;
};

}  // namespace dravolo
