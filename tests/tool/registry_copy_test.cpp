// The registry machinery of the tool: value buffers, tree copies between the
// active area, stored configurations and the options library's key, and the
// commit of a configuration on OK that no interruption leaves half done.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "tests/support/memory_registry.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/prefix_fixture.h"
#include "tests/tool/forwarding_registry.h"
#include "tool/core/config_commit.h"
#include "tool/core/reg_value_buffer.h"
#include "tool/core/tool_registry.h"
#include "tool/core/tree_copy.h"
#include "tool/core/window_settings.h"

using namespace dravolo;
using namespace dravolo::tool;

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
const std::string kStored = "Software\\Vision Thing\\KestrineCFG\\Game";
const std::string kActive = "Software\\Vision Thing\\PSEmu Pro";

// Every key below root with its values, as "path|name|type|bytes" lines
// relative to root, in the store's order.
std::string Dump(Registry& registry, const std::string& root, const std::string& path = "") {
    const std::string key = path.empty() ? root : root + "\\" + path;
    std::string out = "[" + path + "]\n";
    if (const auto values = registry.EnumValues(kUser, key)) {
        for (const RegValue& value : *values) {
            out += value.name + "|" + std::to_string(value.type) + "|";
            for (std::uint8_t b : value.data) out += std::to_string(b) + ",";
            out += "\n";
        }
    }
    if (const auto subkeys = registry.EnumSubkeys(kUser, key)) {
        for (const std::string& sub : *subkeys) out += Dump(registry, root, path.empty() ? sub : path + "\\" + sub);
    }
    return out;
}

void FillConfiguration(Registry& registry, const std::string& root) {
    RegBatch batch;
    batch.SetString(kUser, root + "\\GPU", "GPUlib", "gpuTest.dll");
    batch.SetValue(kUser, root + "\\GPU\\TestPlugin\\Deeper\\Deepest", "Blob", kRegBinary, {1, 2, 0, 255});
    batch.SetValue(kUser, root + "\\GPU\\TestPlugin", "Expand", kRegExpandSz, RegSzData("%WINDIR%"));
    batch.SetValue(kUser, root + "\\GPU\\TestPlugin", "Multi", kRegMultiSz, {'a', 0, 'b', 0, 0});
    batch.SetValue(kUser, root + "\\GPU\\TestPlugin", "", kRegSz, RegSzData("default value"));
    batch.SetDword(kUser, root + "\\SPU", "Volume", 3);
    batch.SetValue(kUser, root + "\\SPU", "Big", kRegDwordBigEndian, {0, 0, 1, 0});
    batch.SetValue(kUser, root + "\\SPU", "Quad", kRegQword, {1, 2, 3, 4, 5, 6, 7, 8});
    batch.SetValue(kUser, root + "\\SPU", "Link", kRegLink, {'x', 0});
    batch.SetValue(kUser, root + "\\SPU", "Resources", kRegResourceList, {9, 9});
    batch.SetValue(kUser, root + "\\SPU", "Nothing", kRegNone, {});
    batch.CreateKey(kUser, root + "\\Empty\\Inner");
    batch.SetDword(kUser, root + "\\Kestrine\\Interface", "SoundXA", 1);
    EXPECT_TRUE(registry.Commit(batch));
}

// Writes every change of a batch as a commit of its own, as the Win32
// registry does, and kills its process before change number `limit`.
[[noreturn]] void DieAtOnce() {
#ifndef _WIN32
    raise(SIGKILL);
#endif
    std::abort();
}

class DyingRegistry : public test::ForwardingRegistry {
public:
    DyingRegistry(Registry& inner, int limit) : ForwardingRegistry(inner), limit_(limit) {}
    bool CommitBatch(const RegBatch& batch, Error* /*error*/) override {
        for (const RegBatch::Change& change : batch.changes()) {
            if (applied_++ == limit_) DieAtOnce();
            RegBatch one;
            switch (change.op) {
            case RegBatch::Op::CreateKey: one.CreateKey(change.root, change.path); break;
            case RegBatch::Op::SetValue:
                one.SetValue(change.root, change.path, change.value.name, change.value.type, change.value.data);
                break;
            case RegBatch::Op::DeleteValue: one.DeleteValue(change.root, change.path, change.value.name); break;
            case RegBatch::Op::DeleteTree: one.DeleteTree(change.root, change.path); break;
            }
            if (!inner().Commit(one)) return false;
        }
        return true;
    }
    int applied() const { return applied_; }

private:
    int limit_;
    int applied_ = 0;
};

