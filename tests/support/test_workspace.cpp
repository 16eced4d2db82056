#include "tests/support/test_workspace.h"

#include "tests/support/portable_env.h"
#include "tests/support/scratch_windows.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace dravolo::test {

void RemoveTree(const std::string& hostPath) {
    std::error_code ec;
    fs::remove_all(hostPath, ec);
}

TempDir::TempDir() : path_(MakeTempFolder()) {}
TempDir::~TempDir() { RemoveTree(path_); }

#ifdef DRAVOLO_TEST_NATIVE_PLUGINHOST
namespace {
// The tests' programs do not live beside the native plugin host; every test
// that touches plugins goes through this file, so it names the built host.
const bool nativeHostNamed = [] {
    SetEnvDefault("DRAVOLO_PLUGINHOST_NATIVE", DRAVOLO_TEST_NATIVE_PLUGINHOST);
    return true;
}();
}  // namespace
#endif

TestWorkspace::TestWorkspace() {
    root_ = MakeTempFolder();
    prefix_ = root_ + "/prefix";
    workdir_ = root_ + "/work";
    driveC_ = prefix_ + "/drive_c";
    fs::create_directories(driveC_);
#ifdef _WIN32
    // Drive letters are real here: C: is the machine's own, usable only on a
    // throwaway Windows. Elsewhere the test is skipped, and whatever a derived
    // fixture still sets up lands in the temporary folder.
    if (ScratchWindows::Allowed()) {
        scratch_ = std::make_shared<ScratchWindows>();
        driveC_ = "C:";
    }
#else
    fs::create_directories(prefix_ + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix_ + "/dosdevices/c:");
    fs::create_directory_symlink("/", prefix_ + "/dosdevices/z:");
#endif
    for (const char* dir : {"Epsxe", "Fpse", "Psinex", "Adripsx", "Pcsx"}) fs::create_directories(workdir_ + "/" + dir);
    for (const char* dir : {"epsxe", "fpse", "psinex", "adripsx", "pcsx"})
        fs::create_directories(driveC_ + "/" + dir + "/memcards");

    // Last, so that nothing above can fail with the process already changed.
    const char* old = std::getenv("DRAVOLO_PREFIX");
    hadPrefix_ = old != nullptr;
    if (old) savedPrefix_ = old;
    savedCwd_ = fs::current_path().string();
    SetEnv("DRAVOLO_PREFIX", prefix_.c_str());
    fs::current_path(workdir_);
}

TestWorkspace::~TestWorkspace() {
    std::error_code ec;
    fs::current_path(savedCwd_, ec);
    if (hadPrefix_) SetEnv("DRAVOLO_PREFIX", savedPrefix_.c_str());
    else UnsetEnv("DRAVOLO_PREFIX");
    RemoveTree(root_);
    scratch_.reset();
}

std::string TestWorkspace::HostPath(const std::string& path) const {
    return !path.empty() && (path[0] == '/' || fs::path(path).is_absolute()) ? path : workdir_ + "/" + path;
}

void TestWorkspace::WriteHostFile(const std::string& path, std::string_view content) const {
    const fs::path p = HostPath(path);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string TestWorkspace::ReadHostFile(const std::string& path) const {
    std::ifstream in(HostPath(path), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool TestWorkspace::HostExists(const std::string& path) const { return fs::exists(HostPath(path)); }

}  // namespace dravolo::test
