#include "tool/core/caller_window.h"

#ifdef _WIN32
#include "common/platform/windows_api.h"
#endif

namespace dravolo::tool {

void EnableCallerWindow(std::uintptr_t window) {
#ifdef _WIN32
    HWND handle = reinterpret_cast<HWND>(window);
    if (window != 0 && IsWindow(handle)) EnableWindow(handle, TRUE);
#else
    (void)window;
#endif
}

}  // namespace dravolo::tool