// A small configuration whose values carry the tag (each change of a commit
// is a point to be killed at: few keep the test quick).
void FillTagged(Registry& registry, const std::string& root, const std::string& tag) {
    RegBatch batch;
    batch.SetString(kUser, root + "\\GPU", "GPUlib", "gpu" + tag + ".dll");
    batch.SetString(kUser, root + "\\GPU\\Plugin", "Mode", tag);
    EXPECT_TRUE(registry.Commit(batch));
}

class ConfigCommitTest : public test::PrefixFixture {};

}  // namespace

TEST(RegValueBuffer, ReadersTakeOnlyWhatTheTypePromises) {
    RegValueBuffer number(kRegDword, {0x78, 0x56, 0x34, 0x12});
    EXPECT_EQ(number.AsNumber(), 0x12345678u);
    EXPECT_FALSE(number.AsText());
    EXPECT_EQ(RegValueBuffer(kRegDwordBigEndian, {0x12, 0x34, 0x56, 0x78}).AsNumber(), 0x12345678u);
    EXPECT_FALSE(RegValueBuffer(kRegDword, {1, 2}).AsNumber());  // short
    EXPECT_FALSE(RegValueBuffer(kRegBinary, {1, 0, 0, 0}).AsNumber());

    for (std::uint32_t type : {kRegSz, kRegExpandSz, kRegLink})
        EXPECT_EQ(RegValueBuffer(type, {'a', 'b', 0, 'c'}).AsText(), "ab") << type;
    EXPECT_EQ(RegValueBuffer(kRegSz, {'n', 'o', 'n', 'u', 'l'}).AsText(), "nonul");
    EXPECT_FALSE(RegValueBuffer(kRegMultiSz, {'a', 0, 0}).AsText());
    EXPECT_FALSE(RegValueBuffer(kRegDword, {1, 0, 0, 0}).AsText());

    std::uint8_t two[2] = {};
    EXPECT_TRUE(RegValueBuffer(kRegResourceList, {5, 6}).AsBytes(two));
    EXPECT_EQ(two[1], 6);
    EXPECT_FALSE(RegValueBuffer(kRegBinary, {5, 6, 7}).AsBytes(two));  // other size
    EXPECT_FALSE(RegValueBuffer(kRegSz, {5, 0}).AsBytes(two));

    RegValueBuffer written;
    written.SetText("abc");
    EXPECT_EQ(written.type(), kRegSz);
    EXPECT_EQ(written.size(), 4u);
    written.SetNumber(7);
    EXPECT_EQ(written.type(), kRegDword);
    written.SetBytes(std::vector<std::uint8_t>{1, 2, 3});
    EXPECT_EQ(written.type(), kRegBinary);
}

TEST(RegTreeCopier, DestinationPathsInBothModes) {
    const RegTreeCopier keep("KestrineCFG\\Game", "PSEmu Pro", PrefixMode::Keep);
    EXPECT_EQ(keep.DestinationPath("Software\\Vision Thing\\kestrinecfg\\GAME\\GPU"),
              "Software\\Vision Thing\\PSEmu Pro\\GPU");
    EXPECT_FALSE(keep.DestinationPath("Software\\Vision Thing\\PSEmu Pro\\GPU"));
    const RegTreeCopier replace("Software\\Vision Thing\\PSEmu Pro\\Kestrine\\Interface",
                                "Software\\Kestrine\\Kestrine\\Interface", PrefixMode::Replace);
    EXPECT_EQ(replace.DestinationPath("software\\vision thing\\psemu pro\\kestrine\\interface\\Sub"),
              "Software\\Kestrine\\Kestrine\\Interface\\Sub");
}

