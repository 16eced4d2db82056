// OK stores the active area back into its configuration in steps. A process
// killed at any point of them, even in the middle of a step (as Windows and a
// running wineserver write a tree value by value), leaves, once the next start
// has run, either the old configuration or the new one, never a part of one.

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "common/platform/registry.h"
#include "tests/support/prefix_fixture.h"
#include "tool/core/config_commit.h"
#include "tool/core/tree_copy.h"

using namespace dravolo;
using namespace dravolo::tool;

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
const std::string kStored = "Software\\Vision Thing\\KestrineCFG\\Game";
const std::string kActive = "Software\\Vision Thing\\PSEmu Pro";

// Writes every change of a batch as a commit of its own, as the Win32
// registry does, and kills its process before change number `limit`.
class DyingRegistry : public Registry {
public:
    DyingRegistry(Registry& inner, int limit) : inner_(inner), limit_(limit) {}
    bool KeyExists(RegRoot root, std::string_view path) override { return inner_.KeyExists(root, path); }
    std::optional<RegValue> QueryValue(RegRoot root, std::string_view path, std::string_view name) override {
        return inner_.QueryValue(root, path, name);
    }
    std::optional<std::vector<RegValue>> EnumValues(RegRoot root, std::string_view path) override {
        return inner_.EnumValues(root, path);
    }
    std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root, std::string_view path) override {
        return inner_.EnumSubkeys(root, path);
    }
    bool Commit(const RegBatch& batch) override {
        for (const RegBatch::Change& change : batch.changes()) {
            if (applied_++ == limit_) raise(SIGKILL);
            RegBatch one;
            switch (change.op) {
                case RegBatch::Op::CreateKey: one.CreateKey(change.root, change.path); break;
                case RegBatch::Op::SetValue:
                    one.SetValue(change.root, change.path, change.value.name, change.value.type, change.value.data);
                    break;
                case RegBatch::Op::DeleteValue: one.DeleteValue(change.root, change.path, change.value.name); break;
                case RegBatch::Op::DeleteTree: one.DeleteTree(change.root, change.path); break;
            }
            if (!inner_.Commit(one)) return false;
        }
        return true;
    }
    int applied() const { return applied_; }

private:
    Registry& inner_;
    int limit_;
    int applied_ = 0;
};

// Every key and value below root, relative to it.
std::string Dump(Registry& registry, const std::string& root, const std::string& path = "") {
    const std::string key = path.empty() ? root : root + "\\" + path;
    std::string out = "[" + path + "]\n";
    for (const RegValue& value : registry.EnumValues(kUser, key).value_or(std::vector<RegValue>{}))
        out += value.name + "=" + std::string(value.data.begin(), value.data.end()) + "\n";
    for (const std::string& sub : registry.EnumSubkeys(kUser, key).value_or(std::vector<std::string>{}))
        out += Dump(registry, root, path.empty() ? sub : path + "\\" + sub);
    return out;
}

void Fill(Registry& registry, const std::string& root, const std::string& tag) {
    RegBatch batch;
    batch.SetString(kUser, root + "\\GPU", "GPUlib", "gpu" + tag + ".dll");
    batch.SetString(kUser, root + "\\GPU\\Plugin", "Mode", tag);
    batch.SetDword(kUser, root + "\\Memory Cards", "MemCard0", tag == "New" ? 2 : 1);
    batch.SetString(kUser, root + "\\SPU", "SPUlib", "spu" + tag + ".dll");
    registry.Commit(batch);
}

class ConfigCommitTest : public test::PrefixFixture {};

}  // namespace

TEST_F(ConfigCommitTest, AProcessKilledAnywhereLeavesTheOldOrTheNewConfiguration) {
    auto registry = OpenSystemRegistry();
    Fill(*registry, kStored, "Old");
    const std::string oldTree = Dump(*registry, kStored);
    Fill(*registry, kActive, "New");
    const std::string newTree = Dump(*registry, kActive);

    // How many single changes the whole commit makes, and where it is marked.
    int total = 0;
    int marked = -1;
    {
        DyingRegistry counting(*registry, -1);
        ASSERT_TRUE(CommitConfiguration(counting, "Game", [&](CommitStep step) {
            if (step == CommitStep::Marked) marked = counting.applied();
        }));
        total = counting.applied();
        EXPECT_EQ(Dump(*registry, kStored), newTree);
        EXPECT_FALSE(registry->KeyExists(kUser, StagingKeyPath("Game")));
    }
    ASSERT_GT(marked, 0);

    for (int limit = 0; limit <= total; ++limit) {
        SCOPED_TRACE("killed before change " + std::to_string(limit) + " of " + std::to_string(total));
        registry->DeleteTree(kUser, kStored);
        Fill(*registry, kStored, "Old");
        const pid_t child = fork();
        if (child == 0) {
            auto own = OpenSystemRegistry();
            DyingRegistry dying(*own, limit);
            CommitConfiguration(dying, "Game");
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_EQ(WIFSIGNALED(status), limit < total);

        // The next start finishes or drops what it finds.
        auto next = OpenSystemRegistry();
        ASSERT_TRUE(FinishInterruptedCommits(*next));
        EXPECT_EQ(Dump(*next, kStored), limit >= marked ? newTree : oldTree);
        EXPECT_FALSE(next->KeyExists(kUser, StagingKeyPath("Game")));
        EXPECT_EQ(Dump(*next, kActive), newTree);
        if (HasFailure()) return;
    }
}

TEST_F(ConfigCommitTest, NothingForTheActiveAreaAndUnmarkedStagingIsDropped) {
    auto registry = OpenSystemRegistry();
    Fill(*registry, kActive, "New");
    EXPECT_TRUE(CommitConfiguration(*registry, "PSEmu Pro"));
    EXPECT_FALSE(registry->KeyExists(kUser, std::string(kCommitKey)));

    Fill(*registry, kStored, "Old");
    const std::string oldTree = Dump(*registry, kStored);
    // A staging key left by a commit that was never marked is dropped.
    registry->SetString(kUser, StagingKeyPath("Game") + "\\Tree\\GPU", "GPUlib", "half.dll");
    registry->SetString(kUser, StagingKeyPath("Other") + "\\Tree\\GPU", "GPUlib", "half.dll");
    ASSERT_TRUE(FinishInterruptedCommits(*registry));
    EXPECT_EQ(Dump(*registry, kStored), oldTree);
    EXPECT_FALSE(registry->KeyExists(kUser, "Software\\Vision Thing\\KestrineCFG\\Other"));
    EXPECT_TRUE(registry->EnumSubkeys(kUser, std::string(kCommitKey)).value_or(std::vector<std::string>{}).empty());
}
