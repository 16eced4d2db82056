#pragma once
// A throwaway Wine prefix for the benchmarks that run Windows programs:
// wine64 and wineserver found on PATH or in Debian's place, the prefix set
// up once, and its server started or stopped on request. Without Wine,
// `problem` says why and the benchmarks report it.

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/platform/posix/hive_registry.h"
#include "common/platform/posix/wine_bridge.h"

namespace dravolo::bench {

struct WinePrefix {
    std::string dir, wine, wineserver, problem;
    WinePrefix() {
        for (const char* w : {"wine64", "/usr/lib/wine/wine64", "wine"})
            if (auto c = wine::RunnerCommand(w); !c.empty()) {
                wine = c[0];
                break;
            }
        for (const char* s : {"wineserver", "/usr/lib/wine/wineserver"})
            if (auto c = wine::RunnerCommand(s); !c.empty()) {
                wineserver = c[0];
                break;
            }
        if (wine.empty() || wineserver.empty()) {
            problem = "wine64 and wineserver are not installed";
            return;
        }
        char tmpl[] = "/tmp/dravolo-wine-bench-XXXXXX";
        dir = std::string(mkdtemp(tmpl)) + "/prefix";
        setenv("DRAVOLO_RUNNER", wine.c_str(), 1);
        setenv("WINEDEBUG", "-all", 1);
        setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
        if (wine::RunInPrefix(dir, {wine}, {"reg", "add", "HKCU\\Software\\Bench", "/f"}, std::chrono::seconds(120))
                .exitCode != 0)
            problem = "wine64 could not set up a prefix";
        Server(false);
    }
    ~WinePrefix() {
        if (dir.empty()) return;
        Server(false);
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(dir).parent_path(), ec);
    }
    void Server(bool up) {
        wine::RunInPrefix(dir, {wineserver}, {up ? "-p" : "-k"}, std::chrono::seconds(30));
        for (int i = 0; i < 1500 && WineServerRunning(dir) != up; ++i) usleep(20'000);
    }
};

inline WinePrefix& SharedWinePrefix() {
    static WinePrefix p;
    return p;
}

}  // namespace dravolo::bench
