// Plugins on POSIX are native shared objects named like the Windows ones.

#include <dlfcn.h>

#include "common/platform/library.h"
#include "common/platform/winfs.h"

namespace dravolo {

std::unique_ptr<Library> Library::Load(std::string_view path) {
    // RTLD_LOCAL: plugins export the same names (GPUinit, ...) and must not
    // satisfy each other's lookups.
    void* handle = dlopen(ToHostPath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return nullptr;
    return std::unique_ptr<Library>(new Library(handle));
}

Library::~Library() {
    if (handle_) dlclose(handle_);
}

void* Library::Symbol(const char* name) const { return dlsym(handle_, name); }

std::uintptr_t ProgramModuleInstance() {
    // The program itself is never unloaded: one handle serves for its life.
    static void* const self = dlopen(nullptr, RTLD_LAZY);
    return reinterpret_cast<std::uintptr_t>(self);
}

}  // namespace dravolo
