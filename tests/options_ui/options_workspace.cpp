#include "tests/options_ui/options_workspace.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/portable_env.h"

namespace fs = std::filesystem;

namespace dravolo::test {

OptionsWorkspace::OptionsWorkspace() {
    for (const char* dir : {"epsxe/bios", "epsxe/plugins", "epsxe/memcards", "fpse/plugin/psemu", "fpse/bios",
                            "fpse/memcards", "psinex/plugins", "psinex/bios", "psinex/memcards", "adripsx/Plugins",
                            "adripsx/bios", "adripsx/mems", "pcsx/plugin", "pcsx/bios", "pcsx/memcards"})
        fs::create_directories(DriveC(dir));
    registry_ = OpenSystemRegistry();
    settings_ = std::make_unique<SettingsStore>(*registry_);
    editor_ = std::make_unique<InProcessRegistryEditor>(*registry_);
    context_ = std::make_unique<SheetContext>(SheetContext{*settings_, prompter, choosers, *editor_, {}});
}

OptionsWorkspace::~OptionsWorkspace() {
    context_.reset();
    editor_.reset();
    settings_.reset();
    registry_.reset();
}

void OptionsWorkspace::InstallPlugin(const std::string& builtName, const std::string& folder, const std::string& name,
                                     const std::string& cfg) {
    const fs::path dir = DriveC(folder);
    fs::create_directories(dir);
    CopyFileReplacing((fs::path(TEST_PLUGIN_DIR) / builtName).string(), (dir / name).string());
    if (!cfg.empty()) WriteFile((dir / fs::path(name).stem()).string() + ".cfg", cfg);
}

void OptionsWorkspace::WriteFile(const std::string& hostPath, const std::string& content) const {
    fs::create_directories(fs::path(hostPath).parent_path());
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    out << content;
}

std::string OptionsWorkspace::ReadFile(const std::string& hostPath) const {
    std::ifstream in(hostPath, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool OptionsWorkspace::Exists(const std::string& hostPath) const { return fs::exists(hostPath); }

}  // namespace dravolo::test
