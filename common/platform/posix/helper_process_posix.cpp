// The helper runs with pipes on its standard input and output, a Windows one
// under Wine, a native one directly. Wine may start a wineserver from it,
// which inherits the helper's output pipe and keeps it open for minutes after
// the helper ends, so an end of file never comes: while waiting for an answer
// we also watch the helper's pid. A native helper's plugin may leave programs
// behind that hold the pipe the same way.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "common/base/wait_hook.h"
#include "common/platform/helper_process.h"
#include "common/platform/posix/fd_io.h"
#include "common/platform/posix/wine_bridge.h"
#include "common/platform/prefix.h"

namespace dravolo {

namespace {

constexpr int kPollMs = 100;
// With a wait hook the windows repaint at about this pace.
constexpr int kHookPollMs = 15;
constexpr auto kEndGrace = std::chrono::seconds(3);

class PipeHelperProcess : public HelperProcess {
public:
    PipeHelperProcess(pid_t pid, int toChild, int fromChild) : pid_(pid), toChild_(toChild), fromChild_(fromChild) {}

    ~PipeHelperProcess() override {
        close(toChild_);  // the helper's end of input: it leaves its loop
        if (!Reaped()) {
            const auto deadline = std::chrono::steady_clock::now() + kEndGrace;
            while (!Reaped() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (!Reaped()) {
                kill(pid_, SIGKILL);
                int status = 0;
                posix::WaitForChild(pid_, status);
            }
        }
        close(fromChild_);
    }

    bool Send(std::span<const std::uint8_t> data) override {
        return posix::WriteAllFd(toChild_, data.data(), data.size());
    }

    bool Receive(std::span<std::uint8_t> out) override {
        std::size_t done = 0;
        while (done < out.size()) {
            pollfd p{fromChild_, POLLIN, 0};
            const int ready = poll(&p, 1, HasWaitHook() ? kHookPollMs : kPollMs);
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0) return false;
            if (ready == 0) {
                if (Reaped()) return false;  // ended without a word
                RunWaitHook();
                continue;
            }
            const ssize_t n = posix::ReadRetrying(fromChild_, out.data() + done, out.size() - done);
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    bool Reaped() {
        if (reaped_) return true;
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_ || (r < 0 && errno == ECHILD)) reaped_ = true;
        return reaped_;
    }

    pid_t pid_;
    int toChild_, fromChild_;
    bool reaped_ = false;
};

}  // namespace

namespace {

// Both pipes, close-on-exec on our side; false (nothing left open) when
// either cannot be made.
bool MakePipes(int in[2], int out[2]) {
    if (pipe2(in, O_CLOEXEC) != 0) return false;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return false;
    }
    // A helper that ended must give us EPIPE on a write, not kill us.
    signal(SIGPIPE, SIG_IGN);
    return true;
}

// Wine's and the plugins' own diagnostics go to our standard error only when
// asked for.
bool DebugOutput() {
    const char* debug = std::getenv("DRAVOLO_PLUGINHOST_DEBUG");
    return debug && *debug;
}

}  // namespace

std::unique_ptr<HelperProcess> HelperProcess::StartNative(const std::string& program) {
    int in[2], out[2];
    if (!MakePipes(in, out)) return nullptr;
    const bool debug = DebugOutput();
    const pid_t pid = fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec: we may be a
        // threaded Qt program.
        dup2(in[0], 0);
        dup2(out[1], 1);
        if (!debug) {
            const int nul = open("/dev/null", O_WRONLY);
            if (nul >= 0) dup2(nul, 2);
        }
        char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
        execv(program.c_str(), argv);
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    if (pid < 0) {
        close(in[1]);
        close(out[0]);
        return nullptr;
    }
    return std::make_unique<PipeHelperProcess>(pid, in[1], out[0]);
}

std::unique_ptr<HelperProcess> HelperProcess::Start(const std::string& program) {
    const auto runner = wine::RunnerCommand();
    const std::string prefix = PrefixDirectory();
    if (runner.empty() || prefix.empty()) return nullptr;
    int in[2], out[2];
    if (!MakePipes(in, out)) return nullptr;
    const int errFd = DebugOutput() ? 2 : -1;
    const auto pid = wine::SpawnInPrefix(prefix, runner, {program}, in[0], out[1], errFd);
    close(in[0]);
    close(out[1]);
    if (!pid) {
        close(in[1]);
        close(out[0]);
        return nullptr;
    }
    return std::make_unique<PipeHelperProcess>(*pid, in[1], out[0]);
}

}  // namespace dravolo
