#include "frontend/launch/quick_configure.h"

#include "common/psemu/fpse_plugin.h"
#include "common/psemu/psemu_plugin.h"
#include "common/psemu/settings_file.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/config_writers.h"
#include "frontend/launch/pcsxr_plugin_settings.h"
#include "frontend/launch/plugin_fields.h"
#include "frontend/profiles/pcsxr_program.h"
#include "frontend/profiles/profile_files.h"

namespace dravolo {

std::string_view PsemuPluginDirectory(EmulatorKind kind) {
    switch (kind) {
    case EmulatorKind::Epsxe: return "plugins\\";
    case EmulatorKind::Fpse: return "plugin\\psemu\\";
    case EmulatorKind::Psinex: return "plugins\\";
    case EmulatorKind::Adripsx: return "Plugins\\";
    case EmulatorKind::Pcsx: return "plugin\\";
    }
    return "plugins\\";
}

namespace {

QuickConfigureResult RunPsemu(const std::string& libraryPath, PluginType type, Prompter& prompter) {
    const auto module = OpenPluginModule(libraryPath);
    if (!module) return QuickConfigureResult::LibraryNotLoaded;
    const PsemuConfigureResult result = RunPsemuConfigure(*module, type);
    if (ReportPluginLost(*module, prompter)) return QuickConfigureResult::PluginLost;
    return result == PsemuConfigureResult::Configured ? QuickConfigureResult::Configured
                                                      : QuickConfigureResult::NoConfigureEntry;
}

QuickConfigureResult RunFpseNative(const std::string& libraryPath, const QuickConfigureRequest& request,
                                   Prompter& prompter) {
    const auto module = OpenPluginModule(libraryPath);
    if (!module) return QuickConfigureResult::LibraryNotLoaded;
    const bool called = FpseConfigure(*module, request.type, request.ownerWindow, request.moduleInstance);
    if (ReportPluginLost(*module, prompter)) return QuickConfigureResult::PluginLost;
    return called ? QuickConfigureResult::Configured : QuickConfigureResult::NoConfigureEntry;
}

// PCSX-Reloaded's plugins live in its own plugin folder and keep their
// settings in files of their own below ~/.pcsxr/plugins/.
QuickConfigureResult QuickConfigurePcsxr(const std::string& base, const std::string& sideFile,
                                         const SettingsStore& settings, PluginType type, Prompter& prompter) {
    const auto home = PcsxrHome();
    // The dialog opens on this profile's settings, not the last profile's.
    if (home) RestorePcsxrPluginSettings(sideFile, *home);
    AnyProfileRecord record = MakeDefaultRecord(EmulatorKind::Pcsx, settings);
    if (!LoadAnyRecord(record, base + ".set", prompter)) return QuickConfigureResult::RecordUnreadable;
    const std::string& field = PluginField(record, type);
    const QuickConfigureResult result = RunPsemu(std::string(kPcsxrPluginsDir) + field, type, prompter);
    if (result == QuickConfigureResult::Configured && home) CapturePcsxrPluginSettings(sideFile, field, *home);
    return result;
}

}  // namespace

QuickConfigureResult QuickConfigurePlugin(const QuickConfigureRequest& request, const SettingsStore& settings,
                                          Prompter& prompter, RegistryEditor& editor) {
    if (!request.profileName) return QuickConfigureResult::NoProfile;
    const std::string base = ProfilePath(request.kind, *request.profileName, "");
    const std::string sideFile = base + std::string(SideFileExtension(request.type));

    if (request.kind == EmulatorKind::Pcsx && PcsxIsPcsxReloaded(settings))
        return QuickConfigurePcsxr(base, sideFile, settings, request.type, prompter);

    // The plugin's dialog opens on this profile's settings, not the last
    // profile's that happen to be in the shared key.
    ImportPluginSettings(sideFile, editor);

    AnyProfileRecord record = MakeDefaultRecord(request.kind, settings);
    if (!LoadAnyRecord(record, base + ".set", prompter)) return QuickConfigureResult::RecordUnreadable;
    const std::string& field = PluginField(record, request.type);
    const std::string installPath = settings.InstallPath(request.kind);

    if (request.kind == EmulatorKind::Fpse) {
        // FPSE-native plugins keep their settings in the profile's FPSE file.
        SetCurrentSettingsFile(base + ".INI");
        const QuickConfigureResult result =
            IsFpseNativeField(field)
                ? RunFpseNative(installPath + std::string(kFpseNativePluginDirectory) + WithoutFpseMarker(field),
                                request, prompter)
                : RunPsemu(installPath + std::string(PsemuPluginDirectory(request.kind)) + field, request.type,
                           prompter);
        ExportPluginSettings(sideFile, request.type, editor);
        return result;
    }

    const QuickConfigureResult result =
        RunPsemu(installPath + std::string(PsemuPluginDirectory(request.kind)) + field, request.type, prompter);
    if (result == QuickConfigureResult::Configured) ExportPluginSettings(sideFile, request.type, editor);
    return result;
}

}  // namespace dravolo
