// Stands in for an emulator (or for the Wine runner): reports how it was
// started into fake_emulator_report.txt in its working directory, so tests
// check a launch by what the started program saw.
//   --exit N          exit with N (default 0)
//   --sleep-ms N      wait N milliseconds before exiting
// On Windows it can also open the emulator's main window:
//   --window CLASS    a top-level window of that class (ANSI), shown as the
//                     start-up information asks; the program ends when the
//                     window is closed, or after --sleep-ms (default 60 s)
//   --window-size W H its size (default 400 x 300)
// or, for a launch whose command line a test cannot choose, the same from
// fake_emulator_window.txt in the working directory: the class on the first
// line (raw bytes, so "P\xA9SX Main" stays ANSI), "W H" on the second.
// and the report then also holds the start-up information and where the
// window first appeared.

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

namespace {

void WriteReport(const std::string& text) {
    // Written to a temporary name and renamed, so a test polling for the
    // report never reads half of it.
    {
        std::ofstream out("fake_emulator_report.txt.part", std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::error_code ec;
    std::filesystem::rename("fake_emulator_report.txt.part", "fake_emulator_report.txt", ec);
}

#ifdef _WIN32
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Opens the window as an emulator does: default position (so the start-up
// information's position applies) and the start-up information's show state.
HWND OpenWindow(const char* className, int width, int height) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = className;
    if (!RegisterClassA(&wc)) return nullptr;
    HWND window = CreateWindowExA(0, className, "fake emulator", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  width, height, nullptr, nullptr, wc.hInstance, nullptr);
    // The show state WinMain's nCmdShow carries, as the run-time computes it.
    STARTUPINFOA si{};
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    if (window) ShowWindow(window, (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWDEFAULT);
    return window;
}

std::string StartupReport() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    std::ostringstream out;
    out << "startup_flags=" << si.dwFlags << "\n";
    out << "startup_show=" << si.wShowWindow << "\n";
    out << "startup_position=" << si.dwX << "," << si.dwY << "\n";
    return out.str();
}

std::string WindowReport(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    std::ostringstream out;
    out << "window_visible=" << (IsWindowVisible(window) ? 1 : 0) << "\n";
    out << "window_rect=" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "\n";
    return out.str();
}

// Serves the window until it is closed or the time is up.
void RunWindow(long lifetimeMs) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(lifetimeMs);
    MSG msg;
    for (;;) {
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(end - now) <= 0) return;
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT) == WAIT_TIMEOUT) return;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
#endif

}  // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    long sleepMs = -1;
    const char* windowClass = nullptr;
    int width = 400, height = 300;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--exit") == 0) exitCode = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--sleep-ms") == 0) sleepMs = std::atol(argv[i + 1]);
        if (std::strcmp(argv[i], "--window") == 0) windowClass = argv[i + 1];
        if (std::strcmp(argv[i], "--window-size") == 0 && i + 2 < argc) {
            width = std::atoi(argv[i + 1]);
            height = std::atoi(argv[i + 2]);
        }
    }

    std::string classFromFile;
    if (!windowClass) {
        std::ifstream in("fake_emulator_window.txt", std::ios::binary);
        std::string size;
        if (std::getline(in, classFromFile)) {
            if (!classFromFile.empty() && classFromFile.back() == '\r') classFromFile.pop_back();
            windowClass = classFromFile.c_str();
            if (std::getline(in, size)) std::istringstream(size) >> width >> height;
        }
    }

    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    std::ostringstream report;
    report << "cwd=" << (ec ? std::string() : cwd.string()) << "\n";
    report << "argc=" << argc << "\n";
    for (int i = 0; i < argc; ++i) report << "argv[" << i << "]=" << argv[i] << "\n";
    const char* prefix = std::getenv("WINEPREFIX");
    report << "WINEPREFIX=" << (prefix ? prefix : "") << "\n";

#ifdef _WIN32
    report << StartupReport();
    if (windowClass) {
        HWND window = OpenWindow(windowClass, width, height);
        if (!window) {
            report << "window=failed\n";
            WriteReport(report.str());
            return 3;
        }
        report << WindowReport(window);
        WriteReport(report.str());
        RunWindow(sleepMs >= 0 ? sleepMs : 60000);
        return exitCode;
    }
#else
    (void)windowClass;
    (void)width;
    (void)height;
#endif
    WriteReport(report.str());

    if (sleepMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    return exitCode;
}
