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

void SetCurrentSettingsFile(std::string_view path) {
    PathStorage() = path;
}

std::string CurrentSettingsFile() {
    return PathStorage();
}

extern "C" int DRAVOLO_PLUGIN_CALL DravoloReadSetting(const char* section, const char* key, char* out) {
    if (!out) return 0;
    out[0] = '\0';
    if (!section || !key) return 0;
    const std::string file = CurrentSettingsFile();
    if (file.empty()) return 0;
    std::string value = GetPrivateProfileString(section, key, "", file);
    if (value.size() > kMaxSettingsValueLength) value.resize(kMaxSettingsValueLength);
    std::memcpy(out, value.c_str(), value.size() + 1);
    return 0;
}

extern "C" int DRAVOLO_PLUGIN_CALL DravoloWriteSetting(const char* section, const char* key, const char* value) {
    if (!section || !key) return 0;
    const std::string file = CurrentSettingsFile();
    if (file.empty()) return 0;
    WritePrivateProfileString(section, key, value ? std::optional<std::string_view>(value) : std::nullopt, file);
    return 0;
}

}  // namespace dravolo
