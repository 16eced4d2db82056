#include "common/platform/owner_window.h"

namespace dravolo {

void EnableNativeWindow(std::uintptr_t) {}

bool OurWindowsCanOwnHelperWindows() { return false; }

}  // namespace dravolo
