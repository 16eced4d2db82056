#include "tool/core/config_commit.h"

#include <vector>

#include "tool/core/config_name.h"
#include "tool/core/tree_copy.h"

namespace dravolo::tool {

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
constexpr std::string_view kReadyValue = "Ready";

std::string TreePath(std::string_view name) { return StagingKeyPath(name) + "\\Tree"; }

// Steps 3 to 5: the staging tree replaces the stored configuration, then the
// mark goes (one value: a kill never leaves it on a half-deleted tree), then
// the staging key.
bool FinishStagedCommit(Registry& registry, std::string_view name, const CommitObserver& afterStep,
                        Error* error = nullptr) {
    RegBatch replace;
    if (!AddTreeReplacement(registry, TreePath(name), ConfigurationKeyPath(name), replace) ||
        !registry.Commit(replace, error))
        return false;
    if (afterStep) afterStep(CommitStep::Replaced);
    if (!registry.DeleteValue(kUser, StagingKeyPath(name), kReadyValue, error)) return false;
    if (afterStep) afterStep(CommitStep::Unmarked);
    if (!registry.DeleteTree(kUser, StagingKeyPath(name), error)) return false;
    if (afterStep) afterStep(CommitStep::Removed);
    return true;
}

}  // namespace

std::string StagingKeyPath(std::string_view name) { return std::string(kCommitKey) + "\\" + std::string(name); }

bool CommitConfiguration(Registry& registry, std::string_view name, const CommitObserver& afterStep, Error* error) {
    if (name == kActiveConfigurationName) return true;
    // 1. The new tree under the staging key; an old mark goes first of all.
    RegBatch stage;
    stage.DeleteValue(kUser, StagingKeyPath(name), kReadyValue);
    if (!AddTreeReplacement(registry, kActiveConfigurationKey, TreePath(name), stage)) return false;
    stage.CreateKey(kUser, StagingKeyPath(name));
    if (!registry.Commit(stage, error)) return false;
    if (afterStep) afterStep(CommitStep::Staged);
    // 2. Whole: marked.
    if (!registry.SetDword(kUser, StagingKeyPath(name), kReadyValue, 1, error)) return false;
    if (afterStep) afterStep(CommitStep::Marked);
    return FinishStagedCommit(registry, name, afterStep, error);
}

bool FinishInterruptedCommits(Registry& registry) {
    const auto names = registry.EnumSubkeys(kUser, kCommitKey);
    if (!names) return true;
    bool ok = true;
    for (const std::string& name : *names) {
        const auto ready = registry.QueryDword(kUser, StagingKeyPath(name), kReadyValue);
        if (ready == 1u && IsUsableConfigurationName(name)) {
            ok = FinishStagedCommit(registry, name, {}) && ok;
        } else {
            // Never marked: the stored configuration was not touched.
            ok = registry.DeleteTree(kUser, StagingKeyPath(name)) && ok;
        }
    }
    return ok;
}

}  // namespace dravolo::tool
