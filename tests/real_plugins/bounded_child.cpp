#include "tests/real_plugins/bounded_child.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <thread>

namespace dravolo::test {

BoundedChild::BoundedChild(const std::function<int()>& body) {
    std::fflush(nullptr);  // what the parent has buffered must not come out twice
    pid_ = fork();
    if (pid_ == 0) {
        // A group of its own: a kill takes whatever it started along (the
        // plugin host, a plugin's forked children, its settings programs).
        setpgid(0, 0);
        int code = 1;
        try {
            code = body();
        } catch (...) {
            code = 99;
        }
        std::fflush(nullptr);
        _exit(code);
    }
}

BoundedChild::~BoundedChild() {
    if (Running()) Kill();
    // What it left behind in its group, such as a settings program still open.
    if (pid_ > 0) kill(-pid_, SIGKILL);
}

bool BoundedChild::Running() {
    if (pid_ <= 0 || code_) return false;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == 0) return true;
    if (r == pid_) code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    else code_ = -1;  // lost: nothing left to wait for
    return false;
}

std::optional<int> BoundedChild::WaitFor(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Running()) {
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return code_;
}

void BoundedChild::Kill() {
    if (pid_ <= 0 || code_) return;
    kill(-pid_, SIGKILL);
    kill(pid_, SIGKILL);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
    code_ = 128 + SIGKILL;
}

}  // namespace dravolo::test
