// Starting programs on POSIX. A native program (ELF, or a script with its run
// bit) is executed directly; a Windows program goes through the runner
// (DRAVOLO_RUNNER, default "wine"): started by our Windows helper with
// CreateProcessA when the helper is there (StartProcess), else with its Windows
// path as the runner's argument. The child gets WINEPREFIX pointing at our
// prefix so that Wine and we share one registry.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "common/platform/dry_run.h"
#include "common/platform/posix/fd_io.h"
#include "common/platform/pe_image.h"
#include "common/platform/posix/host_programs.h"
#include "common/platform/posix/wine_bridge.h"
#include "common/platform/prefix.h"
#include "common/platform/process.h"
#include "common/platform/winfs.h"

extern char** environ;

namespace dravolo {

namespace {

struct LaunchPlan {
    std::string executable;  // host path
    std::vector<std::string> argv;
    std::string workingDir;  // host path
    std::vector<std::string> env;
};

using posix::IsExecutableFile;
using posix::SearchPath;
using posix::SplitOnBlanks;

std::vector<std::string> ChildEnvironment() {
    std::vector<std::string> env;
    const std::string prefix = PrefixDirectory();
    for (char** e = environ; e && *e; ++e) {
        if (!prefix.empty() && std::strncmp(*e, "WINEPREFIX=", 11) == 0) continue;
        env.emplace_back(*e);
    }
    if (!prefix.empty()) env.push_back("WINEPREFIX=" + prefix);
    return env;
}

std::optional<LaunchPlan> Plan(std::string_view commandLine, std::string_view workingDir,
                               const std::string& runnerSetting) {
    const auto resolved = ResolveProgram(commandLine, workingDir);
    if (!resolved) return std::nullopt;

    LaunchPlan plan;
    plan.workingDir = ToHostPath(workingDir.empty() ? std::string_view(".") : workingDir);
    struct stat st {};
    if (stat(plan.workingDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;

    const std::string program = ToHostPath(resolved->program);
    const std::vector<std::string> args = SplitCommandLine(resolved->arguments);
    if (FileStartsWithMz(resolved->program)) {
        const char* runnerVar = std::getenv("DRAVOLO_RUNNER");
        std::vector<std::string> runner = SplitOnBlanks(!runnerSetting.empty()    ? std::string_view(runnerSetting)
                                                        : runnerVar && *runnerVar ? std::string_view(runnerVar)
                                                                                  : std::string_view("wine"));
        if (runner.empty()) return std::nullopt;
        const auto exe = SearchPath(runner[0]);
        if (!exe) return std::nullopt;
        plan.executable = *exe;
        plan.argv = std::move(runner);
        plan.argv.push_back(ToWindowsPath(program));
    } else {
        if (!IsExecutableFile(program)) return std::nullopt;
        plan.executable = program;
        plan.argv.push_back(program);
    }
    plan.argv.insert(plan.argv.end(), args.begin(), args.end());
    plan.env = ChildEnvironment();
    return plan;
}

std::vector<char*> CStrings(std::vector<std::string>& strings) {
    std::vector<char*> out;
    out.reserve(strings.size() + 1);
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

// Every descriptor above the standard three is ours (files being written,
// lock files, pipes to helpers, whatever a library or plugin opened without
// close-on-exec): none may cross into the program. Marking them close-on-exec
// rather than closing them keeps the error pipe open until the exec itself.
// openMax: the descriptor limit, read before fork for the fallback loop of
// kernels without close_range.
void CloseOnExecAboveStandard(long openMax) {
    if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0) return;
    for (long fd = 3; fd < openMax; ++fd) fcntl(static_cast<int>(fd), F_SETFD, FD_CLOEXEC);
}

[[noreturn]] void ChildFail(int pipeFd) {
    const int err = errno;
    [[maybe_unused]] const ssize_t n = write(pipeFd, &err, sizeof err);
    _exit(127);
}

// Between fork and exec only async-signal-safe calls: everything the child
// needs is prepared before.
[[noreturn]] void ExecChild(const LaunchPlan& plan, char* const* argv, char* const* envp, int pipeFd, long openMax) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigaction(SIGPIPE, &dfl, nullptr);
    sigaction(SIGCHLD, &dfl, nullptr);
    if (chdir(plan.workingDir.c_str()) != 0) ChildFail(pipeFd);
    CloseOnExecAboveStandard(openMax);
    execve(plan.executable.c_str(), argv, envp);
    ChildFail(pipeFd);
}

// Starts the plan. detached: the program is a grandchild re-parented to init,
// so no zombie remains whether or not anyone waits. Returns the child's pid
// (0 when detached), or nullopt when exec failed.
std::optional<pid_t> Spawn(LaunchPlan plan, bool detached) {
    std::vector<char*> argv = CStrings(plan.argv);
    std::vector<char*> envp = CStrings(plan.env);
    const long openMax = sysconf(_SC_OPEN_MAX) > 0 ? sysconf(_SC_OPEN_MAX) : 1024;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;

    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        close(fds[0]);
        if (detached) {
            setsid();  // leaves our terminal's process group: Ctrl+C here does not reach it
            const pid_t grandchild = fork();
            if (grandchild < 0) ChildFail(fds[1]);
            if (grandchild > 0) _exit(0);
        }
        ExecChild(plan, argv.data(), envp.data(), fds[1], openMax);
    }

    close(fds[1]);
    if (detached) {
        int status = 0;
        posix::WaitForChild(pid, status);
    }
    // The pipe closes on a successful exec; an error number comes otherwise.
    int childErrno = 0;
    ssize_t n;
    do n = read(fds[0], &childErrno, sizeof childErrno);
    while (n < 0 && errno == EINTR);
    close(fds[0]);
    if (n > 0) {
        if (!detached) {
            int status = 0;
            posix::WaitForChild(pid, status);
        }
        errno = childErrno;  // why the program could not be executed
        return std::nullopt;
    }
    return detached ? 0 : pid;
}

// Wine's own start of "wine program args" rebuilds the command line from the
// arguments and gives the program neither our show command nor our start-up
// position. Our helper, itself a Windows program under the runner, calls
// CreateProcessA with exactly what a Windows front end would pass. nullopt
// when there is no helper to do it.
constexpr unsigned kStartfUseShowWindow = 0x1;
constexpr unsigned kStartfUsePosition = 0x4;
constexpr unsigned kCreateNewConsole = 0x10;
constexpr auto kHelperStartLimit = std::chrono::seconds(60);  // Wine may have to start its server first

std::optional<bool> StartThroughHelper(std::string_view commandLine, std::string_view workingDir,
                                       const StartOptions& options) {
    const std::string helper = posix::WinHelperPath();
    if (helper.empty()) return std::nullopt;
    const std::vector<std::string> runner = wine::RunnerCommand(options.runner);
    const std::string prefix = PrefixDirectory();
    if (runner.empty() || prefix.empty()) {
        errno = ENOENT;
        return false;
    }
    unsigned siFlags = 0;
    if (options.showWindow) siFlags |= kStartfUseShowWindow;
    if (options.position) siFlags |= kStartfUsePosition;
    const std::string dir = workingDir.empty() ? GetCurrentDir() : std::string(workingDir);
    const std::vector<std::string> args = {
        helper,
        "start",
        std::to_string(options.newConsole ? kCreateNewConsole : 0u),
        std::to_string(siFlags),
        std::to_string(options.showWindow.value_or(0)),
        std::to_string(options.position ? options.position->x : 0),
        std::to_string(options.position ? options.position->y : 0),
        dir.empty() ? std::string("-") : posix::HelperHexArgument(dir),
        posix::HelperHexArgument(commandLine),
    };
    const wine::RunOutcome outcome = wine::RunInPrefix(prefix, runner, args, kHelperStartLimit);
    std::istringstream lines(outcome.output);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("started ")) return true;
        if (line.starts_with("failed ")) {
            errno = ENOENT;  // the Windows error number has no errno of its own
            return false;
        }
    }
    errno = outcome.started ? EIO : ENOENT;
    return false;
}

