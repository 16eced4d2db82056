// The registry editor as a process: when regedit cannot be started at all, the
// side files are still imported and exported, in-process, byte for byte as
// regedit would.

#include <gtest/gtest.h>

#include "frontend/launch/plugin_settings.h"
#include "tests/launch/launch_fixture.h"

namespace dravolo {
namespace {

constexpr auto HKCU = RegRoot::CurrentUser;
constexpr const char* kGpuKey = "Software\\Vision Thing\\PSEmu Pro\\GPU";

class RegeditFallback : public test::LaunchFixture {
protected:
    RegeditProcessEditor::Runner Failing() {
        return [this](std::string_view line) -> std::optional<int> {
            tried.emplace_back(line);
            return std::nullopt;  // as CreateProcess refusing with error 740
        };
    }
    std::vector<std::string> tried;
};

TEST_F(RegeditFallback, ARegeditThatCannotStartIsReplacedInProcess) {
    ASSERT_TRUE(registry().SetString(HKCU, std::string(kGpuKey) + "\\TestPlugin", "Setting", "profile's"));
    RegeditProcessEditor editor(registry(), Failing());
    ASSERT_TRUE(ExportPluginSettings(".\\Epsxe\\Crash.gpu", PluginType::Gpu, editor));
    EXPECT_EQ(tried, std::vector<std::string>{
                         RegeditExportCommand(".\\Epsxe\\Crash.gpu", PluginSettingsKeyText(PluginType::Gpu))});
    // What regedit itself would have written.
    test::MemoryRegistry same;
    ASSERT_TRUE(same.SetString(HKCU, std::string(kGpuKey) + "\\TestPlugin", "Setting", "profile's"));
    InProcessRegistryEditor reference(same);
    ASSERT_TRUE(reference.Export(".\\Epsxe\\Reference.gpu", PluginSettingsKeyText(PluginType::Gpu)));
    EXPECT_EQ(ReadHostFile("Epsxe/Crash.gpu"), ReadHostFile("Epsxe/Reference.gpu"));

    ASSERT_TRUE(registry().DeleteTree(HKCU, kGpuKey));
    ASSERT_TRUE(ImportPluginSettings(".\\Epsxe\\Crash.gpu", editor));
    EXPECT_EQ(registry().QueryString(HKCU, std::string(kGpuKey) + "\\TestPlugin", "Setting"), "profile's");
    EXPECT_EQ(tried.size(), 2u);
    EXPECT_EQ(tried.back(), RegeditImportCommand(".\\Epsxe\\Crash.gpu"));
}

TEST_F(RegeditFallback, ARegeditThatRanIsLeftToDoItsWork) {
    ASSERT_TRUE(registry().SetString(HKCU, std::string(kGpuKey) + "\\TestPlugin", "Setting", "x"));
    RegeditProcessEditor editor(registry(), [](std::string_view) -> std::optional<int> { return 0; });
    ASSERT_TRUE(ExportPluginSettings(".\\Epsxe\\Crash.gpu", PluginType::Gpu, editor));
    EXPECT_FALSE(HostExists("Epsxe/Crash.gpu"));  // regedit's file, not ours
}

}  // namespace
}  // namespace dravolo
