// The dry run's registry: reads see the base with the run's changes on top,
// exactly as if they had been written, and the base is never written.

#include <gtest/gtest.h>

#include "common/platform/overlay_registry.h"
#include "tests/support/memory_registry.h"

namespace dravolo {
namespace {

void Fill(Registry& r) {
    RegBatch b;
    b.SetString(RegRoot::CurrentUser, "Software\\Emu\\Config", "Gpu", "old.dll");
    b.SetDword(RegRoot::CurrentUser, "Software\\Emu\\Config", "Cpu", 1);
    b.SetString(RegRoot::CurrentUser, "Software\\Emu\\Pads\\One", "Name", "pad");
    b.SetString(RegRoot::CurrentUser, "Software\\Emu\\Pads\\Two", "Name", "pad2");
    b.CreateKey(RegRoot::LocalMachine, "Software\\Emu");
    ASSERT_TRUE(r.Commit(b));
}

// What one sees of a key: existence, values, subkeys.
std::string View(Registry& r, RegRoot root, std::string_view path) {
    if (!r.KeyExists(root, path)) return "missing";
    std::string out;
    for (const RegValue& v : r.EnumValues(root, path).value_or(std::vector<RegValue>{}))
        out += v.name + "=" + std::string(v.data.begin(), v.data.end()) + ";";
    out += "|";
    for (const std::string& k : r.EnumSubkeys(root, path).value_or(std::vector<std::string>{})) out += k + ";";
    return out;
}

TEST(OverlayRegistry, ReadsAsIfWrittenWhileTheBaseStaysAsItWas) {
    test::MemoryRegistry base, reference;
    Fill(base);
    Fill(reference);
    std::vector<std::string> heard;
    OverlayRegistry overlay(base, [&](const RegBatch::Change& c) { heard.push_back(DescribeRegistryChange(c)); });

    RegBatch b;
    b.SetString(RegRoot::CurrentUser, "software\\emu\\config", "GPU", "new.dll");  // other letter case
    b.DeleteValue(RegRoot::CurrentUser, "Software\\Emu\\Config", "Cpu");
    b.SetDword(RegRoot::CurrentUser, "Software\\Emu\\Config\\Deep\\Er", "X", 7);
    b.DeleteTree(RegRoot::CurrentUser, "Software\\Emu\\Pads\\One");
    b.DeleteTree(RegRoot::LocalMachine, "Software\\Emu");
    b.CreateKey(RegRoot::LocalMachine, "Software\\Emu\\Again");
    b.DeleteTree(RegRoot::CurrentUser, "Software\\Emu\\Pads");
    b.SetString(RegRoot::CurrentUser, "Software\\Emu\\Pads\\Two", "Fresh", "1");
    ASSERT_TRUE(overlay.Commit(b));
    ASSERT_TRUE(reference.Commit(b));

    for (auto [root, path] : std::vector<std::pair<RegRoot, std::string>>{
             {RegRoot::CurrentUser, "Software\\Emu"},
             {RegRoot::CurrentUser, "Software\\Emu\\Config"},
             {RegRoot::CurrentUser, "Software\\Emu\\Config\\Deep"},
             {RegRoot::CurrentUser, "Software\\Emu\\Config\\Deep\\Er"},
             {RegRoot::CurrentUser, "Software\\Emu\\Pads"},
             {RegRoot::CurrentUser, "Software\\Emu\\Pads\\One"},
             {RegRoot::CurrentUser, "Software\\Emu\\Pads\\Two"},
             {RegRoot::LocalMachine, "Software\\Emu"},
             {RegRoot::LocalMachine, "Software\\Emu\\Again"},
         })
        EXPECT_EQ(View(overlay, root, path), View(reference, root, path)) << path;
    EXPECT_EQ(RegDataAsText(overlay.QueryValue(RegRoot::CurrentUser, "Software\\Emu\\Config", "gpu")->data), "new.dll");

    // The base is what it was.
    test::MemoryRegistry untouched;
    Fill(untouched);
    EXPECT_EQ(View(base, RegRoot::CurrentUser, "Software\\Emu\\Config"),
              View(untouched, RegRoot::CurrentUser, "Software\\Emu\\Config"));
    EXPECT_EQ(View(base, RegRoot::CurrentUser, "Software\\Emu\\Pads"),
              View(untouched, RegRoot::CurrentUser, "Software\\Emu\\Pads"));
    EXPECT_EQ(base.commits, 1);

    ASSERT_EQ(heard.size(), b.changes().size());
    EXPECT_EQ(heard[0], "registry HKEY_CURRENT_USER\\software\\emu\\config GPU = REG_SZ \"new.dll\"");
    EXPECT_EQ(heard[1], "registry delete HKEY_CURRENT_USER\\Software\\Emu\\Config Cpu");
    EXPECT_EQ(heard[2], "registry HKEY_CURRENT_USER\\Software\\Emu\\Config\\Deep\\Er X = REG_DWORD 0x00000007 (7)");
    EXPECT_EQ(heard[4], "registry delete key HKEY_LOCAL_MACHINE\\Software\\Emu");
}

}  // namespace
}  // namespace dravolo
