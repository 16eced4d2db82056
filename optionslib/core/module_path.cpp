#include "optionslib/core/module_path.h"

#ifdef _WIN32
#include "common/platform/windows_api.h"
#else
#include <dlfcn.h>

#include <filesystem>

#include "common/platform/winfs.h"
#endif

namespace dravolo::kstuff {

#ifdef _WIN32
std::string ThisModulePath() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&ThisModulePath), &module))
        return {};
    // Grow the buffer until the whole name fits: a long install path must not
    // be cut into a different folder.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
#else
namespace {

// The loaded file's absolute host path. dladdr gives the name the host passed
// to dlopen, which may be relative to the host's directory at load time; the
// host may change directory later, so the absolute path is taken once, while
// the library loads.
std::string LoadedHostPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LoadedHostPath), &info) == 0 || !info.dli_fname || !*info.dli_fname)
        return {};
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(info.dli_fname, ec);
    if (ec) return {};
    return absolute.lexically_normal().string();
}

const std::string gLoadedHostPath = LoadedHostPath();

}  // namespace

std::string ThisModulePath() { return gLoadedHostPath.empty() ? std::string() : ToWindowsPath(gLoadedHostPath); }
#endif

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
