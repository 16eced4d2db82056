#include "tool/core/caller_window.h"

#include "common/platform/owner_window.h"

namespace dravolo::tool {

void EnableCallerWindow(std::uintptr_t window) { EnableNativeWindow(window); }

}  // namespace dravolo::tool
