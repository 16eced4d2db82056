#include "common/platform/windows_api.h"

#include "common/platform/owner_window.h"

namespace dravolo {

void EnableNativeWindow(std::uintptr_t window) {
    HWND handle = reinterpret_cast<HWND>(window);
    if (window != 0 && IsWindow(handle)) EnableWindow(handle, TRUE);
}

bool OurWindowsCanOwnHelperWindows() { return true; }

}  // namespace dravolo
