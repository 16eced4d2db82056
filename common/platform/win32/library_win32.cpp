// Plugins and helper DLLs through LoadLibraryA.

#include <algorithm>
#include <string>

#include "common/platform/windows_api.h"

#include "common/platform/library.h"

namespace dravolo {

std::unique_ptr<Library> Library::Load(std::string_view path) {
    // No "plugin could not be loaded" boxes from the system: the caller reports.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // LoadLibrary reads a relative name with '/' as no path at all and
    // searches the system folders for it: relative paths get backslashes.
    // Rooted paths stay as given (under Wine "/..." is the Unix file system).
    std::string windowsPath(path);
    const bool rooted = !windowsPath.empty() && (windowsPath[0] == '/' || windowsPath[0] == '\\' ||
                                                 (windowsPath.size() > 1 && windowsPath[1] == ':'));
    if (!rooted) std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    HMODULE module = LoadLibraryA(windowsPath.c_str());
    SetErrorMode(oldMode);
    if (!module) return nullptr;
    return std::unique_ptr<Library>(new Library(reinterpret_cast<void*>(module)));
}

Library::~Library() {
    if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
}

bool Library::KeepLoadedForProcessLife() const {
    // A pinned module stays until the process ends, whatever FreeLibrary
    // calls follow. The module handle is its base address, inside the module.
    HMODULE pinned = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                              static_cast<LPCSTR>(handle_), &pinned) != 0;
}

void* Library::Symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

std::uintptr_t ProgramModuleInstance() { return reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)); }

}  // namespace dravolo
