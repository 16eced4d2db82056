// The helper runs under Wine with pipes on its standard input and output.
// Wine may start a wineserver from it, which inherits the helper's output
// pipe and keeps it open for minutes after the helper ends, so an end of file
// never comes: while waiting for an answer we also watch the helper's pid.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "common/platform/helper_process.h"
#include "common/platform/posix/fd_io.h"
#include "common/platform/posix/wine_bridge.h"
#include "common/platform/prefix.h"

namespace dravolo {

namespace {

constexpr int kPollMs = 100;
constexpr auto kEndGrace = std::chrono::seconds(3);

class WineHelperProcess : public HelperProcess {
public:
    WineHelperProcess(pid_t pid, int toChild, int fromChild) : pid_(pid), toChild_(toChild), fromChild_(fromChild) {}

    ~WineHelperProcess() override {
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
            const int ready = poll(&p, 1, kPollMs);
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0) return false;
            if (ready == 0) {
                if (Reaped()) return false;  // ended without a word
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

std::unique_ptr<HelperProcess> HelperProcess::Start(const std::string& program) {
    const auto runner = wine::RunnerCommand();
    const std::string prefix = PrefixDirectory();
    if (runner.empty() || prefix.empty()) return nullptr;
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0) return nullptr;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return nullptr;
    }
    // A helper that ended must give us EPIPE on a write, not kill us.
    signal(SIGPIPE, SIG_IGN);
    // Wine's and the plugins' own diagnostics go to our standard error only
    // when asked for.
    const char* debug = std::getenv("DRAVOLO_PLUGINHOST_DEBUG");
    const int errFd = debug && *debug ? 2 : -1;
    const auto pid = wine::SpawnInPrefix(prefix, runner, {program}, in[0], out[1], errFd);
    close(in[0]);
    close(out[1]);
    if (!pid) {
        close(in[1]);
        close(out[0]);
        return nullptr;
    }
    return std::make_unique<WineHelperProcess>(*pid, in[1], out[0]);
}

}  // namespace dravolo
