#pragma once
// Storing the active area back into its configuration on OK, so that no
// interruption ever leaves half a configuration behind. On Windows, and under
// Wine while a wineserver runs, a tree is deleted and written value by value;
// a process killed in between would leave a partial stored configuration
// that the next start swaps in. So the new tree is first written under a
// staging key of the tool's own and marked complete, then it replaces the
// stored one, then the staging key goes. A start that finds a staging key
// finishes that commit when it was marked complete, and drops it otherwise
// (the stored configuration was not touched yet).

#include <functional>
#include <string>
#include <string_view>

#include "common/platform/registry.h"

namespace dravolo::tool {

// "Software\Kestrine\Kestrine\Commit\<name>": the staging key of a
// configuration; its subkey "Tree" holds the new tree, its value "Ready"
// (DWORD 1) says the tree is whole.
inline constexpr std::string_view kCommitKey = "Software\\Kestrine\\Kestrine\\Commit";
std::string StagingKeyPath(std::string_view name);

// The steps, in order; afterStep (for tests) is called after each one that
// succeeded.
enum class CommitStep {
    Staged = 1,    // the staging tree is written
    Marked = 2,    // and marked complete
    Replaced = 3,  // the stored configuration is the staging tree
    Unmarked = 4,  // the mark is gone
    Removed = 5,   // the staging key is gone
};
using CommitObserver = std::function<void(CommitStep)>;

// Copies the active area "PSEmu Pro" into the configuration's key
// ("KestrineCFG\<name>"); nothing for the active area itself. False when a
// step failed: before the mark the stored configuration is as it was, after
// it the next start finishes the commit. error, when given, receives the
// failed step's cause (the hive that could not be written, and why).
bool CommitConfiguration(Registry& registry, std::string_view name, const CommitObserver& afterStep = {},
                         Error* error = nullptr);

// Finishes or drops every staged commit found. Run by an edit-mode start
// while it holds the edit guard, so no other commit is under way. False when
// one could not be finished.
bool FinishInterruptedCommits(Registry& registry);

}  // namespace dravolo::tool
