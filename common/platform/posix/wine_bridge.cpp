#include "common/platform/posix/wine_bridge.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "common/base/text.h"
#include "common/platform/posix/fd_io.h"
#include "common/platform/posix/host_programs.h"
#include "common/platform/regfile.h"

extern char** environ;

namespace dravolo::wine {
namespace {

// A cold wineserver start in a prefix Wine has to update takes several seconds.
constexpr std::chrono::seconds kRegLimit{60};

using posix::IsExecutableFile;
using posix::SearchPath;
using posix::SplitOnBlanks;

bool ReadFile(const std::string& path, std::string& out) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = posix::ReadFdToEnd(fd, out);
    close(fd);
    return ok;
}

bool WriteFile(const std::string& path, const Bytes& data) {
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = posix::WriteAllFd(fd, data.data(), data.size());
    return close(fd) == 0 && written;
}

// A file in the prefix's C:\windows\temp, so Wine reaches it by a drive
// letter every prefix has. Removed on destruction.
class PrefixTempFile {
public:
    explicit PrefixTempFile(const std::string& prefix) {
        const std::string dir = prefix + "/drive_c/windows/temp";
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        std::string name = dir + "/dravolo-XXXXXX.reg";
        const int fd = mkstemps(name.data(), 4);
        if (fd < 0) return;
        close(fd);
        host_ = name;
        windows_ = "C:\\windows\\temp\\" + name.substr(dir.size() + 1);
    }
    ~PrefixTempFile() {
        if (!host_.empty()) unlink(host_.c_str());
    }
    PrefixTempFile(const PrefixTempFile&) = delete;
    PrefixTempFile& operator=(const PrefixTempFile&) = delete;
    bool ok() const { return !host_.empty(); }
    const std::string& host() const { return host_; }
    const std::string& windows() const { return windows_; }

private:
    std::string host_, windows_;
};

std::vector<std::string> ChildEnvironment(const std::string& prefix) {
    std::vector<std::string> env;
    bool hasDebug = false;
    for (char** e = environ; e && *e; ++e) {
        if (std::strncmp(*e, "WINEPREFIX=", 11) == 0) continue;
        if (std::strncmp(*e, "WINEDEBUG=", 10) == 0) hasDebug = true;
        env.emplace_back(*e);
    }
    env.push_back("WINEPREFIX=" + prefix);
    // Wine's diagnostics would only fill the captured output.
    if (!hasDebug) env.push_back("WINEDEBUG=-all");
    return env;
}

std::vector<char*> CStrings(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

// ---- .reg text ----

void Put(Bytes& out, std::u16string_view s) {
    const std::size_t at = out.size();
    out.resize(at + s.size() * 2);
    for (std::size_t i = 0; i < s.size(); ++i) StoreU16(&out[at + i * 2], s[i]);
}

std::u16string Ascii(std::string_view s) { return std::u16string(s.begin(), s.end()); }

std::u16string Quoted(std::u16string_view s) { return u"\"" + RegeditEscaped(s) + u"\""; }

// Backslash-separated without empty parts, as the registry resolves it.
std::string CleanPath(std::string_view path) {
    std::string out;
    std::size_t i = 0;
    while (i < path.size()) {
        std::size_t j = path.find('\\', i);
        if (j == std::string_view::npos) j = path.size();
        if (j > i) {
            if (!out.empty()) out += '\\';
            out.append(path.substr(i, j - i));
        }
        i = j + 1;
    }
    return out;
}

Bytes Utf16Data(const Bytes& ansi) {
    const std::u16string wide = AnsiToUtf16(std::string_view(reinterpret_cast<const char*>(ansi.data()), ansi.size()));
    Bytes out(wide.size() * 2);
    for (std::size_t i = 0; i < wide.size(); ++i) StoreU16(&out[i * 2], wide[i]);
    return out;
}

std::u16string HexList(std::uint32_t type, const Bytes& data) {
    char tag[24];
    if (type == kRegBinary) std::snprintf(tag, sizeof tag, "hex:");
    else std::snprintf(tag, sizeof tag, "hex(%x):", type);
    std::u16string out = Ascii(tag);
    for (std::size_t i = 0; i < data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        out += Ascii(byte);
        if (i + 1 < data.size()) {
            out += u',';
            if (i % 24 == 23) out += u"\\\r\n  ";
        }
    }
    return out;
}

std::u16string ValueText(const RegValue& v) {
    if (v.type == kRegSz) {
        // Text with exactly its one terminating NUL fits in quotes; anything
        // else keeps its exact bytes as hex(1).
        const auto nul = std::find(v.data.begin(), v.data.end(), std::uint8_t{0});
        if (!v.data.empty() && nul + 1 == v.data.end()) {
            const std::string text(v.data.begin(), v.data.end() - 1);
            return Quoted(AnsiToUtf16(text));
        }
    }
    if (v.type == kRegDword && v.data.size() == 4) {
        char buf[24];
        std::snprintf(buf, sizeof buf, "dword:%08x", LoadU32(v.data.data()));
        return Ascii(buf);
    }
    return HexList(v.type, IsRegStringType(v.type) ? Utf16Data(v.data) : v.data);
}

}  // namespace

std::vector<std::string> RunnerCommand(std::string_view setting) {
    const char* env = std::getenv("DRAVOLO_RUNNER");
    std::vector<std::string> runner = SplitOnBlanks(!setting.empty() ? setting
                                                    : env && *env    ? std::string_view(env)
                                                                     : std::string_view("wine"));
    if (runner.empty()) return {};
    const auto exe = SearchPath(runner[0]);
    if (!exe) return {};
    runner[0] = *exe;
    return runner;
}

// posix_spawn with the runner's environment and clean signal state: the child
// must not inherit our blocked or ignored SIGPIPE / SIGCHLD.
std::optional<int> SpawnInPrefix(const std::string& prefix, const std::vector<std::string>& runner,
                                 const std::vector<std::string>& args, int stdinFd, int stdoutFd, int stderrFd) {
    if (runner.empty()) return std::nullopt;
    std::vector<std::string> argvStrings = runner;
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<std::string> envStrings = ChildEnvironment(prefix);
    std::vector<char*> argv = CStrings(argvStrings);
    std::vector<char*> envp = CStrings(envStrings);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd < 0) posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    else posix_spawn_file_actions_adddup2(&actions, stdinFd, 0);
    posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
    if (stderrFd < 0) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    else posix_spawn_file_actions_adddup2(&actions, stderrFd, 2);
    // Only the three standard descriptors reach the program (see process_posix.cpp).
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) return std::nullopt;
    return static_cast<int>(pid);
}

