#include "tool/core/emulator_path.h"

#include "common/base/text.h"

#ifdef _WIN32
#include "common/platform/windows_api.h"
#else
#include <unistd.h>

#include <filesystem>

#include "common/platform/winfs.h"
#endif

namespace dravolo::tool {

#ifdef _WIN32
std::string ToolModulePath() {
    // Grown until the whole name fits: a cut path would name another folder.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
#else
std::string ToolModulePath() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || self.empty()) return {};
    return ToWindowsPath(self.string());
}
#endif

std::optional<std::string> EmulatorPathFromToolPath(std::string_view toolPath) {
    const std::string upper = UpperAnsi(toolPath);
    const auto slash = upper.rfind('\\');
    if (slash == std::string::npos) return std::nullopt;
    return upper.substr(0, slash) + "\\ePSXe.EXE";
}

std::string DirectoryOf(std::string_view windowsPath) {
    const auto slash = windowsPath.rfind('\\');
    if (slash == std::string_view::npos) return {};
    return std::string(windowsPath.substr(0, slash));
}

std::string ProgramName(std::string_view toolPath) {
    const auto slash = toolPath.rfind('\\');
    std::string name(slash == std::string_view::npos ? toolPath : toolPath.substr(slash + 1));
    const auto dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    return name.empty() ? std::string("KestrineTool") : name;
}

}  // namespace dravolo::tool
