// Window placement, the Settings dialog's clean-up of what was typed, and the
// profile dialog's create/rename rules against real files.

#include <gtest/gtest.h>

#include "common/platform/registry.h"
#include "frontend/core/settings_store.h"
#include "frontend/profiles/profile_files.h"
#include "frontend/profiles/profile_manager.h"
#include "frontend/shell/bar_state_store.h"
#include "frontend/shell/profile_properties_logic.h"
#include "frontend/shell/settings_values.h"
#include "frontend/shell/window_placement.h"
#include "tests/support/prefix_fixture.h"
#include "tests/support/recording_prompter.h"

using namespace dravolo;

TEST(WindowPlacement, ClampKeepsAnIconOnScreen) {
    // Beyond the right and bottom edges: moved back, size kept.
    PlacementRect r = ClampToScreen({3000, 2000, 3400, 2300}, 1280, 800, 32, 32);
    EXPECT_EQ(r.left, 1248);
    EXPECT_EQ(r.top, 768);
    EXPECT_EQ(r.width(), 400);
    EXPECT_EQ(r.height(), 300);
    // On screen: unchanged.
    r = ClampToScreen({10, 20, 410, 320}, 1280, 800, 32, 32);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    // Off the left edge: the right edge comes back to one icon.
    r = ClampToScreen({-900, 10, -500, 300}, 1280, 800, 32, 32);
    EXPECT_EQ(r.right, 32);
}

TEST(SettingsValues, PathsAndProgramNames) {
    EXPECT_EQ(NormaliseInstallPath("", "c:\\fpse\\"), "c:\\fpse\\");
    EXPECT_EQ(NormaliseInstallPath("d:\\games\\epsxe", "c:\\epsxe\\"), "d:\\games\\epsxe\\");
    EXPECT_EQ(NormaliseInstallPath("d:\\games\\epsxe\\", "c:\\epsxe\\"), "d:\\games\\epsxe\\");
    EXPECT_EQ(NormaliseProgramName("   ", "pcsx.exe"), "pcsx.exe");
    EXPECT_EQ(NormaliseProgramName("  my pcsx.exe ", "pcsx.exe"), "my pcsx.exe");
    EXPECT_EQ(MakeColorRef(0x12, 0x34, 0x56), 0x00563412u);
    EXPECT_EQ(RedOf(0x00563412u), 0x12);
    EXPECT_EQ(BlueOf(0x00563412u), 0x56);
}

class ShellLogicFiles : public test::PrefixFixture {
protected:
    void SetUp() override {
        PrefixFixture::SetUp();
        registry = OpenSystemRegistry();
        settings = std::make_unique<SettingsStore>(*registry);
    }
    void MakeProfile(const std::string& name) {
        ASSERT_TRUE(CreateNewProfile(EmulatorKind::Epsxe, name, std::nullopt, std::nullopt, *settings, prompter));
    }
    std::unique_ptr<Registry> registry;
    std::unique_ptr<SettingsStore> settings;
    test::RecordingPrompter prompter;
};

TEST_F(ShellLogicFiles, PlacementAndBarStateRoundTrip) {
    EXPECT_TRUE(ReadWindowPlacement(*settings).IsUnset());
    WindowPlacement p;
    p.flags = 0;
    p.showCmd = kSwShowMaximized;
    p.normal = {5, 6, 705, 506};
    ASSERT_TRUE(WriteWindowPlacement(*settings, p));
    const WindowPlacement back = ReadWindowPlacement(*settings);
    EXPECT_EQ(back.showCmd, kSwShowMaximized);
    EXPECT_EQ(back.normal.right, 705);
    EXPECT_EQ(settings->GetInt("y2", -1), 506);

    EXPECT_TRUE(ReadBarState(*registry).layout.empty());
    ASSERT_TRUE(WriteBarState(*registry, BarState{{1, 2, 3}, false}));
    const BarState bars = ReadBarState(*registry);
    EXPECT_EQ(bars.layout, (Bytes{1, 2, 3}));
    EXPECT_EQ(bars.statusBarShown, false);
}

