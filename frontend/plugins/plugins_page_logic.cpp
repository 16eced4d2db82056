#include "frontend/plugins/plugins_page_logic.h"

#include "common/platform/profile_ini.h"
#include "common/platform/winfs.h"
#include "common/psemu/psemu_plugin.h"
#include "common/psemu/settings_file.h"
#include "frontend/launch/pcsxr_plugin_settings.h"
#include "frontend/launch/quick_configure.h"
#include "frontend/profiles/pcsxr_program.h"
#include "frontend/profiles/profile_files.h"

namespace dravolo {

std::string PluginsPageLogic::settingsFilePath() const { return ProfilePath(EmulatorKind::Fpse, profileName_, ".ini"); }

std::string PluginsPageLogic::SideFile(PluginType type) const {
    return ProfilePath(kind_, profileName_, SideFileExtension(type));
}

void PluginsPageLogic::Open() {
    // FPSE's own plugins read and write their settings in the profile's file.
    SetCurrentSettingsFile(settingsFilePath());
    activeType_ = PluginType::Gpu;
    activeRow_ = -1;
    for (PluginType type : kPluginTypes) {
        const int t = TypeIndex(type);
        lists_[t] = UsesPcsxrPlugins() ? DiscoverPcsxrPlugins(pcsxrPluginsDir_, type, loader_)
                                       : DiscoverPlugins(kind_, installPath_, type, registry_, loader_);
        chosenRows_[t] = -1;
        // A later entry of the same file wins.
        for (std::size_t row = 0; row < lists_[t].size(); ++row)
            if (lists_[t][row].fileName == currentFiles_[t]) chosenRows_[t] = static_cast<int>(row);
    }
    activeRow_ = chosenRows_[TypeIndex(PluginType::Gpu)];
    if (profileName_.empty()) return;
    const auto pcsxrHome = PcsxrHome();
    for (PluginType type : {PluginType::Cdr, PluginType::Gpu, PluginType::Spu}) {
        // pcsxr's plugins read files of their own below ~/.pcsxr/plugins/.
        if (!UsesPcsxrPlugins()) ImportPluginSettings(SideFile(type), editor_);
        else if (pcsxrHome) RestorePcsxrPluginSettings(SideFile(type), *pcsxrHome);
    }
}

void PluginsPageLogic::Click(PluginType type, int row) {
    activeType_ = type;
    if (row < 0 || row >= static_cast<int>(list(type).size())) row = -1;
    activeRow_ = row;
    chosenRows_[TypeIndex(type)] = row;
}

void PluginsPageLogic::DoubleClick(PluginType type, int row) {
    Click(type, row);
    if (activeRow_ >= 0 && activeRow_ <= kLastDoubleClickRow) Configure();
}

bool PluginsPageLogic::RightClick(PluginType type, int row) {
    activeType_ = type;
    if (row < 0 || row >= static_cast<int>(list(type).size())) return false;
    Click(type, row);
    return true;
}

const PluginEntry* PluginsPageLogic::ActiveEntry() const {
    const auto& entries = list(activeType_);
    const int row = chosenRow(activeType_);
    if (row < 0 || row >= static_cast<int>(entries.size())) return nullptr;
    return &entries[row];
}

std::string PluginsPageLogic::PsemuPath(const PluginEntry& entry) const {
    if (UsesPcsxrPlugins()) return pcsxrPluginsDir_ + entry.fileName;
    return installPath_ + std::string(PsemuPluginDirectory(kind_)) + entry.fileName;
}

std::string PluginsPageLogic::NativePath(const PluginEntry& entry) const {
    return installPath_ + std::string(kFpseNativePluginDirectory) + entry.fileName.substr(1);
}

void PluginsPageLogic::Configure() {
    if (!ActionAllowed()) return;
    const PluginEntry* entry = ActiveEntry();
    if (!entry) return;
    if (IsFpseNativeEntry(*entry, kind_)) {
        SetCurrentSettingsFile(settingsFilePath());
        if (const auto module = loader_.Open(NativePath(*entry))) {
            FpseConfigure(*module, activeType_, ownerWindow_, moduleInstance_);
            ReportPluginLost(*module, prompter_);
        }
        return;
    }
    if (const auto module = loader_.Open(PsemuPath(*entry))) {
        RunPsemuConfigure(*module, activeType_);
        ReportPluginLost(*module, prompter_);
    }
}

PluginTestOutcome PluginsPageLogic::Test() {
    if (!ActionAllowed()) return PluginTestOutcome::NotRun;
    const PluginEntry* entry = ActiveEntry();
    if (!entry) return PluginTestOutcome::NotRun;
    bool passed = false;
    if (IsFpseNativeEntry(*entry, kind_)) {
        // A library without the entry counts as failed.
        if (const auto module = loader_.Open(NativePath(*entry))) {
            if (const auto info = FpseAbout(*module, activeType_)) passed = info->TestPassed();
            if (ReportPluginLost(*module, prompter_)) return PluginTestOutcome::NotRun;
        }
    } else {
        const auto module = loader_.Open(PsemuPath(*entry));
        if (!module) return PluginTestOutcome::NotRun;
        const auto result = RunPsemuTest(*module, activeType_);
        if (ReportPluginLost(*module, prompter_)) return PluginTestOutcome::NotRun;
        if (!result) return PluginTestOutcome::NotRun;
        passed = PsemuTestPassed(*result);
    }
    if (passed) prompter_.Tell(kTestPassedText, kTestResultCaption, PromptIcon::Information);
    else prompter_.Tell(kTestFailedText, kTestResultCaption, PromptIcon::Stop);
    return passed ? PluginTestOutcome::Passed : PluginTestOutcome::Failed;
}

std::optional<FpseInfo> PluginsPageLogic::About() {
    if (!ActionAllowed()) return std::nullopt;
    const PluginEntry* entry = ActiveEntry();
    if (!entry) return std::nullopt;
    if (IsFpseNativeEntry(*entry, kind_)) {
        const auto module = loader_.Open(NativePath(*entry));
        if (!module) return std::nullopt;
        auto info = FpseAbout(*module, activeType_);
        if (ReportPluginLost(*module, prompter_)) return std::nullopt;
        return info;
    }
    if (const auto module = loader_.Open(PsemuPath(*entry))) {
        ShowPsemuAbout(*module, activeType_);
        ReportPluginLost(*module, prompter_);
    }
    return std::nullopt;
}

void PluginsPageLogic::Ok() {
    for (PluginType type : kPluginTypes) {
        const int t = TypeIndex(type);
        if (chosenRows_[t] >= 0 && chosenRows_[t] < static_cast<int>(lists_[t].size()))
            currentFiles_[t] = lists_[t][chosenRows_[t]].fileName;
    }
    if (!profileName_.empty()) {
        const auto pcsxrHome = PcsxrHome();
        for (PluginType type : {PluginType::Cdr, PluginType::Gpu, PluginType::Spu}) {
            if (!UsesPcsxrPlugins()) ExportPluginSettings(SideFile(type), type, editor_);
            else if (pcsxrHome) CapturePcsxrPluginSettings(SideFile(type), currentFiles_[TypeIndex(type)], *pcsxrHome);
        }
    }
    if (kind_ == EmulatorKind::Fpse) WriteFpseEntries();
}

void PluginsPageLogic::WriteFpseEntries() const {
    const std::string path = settingsFilePath();
    std::string content;
    if (const auto bytes = ReadWholeFile(path)) content.assign(bytes->begin(), bytes->end());
    IniDocument ini = IniDocument::Parse(content);
    struct Slot {
        PluginType type;
        std::string_view lastKey, bridgeSection;
    };
    for (const Slot& slot : {Slot{PluginType::Gpu, "LastGPU", "GPUPSEMU"}, Slot{PluginType::Spu, "LastSPU", "SPUPSEMU"},
                             Slot{PluginType::Cdr, "LastCD", "CDRPSEMU"}}) {
        const std::string& file = currentFile(slot.type);
        if (!file.empty() && file[0] == 'F') {
            ini.Set("FPSE", slot.lastKey, file.substr(1));
        } else {
            // FPSE loads its bridge library, which loads the PSEmu Pro plugin.
            ini.Set("FPSE", slot.lastKey, FpseBridgeFile(slot.type));
            ini.Set(slot.bridgeSection, "PluginName", file);
        }
    }
    ini.Set("FPSE", "LastPAR", "PARNULL.DLL");
    const std::string out = ini.Serialize();
    // The choice is kept in the profile as well; FPSE.INI is its copy for FPSE.
    (void)WriteWholeFileAtomic(path, std::span(reinterpret_cast<const std::uint8_t*>(out.data()), out.size()));
}

}  // namespace dravolo
