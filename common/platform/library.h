#pragma once
// Plugin and helper libraries loaded at run time (LoadLibraryA / dlopen).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace dravolo {

class Library {
public:
    // path is a Windows path (see winfs.h). nullptr when it cannot be loaded.
    static std::unique_ptr<Library> Load(std::string_view path);
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Keeps the library mapped until the process ends, whatever becomes of
    // this wrapper: for a library whose code may still run after its owner is
    // gone (widgets it created, handlers it left installed). The wrapper can
    // then be destroyed as usual. False when the system refuses.
    [[nodiscard]] bool KeepLoadedForProcessLife() const;

    void* Symbol(const char* name) const;
    template <typename F>
    F Function(const char* name) const {
        return reinterpret_cast<F>(Symbol(name));
    }

private:
    explicit Library(void* handle) : handle_(handle) {}
    void* handle_;
};

// The running program's own module instance, GetModuleHandle(NULL) on
// Windows, which Windows plugins take as the owner of the windows they open;
// on POSIX the program's own dlopen handle stands for it. Never 0.
std::uintptr_t ProgramModuleInstance();

}  // namespace dravolo
