// An FPSE pad plugin for tests: JOY0_About/JOY1_About report a pad (type 3)
// named by "<name>.cfg" ("name=..."), and JOY0_Configure/JOY1_Configure log
// their call and write a key and the caller's instance (word 13) through the
// settings block's write callback.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "tests/support/plugins/own_module.h"

#ifdef _WIN32
#define PAD_EXPORT extern "C" __declspec(dllexport)
#else
#define PAD_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// "<folder>/<name>" of the library's own file: the .cfg and .log are beside it.
std::string OwnStem() {
    const std::string stem = dravolo::test::PluginStemHolding(reinterpret_cast<const void*>(&OwnStem));
    return stem.empty() ? "fpse_pad" : stem;
}

std::string Name() {
    std::ifstream in(OwnStem() + ".cfg");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("name=", 0) == 0) return line.substr(5);
    return "Fpse Test Pad";
}

void About(std::uint8_t* info) {
    info[0] = 3;
    info[1] = 4;  // minor
    info[2] = 1;  // major
    std::strncpy(reinterpret_cast<char*>(info + 68), Name().c_str(), 63);
}

using WriteFn = int (*)(const char*, const char*, const char*);

void Configure(const char* which, std::uintptr_t* block) {
    std::ofstream(OwnStem() + ".log", std::ios::app | std::ios::binary) << which << "\n";
    const auto write = reinterpret_cast<WriteFn>(block[10]);
    if (!write) return;
    write("PadTest", which, "configured");
    // Word 13: the instance of the program that called.
    write("PadTest", (std::string(which) + "Instance").c_str(), std::to_string(block[13]).c_str());
}

}  // namespace

PAD_EXPORT int JOY0_About(std::uint8_t* info) {
    About(info);
    return 0;
}
PAD_EXPORT int JOY1_About(std::uint8_t* info) {
    About(info);
    return 0;
}
PAD_EXPORT int JOY0_Configure(std::uintptr_t* block) {
    Configure("JOY0_Configure", block);
    return 0;
}
PAD_EXPORT int JOY1_Configure(std::uintptr_t* block) {
    Configure("JOY1_Configure", block);
    return 0;
}
