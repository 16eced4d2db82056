#pragma once
// The front end's settings: HKEY_CURRENT_USER\Software\Dravolo\Dravolo\Settings.
// Every read has its default and a missing or mistyped value is never an
// error; integers are REG_DWORD, texts REG_SZ, names compare without case.
// The front end reads and writes its settings through their descriptors
// (known_settings.h, or the owner's own), so each default is written once.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/platform/registry.h"
#include "frontend/core/emulator_kind.h"
#include "frontend/core/setting.h"

namespace dravolo {

inline constexpr std::string_view kSettingsKeyPath = "Software\\Dravolo\\Dravolo\\Settings";

struct SettingDefinition {
    std::string_view name;
    bool isText;
    int intDefault;
    std::string_view textDefault;
};

// Every setting the front end keeps, with its type and default.
const std::vector<SettingDefinition>& KnownSettings();
const SettingDefinition* FindSetting(std::string_view name);  // case-insensitive

// "EpsxePath", "FpsePath", ...: the install folder, "c:\\epsxe\\" ... by default.
TextSetting InstallPathSetting(EmulatorKind kind);
// "EpsxeExe", "FpseExe", ...: the program inside it, "epsxe.exe" ... by default.
TextSetting ExecutableSetting(EmulatorKind kind);
// "EpsxeRunner", "FpseRunner", ... (empty by default).
TextSetting RunnerSetting(EmulatorKind kind);
std::string_view RunnerSettingName(EmulatorKind kind);
// "EpsxePrefix", "FpsePrefix", ... (empty by default): the host folder of the
// Wine prefix that emulator lives in, when not the front end's own.
TextSetting PrefixSetting(EmulatorKind kind);
std::string_view PrefixSettingName(EmulatorKind kind);

class SettingsStore {
public:
    explicit SettingsStore(Registry& registry) : registry_(registry) {}

    int Get(const IntSetting& setting) const { return GetInt(setting.name, setting.defaultValue); }
    std::string Get(const TextSetting& setting) const { return GetString(setting.name, setting.defaultValue); }
    // error, when given, says why a value could not be written.
    bool Set(const IntSetting& setting, int value, Error* error = nullptr) {
        return SetInt(setting.name, value, error);
    }
    bool Set(const TextSetting& setting, std::string_view value, Error* error = nullptr) {
        return SetString(setting.name, value, error);
    }

    // By name, with the caller's default: what is stored, for the command
    // line and the tests.
    int GetInt(std::string_view name, int defaultValue) const;
    std::string GetString(std::string_view name, std::string_view defaultValue) const;
    bool SetInt(std::string_view name, int value, Error* error = nullptr);
    bool SetString(std::string_view name, std::string_view value, Error* error = nullptr);

    // A known setting read with its own default.
    int GetInt(std::string_view name) const;
    std::string GetString(std::string_view name) const;

    std::string InstallPath(EmulatorKind kind) const;
    std::string ExecutableName(EmulatorKind kind) const;
    // How that emulator's Windows program is started on Linux: a command such
    // as "wine" or "env WINEPREFIX=/games/psx wine" that gets the program's
    // Windows path and arguments. Empty: DRAVOLO_RUNNER, else "wine".
    std::string Runner(EmulatorKind kind) const;
    // The Wine prefix that emulator's registry, drives and program are in:
    // its prefix setting, else the WINEPREFIX= its runner sets, else empty
    // (the front end's own prefix). Linux only; ignored on Windows.
    std::string EmulatorPrefix(EmulatorKind kind) const;

    Registry& registry() const { return registry_; }

private:
    Registry& registry_;
};

}  // namespace dravolo
