// A plugin for tests with both interfaces: PSEmu Pro exports for GPU, SPU, CDR
// and PAD, FPSE-native exports for GPU, SPU and CD. It behaves like a real
// plugin but takes its looks from files beside it:
//   <name>.cfg   optional "key=value" lines: name, version, test, fpsetest,
//                setting (what configure stores)
//   <name>.log   every call is appended here, one line each, so tests see
//                which entries ran in which order
// PSEmu Pro configure stores `setting` in the registry, in the plugin's key
// below "Software\Vision Thing\PSEmu Pro\<T>\TestPlugin", as real plugins do;
// FPSE-native configure stores it through the write callback of its settings
// block and logs what the read callback gives back.

#ifndef _WIN32
#include <signal.h>
#endif

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

#include "tests/support/plugins/own_module.h"

#ifndef _WIN32
#include "common/platform/registry.h"
#endif

#ifdef _WIN32
#define TEST_PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// "<folder>/<name>" of the file this plugin was loaded from.
std::string OwnPathWithoutExtension() {
    const std::string stem = dravolo::test::PluginStemHolding(reinterpret_cast<const void*>(&OwnPathWithoutExtension));
    return stem.empty() ? "test_plugin" : stem;
}

std::string BaseName() {
    const std::string path = OwnPathWithoutExtension();
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::map<std::string, std::string> Config() {
    std::map<std::string, std::string> config;
    std::ifstream in(OwnPathWithoutExtension() + ".cfg");
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto eq = line.find('=');
        if (eq != std::string::npos) config[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return config;
}

std::string Setting(const std::string& key, const std::string& fallback) {
    const auto config = Config();
    const auto it = config.find(key);
    return it == config.end() ? fallback : it->second;
}

long Number(const std::string& key, long fallback) {
    const std::string text = Setting(key, "");
    return text.empty() ? fallback : std::strtol(text.c_str(), nullptr, 0);
}

void Log(const std::string& line) {
    std::ofstream out(OwnPathWithoutExtension() + ".log", std::ios::app | std::ios::binary);
    out << line << "\n";
}

// The slot the file name gives: gpuX.dll, spuX.dll, cdrX.dll, padX.dll.
long LibType() {
    const std::string base = BaseName();
    const std::string prefix = base.substr(0, 3);
    if (prefix == "gpu" || prefix == "GPU") return 2;
    if (prefix == "spu" || prefix == "SPU") return 4;
    if (prefix == "cdr" || prefix == "CDR") return 1;
    if (prefix == "pad" || prefix == "PAD") return 8;
    return 0;
}

std::string name_storage;

#ifndef TEST_PLUGIN_NO_CONFIGURE
void StoreInRegistry(const char* slot) {
    const std::string key = std::string("Software\\Vision Thing\\PSEmu Pro\\") + slot + "\\TestPlugin";
    const std::string value = Setting("setting", "configured");
#ifdef _WIN32
    // As a real plugin does it; the file then builds alone with mingw-w64
    // for the tests under Wine.
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(handle, "Setting", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
#else
    auto registry = dravolo::OpenSystemRegistry();
    if (registry) registry->SetString(dravolo::RegRoot::CurrentUser, key, "Setting", value);
#endif
}

using ReadFn = int (*)(const char*, const char*, char*);
using WriteFn = int (*)(const char*, const char*, const char*);

void FpseConfigure(const char* slot, std::uintptr_t* block) {
    Log(std::string(slot) + "_Configure");
    const auto read = reinterpret_cast<ReadFn>(block[9]);
    const auto write = reinterpret_cast<WriteFn>(block[10]);
    if (!read || !write) return;
    write("TestPlugin", slot, Setting("setting", "configured").c_str());
    char buffer[1024 + 16];
    std::memset(buffer, 'X', sizeof buffer);
    read("TestPlugin", slot, buffer);
    Log(std::string("read=") + buffer);
    read("TestPlugin", "NoSuchKey", buffer);
    Log(std::string("missing=") + buffer);
    read("TestPlugin", "Long", buffer);
    Log("long=" + std::to_string(std::strlen(buffer)));
    // Word 12: the window that owns the dialog; word 13: the instance of the
    // program that called.
    write("TestPlugin", (std::string(slot) + "Window").c_str(), std::to_string(block[12]).c_str());
    write("TestPlugin", (std::string(slot) + "Instance").c_str(), std::to_string(block[13]).c_str());
}
#endif

void FpseAbout(const char* slot, std::uint8_t type, std::uint8_t* info) {
    Log(std::string(slot) + "_About");
    info[0] = type;
    info[1] = 1;
    info[2] = 2;
    info[3] = static_cast<std::uint8_t>(Number("fpsetest", 0));
    std::strncpy(reinterpret_cast<char*>(info + 4), "Dravolo tests", 63);
    std::strncpy(reinterpret_cast<char*>(info + 68), Setting("name", "Test " + BaseName()).c_str(), 63);
    // A description filling its whole field, without a terminating zero.
    std::memset(info + 132, 'd', 1024);
}

}  // namespace

TEST_PLUGIN_EXPORT const char* PSEgetLibName() {
    Log("PSEgetLibName");
    name_storage = Setting("name", "Test " + BaseName());
    return name_storage.c_str();
}
TEST_PLUGIN_EXPORT long PSEgetLibType() {
    Log("PSEgetLibType");
    return Number("type", LibType());
}
TEST_PLUGIN_EXPORT long PSEgetLibVersion() {
    Log("PSEgetLibVersion");
    return Number("version", 0x010203);
}

#define PSEMU_ENTRIES(T)                                    \
    TEST_PLUGIN_EXPORT long T##init() {                     \
        Log(#T "init");                                     \
        return 0;                                           \
    }                                                       \
    TEST_PLUGIN_EXPORT long T##shutdown() {                 \
        Log(#T "shutdown");                                 \
        return 0;                                           \
    }                                                       \
    TEST_PLUGIN_EXPORT void T##about() { Log(#T "about"); } \
    TEST_PLUGIN_EXPORT long T##test() {                     \
        Log(#T "test");                                     \
        return Number("test", 0);                           \
    }

PSEMU_ENTRIES(GPU)
PSEMU_ENTRIES(SPU)
PSEMU_ENTRIES(CDR)
PSEMU_ENTRIES(PAD)

// Ends the process in the middle of a call, as a crashing plugin would.
TEST_PLUGIN_EXPORT long TestPluginExit() {
    Log("TestPluginExit");
    std::_Exit(7);
}

TEST_PLUGIN_EXPORT int GPU_About(std::uint8_t* info) {
    FpseAbout("GPU", 1, info);
    return 0;
}
TEST_PLUGIN_EXPORT int SPU_About(std::uint8_t* info) {
    FpseAbout("SPU", 2, info);
    return 0;
}
TEST_PLUGIN_EXPORT int CD_About(std::uint8_t* info) {
    FpseAbout("CD", 5, info);
    return 0;
}

#ifndef TEST_PLUGIN_NO_CONFIGURE
// "configure=crash" makes configure crash, "configure=kill" has the process
// killed in the middle of it, as a user ending a stuck plugin would.
void EndIfAsked() {
    const std::string how = Setting("configure", "");
    if (how == "crash") std::abort();
#ifndef _WIN32
    if (how == "kill") raise(SIGKILL);
#endif
}

#define PSEMU_CONFIGURE(T)                   \
    TEST_PLUGIN_EXPORT long T##configure() { \
        Log(#T "configure");                 \
        EndIfAsked();                        \
        StoreInRegistry(#T);                 \
        return 0;                            \
    }
PSEMU_CONFIGURE(GPU)
PSEMU_CONFIGURE(SPU)
PSEMU_CONFIGURE(CDR)
PSEMU_CONFIGURE(PAD)

TEST_PLUGIN_EXPORT int GPU_Configure(std::uintptr_t* block) {
    FpseConfigure("GPU", block);
    return 0;
}
TEST_PLUGIN_EXPORT int SPU_Configure(std::uintptr_t* block) {
    FpseConfigure("SPU", block);
    return 0;
}
TEST_PLUGIN_EXPORT int CD_Configure(std::uintptr_t* block) {
    FpseConfigure("CD", block);
    return 0;
}
#endif
