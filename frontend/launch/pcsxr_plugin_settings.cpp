#include "frontend/launch/pcsxr_plugin_settings.h"

#include <array>
#include <cstdint>
#include <span>
#include <utility>

#include "common/platform/winfs.h"

namespace dravolo {
namespace {

// Read off the plugins of pcsxr 1.9.94 and their settings programs.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kSettingsFiles = {{
    {"libDFXVideo.so", "dfxvideo.cfg"},
    {"libpeopsxgl.so", "gpuPeopsMesaGL.cfg"},
    {"libDFSound.so", "dfsound.cfg"},
    {"libDFCdrom.so", "dfcdrom.cfg"},
    {"libDFInput.so", "dfinput.cfg"},
    {"libDFNet.so", "dfnet.cfg"},
    {"libBladeSio1.so", "bladesio1.cfg"},
}};

constexpr std::string_view kFirstLinePrefix = "PCSX-Reloaded plugin settings: ";

bool IsKnownSettingsFile(std::string_view name) {
    for (const auto& [plugin, file] : kSettingsFiles)
        if (file == name) return true;
    return false;
}

std::span<const std::uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::string_view PcsxrPluginSettingsFile(std::string_view pluginFile) {
    for (const auto& [plugin, file] : kSettingsFiles)
        if (plugin == pluginFile) return file;
    return {};
}

std::string PcsxrSideFileText(std::string_view settingsFile, std::string_view contents) {
    std::string text(kFirstLinePrefix);
    text += settingsFile;
    text += '\n';
    text += contents;
    return text;
}

std::optional<PcsxrSideFile> ParsePcsxrSideFile(std::string_view text) {
    if (!text.starts_with(kFirstLinePrefix)) return std::nullopt;
    const auto newline = text.find('\n');
    if (newline == std::string_view::npos) return std::nullopt;
    const std::string_view name = text.substr(kFirstLinePrefix.size(), newline - kFirstLinePrefix.size());
    // Only the files pcsxr's plugins read: a side file never names a path.
    if (!IsKnownSettingsFile(name)) return std::nullopt;
    return PcsxrSideFile{std::string(name), std::string(text.substr(newline + 1))};
}

bool CapturePcsxrPluginSettings(std::string_view sideFile, std::string_view pluginFile, std::string_view pcsxrHome) {
    const std::string_view settingsFile = PcsxrPluginSettingsFile(pluginFile);
    if (settingsFile.empty()) return false;
    const auto live = ReadWholeFile(std::string(pcsxrHome) + "plugins/" + std::string(settingsFile));
    if (!live) return false;
    const std::string text =
        PcsxrSideFileText(settingsFile, std::string_view(reinterpret_cast<const char*>(live->data()), live->size()));
    return WriteWholeFileAtomic(sideFile, AsBytes(text));
}

bool RestorePcsxrPluginSettings(std::string_view sideFile, std::string_view pcsxrHome) {
    const auto bytes = ReadWholeFile(sideFile);
    if (!bytes) return false;
    const auto copy = ParsePcsxrSideFile(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!copy) return false;
    const std::string home(pcsxrHome);
    // Either may exist already; a folder that cannot be made fails the write below.
    (void)CreateDir(home);
    (void)CreateDir(home + "plugins");
    return WriteWholeFileAtomic(home + "plugins/" + copy->settingsFile, AsBytes(copy->contents));
}

}  // namespace dravolo
