#include "frontend/core/settings_store.h"

#include "common/base/text.h"
#include "frontend/core/known_settings.h"

namespace dravolo {

const std::vector<SettingDefinition>& KnownSettings() {
    static const std::vector<SettingDefinition> settings = [] {
        std::vector<SettingDefinition> s;
        const auto number = [&s](const IntSetting& setting) {
            s.push_back({setting.name, false, setting.defaultValue, ""});
        };
        const auto text = [&s](const TextSetting& setting) {
            s.push_back({setting.name, true, 0, setting.defaultValue});
        };
        for (const auto& setting :
             {kCurrentEmulatorSetting, kCurrentViewSetting, kUseBitmapSetting, kTileBitmapSetting})
            number(setting);
        text(kBackgroundSetting);
        for (const auto& setting :
             {kTextColorSetting, kNukeConsoleSetting, kXpMenuSetting, kPlacementFlagsSetting, kPlacementShowCmdSetting,
              kPlacementLeftSetting, kPlacementTopSetting, kPlacementRightSetting, kPlacementBottomSetting})
            number(setting);
        for (const auto& kind : kEmulatorKinds) text(InstallPathSetting(kind.kind));
        for (const auto& kind : kEmulatorKinds) text(ExecutableSetting(kind.kind));
        for (const auto& kind : kEmulatorKinds) text(RunnerSetting(kind.kind));
        for (const auto& kind : kEmulatorKinds) text(PrefixSetting(kind.kind));
        return s;
    }();
    return settings;
}

const SettingDefinition* FindSetting(std::string_view name) {
    for (const auto& def : KnownSettings())
        if (EqualsNoCase(def.name, name)) return &def;
    return nullptr;
}

int SettingsStore::GetInt(std::string_view name, int defaultValue) const {
    // Only a REG_DWORD counts; anything else stored under the name reads as the
    // default, as the framework's profile reader does.
    const auto value = registry_.QueryValue(RegRoot::CurrentUser, kSettingsKeyPath, name);
    if (!value || value->type != kRegDword) return defaultValue;
    const auto number = RegDataAsDword(value->data);
    return number ? static_cast<int>(*number) : defaultValue;
}

std::string SettingsStore::GetString(std::string_view name, std::string_view defaultValue) const {
    const auto value = registry_.QueryValue(RegRoot::CurrentUser, kSettingsKeyPath, name);
    if (!value || (value->type != kRegSz && value->type != kRegExpandSz)) return std::string(defaultValue);
    return RegDataAsText(value->data);
}

bool SettingsStore::SetInt(std::string_view name, int value, Error* error) {
    return registry_.SetDword(RegRoot::CurrentUser, kSettingsKeyPath, name, static_cast<std::uint32_t>(value), error);
}

bool SettingsStore::SetString(std::string_view name, std::string_view value, Error* error) {
    return registry_.SetString(RegRoot::CurrentUser, kSettingsKeyPath, name, value, error);
}

int SettingsStore::GetInt(std::string_view name) const {
    const SettingDefinition* def = FindSetting(name);
    return GetInt(name, def ? def->intDefault : 0);
}

std::string SettingsStore::GetString(std::string_view name) const {
    const SettingDefinition* def = FindSetting(name);
    return GetString(name, def ? def->textDefault : std::string_view{});
}

TextSetting InstallPathSetting(EmulatorKind kind) {
    const auto& info = KindInfo(kind);
    return {info.pathSetting, info.defaultPath};
}

TextSetting ExecutableSetting(EmulatorKind kind) {
    const auto& info = KindInfo(kind);
    return {info.exeSetting, info.defaultExe};
}

TextSetting RunnerSetting(EmulatorKind kind) { return {RunnerSettingName(kind), ""}; }

TextSetting PrefixSetting(EmulatorKind kind) { return {PrefixSettingName(kind), ""}; }

std::string SettingsStore::InstallPath(EmulatorKind kind) const { return Get(InstallPathSetting(kind)); }

std::string_view RunnerSettingName(EmulatorKind kind) { return KindInfo(kind).runnerSetting; }

std::string SettingsStore::Runner(EmulatorKind kind) const { return Get(RunnerSetting(kind)); }

std::string_view PrefixSettingName(EmulatorKind kind) { return KindInfo(kind).prefixSetting; }

std::string SettingsStore::EmulatorPrefix(EmulatorKind kind) const {
    if (std::string own = Get(PrefixSetting(kind)); !own.empty()) return own;
    // "env WINEPREFIX=/games/pcsx wine": the runner names the prefix itself.
    const std::string runner = Runner(kind);
    std::size_t i = 0;
    while (i < runner.size()) {
        while (i < runner.size() && (runner[i] == ' ' || runner[i] == '\t')) ++i;
        std::size_t j = i;
        while (j < runner.size() && runner[j] != ' ' && runner[j] != '\t') ++j;
        const std::string_view word(runner.data() + i, j - i);
        if (word.starts_with("WINEPREFIX=")) return std::string(word.substr(11));
        i = j;
    }
    return {};
}

std::string SettingsStore::ExecutableName(EmulatorKind kind) const { return Get(ExecutableSetting(kind)); }

}  // namespace dravolo
