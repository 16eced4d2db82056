#include "tests/crash/kill_harness.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "common/platform/posix/file_write_hook.h"

namespace dravolo::test {

namespace {

int g_stepsLeft = 0;

void KillAtStep(const posix::FileWriteStep&) {
    if (--g_stepsLeft == 0) raise(SIGKILL);
}

ChildEnd Reap(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) ADD_FAILURE() << "waitpid: " << errno;
        if (errno != EINTR) return ChildEnd::Killed;
    }
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return ChildEnd::Killed;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child's save ended badly: " << status;
    return ChildEnd::Finished;
}

std::string ParentOf(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

std::string Describe(const std::optional<std::string>& content) {
    return content ? std::to_string(content->size()) + " bytes" : std::string("no file");
}

}  // namespace

ChildEnd RunKilledAfterStep(const std::function<void()>& work, int killAfterStep, std::size_t largestWrite) {
    const pid_t pid = fork();
    if (pid == 0) {
        g_stepsLeft = killAfterStep;
        posix::SetFileWriteHook(killAfterStep > 0 ? KillAtStep : nullptr, largestWrite);
        work();
        _exit(0);
    }
    return Reap(pid);
}

ChildEnd RunKilledAfterDelay(const std::function<void()>& work, std::chrono::microseconds delay) {
    const pid_t pid = fork();
    if (pid == 0) {
        work();
        _exit(0);
    }
    std::this_thread::sleep_for(delay);
    kill(pid, SIGKILL);
    return Reap(pid);
}

std::optional<std::string> ReadIfExists(const std::string& hostPath) {
    std::ifstream in(hostPath, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::set<std::string> NamesIn(const std::string& hostFolder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(hostFolder))
        names.insert(entry.path().filename().string());
    return names;
}

void ExpectOldOrNewAfterEveryKill(const std::string& hostFile, const std::function<void()>& reset,
                                  const std::function<void()>& save,
                                  const std::function<std::string(std::string)>& comparable) {
    const std::string folder = ParentOf(hostFile);
    const auto read = [&]() -> std::optional<std::string> {
        auto content = ReadIfExists(hostFile);
        if (content && comparable) return comparable(std::move(*content));
        return content;
    };
    reset();
    const auto oldContent = read();
    ASSERT_EQ(RunKilledAfterStep(save, 0), ChildEnd::Finished);
    const auto newContent = read();
    ASSERT_TRUE(newContent.has_value());
    ASSERT_NE(newContent, oldContent) << "the save changes nothing: no test";
    // What a finished save leaves in the folder (a lock file, say), and no more.
    const std::set<std::string> allowed = NamesIn(folder);
    auto expectNothingStray = [&](const std::string& when) {
        for (const auto& name : NamesIn(folder))
            EXPECT_TRUE(allowed.count(name)) << name << " left in the folder " << when;
    };
    auto expectOldOrNew = [&](const std::string& when) {
        const auto content = read();
        EXPECT_TRUE(content == oldContent || content == newContent)
            << when << ": " << Describe(content) << ", old " << Describe(oldContent) << ", new "
            << Describe(newContent);
    };

    int steps = 0;
    for (int step = 1;; ++step) {
        reset();
        const ChildEnd end = RunKilledAfterStep(save, step);
        const std::string when = "killed after write step " + std::to_string(step);
        expectOldOrNew(when);
        expectNothingStray(when);
        if (end == ChildEnd::Finished) break;
        steps = step;
        ASSERT_LT(step, 5000) << "a save without end";
    }
    EXPECT_GE(steps, 3) << "too few points to stop at";

    // Kills that land anywhere, the moments between the write steps included.
    std::mt19937 random(2026);
    for (int round = 0; round < 40; ++round) {
        reset();
        const auto delay = std::chrono::microseconds(random() % 3000);
        RunKilledAfterDelay(save, delay);
        const std::string when = "killed after " + std::to_string(delay.count()) + " us";
        expectOldOrNew(when);
        // A kill between naming the new file and its rename may leave the
        // name; the next save of the file takes it away.
        ASSERT_EQ(RunKilledAfterStep(save, 0), ChildEnd::Finished);
        expectNothingStray(when + " and one more save");
    }
}

}  // namespace dravolo::test
