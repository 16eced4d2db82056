#include "common/platform/posix/host_programs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "common/platform/process.h"

namespace dravolo::posix {

std::vector<std::string> SplitOnBlanks(std::string_view s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        std::size_t j = i;
        while (j < s.size() && s[j] != ' ' && s[j] != '\t') ++j;
        if (j > i) out.emplace_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> SearchPath(const std::string& name) {
    if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? std::optional(name) : std::nullopt;
    const char* path = std::getenv("PATH");
    const std::string_view dirs = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t i = 0;
    while (i <= dirs.size()) {
        std::size_t j = dirs.find(':', i);
        if (j == std::string_view::npos) j = dirs.size();
        std::string dir(dirs.substr(i, j - i));
        if (dir.empty()) dir = ".";
        std::string candidate = dir + "/" + name;
        if (IsExecutableFile(candidate)) return candidate;
        i = j + 1;
    }
    return std::nullopt;
}

std::string WinHelperPath() {
    const auto readable = [](const std::string& path) { return !path.empty() && access(path.c_str(), R_OK) == 0; };
    if (const char* own = std::getenv("DRAVOLO_WINHELPER"); own && *own) return readable(own) ? own : std::string();
    const std::string helper = OwnHelperProgram("winhelper.exe");
    return readable(helper) ? helper : std::string();
}

std::string HelperHexArgument(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

}  // namespace dravolo::posix
