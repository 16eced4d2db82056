#pragma once
// Where the system keeps a user's own data, as the environment names it.

#include <string>

namespace dravolo {

struct UserDataFolders {
    std::string home;         // $HOME
    std::string xdgDataHome;  // $XDG_DATA_HOME, as given
};

// Empty on Windows: Windows programs are started in their own folder, not
// the home folder.
UserDataFolders UserDataFoldersFromEnvironment();

}  // namespace dravolo
