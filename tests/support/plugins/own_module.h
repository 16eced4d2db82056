#pragma once
// The file a test plugin was loaded from, for the side files (.cfg, .log) it
// keeps beside itself. Header only: the plugins also build alone with
// mingw-w64, without our libraries (tests/wine).

#ifdef _WIN32
#include "common/platform/windows_api.h"
#else
#include <dlfcn.h>
#endif

#include <string>

namespace dravolo::test {

// The module holding address, as the system names it; "" when it cannot be
// told. The address, not this function's own, says which module is meant.
inline std::string PluginFileHolding(const void* address) {
#ifdef _WIN32
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &self))
        return {};
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(self, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);  // cut short: a longer name
    }
#else
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname) return {};
    return info.dli_fname;
#endif
}

// The same without its extension: "<folder>/<name>".
inline std::string PluginStemHolding(const void* address) {
    std::string path = PluginFileHolding(address);
    const auto dot = path.rfind('.');
    const auto slash = path.find_last_of("/\\");
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.resize(dot);
    return path;
}

}  // namespace dravolo::test
