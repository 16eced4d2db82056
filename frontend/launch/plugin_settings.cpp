#include "frontend/launch/plugin_settings.h"

#include "common/platform/process.h"
#include "common/platform/regedit.h"
#include "common/platform/regfile.h"
#include "common/platform/winfs.h"

namespace dravolo {

std::string_view SideFileExtension(PluginType type) {
    switch (type) {
    case PluginType::Gpu: return ".gpu";
    case PluginType::Spu: return ".spu";
    case PluginType::Cdr: return ".cdr";
    }
    return ".gpu";
}

std::string PluginSettingsKeyText(PluginType type) {
    return RootedKeyName(RegRoot::CurrentUser, PsemuSettingsKey(type));
}

std::string RegeditImportCommand(std::string_view sideFile) {
    return "regedit.exe /i/s \"" + std::string(sideFile) + "\"";
}

std::string RegeditExportCommand(std::string_view sideFile, std::string_view keyText) {
    return "regedit.exe /e/s \"" + std::string(sideFile) + "\" \"" + std::string(keyText) + "\"";
}

RegeditProcessEditor::RegeditProcessEditor(Registry& registry, Runner run) : registry_(registry), run_(std::move(run)) {
    if (!run_) run_ = [](std::string_view commandLine) { return RunAndWait(commandLine, ""); };
}

bool RegeditProcessEditor::Import(std::string_view sideFile) {
    if (run_(RegeditImportCommand(sideFile))) return true;
    return InProcessRegistryEditor(registry_).Import(sideFile);
}

bool RegeditProcessEditor::Export(std::string_view sideFile, std::string_view keyText) {
    if (run_(RegeditExportCommand(sideFile, keyText))) return true;
    return InProcessRegistryEditor(registry_).Export(sideFile, keyText);
}

bool InProcessRegistryEditor::Import(std::string_view sideFile) {
    const auto bytes = ReadWholeFile(sideFile);
    if (!bytes) return false;
    return ImportRegistryData(registry_, *bytes) == RegImportResult::Ok;
}

bool InProcessRegistryEditor::Export(std::string_view sideFile, std::string_view keyText) {
    const auto key = ParseRootedKey(keyText);
    if (!key) return false;
    const auto bytes = ExportRegistryKey(registry_, key->first, key->second);
    if (!bytes) return false;
    return WriteWholeFileAtomic(sideFile, *bytes);
}

std::unique_ptr<RegistryEditor> MakePlatformRegistryEditor(Registry& registry) {
    if (RegeditEditsOurRegistry()) return std::make_unique<RegeditProcessEditor>(registry);
    return std::make_unique<InProcessRegistryEditor>(registry);
}

bool ImportPluginSettings(std::string_view sideFile, RegistryEditor& editor) {
    if (!FileExists(sideFile)) return false;
    return editor.Import(sideFile);
}

bool ExportPluginSettings(std::string_view sideFile, PluginType type, RegistryEditor& editor) {
    return editor.Export(sideFile, PluginSettingsKeyText(type));
}

}  // namespace dravolo
