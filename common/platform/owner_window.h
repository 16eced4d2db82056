#pragma once
// A native window of another program that we disabled while our own dialog
// was open (an HWND on Windows). Elsewhere our callers' windows are not ours
// to touch, and nothing is done.

#include <cstdint>

namespace dravolo {

// Enables the window again when it still exists; 0 is none.
void EnableNativeWindow(std::uintptr_t window);

// Whether our window ids can own the windows of a helper process we start:
// Windows handles are valid across processes; elsewhere our windows are the
// host system's, not Wine's, and a helper's dialog given one fails to open.
bool OurWindowsCanOwnHelperWindows();

}  // namespace dravolo
