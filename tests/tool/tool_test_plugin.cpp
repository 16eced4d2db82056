// Plugins for the tool's tests that the shared test plugins do not cover: a
// pad that answers PADquery, and a network plugin. Built in variants by
// compile definitions:
//   TOOL_PLUGIN_NAME, TOOL_PLUGIN_TYPE, TOOL_PLUGIN_VERSION, TOOL_PLUGIN_TEST
//   TOOL_PLUGIN_PADQUERY   PADquery's answer; no PADquery without it
// Every call is appended to <file>.log beside the library.

#include <fstream>
#include <string>

#include "tests/support/plugins/own_module.h"

#ifdef _WIN32
#define TOOL_PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define TOOL_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

void Log(const char* line) {
    const std::string stem = dravolo::test::PluginStemHolding(reinterpret_cast<const void*>(&Log));
    if (stem.empty()) return;
    std::ofstream(stem + ".log", std::ios::app) << line << "\n";
}

}  // namespace

TOOL_PLUGIN_EXPORT const char* PSEgetLibName() { return TOOL_PLUGIN_NAME; }
TOOL_PLUGIN_EXPORT long PSEgetLibType() { return TOOL_PLUGIN_TYPE; }
TOOL_PLUGIN_EXPORT long PSEgetLibVersion() { return TOOL_PLUGIN_VERSION; }

#ifdef TOOL_PLUGIN_PADQUERY
TOOL_PLUGIN_EXPORT long PADquery() { return TOOL_PLUGIN_PADQUERY; }
#endif

#define TOOL_PLUGIN_ENTRIES(T)               \
    TOOL_PLUGIN_EXPORT long T##init() {      \
        Log(#T "init");                      \
        return 0;                            \
    }                                        \
    TOOL_PLUGIN_EXPORT long T##shutdown() {  \
        Log(#T "shutdown");                  \
        return 0;                            \
    }                                        \
    TOOL_PLUGIN_EXPORT long T##test() {      \
        Log(#T "test");                      \
        return TOOL_PLUGIN_TEST;             \
    }                                        \
    TOOL_PLUGIN_EXPORT long T##configure() { \
        Log(#T "configure");                 \
        return 0;                            \
    }                                        \
    TOOL_PLUGIN_EXPORT void T##about() { Log(#T "about"); }

TOOL_PLUGIN_ENTRIES(PAD)
TOOL_PLUGIN_ENTRIES(NET)