TEST(ConfigurationCopy, SwapInAndBackKeepsEveryKeyAndValueType) {
    test::MemoryRegistry registry;
    FillConfiguration(registry, kStored);
    registry.SetString(kUser, kActive + "\\Stale", "Old", "left from before");
    const std::string stored = Dump(registry, kStored);

    registry.commits = 0;
    ASSERT_TRUE(CopyConfiguration(registry, "KestrineCFG\\Game", "PSEmu Pro"));
    EXPECT_EQ(registry.commits, 1);              // one batch: delete and copy
    EXPECT_EQ(Dump(registry, kActive), stored);  // nothing of the old active area remains

    ASSERT_TRUE(CopyConfiguration(registry, "PSEmu Pro", "KestrineCFG\\Game"));
    EXPECT_EQ(Dump(registry, kStored), stored);

    // Equal names: nothing at all, not even the delete.
    registry.commits = 0;
    EXPECT_TRUE(CopyConfiguration(registry, "PSEmu Pro", "PSEmu Pro"));
    EXPECT_EQ(registry.commits, 0);
    EXPECT_EQ(Dump(registry, kActive), stored);
}

TEST(ConfigurationCopy, MissingSourceLeavesTheDestinationEmpty) {
    test::MemoryRegistry registry;
    FillConfiguration(registry, kActive);
    ASSERT_TRUE(CopyConfiguration(registry, "KestrineCFG\\Nothing", "PSEmu Pro"));
    EXPECT_FALSE(registry.KeyExists(kUser, kActive));
}

TEST(ConfigurationCopy, OptionsTravelBetweenTheConfigurationAndTheLibrary) {
    test::MemoryRegistry registry;
    registry.SetDword(kUser, std::string(kConfigurationInterfaceKey), "SoundXA", 1);
    registry.SetString(kUser, std::string(kConfigurationInterfaceKey) + "\\Sub", "BIOS", "scph1001.bin");
    registry.SetDword(kUser, std::string(kLibraryInterfaceKey), "Stale", 9);

    ASSERT_TRUE(CopyOptionsInward(registry));
    EXPECT_EQ(registry.QueryDword(kUser, kLibraryInterfaceKey, "SoundXA"), 1u);
    EXPECT_EQ(registry.QueryString(kUser, std::string(kLibraryInterfaceKey) + "\\Sub", "BIOS"), "scph1001.bin");
    EXPECT_FALSE(registry.QueryDword(kUser, kLibraryInterfaceKey, "Stale"));

    registry.SetDword(kUser, std::string(kLibraryInterfaceKey), "SoundXA", 0);
    registry.commits = 0;
    ASSERT_TRUE(CopyOptionsOutward(registry));
    EXPECT_EQ(registry.commits, 1);
    EXPECT_EQ(registry.QueryDword(kUser, kConfigurationInterfaceKey, "SoundXA"), 0u);
    EXPECT_EQ(registry.QueryString(kUser, std::string(kConfigurationInterfaceKey) + "\\Sub", "BIOS"), "scph1001.bin");
}

TEST(ToolRegistry, ValuesAndTheActiveAreaShortcuts) {
    test::MemoryRegistry registry;
    ToolRegistry values(registry);
    EXPECT_FALSE(values.ReadValue("Software\\Nowhere", "x"));
    ASSERT_TRUE(values.WritePsemuText("NET", "NETlib", "DISABLED"));
    EXPECT_EQ(values.ReadPsemuText("NET", "NETlib"), "DISABLED");
    EXPECT_EQ(registry.QueryValue(kUser, kActive + "\\NET", "NETlib")->data.size(), 9u);  // with its terminator
    registry.SetDword(kUser, kActive + "\\GPU", "GPUlib", 5);
    EXPECT_FALSE(values.ReadPsemuText("GPU", "GPUlib"));  // a number is no text
    ASSERT_TRUE(values.DeleteValue(kActive + "\\NET", "NETlib"));
    EXPECT_FALSE(values.ReadPsemuText("NET", "NETlib"));
    ASSERT_TRUE(values.DeleteKey(kActive));
    EXPECT_FALSE(registry.KeyExists(kUser, kActive));
}

