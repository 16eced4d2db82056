#pragma once
// The plugins Debian's pcsxr package installs, linked into a plugin folder of
// a test under the names an emulator's folder gives them, together with the
// settings programs the plugins start from their own folder.

#include <string>
#include <vector>

namespace dravolo::test {

inline constexpr const char* kPcsxrPluginDir = "/usr/lib/x86_64-linux-gnu/psemu/";

struct RealPlugin {
    const char* library;   // in kPcsxrPluginDir
    const char* settings;  // its settings program there, or nullptr
};

// Every plugin the package brings.
const std::vector<RealPlugin>& PcsxrPlugins();

// Empty when the plugins are there; otherwise why the tests are skipped.
std::string PcsxrPluginsMissing();

// Links kPcsxrPluginDir/library as folder/name and the plugin's settings
// program beside it under its own name.
void LinkRealPlugin(const std::string& folder, const std::string& library, const std::string& name);

}  // namespace dravolo::test
