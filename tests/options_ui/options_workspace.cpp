#include "tests/options_ui/options_workspace.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/platform/prefix.h"

namespace fs = std::filesystem;

namespace dravolo::test {

OptionsWorkspace::OptionsWorkspace() {
    std::string templ = (fs::temp_directory_path() / "dravolo-options-XXXXXX").string();
    if (!mkdtemp(templ.data())) std::abort();
    root_ = templ;
    prefix_ = root_ + "/prefix";
    workdir_ = root_ + "/work";
    fs::create_directories(prefix_);
    EnsurePrefixLayout(prefix_);
    setenv("DRAVOLO_PREFIX", prefix_.c_str(), 1);
    for (const char* dir : {"Epsxe", "Fpse", "Psinex", "Adripsx", "Pcsx"}) fs::create_directories(workdir_ + "/" + dir);
    for (const char* dir : {"epsxe/bios", "epsxe/plugins", "epsxe/memcards", "fpse/plugin/psemu", "fpse/bios",
                            "fpse/memcards", "psinex/plugins", "psinex/bios", "psinex/memcards", "adripsx/Plugins",
                            "adripsx/bios", "adripsx/mems", "pcsx/plugin", "pcsx/bios", "pcsx/memcards"})
        fs::create_directories(prefix_ + "/drive_c/" + dir);
    savedCwd_ = fs::current_path().string();
    fs::current_path(workdir_);
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
    std::error_code ec;
    fs::current_path(savedCwd_, ec);
    unsetenv("DRAVOLO_PREFIX");
    fs::remove_all(root_, ec);
}

void OptionsWorkspace::InstallPlugin(const std::string& builtName, const std::string& folder, const std::string& name,
                                     const std::string& cfg) {
    const fs::path dir = prefix_ + "/drive_c/" + folder;
    fs::create_directories(dir);
    fs::copy_file(fs::path(TEST_PLUGIN_DIR) / builtName, dir / name, fs::copy_options::overwrite_existing);
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