TEST(ToolWindowSettings, DefaultsAndRoundTrip) {
    test::MemoryRegistry registry;
    ToolWindowSettings settings = LoadWindowSettings(registry, "KestrineTool");
    EXPECT_EQ(settings.widths, (std::array<std::uint32_t, 6>{250, 130, 70, 116, 281, 70}));
    // A value of the wrong type reads as its default.
    registry.SetString(kUser, PositionKey("KestrineTool"), "ToolX2", "300");
    EXPECT_EQ(LoadWindowSettings(registry, "KestrineTool").widths[1], 130u);
    settings.selCol = 2;
    settings.selDir = 1;
    settings.widths[5] = 99;
    ASSERT_TRUE(SaveWindowSettings(registry, "KestrineTool", settings));
    EXPECT_EQ(registry.QueryDword(kUser, "Software\\Kestrine\\Kestrine\\KestrineTool\\Position", "ToolX6"), 99u);
    const ToolWindowSettings back = LoadWindowSettings(registry, "KestrineTool");
    EXPECT_EQ(back.selCol, 2u);
    EXPECT_EQ(back.selDir, 1u);
    EXPECT_EQ(back.widths, settings.widths);
}

// OK stores the active area back into its configuration in steps. A process
// killed at any point of them, even in the middle of a step (as Windows and a
// running wineserver write a tree value by value), leaves, once the next start
// has run, either the old configuration or the new one, never a part of one.
TEST_F(ConfigCommitTest, AProcessKilledAnywhereLeavesTheOldOrTheNewConfiguration) {
    auto registry = OpenSystemRegistry();
    FillTagged(*registry, kStored, "Old");
    const std::string oldTree = Dump(*registry, kStored);
    FillTagged(*registry, kActive, "New");
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
    ASSERT_GE(total, marked);

#ifdef _WIN32
    GTEST_SKIP() << "the commit killed at every step runs in forked children, on POSIX only";
#else
    for (int limit = 0; limit <= total; ++limit) {
        SCOPED_TRACE("killed before change " + std::to_string(limit) + " of " + std::to_string(total));
        registry->DeleteTree(kUser, kStored);
        FillTagged(*registry, kStored, "Old");
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
#endif
}

TEST_F(ConfigCommitTest, NothingForTheActiveAreaAndUnmarkedStagingIsDropped) {
    auto registry = OpenSystemRegistry();
    FillTagged(*registry, kActive, "New");
    EXPECT_TRUE(CommitConfiguration(*registry, "PSEmu Pro"));
    EXPECT_FALSE(registry->KeyExists(kUser, std::string(kCommitKey)));

    FillTagged(*registry, kStored, "Old");
    const std::string oldTree = Dump(*registry, kStored);
    // A staging key left by a commit that was never marked is dropped.
    registry->SetString(kUser, StagingKeyPath("Game") + "\\Tree\\GPU", "GPUlib", "half.dll");
    registry->SetString(kUser, StagingKeyPath("Other") + "\\Tree\\GPU", "GPUlib", "half.dll");
    ASSERT_TRUE(FinishInterruptedCommits(*registry));
    EXPECT_EQ(Dump(*registry, kStored), oldTree);
    EXPECT_FALSE(registry->KeyExists(kUser, "Software\\Vision Thing\\KestrineCFG\\Other"));
    EXPECT_TRUE(registry->EnumSubkeys(kUser, std::string(kCommitKey)).value_or(std::vector<std::string>{}).empty());
}

// KestrineTool tells the user the configuration was not saved; the cause
// (which hive, and why) goes with that message.
TEST_F(ConfigCommitTest, AFailedCommitLeavesTheStoredConfigurationAndSaysWhy) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps its own registry: there is no hive file to make unwritable";
#else
    auto registry = OpenSystemRegistry();
    FillTagged(*registry, kStored, "Old");
    FillTagged(*registry, kActive, "New");
    const std::string oldTree = Dump(*registry, kStored);
    const std::string userReg = prefix() + "/user.reg";
    ASSERT_EQ(chmod(userReg.c_str(), 0444), 0);
    Error cause;
    bool committed = true;
    {
        test::ActAsOrdinaryUser user(root());
        committed = CommitConfiguration(*OpenSystemRegistry(), "Game", {}, &cause);
    }
    EXPECT_FALSE(committed);
    EXPECT_EQ(cause.Describe(), userReg + ": Permission denied");
    EXPECT_EQ(Dump(*OpenSystemRegistry(), kStored), oldTree);
#endif
}
