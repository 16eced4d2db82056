#include <gtest/gtest.h>

#include <filesystem>

#include "common/platform/registry.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"
#include "tests/tool/tool_workspace.h"
#include "tool/core/plugin_page_logic.h"

using namespace dravolo;
using namespace dravolo::tool;

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;
const std::string kActive = "Software\\Vision Thing\\PSEmu Pro";

class PluginPageTest : public test::PrefixFixture {
protected:
    void SetUp() override {
        PrefixFixture::SetUp();
        workspace_ = std::make_unique<test::ToolWorkspace>(driveC());
        registry_ = OpenSystemRegistry();
    }

    // The usual folder: a video+sound plugin, a plain video plugin, pads with
    // PADquery 3 and 1 and one without it, a network plugin, the emulator.
    void InstallAll() {
        workspace_->AddPlugin(test::SharedTestPlugin("gpuTest.dll"), "gpuBoth.dll", "name=Both Ways\ntype=6\n");
        workspace_->AddPlugin(test::SharedTestPlugin("gpuTest.dll"), "gpuPlain.dll", "name=Plain Video\ntest=5\n");
        workspace_->AddPlugin(test::SharedTestPlugin("padTest.dll"), "padNoQuery.dll");
        workspace_->AddPlugin(test::ToolTestPlugin("padBoth.dll"), "padBoth.dll");
        workspace_->AddPlugin(test::ToolTestPlugin("padOne.dll"), "padOne.dll");
        workspace_->AddPlugin(test::ToolTestPlugin("netTest.dll"), "netTest.dll");
        workspace_->AddEmulator();
    }

    // "group:dll" of every row, in list order.
    static std::vector<std::string> Rows(const PluginPageLogic& page) {
        std::vector<std::string> out;
        for (const PluginRow& row : page.rows()) out.push_back(std::to_string(row.group) + ":" + row.dll);
        return out;
    }
    static int RowOf(const PluginPageLogic& page, int group, const std::string& dll) {
        for (std::size_t i = 0; i < page.rows().size(); ++i) {
            if (page.rows()[i].group == group && page.rows()[i].dll == dll) return static_cast<int>(i);
        }
        return -1;
    }

    std::unique_ptr<test::ToolWorkspace> workspace_;
    std::unique_ptr<Registry> registry_;
    test::RecordingPrompter prompter_;
};

}  // namespace

TEST_F(PluginPageTest, ScanPutsEachPluginInItsGroups) {
    InstallAll();
    PluginPageLogic page(*registry_, prompter_);
    ASSERT_TRUE(page.Fill("C:\\EPSXE", 1, 0));                                          // by "DLL", ascending
    EXPECT_EQ(Rows(page), (std::vector<std::string>{"0:gpuBoth.dll", "0:gpuPlain.dll",  //
                                                    "1:SPUCORE", "1:gpuBoth.dll",       //
                                                    "2:W2KCDRCORE", "2:W9XCDRCORE",     //
                                                    "3:PAD1CORE", "3:padBoth.dll", "3:padOne.dll",  // no padNoQuery
                                                    "4:PAD2CORE", "4:padBoth.dll",                  // PADquery 3 only
                                                    "6:DISABLED", "6:netTest.dll"}));
    const PluginRow& both = page.rows()[0];
    EXPECT_EQ(both.title, "Both Ways 2.3");         // low 16 bits of 0x010203
    EXPECT_EQ(both.module, page.rows()[3].module);  // one library, two rows
    EXPECT_EQ(page.rows()[2].title, "Internal ePSXe SPU");
    EXPECT_EQ(page.rows()[2].module, nullptr);
    EXPECT_EQ(page.rows()[2].date.size(), 10u);  // "YYYY/MM/DD"
}

TEST_F(PluginPageTest, WithoutTheEmulatorNoBuiltInRowsAndNoSort) {
    InstallAll();
    std::filesystem::remove(workspace_->host() + "/epsxe.exe");
    PluginPageLogic page(*registry_, prompter_);
    ASSERT_TRUE(page.Fill("C:\\EPSXE", 1, 0));
    // As the scan adds them: the file system's order, the latest on top of its group.
    EXPECT_EQ(Rows(page), (std::vector<std::string>{"0:gpuPlain.dll", "0:gpuBoth.dll", "1:gpuBoth.dll", "3:padOne.dll",
                                                    "3:padBoth.dll", "4:padBoth.dll", "6:netTest.dll"}));
    PluginPageLogic none(*registry_, prompter_);
    EXPECT_FALSE(none.Fill("", 0, 0));
    EXPECT_TRUE(none.rows().empty());
}

