#include <gtest/gtest.h>

#include <filesystem>

#include "common/platform/pe_image.h"
#include "common/platform/registry.h"
#include "common/psemu/plugin_module.h"
#include "frontend/options/pad_plugins.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

namespace fs = std::filesystem;

namespace dravolo {
namespace {

class PadPluginsTest : public test::PrefixFixture {
protected:
    void Install(const std::string& name, const std::string& cfg) {
        const std::string dir = driveC() + "/pcsx/plugin/";
        fs::create_directories(dir);
        fs::copy_file(fs::path(TEST_PLUGIN_DIR) / "padTest.dll", dir + name, fs::copy_options::overwrite_existing);
        WriteHostFile(dir + fs::path(name).stem().string() + ".cfg", cfg);
    }

    test::RecordingPrompter prompter;
};

TEST_F(PadPluginsTest, ListsPadPluginsWithTheirPadVersion) {
    Install("padJoy.dll", "name=Joystick Pad\nversion=0x010300\n");
    Install("padHyph.dll", "name=Joy-Pad\nversion=0x020100\n");
    WriteHostFile(driveC() + "/pcsx/plugin/padBroken.dll", "not a library");
    const auto pads = FindPsemuPadPlugins("c:\\pcsx\\plugin\\");
    ASSERT_EQ(pads.size(), 2u);
    EXPECT_EQ(pads[0].fileName, "padHyph.dll");
    EXPECT_EQ(PadEntryText(pads[0]), "Joy-Pad - 2.1");
    EXPECT_EQ(PadEntryText(pads[1]), "Joystick Pad - 1.3");
    EXPECT_TRUE(FindPsemuPadPlugins("c:\\nowhere\\").empty());

    EXPECT_EQ(FindPadByFile(pads, "padJoy.dll"), 1u);
    EXPECT_EQ(FindPadByFile(pads, "padGone.dll"), std::nullopt);
    EXPECT_EQ(FindPadByFile(pads, ""), std::nullopt);
}

// The list is sorted by its texts; each entry stands for its own plugin, so
// hyphens in a name and plugins that show alike never mix them up.
TEST(PadListOrder, SortsByTextAndKeepsEachPlugin) {
    const std::vector<PadPlugin> pads = {{"padB.dll", "Pad - Deluxe", 3, 1, 0},
                                         {"padA.dll", "analog-pad", 3, 2, 0},
                                         {"padC.dll", "Pad - Deluxe", 3, 1, 0},
                                         {"padD.dll", "Keyboard", 3, 1, 1}};
    const auto order = PadListOrder(pads);
    ASSERT_EQ(order.size(), 4u);
    std::vector<std::string> files;
    for (std::size_t i : order) files.push_back(pads[i].fileName);
    // Ignoring case, as a sorted Windows list does; equal texts keep the folder's order.
    EXPECT_EQ(files, (std::vector<std::string>{"padA.dll", "padD.dll", "padB.dll", "padC.dll"}));
    EXPECT_EQ(FindPadByFile(pads, "padC.dll"), 2u);
    EXPECT_TRUE(PadListOrder({}).empty());
}

TEST_F(PadPluginsTest, ConfigImportsAndExportsThePadSideFile) {
    Install("padJoy.dll", "setting=chosen by user\n");
    auto registry = OpenSystemRegistry();
    InProcessRegistryEditor editor(*registry);
    WriteHostFile("Pcsx/Crash.pad",
                  "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vision Thing\\PSEmu Pro\\PAD\\Saved]\r\n"
                  "\"Keys\"=\"from profile\"\r\n\r\n");
    ASSERT_TRUE(ConfigurePsemuPad("c:\\pcsx\\plugin\\padJoy.dll", ".\\Pcsx\\Crash.pad", editor, prompter));
    EXPECT_EQ(registry->QueryString(RegRoot::CurrentUser, "Software\\Vision Thing\\PSEmu Pro\\PAD\\Saved", "Keys"),
              "from profile");
    EXPECT_NE(ReadHostFile(driveC() + "/pcsx/plugin/padJoy.log").find("PADconfigure"), std::string::npos);
    // The export holds both the imported and the configured values.
    registry->DeleteTree(RegRoot::CurrentUser, "Software\\Vision Thing\\PSEmu Pro\\PAD");
    ASSERT_TRUE(editor.Import(".\\Pcsx\\Crash.pad"));
    EXPECT_EQ(
        registry->QueryString(RegRoot::CurrentUser, "Software\\Vision Thing\\PSEmu Pro\\PAD\\TestPlugin", "Setting"),
        "chosen by user");

    EXPECT_FALSE(ConfigurePsemuPad("c:\\pcsx\\plugin\\padGone.dll", "", editor, prompter));
}

// A pad plugin that crashes in its dialog, or is killed there, takes only its
// host with it: we are still here and the user is told.
TEST_F(PadPluginsTest, ConfigOfAPluginThatDiesIsReported) {
    if (OwnPeMachine()) GTEST_SKIP() << "the Windows build loads plugins of its own bitness into its own process";
    auto registry = OpenSystemRegistry();
    InProcessRegistryEditor editor(*registry);
    for (const char* how : {"crash", "kill"}) {
        Install("padBad.dll", std::string("configure=") + how + "\n");
        prompter.messages.clear();
        EXPECT_TRUE(ConfigurePsemuPad("c:\\pcsx\\plugin\\padBad.dll", "", editor, prompter)) << how;
        ASSERT_EQ(prompter.messages.size(), 1u) << how;
        EXPECT_EQ(prompter.messages[0].text, kPluginLostText);
        EXPECT_EQ(prompter.messages[0].caption, kPluginLostCaption);
        EXPECT_EQ(prompter.messages[0].icon, PromptIcon::Stop);
    }
    // A plugin that lives through its dialog says nothing.
    Install("padGood.dll", "");
    prompter.messages.clear();
    EXPECT_TRUE(ConfigurePsemuPad("c:\\pcsx\\plugin\\padGood.dll", "", editor, prompter));
    EXPECT_TRUE(prompter.messages.empty());
}

}  // namespace
}  // namespace dravolo
