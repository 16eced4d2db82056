#include "tests/tool/tool_workspace.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/portable_env.h"

namespace fs = std::filesystem;

namespace dravolo::test {

ToolWorkspace::ToolWorkspace(const std::string& driveC, const std::string& folder)
    : folder_(folder), host_(driveC + "/" + folder) {
    fs::create_directories(host_ + "/plugins");
}

void ToolWorkspace::AddPlugin(const std::string& builtPath, const std::string& name, const std::string& cfg) const {
    const std::string target = host_ + "/plugins/" + name;
    CopyFileReplacing(builtPath, target);
    if (!cfg.empty()) {
        const std::string base = target.substr(0, target.rfind('.'));
        std::ofstream(base + ".cfg") << cfg;
    }
}

void ToolWorkspace::AddEmulator() const { std::ofstream(host_ + "/epsxe.exe") << "MZ"; }

void ToolWorkspace::SetDate(const std::string& relative, int year, int month, int day) const {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    SetFileWriteTime(host_ + "/" + relative, when);
}

std::string ToolWorkspace::PluginLog(const std::string& name) const {
    const std::string base = name.substr(0, name.rfind('.'));
    std::ifstream in(host_ + "/plugins/" + base + ".log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string SharedTestPlugin(const std::string& file) { return std::string(TEST_PLUGIN_DIR) + "/" + file; }
std::string ToolTestPlugin(const std::string& file) { return std::string(TOOL_TEST_PLUGIN_DIR) + "/" + file; }

}  // namespace dravolo::test
