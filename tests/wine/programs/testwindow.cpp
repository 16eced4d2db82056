// A stand-in emulator window: opens a visible top-level window of class
// "EPSXGUI" (or the class given as first argument) at 10,20 sized 300x200 and
// keeps it until the window is closed or the given number of seconds (second
// argument, default 60) have passed.

#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    const char* className = argc > 1 ? argv[1] : "EPSXGUI";
    const DWORD seconds = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 60;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowExA(0, className, "test window", WS_OVERLAPPEDWINDOW, 10, 20, 300, 200, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOW);
    SetTimer(nullptr, 0, seconds * 1000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) break;
        DispatchMessageA(&msg);
    }
    DestroyWindow(window);
    return 0;
}