bool IsWindowsProgram(std::string_view commandLine, std::string_view workingDir) {
    const auto resolved = ResolveProgram(commandLine, workingDir);
    return resolved && FileStartsWithMz(resolved->program);
}

}  // namespace

bool StartProcess(std::string_view commandLine, std::string_view workingDir, const StartOptions& options) {
    if (auto* dry = ActiveDryRun()) {
        dry->StartProgram(commandLine, workingDir, false);
        return ResolveProgram(commandLine, workingDir).has_value();
    }
    if (IsWindowsProgram(commandLine, workingDir))
        if (const auto started = StartThroughHelper(commandLine, workingDir, options)) return *started;
    // A native program: window placement and consoles are not ours to give.
    auto plan = Plan(commandLine, workingDir, options.runner);
    if (!plan) {
        errno = ENOENT;  // no program, runner or folder to start in: as CreateProcess's "file not found"
        return false;
    }
    return Spawn(std::move(*plan), true).has_value();
}

std::optional<int> RunAndWait(std::string_view commandLine, std::string_view workingDir, const StartOptions& options) {
    if (auto* dry = ActiveDryRun()) {
        dry->StartProgram(commandLine, workingDir, true);
        if (!ResolveProgram(commandLine, workingDir)) return std::nullopt;
        return 0;
    }
    auto plan = Plan(commandLine, workingDir, options.runner);
    if (!plan) return std::nullopt;
    const auto pid = Spawn(std::move(*plan), false);
    if (!pid) return std::nullopt;
    int status = 0;
    if (!posix::WaitForChild(*pid, status)) return std::nullopt;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    // Killed by a signal: report it as a shell would, never as success.
    return 128 + WTERMSIG(status);
}

std::string OwnProgramDirectory() {
    std::string buffer(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return {};
    buffer.resize(static_cast<std::size_t>(n));
    const auto slash = buffer.rfind('/');
    return slash == std::string::npos ? std::string() : buffer.substr(0, slash);
}

}  // namespace dravolo
