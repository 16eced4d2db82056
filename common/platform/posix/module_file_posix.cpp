// Module file names through /proc/self/exe and dladdr.

#include <dlfcn.h>

#include <filesystem>

#include "common/platform/module_file.h"

namespace dravolo {

std::string ProgramHostPath() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    return self.string();
}

std::string ModuleHostPathHolding(const void* address) {
    // dladdr gives the name the host passed to dlopen, which may be relative
    // to the host's directory at load time.
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname || !*info.dli_fname) return {};
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(info.dli_fname, ec);
    if (ec) return {};
    return absolute.lexically_normal().string();
}

}  // namespace dravolo