RunOutcome RunInPrefix(const std::string& prefix, const std::vector<std::string>& runner,
                       const std::vector<std::string>& args, std::chrono::milliseconds limit) {
    RunOutcome outcome;
    if (runner.empty()) return outcome;
    char outName[] = "/tmp/dravolo-wine-outXXXXXX";
    const int outFd = mkostemp(outName, O_CLOEXEC);
    if (outFd < 0) return outcome;
    unlink(outName);

    const auto spawned = SpawnInPrefix(prefix, runner, args, -1, outFd, outFd);
    if (!spawned) {
        close(outFd);
        return outcome;
    }
    const pid_t pid = *spawned;
    outcome.started = true;

    const auto deadline = std::chrono::steady_clock::now() + limit;
    auto pause = std::chrono::milliseconds(1);
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) {
            close(outFd);
            return outcome;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            posix::WaitForChild(pid, status);
            outcome.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(20));
    }
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    lseek(outFd, 0, SEEK_SET);
    char buf[4096];
    ssize_t n;
    while ((n = read(outFd, buf, sizeof buf)) > 0) outcome.output.append(buf, static_cast<std::size_t>(n));
    close(outFd);
    return outcome;
}

Bytes RegFileForChanges(const std::vector<RegBatch::Change>& changes) {
    Bytes out{0xFF, 0xFE};
    Put(out, u"Windows Registry Editor Version 5.00\r\n");
    std::optional<std::pair<RegRoot, std::string>> open;  // the section values go to
    for (const auto& c : changes) {
        const std::string path = CleanPath(c.path);
        const std::u16string key = AnsiToUtf16(RootedKeyName(c.root, path));
        const bool sameKey = open && open->first == c.root && EqualsNoCase(open->second, path);
        switch (c.op) {
        case RegBatch::Op::DeleteTree:
            Put(out, u"\r\n[-" + key + u"]\r\n");
            open.reset();
            continue;
        case RegBatch::Op::CreateKey:
        case RegBatch::Op::SetValue:
        case RegBatch::Op::DeleteValue: break;
        }
        if (!sameKey) {
            Put(out, u"\r\n[" + key + u"]\r\n");
            open.emplace(c.root, path);
        }
        if (c.op == RegBatch::Op::CreateKey) continue;
        const std::u16string name = c.value.name.empty() ? u"@" : Quoted(AnsiToUtf16(c.value.name));
        Put(out, name + u"=" + (c.op == RegBatch::Op::DeleteValue ? u"-" : ValueText(c.value)) + u"\r\n");
    }
    Put(out, u"\r\n");
    return out;
}

bool ImportThroughWine(const std::string& prefix, const RegBatch& batch) {
    const auto runner = RunnerCommand();
    if (runner.empty()) return false;
    PrefixTempFile file(prefix);
    if (!file.ok() || !WriteFile(file.host(), RegFileForChanges(batch.changes()))) return false;
    const RunOutcome run = RunInPrefix(prefix, runner, {"reg", "import", file.windows()}, kRegLimit);
    return run.started && !run.timedOut && run.exitCode == 0;
}

ExportStatus ExportThroughWine(const std::string& prefix, RegRoot root, std::string_view path, Registry& into) {
    const auto runner = RunnerCommand();
    if (runner.empty()) return ExportStatus::Unavailable;
    PrefixTempFile file(prefix);
    if (!file.ok()) return ExportStatus::Unavailable;
    const RunOutcome run = RunInPrefix(
        prefix, runner, {"reg", "export", RootedKeyName(root, CleanPath(path)), file.windows(), "/y"}, kRegLimit);
    if (!run.started || run.timedOut) return ExportStatus::Unavailable;
    // reg's only failure for a well-formed key name is a key that is not there.
    if (run.exitCode != 0) return ExportStatus::Missing;
    std::string bytes;
    if (!ReadFile(file.host(), bytes)) return ExportStatus::Unavailable;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    return ImportRegistryData(into, std::span<const std::uint8_t>(data, bytes.size())) == RegImportResult::Ok
               ? ExportStatus::Ok
               : ExportStatus::Unavailable;
}

}  // namespace dravolo::wine
