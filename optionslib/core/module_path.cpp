#include "optionslib/core/module_path.h"

#include "common/platform/module_file.h"
#include "common/platform/winfs.h"

namespace dravolo::kstuff {

namespace {

// Taken once, while the library loads: the host may change directory later.
const std::string gLoadedHostPath = ModuleHostPathHolding(reinterpret_cast<const void*>(&ThisModulePath));

}  // namespace

std::string ThisModulePath() { return gLoadedHostPath.empty() ? std::string() : ToWindowsPath(gLoadedHostPath); }

std::string DirectoryOf(std::string_view windowsPath) {
    const auto slash = windowsPath.rfind('\\');
    if (slash == std::string_view::npos) return {};
    return std::string(windowsPath.substr(0, slash));
}

std::string SiblingPath(std::string_view windowsPath, std::string_view name) {
    const auto slash = windowsPath.rfind('\\');
    if (slash == std::string_view::npos) return std::string(name);
    std::string out(windowsPath.substr(0, slash + 1));
    out.append(name);
    return out;
}

}  // namespace dravolo::kstuff
