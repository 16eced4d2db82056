#pragma once
// Plugin side files. PSEmu Pro plugins keep their settings in one shared
// registry area, so each profile keeps its own copy of each plugin key as a
// registry export file beside its record (".gpu", ".spu", ".cdr", ".pad") and
// the front end imports it back before the profile is started or configured.
// The platform's registry editor does both directions: on Windows the real
// regedit, on POSIX our own .reg reader and writer in-process.

#include <array>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <string_view>

#include "common/platform/registry.h"
#include "common/psemu/plugin_types.h"

namespace dravolo {

// The side files the launch imports, in its order.
inline constexpr std::array<std::string_view, 4> kLaunchSideFiles = {".cdr", ".gpu", ".pad", ".spu"};

std::string_view SideFileExtension(PluginType type);  // ".gpu", ".spu", ".cdr"
// "HKEY_CURRENT_USER\\Software\\Vision Thing\\PSEmu Pro\\GPU".
std::string PluginSettingsKeyText(PluginType type);

// The registry editor's two command lines.
std::string RegeditImportCommand(std::string_view sideFile);
std::string RegeditExportCommand(std::string_view sideFile, std::string_view keyText);

class RegistryEditor {
public:
    virtual ~RegistryEditor() = default;
    // Both wait until the work is done; false when it could not be done (the
    // editor did not start, the file was unreadable, the key is missing).
    virtual bool Import(std::string_view sideFile) = 0;
    virtual bool Export(std::string_view sideFile, std::string_view keyText) = 0;
    // An editor that works in this process can be pointed at another view of
    // the same registry (the launch's deferred batch); others return nullptr.
    virtual std::unique_ptr<RegistryEditor> Rebind(Registry&) { return nullptr; }
};

// Runs "regedit.exe /i/s" and "regedit.exe /e/s" and waits for them. When
// regedit cannot be started at all (Windows Vista and later refuse to start
// it for a user who may elevate: it asks for the highest rights, error 740),
// the same work is done in-process on `registry`, whose files regedit reads
// and writes alike; otherwise every import and export would be lost without
// a word.
class RegeditProcessEditor : public RegistryEditor {
public:
    // Runs a command line and waits; nullopt when it could not be started.
    using Runner = std::function<std::optional<int>(std::string_view commandLine)>;
    explicit RegeditProcessEditor(Registry& registry, Runner run = {});
    bool Import(std::string_view sideFile) override;
    bool Export(std::string_view sideFile, std::string_view keyText) override;

private:
    Registry& registry_;
    Runner run_;
};

// Reads and writes the files itself, as regedit would, on the given registry.
// A side file is replaced atomically, so an interrupted export never leaves
// half a file where the profile's settings were.
class InProcessRegistryEditor : public RegistryEditor {
public:
    explicit InProcessRegistryEditor(Registry& registry) : registry_(registry) {}
    bool Import(std::string_view sideFile) override;
    bool Export(std::string_view sideFile, std::string_view keyText) override;
    std::unique_ptr<RegistryEditor> Rebind(Registry& registry) override {
        return std::make_unique<InProcessRegistryEditor>(registry);
    }

private:
    Registry& registry_;
};

// Windows: regedit. POSIX: in-process on `registry`.
std::unique_ptr<RegistryEditor> MakePlatformRegistryEditor(Registry& registry);

// Imports the side file when it exists; false when it is missing or the
// import could not run.
bool ImportPluginSettings(std::string_view sideFile, RegistryEditor& editor);
// Exports the slot's settings key into the side file.
bool ExportPluginSettings(std::string_view sideFile, PluginType type, RegistryEditor& editor);

}  // namespace dravolo
