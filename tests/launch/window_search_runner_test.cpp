// The Linux window search through a stand-in runner: a shell script in place
// of Wine that answers as the window helper would and records how it was run.
// The search must go through the emulator kind's own runner (with the
// runner's WINEPREFIX winning over ours), never hold a Step for a look in
// flight, and leave no helper process behind when a look is dropped.

#ifndef _WIN32

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "frontend/launch/launch.h"
#include "tests/launch/launch_fixture.h"

namespace dravolo {
namespace {

using Clock = std::chrono::steady_clock;

// Environment variables set for one test and put back afterwards.
class ScopedEnv {
public:
    void Set(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) setenv(it->first.c_str(), it->second->c_str(), 1);
            else unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class WindowSearchRunner : public test::LaunchFixture {
protected:
    void SetUp() override {
        test::LaunchFixture::SetUp();
        helper = root() + "/winhelper.exe";  // never run: the runner answers for it
        WriteHostFile(helper, "MZ");
        log = root() + "/runner.log";
        env.Set("DRAVOLO_WINHELPER", helper);
        // Only the kind's runner can reach the helper.
        env.Set("DRAVOLO_RUNNER", "/nonexistent/wine");
    }

    // A runner script: logs "WINEPREFIX|arguments", then runs `findAnswer`
    // for a helper "find" and `changeAnswer` for its changes.
    std::string Runner(const std::string& findAnswer, const std::string& changeAnswer = "echo ok") {
        const std::string script = root() + "/runner.sh";
        WriteHostFile(script, "#!/bin/sh\necho \"$WINEPREFIX|$*\" >> '" + log + "'\ncase \"$2\" in\n  find) " +
                                  findAnswer + " ;;\n  changes) " + changeAnswer +
                                  " ;;\n  start) echo 'started 42' ;;\nesac\n");
        return "/bin/sh " + script;
    }

    // The logged runs of the helper, in order.
    std::vector<std::string> HelperRuns() {
        std::vector<std::string> runs;
        std::istringstream in(ReadHostFile(log));
        for (std::string line; std::getline(in, line);)
            if (line.find(helper) != std::string::npos) runs.push_back(line);
        return runs;
    }

    std::string helper, log;
    ScopedEnv env;
};

TEST_F(WindowSearchRunner, TheLaunchSearchesThroughTheKindsRunnerAndItsPrefix) {
    // PCSX lives in the prefix its runner names: its program is there.
    const std::string other = root() + "/other";
    WriteHostFile(other + "/drive_c/pcsx/pcsx.exe", "MZ stand-in");  // a Windows program: it gets a search
    _PCSXDATA r(settings());
    r.Gpu = "gpu.dll";
    r.Spu = "spu.dll";
    r.Cdr = "cdr.dll";
    SaveProfile("Ape", r);
    ASSERT_TRUE(settings().SetString(
        "PcsxRunner", "env WINEPREFIX=" + other + " " + Runner("echo 'window 77 0 0 640 480 1024 768'")));
    SleepingWindowPoller poller;
    ASSERT_TRUE(LaunchSelectedProfile(LaunchRequest{EmulatorKind::Pcsx, std::string("Ape"), false}, registry(),
                                      settings(), prompter, poller));
    const std::string runOf = other + "|" + helper + " ";
    const auto runs = HelperRuns();
    ASSERT_EQ(runs.size(), 3u);
    // Started by the helper: hidden (STARTF_USESHOWWINDOW | STARTF_USEPOSITION,
    // SW_HIDE) at 0,0 in "c:\pcsx\" with the line "c:\pcsx\pcsx.exe ".
    EXPECT_EQ(runs[0], runOf + "start 0 5 0 0 0 633a5c706373785c 633a5c706373785c706373782e65786520");
    // The class "P\xA9SX Main" goes to the helper in hex. The centring is one
    // helper run: hidden only while it moves.
    EXPECT_EQ(runs[1], runOf + "find 50a95358204d61696e 500");
    EXPECT_EQ(runs[2], runOf + "changes hide 77 move 77 192 144 show 77");
}

TEST_F(WindowSearchRunner, AStepNeverWaitsForTheHelper) {
    // The first look finds nothing after 300 ms, the second the window; each
    // change takes 200 ms.
    const std::string count = root() + "/finds";
    auto finder = OpenSystemWindowFinder(
        Runner("sleep 0.3; echo x >> '" + count + "'; if [ $(wc -l < '" + count +
                   "') -ge 2 ]; then echo 'window 5 0 0 100 100 800 600'; else echo 'none 800 600'; fi",
               "sleep 0.2; echo ok"));
    ASSERT_TRUE(finder->Available());
    WindowWatch watch(*finder, "EPSXGUI", true, true);
    int steps = 0, checks = 0;
    std::vector<int> looksAfterEachLook;
    auto longest = Clock::duration::zero();
    for (;;) {
        const auto start = Clock::now();
        const int before = watch.looks();
        const bool over = watch.Step();
        longest = std::max(longest, Clock::now() - start);
        if (over) break;
        ++steps;
        if (watch.looks() != before) looksAfterEachLook.push_back(watch.looks());
        if (watch.pause() == kWindowLookCheckPause) ++checks;
        ASSERT_LT(steps, 10000) << "the search does not end";
        std::this_thread::sleep_for(watch.pause());
    }
    EXPECT_TRUE(watch.found());
    EXPECT_LT(longest, std::chrono::milliseconds(100));
    EXPECT_GT(checks, 20);  // 1 s of looks and changes, checked on every 10 ms
    // Each ended look counts as the helper's whole span of looks.
    EXPECT_EQ(looksAfterEachLook, (std::vector<int>{500, 1000}));
    // The watch ends once the window is in place, all its changes in one run.
    const auto runs = HelperRuns();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_NE(runs[2].find(" changes move 5 350 250 show 5"), std::string::npos) << runs[2];
    EXPECT_FALSE(finder->ChangesPending());
}

TEST_F(WindowSearchRunner, ADroppedLookLeavesNoProcessBehind) {
    const std::string pidFile = root() + "/helper.pid";
    auto finder = OpenSystemWindowFinder(
        Runner("echo $$ > '" + pidFile + ".new'; mv '" + pidFile + ".new' '" + pidFile + "'; exec sleep 30"));
    EXPECT_FALSE(finder->PollTopLevel("EPSXGUI").ended);
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!HostExists(pidFile) && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(HostExists(pidFile));
    const pid_t pid = static_cast<pid_t>(std::stol(ReadHostFile(pidFile)));
    ASSERT_EQ(kill(pid, 0), 0);
    finder.reset();
    // Neither running nor a zombie: killed and reaped.
    EXPECT_EQ(kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

}  // namespace
}  // namespace dravolo

#endif
