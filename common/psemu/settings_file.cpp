#include "common/psemu/settings_file.h"

#include <cstring>

#include "common/platform/profile_ini.h"

namespace dravolo {

namespace {

// Plugins call back on the user-interface thread, the only one that sets it.
std::string& PathStorage() {
    static std::string path;
    return path;
}

}  // namespace

void SetCurrentSettingsFile(std::string_view path) { PathStorage() = path; }

std::string CurrentSettingsFile() { return PathStorage(); }

std::string ReadCurrentSetting(std::string_view section, std::string_view key) {
    const std::string file = CurrentSettingsFile();
    if (file.empty()) return {};
    std::string value = GetPrivateProfileString(section, key, "", file);
    if (value.size() > kMaxSettingsValueLength) value.resize(kMaxSettingsValueLength);
    return value;
}

void WriteCurrentSetting(std::string_view section, std::string_view key, std::optional<std::string_view> value) {
    const std::string file = CurrentSettingsFile();
    if (file.empty()) return;
    WritePrivateProfileString(section, key, value, file);
}

extern "C" int DRAVOLO_PLUGIN_CALL DravoloReadSetting(const char* section, const char* key, char* out) {
    if (!out) return 0;
    out[0] = '\0';
    if (!section || !key) return 0;
    const std::string value = ReadCurrentSetting(section, key);
    std::memcpy(out, value.c_str(), value.size() + 1);
    return 0;
}

extern "C" int DRAVOLO_PLUGIN_CALL DravoloWriteSetting(const char* section, const char* key, const char* value) {
    if (!section || !key) return 0;
    WriteCurrentSetting(section, key, value ? std::optional<std::string_view>(value) : std::nullopt);
    return 0;
}

}  // namespace dravolo
