// A Windows program that reaches other programs' top-level windows for the
// POSIX front end, which cannot see windows of programs under Wine itself. It
// runs under the same wineserver as the emulator, so window handles it prints
// are valid in later runs while the window lives.
//
//   winhelper find CLASSHEX WAITMS   looks for a top-level window of that class
//                                    (ANSI bytes in hex), again every 10 ms for
//                                    up to WAITMS; prints
//                                    "window HWND LEFT TOP RIGHT BOTTOM SCREENW SCREENH"
//                                    or "none SCREENW SCREENH"
//   winhelper screen                 "screen WIDTH HEIGHT"
//   winhelper rect HWND              "rect LEFT TOP RIGHT BOTTOM VISIBLE" (1 or 0)
//                                    or "none"
//   winhelper hide HWND | show HWND  "ok" or "none"
//   winhelper move HWND X Y          keeps the size, no repaint; "ok" or "none"
//   winhelper start FLAGS SIFLAGS SHOW X Y DIRHEX CMDHEX
//                                    starts a program as CreateProcessA does for
//                                    a Windows caller: no application name, the
//                                    command line CMDHEX exactly (ANSI bytes in
//                                    hex, so nothing rebuilds it on the way),
//                                    creation flags FLAGS, working directory
//                                    DIRHEX ("-": the helper's own) and a
//                                    STARTUPINFO with dwFlags SIFLAGS,
//                                    wShowWindow SHOW, dwX X and dwY Y (all
//                                    decimal); no handle inheritance. Prints
//                                    "started PID" or "failed ERROR" (the
//                                    GetLastError value) and does not wait.
//   winhelper run ...                the same, then waits for the program and
//                                    prints "exit CODE"; exits with CODE.
//
// HWND is decimal. Exit code 0 when the window was there (or the program was
// started), 1 when not, 2 for a malformed command line. Output goes to stdout
// only, one line (run: two).

#include "common/platform/windows_api.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Unhex(const char* s) {
    std::string out;
    for (std::size_t i = 0; s[i] && s[i + 1]; i += 2) {
        char byte[3] = {s[i], s[i + 1], 0};
        out += static_cast<char>(std::strtoul(byte, nullptr, 16));
    }
    return out;
}

bool ParseHandle(const char* text, HWND& out) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (!end || *end || value == 0) return false;
    out = reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
    return true;
}

unsigned long long HandleNumber(HWND window) {
    return static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window));
}

int Find(const char* classHex, const char* waitText) {
    const std::string className = Unhex(classHex);
    const DWORD wait = std::strtoul(waitText, nullptr, 10);
    const DWORD start = GetTickCount();
    HWND found = nullptr;
    for (;;) {
        found = FindWindowA(className.c_str(), nullptr);
        if (found || GetTickCount() - start >= wait) break;
        Sleep(10);
    }
    const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    RECT r{};
    if (!found || !GetWindowRect(found, &r)) {
        std::printf("none %d %d\n", sw, sh);
        return 1;
    }
    std::printf("window %llu %ld %ld %ld %ld %d %d\n", HandleNumber(found), r.left, r.top, r.right, r.bottom, sw, sh);
    return 0;
}

}  // namespace

// "changes hide H move H X Y show H ...": several changes in one run, in
// order, so a window is hidden only for as long as its move takes rather
// than for a Wine start between each. "ok" when all were made.
int Changes(int count, char** words) {
    bool all = true;
    for (int i = 0; i < count;) {
        HWND window = nullptr;
        const bool move = std::strcmp(words[i], "move") == 0;
        const int size = move ? 4 : 2;
        if (i + size > count || !ParseHandle(words[i + 1], window)) {
            std::printf("usage\n");
            return 2;
        }
        if (!IsWindow(window)) {
            all = false;
        } else if (move) {
            RECT r{};
            all &= GetWindowRect(window, &r) && MoveWindow(window, std::atoi(words[i + 2]), std::atoi(words[i + 3]),
                                                           r.right - r.left, r.bottom - r.top, FALSE);
        } else if (std::strcmp(words[i], "hide") == 0 || std::strcmp(words[i], "show") == 0) {
            ShowWindow(window, std::strcmp(words[i], "hide") == 0 ? SW_HIDE : SW_SHOW);
        } else {
            std::printf("usage\n");
            return 2;
        }
        i += size;
    }
    std::printf(all ? "ok\n" : "none\n");
    return all ? 0 : 1;
}

// "start"/"run": the emulator gets the command line, flags and start-up
// information the launch chose, not what Wine's own start of a program from
// the command line would make of them.
int Start(bool wait, char** words) {
    const DWORD flags = std::strtoul(words[0], nullptr, 10);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = std::strtoul(words[1], nullptr, 10);
    si.wShowWindow = static_cast<WORD>(std::strtoul(words[2], nullptr, 10));
    si.dwX = static_cast<DWORD>(std::strtol(words[3], nullptr, 10));
    si.dwY = static_cast<DWORD>(std::strtol(words[4], nullptr, 10));
    const std::string dir = std::strcmp(words[5], "-") == 0 ? std::string() : Unhex(words[5]);
    std::string line = Unhex(words[6]);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
        std::printf("failed %lu\n", GetLastError());
        return 1;
    }
    std::printf("started %lu\n", pi.dwProcessId);
    std::fflush(stdout);
    CloseHandle(pi.hThread);
    DWORD code = 0;
    if (wait) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &code);
        std::printf("exit %lu\n", code);
    }
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

int main(int argc, char** argv) {
    if (argc == 9 && (std::strcmp(argv[1], "start") == 0 || std::strcmp(argv[1], "run") == 0))
        return Start(std::strcmp(argv[1], "run") == 0, argv + 2);
    if (argc == 4 && std::strcmp(argv[1], "find") == 0) return Find(argv[2], argv[3]);
    if (argc >= 2 && std::strcmp(argv[1], "changes") == 0) return Changes(argc - 2, argv + 2);
    if (argc == 2 && std::strcmp(argv[1], "screen") == 0) {
        std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    HWND window = nullptr;
    if (argc < 3 || !ParseHandle(argv[2], window)) {
        std::printf("usage\n");
        return 2;
    }
    if (!IsWindow(window)) {
        std::printf("none\n");
        return 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "rect") == 0) {
        RECT r{};
        if (!GetWindowRect(window, &r)) {
            std::printf("none\n");
            return 1;
        }
        std::printf("rect %ld %ld %ld %ld %d\n", r.left, r.top, r.right, r.bottom, IsWindowVisible(window) ? 1 : 0);
        return 0;
    }
    if (argc == 3 && (std::strcmp(argv[1], "hide") == 0 || std::strcmp(argv[1], "show") == 0)) {
        ShowWindow(window, std::strcmp(argv[1], "hide") == 0 ? SW_HIDE : SW_SHOW);
        std::printf("ok\n");
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "move") == 0) {
        RECT r{};
        if (!GetWindowRect(window, &r) ||
            !MoveWindow(window, std::atoi(argv[3]), std::atoi(argv[4]), r.right - r.left, r.bottom - r.top, FALSE)) {
            std::printf("none\n");
            return 1;
        }
        std::printf("ok\n");
        return 0;
    }
    std::printf("usage\n");
    return 2;
}
