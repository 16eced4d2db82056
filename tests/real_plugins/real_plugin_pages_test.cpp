// The plugins of Debian's pcsxr package through the plugin pages of both
// programs: discovery, names, types, versions and Test, with every call in
// the native plugin host. A broken file beside them is left out.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "frontend/options/pad_plugins.h"
#include "frontend/plugins/plugins_page_logic.h"
#include "tests/real_plugins/pcsxr_plugins.h"
#include "tests/support/memory_registry.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"
#include "tool/core/plugin_page_logic.h"

namespace fs = std::filesystem;

namespace dravolo {
namespace {

class RealPluginPages : public test::PrefixFixture {
protected:
    void SetUp() override {
        if (const std::string missing = test::PcsxrPluginsMissing(); !missing.empty())
            GTEST_SKIP() << "Skipped: " << missing;
        test::PrefixFixture::SetUp();
    }

    test::MemoryRegistry registry;
    InProcessRegistryEditor editor{registry};
    test::RecordingPrompter prompter;
};

struct Row {
    std::string name, version, file;
    bool operator==(const Row&) const = default;
};

TEST_F(RealPluginPages, DravoloPageListsAndTestsEveryPlugin) {
    const std::string folder = driveC() + "/epsxe/plugins";
    test::LinkRealPlugin(folder, "libDFXVideo.so", "gpuDFXVideo.dll");
    test::LinkRealPlugin(folder, "libpeopsxgl.so", "gpupeopsxgl.dll");
    test::LinkRealPlugin(folder, "libDFSound.so", "spuDFSound.dll");
    test::LinkRealPlugin(folder, "libDFCdrom.so", "cdrDFCdrom.dll");
    // A sound plugin under a video name, and a file that is no library.
    test::LinkRealPlugin(folder, "libDFSound.so", "gpuNotVideo.dll");
    std::ofstream(folder + "/gpuBroken.dll") << "not a library";

    PluginsPageLogic page(registry, editor, prompter);
    // PSinex: the "plugins\" folder and no built-in entries.
    page.SetKind(EmulatorKind::Psinex);
    page.SetInstallPath("c:\\epsxe\\");
    page.Open();
    const auto rows = [&](PluginType type) {
        std::vector<Row> out;
        for (const auto& e : page.list(type))
            out.push_back({e.name, PluginVersionText(e, EmulatorKind::Psinex), e.fileName});
        std::sort(out.begin(), out.end(), [](const Row& a, const Row& b) { return a.file < b.file; });
        return out;
    };
    EXPECT_EQ(rows(PluginType::Gpu), (std::vector<Row>{{"XVideo Driver", "1.17", "gpuDFXVideo.dll"},
                                                       {"OpenGL Driver", "1.78", "gpupeopsxgl.dll"}}));
    EXPECT_EQ(rows(PluginType::Spu), (std::vector<Row>{{"SDL Sound", "1.0", "spuDFSound.dll"}}));
    EXPECT_EQ(rows(PluginType::Cdr), (std::vector<Row>{{"CD-ROM Drive Reader", "0.0", "cdrDFCdrom.dll"}}));

    // Test: the video and sound plugins pass; the CD-ROM reader finds no
    // drive here and says so with -1.
    for (const PluginType type : kPluginTypes) {
        for (int row = 0; row < static_cast<int>(page.list(type).size()); ++row) {
            const std::string file = page.list(type)[static_cast<std::size_t>(row)].fileName;
            page.Click(type, row);
            prompter.messages.clear();
            const PluginTestOutcome outcome = page.Test();
            ASSERT_EQ(prompter.messages.size(), 1u) << file;
            if (file == "cdrDFCdrom.dll") {
                EXPECT_EQ(outcome, PluginTestOutcome::Failed);
                EXPECT_EQ(prompter.messages[0].text, kTestFailedText);
            } else {
                EXPECT_EQ(outcome, PluginTestOutcome::Passed) << file;
                EXPECT_EQ(prompter.messages[0].text, kTestPassedText) << file;
            }
            EXPECT_EQ(prompter.messages[0].caption, kTestResultCaption);
        }
    }
}

// PCSX-Reloaded as the PCSX: the page lists the lib*.so files of pcsxr's own
// plugin folder and chooses them by those names.
TEST_F(RealPluginPages, PcsxrPageListsThePackagesPlugins) {
    PluginsPageLogic page(registry, editor, prompter);
    page.SetKind(EmulatorKind::Pcsx);
    page.SetInstallPath("/usr/games/");
    page.SetPcsxrPluginsDir(test::kPcsxrPluginDir);
    page.SetCurrentFile(PluginType::Spu, "libDFSound.so");
    page.Open();
    std::vector<std::string> gpus;
    for (const auto& e : page.list(PluginType::Gpu)) gpus.push_back(e.fileName);
    std::sort(gpus.begin(), gpus.end());
    EXPECT_EQ(gpus, (std::vector<std::string>{"libDFXVideo.so", "libpeopsxgl.so"}));
    ASSERT_EQ(page.list(PluginType::Spu).size(), 1u);
    EXPECT_EQ(page.chosenRow(PluginType::Spu), 0);
    ASSERT_EQ(page.list(PluginType::Cdr).size(), 1u);
    EXPECT_EQ(page.list(PluginType::Cdr)[0].name, "CD-ROM Drive Reader");
    page.Click(PluginType::Spu, 0);
    EXPECT_EQ(page.Test(), PluginTestOutcome::Passed);

    // The pad lists: only DFInput says it is a pad.
    const auto pads = FindPcsxrPadPlugins(test::kPcsxrPluginDir);
    ASSERT_EQ(pads.size(), 1u);
    EXPECT_EQ(pads[0].fileName, "libDFInput.so");
    EXPECT_EQ(PadEntryText(pads[0]), "Gamepad/Keyboard/Mouse Input - 1.2");
}

TEST_F(RealPluginPages, ToolPageListsEveryPluginInItsGroupsAndTestsIt) {
    const std::string folder = driveC() + "/epsxe/PLUGINS";
    const std::vector<std::pair<const char*, const char*>> links = {
        {"libDFXVideo.so", "gpuDFXVideo.dll"},   {"libpeopsxgl.so", "gpupeopsxgl.dll"},
        {"libDFSound.so", "spuDFSound.dll"},     {"libDFCdrom.so", "cdrDFCdrom.dll"},
        {"libDFInput.so", "padDFInput.dll"},     {"libDFNet.so", "netDFNet.dll"},
        {"libBladeSio1.so", "sio1BladeSio1.dll"}};
    for (const auto& [library, name] : links) test::LinkRealPlugin(folder, library, name);
    std::ofstream(folder + "/broken.dll") << "not a library";

    tool::PluginPageLogic page(registry, prompter);
    ASSERT_TRUE(page.Fill("c:\\epsxe", 0, 0));
    std::vector<std::string> rows;
    for (const tool::PluginRow& row : page.rows())
        rows.push_back(std::to_string(row.group) + ":" + row.dll + ":" + row.title);
    std::sort(rows.begin(), rows.end());
    // DFInput answers PADquery with 3: it serves both pads. The serial-port
    // plugin's bit 5 gives it a group of its own.
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "0:gpuDFXVideo.dll:XVideo Driver 1.17",
                        "0:gpupeopsxgl.dll:OpenGL Driver 1.78",
                        "1:spuDFSound.dll:SDL Sound 1.0",
                        "2:cdrDFCdrom.dll:CD-ROM Drive Reader 0.0",
                        "3:padDFInput.dll:Gamepad/Keyboard/Mouse Input 2.0",
                        "4:padDFInput.dll:Gamepad/Keyboard/Mouse Input 2.0",
                        "6:netDFNet.dll:Socket Driver 0.3",
                        "7:sio1BladeSio1.dll:sio1Blade 1.1",
                    }));

    const auto testOf = [&](int group, const std::string& dll) {
        for (std::size_t i = 0; i < page.rows().size(); ++i) {
            if (page.rows()[i].group != group || page.rows()[i].dll != dll) continue;
            prompter.messages.clear();
            page.Test(static_cast<int>(i));
            return prompter.messages.size() == 1 ? prompter.messages[0].text : std::string("no message");
        }
        return std::string("no row");
    };
    const std::string works = "This driver reports that it should work correctly!";
    EXPECT_EQ(testOf(0, "gpuDFXVideo.dll"), works);
    EXPECT_EQ(testOf(0, "gpupeopsxgl.dll"), works);
    EXPECT_EQ(testOf(1, "spuDFSound.dll"), works);
    EXPECT_EQ(testOf(2, "cdrDFCdrom.dll"), "Driver reports error (-1)!!!");
    EXPECT_EQ(testOf(3, "padDFInput.dll"), works);
    EXPECT_EQ(testOf(6, "netDFNet.dll"), works);
    // Group 7 has no place and no entry-point prefix.
    EXPECT_EQ(testOf(7, "sio1BladeSio1.dll"), "Test function not available!");
}

}  // namespace
}  // namespace dravolo