TEST_F(PluginPageTest, ColumnClicksSortWithinGroups) {
    InstallAll();
    workspace_->SetDate("plugins/gpuBoth.dll", 2001, 5, 1);
    workspace_->SetDate("plugins/gpuPlain.dll", 2003, 1, 9);
    workspace_->SetDate("epsxe.exe", 2002, 7, 7);
    workspace_->SetDate("plugins/padBoth.dll", 2004, 1, 1);
    workspace_->SetDate("plugins/padOne.dll", 2000, 1, 1);
    PluginPageLogic page(*registry_, prompter_);
    ASSERT_TRUE(page.Fill("C:\\EPSXE", 0, 0));

    page.ClickColumn(2);  // Date, ascending
    EXPECT_EQ(page.sortDirection(), 0);
    EXPECT_EQ(Rows(page)[0], "0:gpuBoth.dll");
    EXPECT_EQ(Rows(page)[4], "2:W9XCDRCORE");  // equal dates: the later row of the previous order first
    EXPECT_EQ(Rows(page)[6], "3:padOne.dll");
    page.ClickColumn(2);  // again: newest first
    EXPECT_EQ(page.sortDirection(), 1);
    EXPECT_EQ(Rows(page),
              (std::vector<std::string>{"0:gpuPlain.dll", "0:gpuBoth.dll", "1:SPUCORE", "1:gpuBoth.dll", "2:W2KCDRCORE",
                                        "2:W9XCDRCORE", "3:padBoth.dll", "3:PAD1CORE", "3:padOne.dll", "4:padBoth.dll",
                                        "4:PAD2CORE", "6:netTest.dll", "6:DISABLED"}));
    page.ClickColumn(1);  // DLL: ascending again, byte-wise (upper case first)
    EXPECT_EQ(page.sortColumn(), 1);
    EXPECT_EQ(page.sortDirection(), 0);
    EXPECT_EQ(Rows(page)[6], "3:PAD1CORE");
    page.ClickColumn(7);  // clamped to Date
    EXPECT_EQ(page.sortColumn(), 2);
}

TEST_F(PluginPageTest, MarksFollowTheChoiceWithoutRegardToCase) {
    InstallAll();
    RegBatch choice;
    choice.SetString(kUser, kActive + "\\GPU", "GPUlib", "GPUBOTH.DLL");
    choice.SetString(kUser, kActive + "\\PAD", "PAD2lib", "padboth.dll");
    choice.SetDword(kUser, kActive + "\\SPU", "SPUlib", 1);  // no text: no marks
    EXPECT_TRUE(registry_->Commit(choice));
    PluginPageLogic page(*registry_, prompter_);
    ASSERT_TRUE(page.Fill("C:\\EPSXE", 1, 0));
    page.ApplyMarks(true);

    EXPECT_EQ(page.rows()[RowOf(page, 0, "gpuBoth.dll")].mark, 1);
    EXPECT_EQ(page.rows()[RowOf(page, 0, "gpuPlain.dll")].mark, 0);
    EXPECT_EQ(page.rows()[RowOf(page, 1, "gpuBoth.dll")].mark, 0);
    EXPECT_EQ(page.rows()[RowOf(page, 4, "padBoth.dll")].mark, 5);
    EXPECT_EQ(page.rows()[RowOf(page, 3, "padBoth.dll")].mark, 0);
    // No network choice: the built-in "DISABLED" row is the chosen one.
    EXPECT_EQ(page.rows()[RowOf(page, 6, "DISABLED")].mark, 6);
    EXPECT_EQ(page.FirstMarkedRow(0), RowOf(page, 0, "gpuBoth.dll"));
    EXPECT_FALSE(page.FirstMarkedRow(2));

    // Started: the chosen video plugin only (pads never start).
    EXPECT_EQ(workspace_->PluginLog("gpuBoth.dll").find("GPUinit") != std::string::npos, true);
    EXPECT_EQ(workspace_->PluginLog("padBoth.dll").find("PADinit"), std::string::npos);
    page.Shutdown();
    page.Shutdown();  // once only
    const std::string log = workspace_->PluginLog("gpuBoth.dll");
    EXPECT_EQ(log.find("GPUshutdown"), log.rfind("GPUshutdown"));
    EXPECT_NE(log.find("GPUshutdown"), std::string::npos);
}

