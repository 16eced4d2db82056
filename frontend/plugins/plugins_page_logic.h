#pragma once
// What the plugin page does apart from its widgets: the three plugin lists,
// the row chosen in each, the clicks, Configure/Test/About on the chosen
// plugin, the profile's plugin side files and, for FPSE, the plugin entries
// of the profile's FPSE settings file.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/base/prompter.h"
#include "common/platform/registry.h"
#include "common/psemu/fpse_plugin.h"
#include "frontend/launch/plugin_settings.h"
#include "frontend/plugins/plugin_discovery.h"
#include "frontend/profiles/records.h"

namespace dravolo {

inline constexpr std::string_view kTestPassedText = "Plugin Test Passed.";
inline constexpr std::string_view kTestFailedText = "Plugin Test Failed!";
inline constexpr std::string_view kTestResultCaption = "Test Result";

// Configure, Test and About work on rows 0 to 100 only; a double-click
// configures rows up to 1000 (and so, in effect, up to 100 too).
inline constexpr int kLastActionRow = 100;
inline constexpr int kLastDoubleClickRow = 1000;

constexpr int TypeIndex(PluginType type) { return static_cast<int>(type); }
inline constexpr std::array<PluginType, 3> kPluginTypes = {PluginType::Gpu, PluginType::Spu, PluginType::Cdr};

enum class PluginTestOutcome { NotRun, Passed, Failed };

class PluginsPageLogic {
public:
    PluginsPageLogic(Registry& registry, RegistryEditor& editor, Prompter& prompter)
        : registry_(registry), editor_(editor), prompter_(prompter) {}

    void SetInstallPath(std::string path) { installPath_ = std::move(path); }
    void SetKind(EmulatorKind kind) { kind_ = kind; }
    void SetProfileName(std::string name) { profileName_ = std::move(name); }
    // PCSX-Reloaded as the PCSX: its plugins are the lib*.so files of this
    // folder (host path ending in '/'); empty for the PCSX of Windows.
    void SetPcsxrPluginsDir(std::string dir) { pcsxrPluginsDir_ = std::move(dir); }
    // The window FPSE's own plugins get as the owner of their dialogs.
    void SetOwnerWindow(std::uintptr_t window, std::uintptr_t instance) {
        ownerWindow_ = window;
        moduleInstance_ = instance;
    }

    // Record exchange: the three plugin fields of the record's kind.
    template <typename Record>
    void Exchange(Record& record, bool toRecord);

    // Page open: settings file, discovery, chosen rows, side-file imports.
    void Open();
    // Clicks: row -1 is empty space.
    void Click(PluginType type, int row);
    // A double-click selects like a click and configures rows 0 to 1000.
    void DoubleClick(PluginType type, int row);
    // A right-click makes the list active; on a row it selects it too. True
    // when the popup is to be shown.
    bool RightClick(PluginType type, int row);

    void Configure();
    PluginTestOutcome Test();  // tells the user through the Prompter
    // PSEmu Pro: runs the plugin's about box, nullopt. FPSE's own plugins:
    // their information for the "About Plugin" dialog.
    std::optional<FpseInfo> About();

    // OK: current files from the chosen rows, side-file exports, FPSE entries.
    void Ok();

    const std::vector<PluginEntry>& list(PluginType type) const { return lists_[TypeIndex(type)]; }
    int chosenRow(PluginType type) const { return chosenRows_[TypeIndex(type)]; }
    const std::string& currentFile(PluginType type) const { return currentFiles_[TypeIndex(type)]; }
    void SetCurrentFile(PluginType type, std::string file) { currentFiles_[TypeIndex(type)] = std::move(file); }
    PluginType activeType() const { return activeType_; }
    int activeRow() const { return activeRow_; }
    EmulatorKind kind() const { return kind_; }
    const std::string& installPath() const { return installPath_; }
    std::string settingsFilePath() const;

private:
    const PluginEntry* ActiveEntry() const;
    bool UsesPcsxrPlugins() const { return kind_ == EmulatorKind::Pcsx && !pcsxrPluginsDir_.empty(); }
    bool ActionAllowed() const { return activeRow_ >= 0 && activeRow_ <= kLastActionRow; }
    std::string PsemuPath(const PluginEntry& entry) const;
    std::string NativePath(const PluginEntry& entry) const;
    std::string SideFile(PluginType type) const;
    void WriteFpseEntries() const;

    Registry& registry_;
    RegistryEditor& editor_;
    // One loader for the page: Windows plugins on Linux keep one plugin host
    // from the scan to the last configure.
    PluginLoader loader_;
    Prompter& prompter_;
    std::string installPath_;
    EmulatorKind kind_ = EmulatorKind::Epsxe;
    std::string profileName_;
    std::string pcsxrPluginsDir_;
    std::uintptr_t ownerWindow_ = 0, moduleInstance_ = 0;
    std::array<int, 3> chosenRows_{-1, -1, -1};
    std::array<std::string, 3> currentFiles_;
    PluginType activeType_ = PluginType::Gpu;
    int activeRow_ = -1;
    std::array<std::vector<PluginEntry>, 3> lists_;
};

// The record fields each kind keeps its three plugins in.
template <typename Record>
std::array<std::string*, 3> PluginFieldsOf(Record& record) {
    if constexpr (requires { record.VideoPlugin; })
        return {&record.VideoPlugin, &record.SoundPlugin, &record.CdromPlugin};
    else if constexpr (requires { record.GpuPlugin; }) return {&record.GpuPlugin, &record.SpuPlugin, &record.CdrPlugin};
    else if constexpr (requires { record.Graphics; }) return {&record.Graphics, &record.Sound, &record.CdRom};
    else if constexpr (requires { record.GPUplugin; }) return {&record.GPUplugin, &record.SPUplugin, &record.CDRplugin};
    else return {&record.Gpu, &record.Spu, &record.Cdr};
}

template <typename Record>
void PluginsPageLogic::Exchange(Record& record, bool toRecord) {
    const auto fields = PluginFieldsOf(record);
    for (int i = 0; i < 3; ++i) {
        if (toRecord) *fields[i] = currentFiles_[i];
        else currentFiles_[i] = *fields[i];
    }
}

}  // namespace dravolo
