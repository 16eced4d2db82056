#include "frontend/core/settings_store.h"

#include "common/base/text.h"

namespace dravolo {

const std::vector<SettingDefinition>& KnownSettings() {
    static const std::vector<SettingDefinition> settings = [] {
        std::vector<SettingDefinition> s = {
            {"CurrentEmulator", false, 0, ""}, {"CurrentView", false, 0, ""}, {"UseBitmap", false, 0, ""},
            {"TileBitmap", false, 0, ""},      {"Background", true, 0, ""},   {"TextColor", false, 0, ""},
            {"NukeConsole", false, 1, ""},     {"XPMenu", false, 0, ""},      {"flags", false, -1, ""},
            {"showCmd", false, -1, ""},        {"x1", false, -1, ""},         {"y1", false, -1, ""},
            {"x2", false, -1, ""},             {"y2", false, -1, ""},
        };
        for (const auto& kind : kEmulatorKinds) s.push_back({kind.pathSetting, true, 0, kind.defaultPath});
        for (const auto& kind : kEmulatorKinds) s.push_back({kind.exeSetting, true, 0, kind.defaultExe});
        for (const auto& kind : kEmulatorKinds) s.push_back({RunnerSettingName(kind.kind), true, 0, ""});
        for (const auto& kind : kEmulatorKinds) s.push_back({PrefixSettingName(kind.kind), true, 0, ""});
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

bool SettingsStore::SetInt(std::string_view name, int value) {
    return registry_.SetDword(RegRoot::CurrentUser, kSettingsKeyPath, name, static_cast<std::uint32_t>(value));
}

bool SettingsStore::SetString(std::string_view name, std::string_view value) {
    return registry_.SetString(RegRoot::CurrentUser, kSettingsKeyPath, name, value);
}

int SettingsStore::GetInt(std::string_view name) const {
    const SettingDefinition* def = FindSetting(name);
    return GetInt(name, def ? def->intDefault : 0);
}

std::string SettingsStore::GetString(std::string_view name) const {
    const SettingDefinition* def = FindSetting(name);
    return GetString(name, def ? def->textDefault : std::string_view{});
}

std::string SettingsStore::InstallPath(EmulatorKind kind) const {
    const auto& info = KindInfo(kind);
    return GetString(info.pathSetting, info.defaultPath);
}

std::string_view RunnerSettingName(EmulatorKind kind) {
    static constexpr std::string_view kNames[] = {"EpsxeRunner", "FpseRunner", "PsinexRunner", "AdripsxRunner",
                                                  "PcsxRunner"};
    return kNames[static_cast<int>(kind)];
}

std::string SettingsStore::Runner(EmulatorKind kind) const { return GetString(RunnerSettingName(kind), ""); }

std::string_view PrefixSettingName(EmulatorKind kind) {
    static constexpr std::string_view kNames[] = {"EpsxePrefix", "FpsePrefix", "PsinexPrefix", "AdripsxPrefix",
                                                  "PcsxPrefix"};
    return kNames[static_cast<int>(kind)];
}

std::string SettingsStore::EmulatorPrefix(EmulatorKind kind) const {
    if (std::string own = GetString(PrefixSettingName(kind), ""); !own.empty()) return own;
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

std::string SettingsStore::ExecutableName(EmulatorKind kind) const {
    const auto& info = KindInfo(kind);
    return GetString(info.exeSetting, info.defaultExe);
}

}  // namespace dravolo
