// A Windows program that reads and writes the registry through the Win32 A
// functions, for checking what Windows programs under Wine see of our hives.
//
//   regprobe dump ROOT PATH [32|64]          every value: "v <hexname> <type> <hexdata>"
//   regprobe set ROOT PATH NAMEHEX TYPE DATAHEX [32|64]
//   regprobe emulator                        reports like an emulator (see below)
//
// ROOT is HKCU or HKLM; names and data travel in hex so no console code page
// stands between the probe and the test. "32" opens the key with
// KEY_WOW64_32KEY, the view of a 32-bit program; "64" with KEY_WOW64_64KEY.
//
// Any other first argument (or none) makes it a stand-in emulator: it writes
// PROBE_REPORT (a Windows path) with its command line, its current directory,
// its start-up information ("startup FLAGS SHOW X Y") and a dump of each key listed in PROBE_KEYS ("ROOT\path[|32];..."), then exits.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Hex(const unsigned char* p, DWORD n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (DWORD i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out.empty() ? "-" : out;
}

std::string Unhex(const char* s) {
    std::string out;
    if (std::strcmp(s, "-") == 0) return out;
    for (std::size_t i = 0; s[i] && s[i + 1]; i += 2) {
        char byte[3] = {s[i], s[i + 1], 0};
        out += static_cast<char>(std::strtoul(byte, nullptr, 16));
    }
    return out;
}

HKEY RootOf(const char* name) { return std::strcmp(name, "HKLM") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

REGSAM ViewOf(const char* arg) {
    if (arg && std::strcmp(arg, "32") == 0) return KEY_WOW64_32KEY;
    if (arg && std::strcmp(arg, "64") == 0) return KEY_WOW64_64KEY;
    return 0;
}

void Dump(FILE* out, HKEY root, const char* path, REGSAM view) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        std::fprintf(out, "missing\n");
        return;
    }
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameLen = sizeof name;
        DWORD type = 0;
        static unsigned char data[1 << 20];
        DWORD dataLen = sizeof data;
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) break;
        // The value itself through RegQueryValueExA, as the emulators read it.
        if (RegQueryValueExA(key, name, nullptr, &type, data, &dataLen) != ERROR_SUCCESS) {
            std::fprintf(out, "error %s\n", Hex(reinterpret_cast<unsigned char*>(name), nameLen).c_str());
            continue;
        }
        std::fprintf(out, "v %s %lu %s\n", Hex(reinterpret_cast<unsigned char*>(name), nameLen).c_str(),
                     static_cast<unsigned long>(type), Hex(data, dataLen).c_str());
    }
    RegCloseKey(key);
}

int Set(char** argv, int argc) {
    HKEY key;
    if (RegCreateKeyExA(RootOf(argv[2]), argv[3], 0, nullptr, 0, KEY_WRITE | ViewOf(argc > 7 ? argv[7] : nullptr),
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 2;
    const std::string name = Unhex(argv[4]);
    const std::string data = Unhex(argv[6]);
    const LONG rc = RegSetValueExA(key, name.c_str(), 0, std::strtoul(argv[5], nullptr, 10),
                                   reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? 0 : 3;
}

int Emulator() {
    const char* report = std::getenv("PROBE_REPORT");
    if (!report) return 4;
    std::string temp = std::string(report) + ".part";
    FILE* out = std::fopen(temp.c_str(), "wb");
    if (!out) return 5;
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    std::fprintf(out, "cmdline %s\n",
                 Hex(reinterpret_cast<const unsigned char*>(GetCommandLineA()),
                     static_cast<DWORD>(std::strlen(GetCommandLineA())))
                     .c_str());
    std::fprintf(out, "cwd %s\n",
                 Hex(reinterpret_cast<unsigned char*>(dir), static_cast<DWORD>(std::strlen(dir))).c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    std::fprintf(out, "startup %lu %u %lu %lu\n", si.dwFlags, static_cast<unsigned>(si.wShowWindow), si.dwX, si.dwY);
    std::string keys = std::getenv("PROBE_KEYS") ? std::getenv("PROBE_KEYS") : "";
    std::size_t i = 0;
    while (i < keys.size()) {
        std::size_t j = keys.find(';', i);
        if (j == std::string::npos) j = keys.size();
        std::string entry = keys.substr(i, j - i);
        i = j + 1;
        REGSAM view = 0;
        if (auto bar = entry.find('|'); bar != std::string::npos) {
            view = ViewOf(entry.substr(bar + 1).c_str());
            entry.resize(bar);
        }
        const auto slash = entry.find('\\');
        if (slash == std::string::npos) continue;
        std::fprintf(out, "key %s\n", entry.c_str());
        Dump(out, RootOf(entry.substr(0, slash).c_str()), entry.substr(slash + 1).c_str(), view);
    }
    std::fclose(out);
    // Appears whole or not at all for whoever polls for it.
    return MoveFileExA(temp.c_str(), report, MOVEFILE_REPLACE_EXISTING) ? 0 : 6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "dump") == 0) {
        Dump(stdout, RootOf(argv[2]), argv[3], ViewOf(argc > 4 ? argv[4] : nullptr));
        return 0;
    }
    if (argc >= 7 && std::strcmp(argv[1], "set") == 0) return Set(argv, argc);
    return Emulator();
}
