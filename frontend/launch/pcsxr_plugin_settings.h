#pragma once
// PCSX-Reloaded's plugins keep their settings in files of their own below
// ~/.pcsxr/plugins/ (dfxvideo.cfg, dfsound.cfg, ...), not in the registry.
// A PCSX-Reloaded profile keeps a copy of each in the same side file a
// registry export would go to (".gpu", ".spu", ".cdr", ".pad"); the copy's
// first line names the settings file, as a registry export names its key, so
// it goes back to the right file whichever plugin the profile names later.

#include <optional>
#include <string>
#include <string_view>

namespace dravolo {

// The settings file of one of pcsxr's plugins ("libDFXVideo.so" ->
// "dfxvideo.cfg"); empty for a plugin we do not know.
std::string_view PcsxrPluginSettingsFile(std::string_view pluginFile);

// The side file's text: its first line, then the settings file byte for byte.
std::string PcsxrSideFileText(std::string_view settingsFile, std::string_view contents);
struct PcsxrSideFile {
    std::string settingsFile;
    std::string contents;
};
// nullopt when the text is no copy of a known settings file.
std::optional<PcsxrSideFile> ParsePcsxrSideFile(std::string_view text);

// Copies the plugin's live settings file (below pcsxrHome's "plugins/") into
// the side file; false, leaving the side file alone, when the plugin is
// unknown, never stored settings, or the side file cannot be written.
bool CapturePcsxrPluginSettings(std::string_view sideFile, std::string_view pluginFile, std::string_view pcsxrHome);
// Puts the side file's copy back; false, changing nothing, when the side file
// is missing or no such copy, or the settings file cannot be written.
bool RestorePcsxrPluginSettings(std::string_view sideFile, std::string_view pcsxrHome);

}  // namespace dravolo
