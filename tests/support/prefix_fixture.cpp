#include "tests/support/prefix_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace dravolo::test {

namespace {
std::string MakeTempDir() {
    std::string templ = (fs::temp_directory_path() / "dravolo-test-XXXXXX").string();
    if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    return templ;
}
}  // namespace

void RemoveTree(const std::string& hostPath) {
    std::error_code ec;
    fs::remove_all(hostPath, ec);
}

TempDir::TempDir() : path_(MakeTempDir()) {}
TempDir::~TempDir() { RemoveTree(path_); }

void PrefixFixture::SetUp() {
    root_ = MakeTempDir();
    prefix_ = root_ + "/prefix";
    workdir_ = root_ + "/work";
    fs::create_directories(prefix_ + "/drive_c");
    fs::create_directories(prefix_ + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix_ + "/dosdevices/c:");
    fs::create_directory_symlink("/", prefix_ + "/dosdevices/z:");
    for (const char* dir : {"Epsxe", "Fpse", "Psinex", "Adripsx", "Pcsx"}) fs::create_directories(workdir_ + "/" + dir);
    for (const char* dir : {"epsxe", "fpse", "psinex", "adripsx", "pcsx"})
        fs::create_directories(prefix_ + "/drive_c/" + dir + "/memcards");

    const char* old = std::getenv("DRAVOLO_PREFIX");
    hadPrefix_ = old != nullptr;
    if (old) savedPrefix_ = old;
    setenv("DRAVOLO_PREFIX", prefix_.c_str(), 1);
    savedCwd_ = fs::current_path().string();
    fs::current_path(workdir_);
}

void PrefixFixture::TearDown() {
    fs::current_path(savedCwd_);
    if (hadPrefix_) setenv("DRAVOLO_PREFIX", savedPrefix_.c_str(), 1);
    else unsetenv("DRAVOLO_PREFIX");
    RemoveTree(root_);
}

std::string PrefixFixture::HostPath(const std::string& path) const {
    return !path.empty() && path[0] == '/' ? path : workdir_ + "/" + path;
}

void PrefixFixture::WriteHostFile(const std::string& path, std::string_view content) const {
    const fs::path p = HostPath(path);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string PrefixFixture::ReadHostFile(const std::string& path) const {
    std::ifstream in(HostPath(path), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool PrefixFixture::HostExists(const std::string& path) const { return fs::exists(HostPath(path)); }

}  // namespace dravolo::test
