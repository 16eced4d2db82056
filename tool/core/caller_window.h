#pragma once
// The program that starts the tool disables its own window while the tool
// edits and passes that window's handle; the tool enables it again on close.

#include <cstdint>

namespace dravolo::tool {

// Windows: enables the window when the handle names one. Elsewhere the
// caller's window is not ours to reach and nothing happens.
void EnableCallerWindow(std::uintptr_t window);

}  // namespace dravolo::tool
