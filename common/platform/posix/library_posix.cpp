// Plugins on POSIX are native shared objects named like the Windows ones.

#include <dlfcn.h>
#include <link.h>

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

bool Library::KeepLoadedForProcessLife() const {
    // RTLD_NODELETE given to a second dlopen of a library already loaded marks
    // it for good; the reference that dlopen adds is dropped again at once.
    link_map* map = nullptr;
    if (dlinfo(handle_, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name) return false;
    void* again = dlopen(map->l_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    if (!again) return false;
    dlclose(again);
    return true;
}

void* Library::Symbol(const char* name) const { return dlsym(handle_, name); }

std::uintptr_t ProgramModuleInstance() {
    // The program itself is never unloaded: one handle serves for its life.
    static void* const self = dlopen(nullptr, RTLD_LAZY);
    return reinterpret_cast<std::uintptr_t>(self);
}

}  // namespace dravolo
