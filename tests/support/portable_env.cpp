#include "tests/support/portable_env.h"

#ifdef _WIN32
#include <sys/utime.h>
#else
#include <utime.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace dravolo::test {

std::string MakeTempFolder(const std::string& stem) {
    // create_directory says whether the folder is new, so two tests never share one.
    std::random_device seed;
    std::mt19937_64 random(seed());
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path dir = base / (stem + "-" + std::to_string(random() % 1000000000));
        std::error_code ec;
        if (fs::create_directory(dir, ec)) return dir.string();
    }
    throw std::runtime_error("cannot create a temporary folder below " + base.string());
}

#ifdef _WIN32
void SetEnv(const char* name, const char* value) { _putenv_s(name, value); }
void UnsetEnv(const char* name) { _putenv_s(name, ""); }
#else
void SetEnv(const char* name, const char* value) { setenv(name, value, 1); }
void UnsetEnv(const char* name) { unsetenv(name); }
#endif

void SetEnvDefault(const char* name, const char* value) {
    if (!std::getenv(name)) SetEnv(name, value);
}

void CopyFileReplacing(const std::string& from, const std::string& to) {
    fs::remove(to);
    fs::copy_file(from, to);
}

#ifdef _WIN32
bool SetFileWriteTime(const std::string& path, std::time_t when) {
    __utimbuf64 times{when, when};
    return _utime64(path.c_str(), &times) == 0;
}
#else
bool SetFileWriteTime(const std::string& path, std::time_t when) {
    const utimbuf times{when, when};
    return utime(path.c_str(), &times) == 0;
}
#endif

}  // namespace dravolo::test