TEST_F(ShellLogicFiles, ConfigureGameOptionsCreatesOnceThenRenames) {
    ProfilePropertiesLogic logic(EmulatorKind::Epsxe, true, "", *settings, prompter);
    ProfileFields fields{"  Crash  ", "Disc 1", "c:\\pics\\crash.bmp"};
    const auto path = logic.ConfigureGameOptions(fields);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, ".\\Epsxe\\Crash.set");
    EXPECT_EQ(fields.name, "Crash");
    EXPECT_TRUE(logic.createdFile());
    EXPECT_FALSE(logic.toBeCreated());
    const auto stored = LoadProfileFields(EmulatorKind::Epsxe, "Crash", *settings, prompter);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->description, "Disc 1");
    EXPECT_EQ(stored->bitmapFile, "c:\\pics\\crash.bmp");

    // A second press with a new name renames what the first one made.
    fields.name = "Crash 2";
    ASSERT_TRUE(logic.ConfigureGameOptions(fields));
    EXPECT_TRUE(HostExists("Epsxe/Crash 2.set"));
    EXPECT_FALSE(HostExists("Epsxe/Crash.set"));

    // Empty names do nothing; an existing profile's name is the creation error.
    ProfilePropertiesLogic other(EmulatorKind::Epsxe, true, "", *settings, prompter);
    ProfileFields blank{"   ", "", ""};
    EXPECT_FALSE(other.ConfigureGameOptions(blank));
    ProfileFields taken{"Crash 2", "", ""};
    EXPECT_FALSE(other.ConfigureGameOptions(taken));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, kCreateErrorText);
    EXPECT_EQ(prompter.messages[0].caption, kCreateErrorCaption);
    EXPECT_FALSE(other.createdFile());
}

TEST_F(ShellLogicFiles, RefusedRenameKeepsTheFilesNameAsOld) {
    MakeProfile("A");
    MakeProfile("B");
    WriteHostFile("Epsxe/A.gpu", "gpu of A");
    WriteHostFile("Epsxe/B.gpu", "gpu of B");
    ProfilePropertiesLogic logic(EmulatorKind::Epsxe, false, "A", *settings, prompter);
    ProfileFields fields{"B", "", ""};
    EXPECT_FALSE(logic.Accept(fields));  // B exists: the dialog stays open
    EXPECT_EQ(logic.fileName(), "A");
    // The next attempt renames A, never B.
    fields.name = "C";
    EXPECT_TRUE(logic.Accept(fields));
    EXPECT_EQ(ReadHostFile("Epsxe/C.gpu"), "gpu of A");
    EXPECT_EQ(ReadHostFile("Epsxe/B.gpu"), "gpu of B");
    EXPECT_TRUE(HostExists("Epsxe/B.set"));
    EXPECT_FALSE(HostExists("Epsxe/A.set"));
}

TEST_F(ShellLogicFiles, NewProfileRefusesAForbiddenNameInTheDialog) {
    ProfilePropertiesLogic logic(EmulatorKind::Epsxe, true, "", *settings, prompter);
    ProfileFields fields{"a:b", "", ""};
    EXPECT_FALSE(logic.Accept(fields));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, kBadNameCaption);
    fields.name = "   ";
    EXPECT_TRUE(logic.Accept(fields));  // closes, and the caller creates nothing
}

TEST_F(ShellLogicFiles, FinishNewProfileStoresIntoTheDialogsFile) {
    ProfilePropertiesLogic logic(EmulatorKind::Epsxe, true, "", *settings, prompter);
    ProfileFields fields{"Tekken", "", ""};
    ASSERT_TRUE(logic.ConfigureGameOptions(fields));
    fields.description = "Arcade stick";
    ASSERT_TRUE(FinishNewProfile(EmulatorKind::Epsxe, fields, logic.createdFile(), *settings, prompter));
    EXPECT_EQ(LoadProfileFields(EmulatorKind::Epsxe, "Tekken", *settings, prompter)->description, "Arcade stick");
    EXPECT_TRUE(prompter.messages.empty());
}
