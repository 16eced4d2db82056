#include "tests/support/scratch_windows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "common/platform/registry.h"

namespace dravolo::test {

#ifdef _WIN32

namespace fs = std::filesystem;

namespace {

constexpr const char* kDriveRoot = "C:/";

std::vector<std::string> DriveEntries() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(kDriveRoot, ec)) names.push_back(entry.path().filename().string());
    return names;
}

std::vector<std::string> SoftwareKeys(Registry& registry, RegRoot root) {
    return registry.EnumSubkeys(root, "Software").value_or(std::vector<std::string>{});
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

bool ScratchWindows::Allowed() {
    const char* flag = std::getenv("DRAVOLO_TEST_SCRATCH_WINDOWS");
    return flag && std::strcmp(flag, "1") == 0;
}

ScratchWindows::ScratchWindows() {
    std::error_code ec;
    for (const char* dir : {"epsxe", "fpse", "psinex", "adripsx", "pcsx"})
        fs::remove_all(fs::path(kDriveRoot) / dir, ec);
    driveEntries_ = DriveEntries();
    auto registry = OpenSystemRegistry();
    userKeys_ = SoftwareKeys(*registry, RegRoot::CurrentUser);
    machineKeys_ = SoftwareKeys(*registry, RegRoot::LocalMachine);
}

ScratchWindows::~ScratchWindows() {
    std::error_code ec;
    for (const std::string& name : DriveEntries())
        if (!Contains(driveEntries_, name)) fs::remove_all(fs::path(kDriveRoot) / name, ec);
    auto registry = OpenSystemRegistry();
    for (const auto& [root, before] :
         {std::pair{RegRoot::CurrentUser, &userKeys_}, std::pair{RegRoot::LocalMachine, &machineKeys_}})
        for (const std::string& key : SoftwareKeys(*registry, root))
            if (!Contains(*before, key)) registry->DeleteTree(root, "Software\\" + key);
}

#else

bool ScratchWindows::Allowed() { return true; }
ScratchWindows::ScratchWindows() = default;
ScratchWindows::~ScratchWindows() = default;

#endif

}  // namespace dravolo::test
