// The registry editor on Windows is regedit itself. Wine's regedit reads the
// combined switches "/i/s" and "/e/s" as file names, so the launch's command
// lines are checked as text, and the import as "regedit /s FILE". Our own
// export of the same key must match regedit's "/e" byte for byte.

#include <gtest/gtest.h>

#include <windows.h>

#include "common/platform/process.h"
#include "common/platform/regfile.h"
#include "common/platform/winfs.h"
#include "frontend/launch/plugin_settings.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo {
namespace {

constexpr auto HKCU = RegRoot::CurrentUser;
constexpr const char* kGpuKey = "Software\\Vision Thing\\PSEmu Pro\\GPU";

class Win32Regedit : public test::PrefixFixture {
protected:
    void SetUp() override {
        test::PrefixFixture::SetUp();
        reg = OpenSystemRegistry();
    }
    // Regedit's own settings, as a plugin's configure would leave them.
    void FillGpuKey() {
        RegBatch batch;
        batch.SetString(HKCU, std::string(kGpuKey) + "\\TestPlugin", "Setting", "caf\xE9 \"q\" back\\slash");
        batch.SetDword(HKCU, std::string(kGpuKey) + "\\TestPlugin", "Resolution", 0x280);
        Bytes blob;
        for (int i = 0; i < 60; ++i) blob.push_back(static_cast<std::uint8_t>(i * 7));
        batch.SetValue(HKCU, std::string(kGpuKey) + "\\TestPlugin", "Blob", kRegBinary, blob);
        batch.SetValue(HKCU, std::string(kGpuKey) + "\\TestPlugin\\Deeper", "Paths", kRegMultiSz,
                       Bytes{'a', 0, 'b', 0, 0});
        ASSERT_TRUE(reg->Commit(batch));
    }
    std::unique_ptr<Registry> reg;
};

TEST_F(Win32Regedit, TheLaunchAsksRegeditWithCombinedSilentSwitches) {
    EXPECT_EQ(RegeditImportCommand(".\\Epsxe\\Crash Bandicoot.gpu"),
              "regedit.exe /i/s \".\\Epsxe\\Crash Bandicoot.gpu\"");
    EXPECT_EQ(RegeditExportCommand(".\\Epsxe\\Crash.spu", PluginSettingsKeyText(PluginType::Spu)),
              "regedit.exe /e/s \".\\Epsxe\\Crash.spu\" \"HKEY_CURRENT_USER\\Software\\Vision Thing\\PSEmu Pro\\SPU\"");
    auto editor = MakePlatformRegistryEditor(*reg);
    EXPECT_NE(dynamic_cast<RegeditProcessEditor*>(editor.get()), nullptr);
}

TEST_F(Win32Regedit, RegeditImportsWhatWeExportedAndExportsWhatWeDo) {
    FillGpuKey();
    const std::string keyText = "HKEY_CURRENT_USER\\" + std::string(kGpuKey);
    ASSERT_TRUE(ExportRegistryKeyToFile(*reg, HKCU, kGpuKey, "ours.gpu"));

    // regedit's export of the same key is the same file.
    ASSERT_EQ(RunAndWait("regedit.exe /e \"" + GetCurrentDir() + "\\theirs.gpu\" \"" + keyText + "\"", ""), 0);
    EXPECT_EQ(ReadHostFile("theirs.gpu"), ReadHostFile("ours.gpu"));

    // And regedit brings our file back after the key is gone.
    ASSERT_TRUE(reg->DeleteTree(HKCU, kGpuKey));
    ASSERT_FALSE(reg->KeyExists(HKCU, kGpuKey));
    ASSERT_EQ(RunAndWait("regedit.exe /s \"" + GetCurrentDir() + "\\ours.gpu\"", ""), 0);
    const std::string plugin = std::string(kGpuKey) + "\\TestPlugin";
    EXPECT_EQ(reg->QueryString(HKCU, plugin, "Setting"), "caf\xE9 \"q\" back\\slash");
    EXPECT_EQ(reg->QueryDword(HKCU, plugin, "Resolution"), 0x280u);
    EXPECT_EQ(reg->QueryValue(HKCU, plugin, "Blob")->data.size(), 60u);
    EXPECT_EQ(reg->QueryValue(HKCU, plugin + "\\Deeper", "Paths")->data, (Bytes{'a', 0, 'b', 0, 0}));
}

TEST_F(Win32Regedit, RegeditImportsRegedit4Files) {
    WriteHostFile("old.reg",
                  "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Vision Thing\\PSEmu Pro\\SPU\\TestPlugin]\r\n"
                  "\"Setting\"=\"from regedit4\"\r\n\"Volume\"=dword:00000003\r\n\r\n");
    ASSERT_EQ(RunAndWait("regedit.exe /s \"" + GetCurrentDir() + "\\old.reg\"", ""), 0);
    const std::string key = "Software\\Vision Thing\\PSEmu Pro\\SPU\\TestPlugin";
    EXPECT_EQ(reg->QueryString(HKCU, key, "Setting"), "from regedit4");
    EXPECT_EQ(reg->QueryDword(HKCU, key, "Volume"), 3u);
}

}  // namespace
}  // namespace dravolo
