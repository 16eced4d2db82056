#include "tests/real_plugins/pcsxr_plugins.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace dravolo::test {

const std::vector<RealPlugin>& PcsxrPlugins() {
    static const std::vector<RealPlugin> plugins = {
        {"libDFXVideo.so", "cfgDFXVideo"},   {"libpeopsxgl.so", "cfgpeopsxgl"}, {"libDFSound.so", "cfgDFSound"},
        {"libDFCdrom.so", "cfgDFCdrom"},     {"libDFInput.so", "cfgDFInput"},   {"libDFNet.so", "cfgDFNet"},
        {"libBladeSio1.so", "cfgBladeSio1"},
    };
    return plugins;
}

std::string PcsxrPluginsMissing() {
    for (const auto& plugin : PcsxrPlugins()) {
        if (!fs::exists(fs::path(kPcsxrPluginDir) / plugin.library))
            return std::string("the pcsxr package is not installed (apt-get install pcsxr): no ") + kPcsxrPluginDir +
                   plugin.library;
    }
    return {};
}

void LinkRealPlugin(const std::string& folder, const std::string& library, const std::string& name) {
    fs::create_directories(folder);
    fs::create_symlink(fs::path(kPcsxrPluginDir) / library, fs::path(folder) / name);
    for (const auto& plugin : PcsxrPlugins()) {
        if (library != plugin.library || !plugin.settings) continue;
        const fs::path settings = fs::path(folder) / plugin.settings;
        if (!fs::exists(settings)) fs::create_symlink(fs::path(kPcsxrPluginDir) / plugin.settings, settings);
    }
}

}  // namespace dravolo::test
