#pragma once
// Real Wine as a test peer: one temporary prefix for the whole test program
// (DRAVOLO_PREFIX and WINEPREFIX point at it, DRAVOLO_RUNNER at wine64), the
// PE probe programs built with mingw-w64, and control of the prefix's
// wineserver. Cases call SkipUnlessWine() first; without wine64 or the probes
// they are skipped with the reason.

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/platform/posix/wine_bridge.h"
#include "common/platform/registry.h"

namespace dravolo::test {

class WinePeer {
public:
    static WinePeer& Get();

    // Empty when the peer is usable, otherwise why not.
    const std::string& missing() const { return missing_; }
    const std::string& prefix() const { return prefix_; }
    const std::string& wine() const { return wine_; }
    const std::string& scratch() const { return scratch_; }  // a host folder for the test's files

    // Runs a Windows program (host path) or a builtin ("reg") under wine64.
    wine::RunOutcome Run(const std::vector<std::string>& args,
                         std::chrono::milliseconds limit = std::chrono::seconds(60)) const;
    // Starts a server that stays until ServerDown (wineserver -p) and waits for
    // its lock; ServerDown kills it (it saves the registry first) and waits
    // until it is gone.
    bool ServerUp() const;
    bool ServerDown() const;
    bool ServerDownIn(const std::string& prefix) const;  // the same for another prefix

    // The values of ROOT\path as the probe reads them with RegQueryValueExA;
    // nullopt when the key is missing. view: "", "32" or "64".
    std::optional<std::vector<RegValue>> ProbeDump(RegRoot root, const std::string& path,
                                                   const std::string& view = "") const;
    bool ProbeSet(RegRoot root, const std::string& path, const RegValue& value, const std::string& view = "") const;

    void Shutdown();

private:
    WinePeer();
    wine::RunOutcome RunProbe(const std::vector<std::string>& args) const;
    std::string missing_, prefix_, wine_, wineserver_, scratch_, root_;
};

#define SKIP_UNLESS_WINE()                                                                        \
    do {                                                                                          \
        if (!::dravolo::test::WinePeer::Get().missing().empty()) {                                \
            GTEST_SKIP() << "WINE TESTS SKIPPED: " << ::dravolo::test::WinePeer::Get().missing(); \
        }                                                                                         \
    } while (0)

// Values compared by name, type and data, in a message that shows the bytes.
std::string Describe(const RegValue& v);
std::map<std::string, RegValue> ByName(const std::vector<RegValue>& values);  // lower-case ANSI names

}  // namespace dravolo::test
