#pragma once
// Runs a piece of a test in a forked child, so that a call which never
// returns costs the test a timeout of its own choosing and a clear failure,
// not ctest's timeout for the whole program. POSIX only.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>

namespace dravolo::test {

class BoundedChild {
public:
    // body's return value becomes the child's exit code; the child ends with
    // _exit, so nothing of the parent's (gtest, atexit handlers) runs twice.
    explicit BoundedChild(const std::function<int()>& body);
    ~BoundedChild();  // kills a child that still runs
    BoundedChild(const BoundedChild&) = delete;
    BoundedChild& operator=(const BoundedChild&) = delete;

    // The exit code when the child ended within the timeout (128 + signal
    // for one that was killed); nullopt while it still runs.
    std::optional<int> WaitFor(std::chrono::milliseconds timeout);
    bool Running();
    void Kill();
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::optional<int> code_;
};

}  // namespace dravolo::test
