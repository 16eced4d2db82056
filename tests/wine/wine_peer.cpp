#include "tests/wine/wine_peer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "common/base/text.h"
#include "common/platform/posix/hive_registry.h"
#include "tests/support/prefix_fixture.h"

namespace dravolo::test {
namespace {

bool Executable(const std::string& path) { return !path.empty() && access(path.c_str(), X_OK) == 0; }

std::string OnPath(const std::string& name) {
    const auto found = wine::RunnerCommand(name);
    return found.empty() ? std::string() : found[0];
}

std::string FirstExisting(std::initializer_list<std::string> candidates) {
    for (const auto& c : candidates)
        if (Executable(c)) return c;
    return {};
}

std::string Hex(const Bytes& b) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (auto c : b) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out.empty() ? "-" : out;
}

Bytes Unhex(std::string_view s) {
    Bytes out;
    if (s == "-") return out;
    for (std::size_t i = 0; i + 1 < s.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoul(std::string(s.substr(i, 2)), nullptr, 16)));
    return out;
}

const char* RootName(RegRoot root) { return root == RegRoot::CurrentUser ? "HKCU" : "HKLM"; }

// Removes the prefix when the test program ends, after its server is gone.
struct PeerCleanup : ::testing::Environment {
    void TearDown() override {
        if (started) WinePeer::Get().Shutdown();
    }
    static inline bool started = false;
};
[[maybe_unused]] ::testing::Environment* const kCleanup = ::testing::AddGlobalTestEnvironment(new PeerCleanup);

}  // namespace

WinePeer& WinePeer::Get() {
    PeerCleanup::started = true;
    static WinePeer peer;
    return peer;
}

WinePeer::WinePeer() {
    const char* own = std::getenv("DRAVOLO_TEST_WINE");
    wine_ = own && *own ? std::string(own) : FirstExisting({OnPath("wine64"), "/usr/lib/wine/wine64", OnPath("wine")});
    wineserver_ = FirstExisting({OnPath("wineserver"), "/usr/lib/wine/wineserver", "/usr/lib/wine/wineserver64"});
    if (std::string(WINE_REGPROBE).empty()) {
        missing_ = "x86_64-w64-mingw32-g++ was not found when the build was configured";
        return;
    }
    if (wine_.empty() || wineserver_.empty()) {
        missing_ = "wine64 and wineserver are not installed";
        return;
    }
    char tmpl[] = "/tmp/dravolo-wine-XXXXXX";
    if (!mkdtemp(tmpl)) {
        missing_ = "no temporary folder";
        return;
    }
    root_ = tmpl;
    prefix_ = root_ + "/prefix";
    scratch_ = root_ + "/files";
    mkdir(scratch_.c_str(), 0755);
    setenv("DRAVOLO_PREFIX", prefix_.c_str(), 1);
    setenv("WINEPREFIX", prefix_.c_str(), 1);
    setenv("DRAVOLO_RUNNER", wine_.c_str(), 1);
    setenv("WINEDEBUG", "-all", 1);
    // No Mono or Gecko installers asking questions while Wine sets the prefix up.
    setenv("WINEDLLOVERRIDES", "mscoree,mshtml=", 1);
    // The prefix starts as the front end makes one without Wine: our layout
    // and our own hives, holding one value in each. Wine's first run (several
    // seconds) must take them as they are, values included.
    {
        auto ours = OpenSystemRegistry();
        if (!ours || !ours->SetString(RegRoot::CurrentUser, "Software\\DravoloTest", "MadeBy", "dravolo") ||
            !ours->SetString(RegRoot::LocalMachine, "Software\\DravoloTest", "MadeBy", "dravolo")) {
            missing_ = "our own registry could not be written in a new prefix";
            return;
        }
    }
    const auto first = Run({"reg", "add", "HKCU\\Software\\DravoloTest", "/f"}, std::chrono::seconds(120));
    if (!first.started || first.exitCode != 0) {
        missing_ = "wine64 could not set up a prefix: " + first.output;
        return;
    }
    if (!ServerDown()) missing_ = "the prefix's wineserver did not stop";
}

wine::RunOutcome WinePeer::Run(const std::vector<std::string>& args, std::chrono::milliseconds limit) const {
    return wine::RunInPrefix(prefix_, {wine_}, args, limit);
}

bool WinePeer::ServerUp() const {
    const auto run = wine::RunInPrefix(prefix_, {wineserver_}, {"-p"}, std::chrono::seconds(30));
    if (!run.started) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!WineServerRunning(prefix_)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool WinePeer::ServerDown() const { return ServerDownIn(prefix_); }

bool WinePeer::ServerDownIn(const std::string& prefix) const {
    wine::RunInPrefix(prefix, {wineserver_}, {"-k"}, std::chrono::seconds(30));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (WineServerRunning(prefix)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Now and then, on a loaded machine, a Wine start ends at once with status 1
// and no output at all, before the program ran. The probe itself never exits
// with 1, so that outcome is retried once; the probe's own failures are not.
wine::RunOutcome WinePeer::RunProbe(const std::vector<std::string>& args) const {
    auto run = Run(args);
    if (run.started && !run.timedOut && run.exitCode == 1 && run.output.empty()) run = Run(args);
    return run;
}

std::optional<std::vector<RegValue>> WinePeer::ProbeDump(RegRoot root, const std::string& path,
                                                         const std::string& view) const {
    std::vector<std::string> args = {WINE_REGPROBE, "dump", RootName(root), path};
    if (!view.empty()) args.push_back(view);
    const auto run = RunProbe(args);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    if (run.output.find("missing") == 0) return std::nullopt;
    std::vector<RegValue> out;
    std::size_t i = 0;
    while (i < run.output.size()) {
        std::size_t j = run.output.find('\n', i);
        if (j == std::string::npos) j = run.output.size();
        std::string line = run.output.substr(i, j - i);
        i = j + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.starts_with("v ")) continue;
        const auto a = line.find(' ', 2), b = line.find(' ', a + 1);
        const Bytes name = Unhex(line.substr(2, a - 2));
        out.push_back({std::string(name.begin(), name.end()),
                       static_cast<std::uint32_t>(std::stoul(line.substr(a + 1, b - a - 1))),
                       Unhex(line.substr(b + 1))});
    }
    return out;
}

bool WinePeer::ProbeSet(RegRoot root, const std::string& path, const RegValue& value, const std::string& view) const {
    std::vector<std::string> args = {WINE_REGPROBE,
                                     "set",
                                     RootName(root),
                                     path,
                                     Hex(Bytes(value.name.begin(), value.name.end())),
                                     std::to_string(value.type),
                                     Hex(value.data)};
    if (!view.empty()) args.push_back(view);
    const auto run = RunProbe(args);
    return run.exitCode == 0;
}

void WinePeer::Shutdown() {
    if (root_.empty()) return;
    ServerDown();  // never leave a server of a deleted prefix behind
    RemoveTree(root_);
    root_.clear();
}

std::string Describe(const RegValue& v) {
    return "\"" + v.name + "\" type " + std::to_string(v.type) + " data " + Hex(v.data);
}

std::map<std::string, RegValue> ByName(const std::vector<RegValue>& values) {
    std::map<std::string, RegValue> out;
    for (const auto& v : values) out[LowerAnsi(v.name)] = v;
    return out;
}

}  // namespace dravolo::test