TEST_F(PluginPageTest, ActivateWritesTheChoiceAndMovesTheMark) {
    InstallAll();
    registry_->SetString(kUser, kActive + "\\NET", "NETlib", "netTest.dll");
    PluginPageLogic page(*registry_, prompter_);
    ASSERT_TRUE(page.Fill("C:\\EPSXE", 1, 0));
    page.ApplyMarks(true);
    EXPECT_NE(workspace_->PluginLog("netTest.dll").find("NETinit"), std::string::npos);
    EXPECT_EQ(page.rows()[RowOf(page, 6, "netTest.dll")].mark, 6);

    ASSERT_TRUE(page.Activate(RowOf(page, 6, "DISABLED")));
    EXPECT_EQ(registry_->QueryString(kUser, kActive + "\\NET", "NETlib"), "DISABLED");
    EXPECT_EQ(page.rows()[RowOf(page, 6, "DISABLED")].mark, 6);
    EXPECT_EQ(page.rows()[RowOf(page, 6, "netTest.dll")].mark, 0);

    ASSERT_TRUE(page.Activate(RowOf(page, 3, "padOne.dll")));
    EXPECT_EQ(registry_->QueryString(kUser, kActive + "\\PAD", "PAD1lib"), "padOne.dll");
    ASSERT_TRUE(page.Activate(RowOf(page, 1, "gpuBoth.dll")));
    EXPECT_EQ(registry_->QueryString(kUser, kActive + "\\SPU", "SPUlib"), "gpuBoth.dll");
    EXPECT_FALSE(page.Activate(99));

    // The started network plugin is the one of the initial marking.
    page.Shutdown();
    EXPECT_NE(workspace_->PluginLog("netTest.dll").find("NETshutdown"), std::string::npos);
}

TEST_F(PluginPageTest, TestConfigureAboutAndTheirMessages) {
    InstallAll();
    PluginPageLogic page(*registry_, prompter_);
    ASSERT_TRUE(page.Fill("C:\\EPSXE", 1, 0));

    page.Test(RowOf(page, 1, "SPUCORE"));
    page.Test(RowOf(page, 0, "gpuBoth.dll"));   // 0
    page.Test(RowOf(page, 0, "gpuPlain.dll"));  // 5
    page.Test(RowOf(page, 6, "netTest.dll"));   // -2
    page.Test(RowOf(page, 4, "padBoth.dll"));   // PADtest, 0
    ASSERT_EQ(prompter_.messages.size(), 5u);
    EXPECT_EQ(prompter_.messages[0].text, "Test function not available!");
    EXPECT_EQ(prompter_.messages[0].caption, "Testing plugin...");
    EXPECT_EQ(prompter_.messages[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompter_.messages[1].text, "This driver reports that it should work correctly!");
    EXPECT_EQ(prompter_.messages[2].text, "Driver reports warning (5)!");
    EXPECT_EQ(prompter_.messages[3].text, "Driver reports error (-2)!!!");
    EXPECT_EQ(prompter_.messages[4].text, "This driver reports that it should work correctly!");
    // The second-pad row calls the pad entry.
    EXPECT_NE(workspace_->PluginLog("padBoth.dll").find("PADtest"), std::string::npos);

    prompter_.messages.clear();
    page.Configure(RowOf(page, 2, "W2KCDRCORE"));
    page.About(RowOf(page, 3, "PAD1CORE"));
    ASSERT_EQ(prompter_.messages.size(), 2u);
    EXPECT_EQ(prompter_.messages[0].text, "Configuration dialog not available!");
    EXPECT_EQ(prompter_.messages[0].caption, "Try to configure...");
    EXPECT_EQ(prompter_.messages[1].text, "About dialog not available!");
    EXPECT_EQ(prompter_.messages[1].caption, "Try to show About...");

    prompter_.messages.clear();
    page.Configure(RowOf(page, 1, "gpuBoth.dll"));  // the sound entry of the same library
    page.About(RowOf(page, 6, "netTest.dll"));
    page.Configure(-1);
    EXPECT_TRUE(prompter_.messages.empty());
    EXPECT_NE(workspace_->PluginLog("gpuBoth.dll").find("SPUconfigure"), std::string::npos);
    EXPECT_NE(workspace_->PluginLog("netTest.dll").find("NETabout"), std::string::npos);
}

TEST(PluginGroups, TypeBitsAndQuickConfigureNumbers) {
    EXPECT_EQ(GroupOfTypeBit(0), 2);
    EXPECT_EQ(GroupOfTypeBit(1), 0);
    EXPECT_EQ(GroupOfTypeBit(2), 1);
    EXPECT_EQ(GroupOfTypeBit(3), 3);
    EXPECT_EQ(GroupOfTypeBit(4), 6);
    EXPECT_EQ(GroupOfTypeBit(5), 7);
    EXPECT_EQ(GroupOfTypeBit(13), 15);
    EXPECT_EQ(QuickConfigureGroup(1), 0);
    EXPECT_EQ(QuickConfigureGroup(5), 4);
    EXPECT_EQ(QuickConfigureGroup(6), 6);
    EXPECT_FALSE(QuickConfigureGroup(0));
    EXPECT_FALSE(QuickConfigureGroup(9));
}
