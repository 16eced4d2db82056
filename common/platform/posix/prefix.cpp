// The Wine prefix that holds the Windows world on POSIX.

#include "common/platform/prefix.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace dravolo {

namespace {

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

std::string ChosenPrefix() {
    for (const char* var : {"DRAVOLO_PREFIX", "WINEPREFIX"}) {
        if (const char* v = std::getenv(var); v && *v) return v;
    }
    const std::string home = HomeDirectory();
    return home.empty() ? std::string() : home + "/.wine";
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool MakeDir(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) return true;
    struct stat st {};
    return errno == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Wine creates the drive links itself, but only when it initialises the
// prefix; we may be first, and we need them to map drive letters.
bool MakeLinkIfMissing(const char* target, const std::string& link) {
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0) return true;  // kept as the user set it
    return symlink(target, link.c_str()) == 0 || errno == EEXIST;
}

}  // namespace

bool EnsurePrefixLayout(const std::string& dir) {
    if (dir.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec && !std::filesystem::is_directory(dir, ec)) return false;
    const std::string dosdevices = dir + "/dosdevices";
    return MakeDir(dir + "/drive_c") && MakeDir(dosdevices) && MakeLinkIfMissing("../drive_c", dosdevices + "/c:") &&
           MakeLinkIfMissing("/", dosdevices + "/z:");
}

std::string PrefixDirectory() {
    std::string dir = ChosenPrefix();
    if (dir.empty()) return {};
    if (dir[0] != '/') {
        std::error_code ec;
        const auto abs = std::filesystem::absolute(dir, ec);
        if (ec) return {};
        dir = abs.string();
    }
    dir = WithoutTrailingSlashes(std::move(dir));

    // The environment may point elsewhere between calls (tests do); check the
    // layout once per directory rather than on every path lookup.
    static std::mutex mutex;
    static std::string ensured;
    std::lock_guard lock(mutex);
    if (ensured != dir) {
        if (!EnsurePrefixLayout(dir)) return {};
        ensured = dir;
    }
    return dir;
}

}  // namespace dravolo
