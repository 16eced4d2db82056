#include <cstdlib>

#include "common/platform/user_folders.h"

namespace dravolo {

namespace {

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

}  // namespace

UserDataFolders UserDataFoldersFromEnvironment() {
    return {EnvironmentValue("HOME"), EnvironmentValue("XDG_DATA_HOME")};
}

}  // namespace dravolo
