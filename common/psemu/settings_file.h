#pragma once
// The current settings file: FPSE-native plugins receive two plain callbacks
// (no context pointer) to read and write their settings, so the file they work
// on is process-wide. Quick configure and the option pages point it at the
// profile's FPSE settings file before calling a plugin; the PSinex writer
// points it at PSinex's own file.

#include <optional>
#include <string>
#include <string_view>

#include "common/psemu/plugin_types.h"

namespace dravolo {

void SetCurrentSettingsFile(std::string_view path);
std::string CurrentSettingsFile();

// The longest value a plugin can read back; longer values are cut here, as
// the plugin's buffer holds no more (plus the terminating zero).
inline constexpr std::size_t kMaxSettingsValueLength = 1023;

// What the callbacks do, for plugins that run in the plugin host: the value
// (cut to kMaxSettingsValueLength, empty when missing), and the write (a
// missing value deletes the key).
std::string ReadCurrentSetting(std::string_view section, std::string_view key);
void WriteCurrentSetting(std::string_view section, std::string_view key, std::optional<std::string_view> value);

// The callbacks handed to FPSE-native plugins. Both return 0. The read
// callback writes at most kMaxSettingsValueLength characters plus a zero into
// `out`; a missing key gives empty text.
extern "C" {
int DRAVOLO_PLUGIN_CALL DravoloReadSetting(const char* section, const char* key, char* out);
int DRAVOLO_PLUGIN_CALL DravoloWriteSetting(const char* section, const char* key, const char* value);
}

}  // namespace dravolo
