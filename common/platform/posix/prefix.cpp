// The Wine prefix that holds the Windows world on POSIX.

#include "common/platform/prefix.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <utility>
#include <vector>

#include "common/platform/posix/host_programs.h"
#include "common/platform/posix/wine_bridge.h"

namespace dravolo {

namespace {

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

std::mutex gOverrideMutex;
std::string gOverride;  // a ScopedPrefix's directory; empty: none

std::string ChosenPrefix() {
    {
        std::lock_guard lock(gOverrideMutex);
        if (!gOverride.empty()) return gOverride;
    }
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

ScopedPrefix::ScopedPrefix(std::string dir) {
    if (dir.empty()) return;
    std::lock_guard lock(gOverrideMutex);
    previous_ = std::exchange(gOverride, WithoutTrailingSlashes(std::move(dir)));
    active_ = true;
}

ScopedPrefix::~ScopedPrefix() {
    if (!active_) return;
    std::lock_guard lock(gOverrideMutex);
    gOverride = std::move(previous_);
}

bool RunnerIsWine(const std::string& runnerSetting) {
    const std::vector<std::string> words = posix::SplitOnBlanks(
        !runnerSetting.empty()                                            ? runnerSetting
        : std::getenv("DRAVOLO_RUNNER") && *std::getenv("DRAVOLO_RUNNER") ? std::string(std::getenv("DRAVOLO_RUNNER"))
                                                                          : std::string("wine"));
    std::size_t i = 0;
    if (i < words.size() && (words[i] == "env" || words[i].ends_with("/env"))) {
        ++i;
        while (i < words.size() && words[i].find('=') != std::string::npos) ++i;
    }
    if (i >= words.size()) return false;
    const std::string& program = words[i];
    const std::string name = program.substr(program.rfind('/') == std::string::npos ? 0 : program.rfind('/') + 1);
    return name.starts_with("wine");
}

bool PreparePrefix(const std::string& dir, const std::string& runnerSetting) {
    if (dir.empty()) return false;
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0 && RunnerIsWine(runnerSetting)) {
        // Wine's own first start makes the hives, the drives and the system
        // folders; wineboot waits for it and ends with the prefix complete.
        const auto runner = wine::RunnerCommand(runnerSetting);
        if (!runner.empty()) wine::RunInPrefix(dir, runner, {"wineboot", "-i"}, std::chrono::minutes(3));
    }
    return EnsurePrefixLayout(dir);
}

bool EmulatorsMayHaveOwnPrefix() { return true; }

}  // namespace dravolo
