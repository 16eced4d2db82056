#include "common/platform/user_folders.h"

namespace dravolo {

UserDataFolders UserDataFoldersFromEnvironment() { return {}; }

}  // namespace dravolo
