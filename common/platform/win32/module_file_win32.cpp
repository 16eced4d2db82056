// Module file names through GetModuleFileNameA.

#include "common/platform/windows_api.h"

#include "common/platform/module_file.h"

namespace dravolo {

namespace {

// Grown until the whole name fits: a long install path cut short would name
// another folder.
std::string ModuleFileName(HMODULE module) {
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

}  // namespace

std::string ProgramHostPath() { return ModuleFileName(nullptr); }

std::string ModuleHostPathHolding(const void* address) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &module))
        return {};
    return ModuleFileName(module);
}

}  // namespace dravolo
