#include "tool/core/emulator_path.h"

#include "common/base/text.h"

#include "common/platform/module_file.h"
#include "common/platform/winfs.h"

namespace dravolo::tool {

std::string ToolModulePath() {
    const std::string self = ProgramHostPath();
    return self.empty() ? std::string() : ToWindowsPath(self);
}

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
