// Windows of programs running under Wine live in their wineserver, out of
// reach of a native process. A small Windows helper (winhelper.exe, built with
// mingw-w64 beside our programs, or named by DRAVOLO_WINHELPER) runs under the
// prefix's Wine, under the same server as the emulator, and does the
// FindWindow / GetWindowRect / ShowWindow / MoveWindow calls for us. Window
// handles are the server's, so one run's handle is good in the next. The
// runner is the emulator kind's own: a user who keeps an emulator in another
// prefix ("env WINEPREFIX=/other wine") has its windows in that prefix's
// server. Our WINEPREFIX goes into the runner's environment first; "env" sets
// its own afterwards, so the runner's prefix wins.
//
// Starting Wine costs tens of milliseconds even with a server up, so a search
// is not one run per millisecond: the helper keeps looking for kLookSpan
// itself and one look stands for that many. A search look runs in the
// background (PollTopLevel starts the helper and later only asks whether it
// has exited), and so do hide, move and show, one after another, so the main
// window keeps painting while Wine works. Without the helper or a runner the
// finder is not available and finds nothing.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "common/platform/posix/fd_io.h"
#include "common/platform/posix/host_programs.h"
#include "common/platform/posix/wine_bridge.h"
#include "common/platform/prefix.h"
#include "common/platform/process.h"
#include "common/platform/window_finder.h"

namespace dravolo {

namespace {

constexpr std::chrono::milliseconds kLookSpan{500};
// Beyond the helper's own wait: Wine may have to start its server and bring
// the prefix up to date first.
constexpr std::chrono::milliseconds kStartAllowance{30000};
// How often a caller that waits for a look checks on the helper.
constexpr std::chrono::milliseconds kCheckPause{2};

std::string HelperPath() { return posix::WinHelperPath(); }

// The helper's answer: the first line of the output that starts with one of
// its words (Wine may print its own lines around it).
std::vector<std::string> AnswerLine(const std::string& output, std::initializer_list<const char*> words) {
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::vector<std::string> parts;
        for (std::string f; fields >> f;) parts.push_back(f);
        if (parts.empty()) continue;
        for (const char* w : words)
            if (parts[0] == w) return parts;
    }
    return {};
}

bool ToInt(const std::string& text, long long& out) {
    char* end = nullptr;
    out = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && end && *end == '\0';
}

bool ReadInts(const std::vector<std::string>& parts, std::size_t from, std::size_t count, std::vector<long long>& out) {
    if (parts.size() < from + count) return false;
    out.clear();
    for (std::size_t i = from; i < from + count; ++i) {
        long long v = 0;
        if (!ToInt(parts[i], v)) return false;
        out.push_back(v);
    }
    return true;
}

// One helper run in the background: started, then asked now and then whether
// it has exited. Its output goes through an unlinked file, not a pipe, as in
// wine::RunInPrefix: a wineserver the run starts inherits the descriptors and
// would keep a pipe open for minutes.
class BackgroundRun {
public:
    static std::unique_ptr<BackgroundRun> Start(const std::string& prefix, const std::vector<std::string>& runner,
                                                const std::vector<std::string>& args, std::chrono::milliseconds limit) {
        char outName[] = "/tmp/dravolo-winhelper-XXXXXX";
        const int outFd = mkostemp(outName, O_CLOEXEC);
        if (outFd < 0) return nullptr;
        unlink(outName);
        const auto pid = wine::SpawnInPrefix(prefix, runner, args, -1, outFd, outFd);
        if (!pid) {
            close(outFd);
            return nullptr;
        }
        return std::unique_ptr<BackgroundRun>(
            new BackgroundRun(static_cast<pid_t>(*pid), outFd, std::chrono::steady_clock::now() + limit));
    }

    // A run nobody waits for any more is killed and reaped, never left behind
    // as a zombie or a stray Wine process.
    ~BackgroundRun() {
        Stop();
        close(outFd_);
    }
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;

    // Never waits: nullopt while the run goes on, then its output. A run past
    // its time limit is killed and ends with no output.
    std::optional<std::string> Check() {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == 0 || (done < 0 && errno == EINTR)) {
            if (std::chrono::steady_clock::now() < deadline_) return std::nullopt;
            Stop();
            return std::string();
        }
        pid_ = -1;  // reaped, or not ours to wait for any more
        if (done < 0) return std::string();
        std::string output;
        lseek(outFd_, 0, SEEK_SET);
        char buf[4096];
        ssize_t n;
        while ((n = read(outFd_, buf, sizeof buf)) > 0) output.append(buf, static_cast<std::size_t>(n));
        return output;
    }

private:
    BackgroundRun(pid_t pid, int outFd, std::chrono::steady_clock::time_point deadline)
        : pid_(pid), outFd_(outFd), deadline_(deadline) {}

    void Stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        int status = 0;
        posix::WaitForChild(pid_, status);
        pid_ = -1;
    }

    pid_t pid_;
    int outFd_;
    std::chrono::steady_clock::time_point deadline_;
};

class WineWindowFinder : public WindowFinder {
public:
    WineWindowFinder(std::string helper, std::vector<std::string> runner, std::string prefix)
        : helper_(std::move(helper)), runner_(std::move(runner)), prefix_(std::move(prefix)) {}
    // Changes asked for are made even when nobody waited for them.
    ~WineWindowFinder() override { SettleChanges(); }
    WineWindowFinder(const WineWindowFinder&) = delete;
    WineWindowFinder& operator=(const WineWindowFinder&) = delete;

    bool Available() override { return true; }
    std::chrono::milliseconds LookSpan() const override { return kLookSpan; }

    // The command line's callers (and tests) wait here; the look itself is
    // the same background run the main window polls.
    std::optional<WindowHandle> FindTopLevel(std::string_view className) override {
        for (;;) {
            const Look look = PollTopLevel(className);
            if (look.ended) return look.window;
            std::this_thread::sleep_for(kCheckPause);
        }
    }

    Look PollTopLevel(std::string_view className) override {
        if (search_ && searchClass_ != className) search_.reset();
        if (!search_) {
            search_ = BackgroundRun::Start(
                prefix_, runner_,
                {helper_, "find", posix::HelperHexArgument(className), std::to_string(kLookSpan.count())},
                kLookSpan + kStartAllowance);
            // Wine that cannot start finds nothing; the look is over.
            if (!search_) return Look{true, std::nullopt};
            searchClass_ = std::string(className);
            // A window moved while the helper looks may be reported where it was.
            searchRectTrusted_ = !ChangesPending();
            searchChangeCount_ = changeCount_;
            return Look{false, std::nullopt};
        }
        const auto output = search_->Check();
        if (!output) return Look{false, std::nullopt};
        search_.reset();
        return Look{true, FindAnswer(*output)};
    }

    std::optional<WindowRect> Rect(WindowHandle window) override {
        if (lastFound_ && *lastFound_ == window) {
            lastFound_.reset();
            return lastRect_;
        }
        const auto parts = Ask({"rect", std::to_string(window)}, {"rect", "none"});
        std::vector<long long> v;
        if (parts.empty() || parts[0] != "rect" || !ReadInts(parts, 1, 4, v)) return std::nullopt;
        return WindowRect{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                          static_cast<int>(v[3])};
    }

    ScreenSize Screen() override {
        if (!screen_) {
            const auto parts = Ask({"screen"}, {"screen"});
            std::vector<long long> v;
            if (!parts.empty() && ReadInts(parts, 1, 2, v))
                screen_ = ScreenSize{static_cast<int>(v[0]), static_cast<int>(v[1])};
        }
        return screen_.value_or(ScreenSize{});
    }

    bool ChangesPending() override {
        PumpChanges();
        return change_ || !queuedChanges_.empty();
    }

    void Hide(WindowHandle window) override { Change({"hide", std::to_string(window)}, window); }
    void Show(WindowHandle window) override { Change({"show", std::to_string(window)}, window); }
    void Move(WindowHandle window, int x, int y) override {
        Change({"move", std::to_string(window), std::to_string(x), std::to_string(y)}, window);
    }

private:
    std::optional<WindowHandle> FindAnswer(const std::string& output) {
        const auto parts = AnswerLine(output, {"window", "none"});
        std::vector<long long> v;
        if (parts.empty()) return std::nullopt;
        if (parts[0] == "none") {
            if (ReadInts(parts, 1, 2, v)) screen_ = ScreenSize{static_cast<int>(v[0]), static_cast<int>(v[1])};
            return std::nullopt;
        }
        if (!ReadInts(parts, 1, 7, v) || v[0] <= 0) return std::nullopt;
        const auto window = static_cast<WindowHandle>(v[0]);
        // Kept for the Rect that follows a find: it saves a run.
        if (searchRectTrusted_ && searchChangeCount_ == changeCount_) lastFound_ = window;
        lastRect_ =
            WindowRect{static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3]), static_cast<int>(v[4])};
        screen_ = ScreenSize{static_cast<int>(v[5]), static_cast<int>(v[6])};
        return window;
    }

    // One quick helper run that does not wait for windows, waited for here
    // after the changes asked for before it.
    std::vector<std::string> Ask(std::vector<std::string> args, std::initializer_list<const char*> words) {
        SettleChanges();
        args.insert(args.begin(), helper_);
        const auto run = wine::RunInPrefix(prefix_, runner_, args, kStartAllowance);
        if (!run.started || run.timedOut) return {};
        return AnswerLine(run.output, words);
    }

    // Changes wait until someone checks on them (ChangesPending, or a read
    // that needs them made), so the hide, move and show of one centring go to
    // the helper together: the window is hidden for the move itself, not for
    // three Wine starts.
    void Change(std::vector<std::string> args, WindowHandle window) {
        if (lastFound_ && *lastFound_ == window) lastFound_.reset();  // the rectangle may change
        ++changeCount_;
        for (auto& word : args) queuedChanges_.push_back(std::move(word));
    }

    // Starts the changes asked for so far, in one run, once the run before
    // has ended. A change that fails or cannot start is passed over, as a
    // window that is gone would be.
    void PumpChanges() {
        for (;;) {
            if (change_) {
                if (!change_->Check()) return;
                change_.reset();
            }
            if (queuedChanges_.empty()) return;
            std::vector<std::string> args{helper_, "changes"};
            args.insert(args.end(), queuedChanges_.begin(), queuedChanges_.end());
            queuedChanges_.clear();
            change_ = BackgroundRun::Start(prefix_, runner_, args, kStartAllowance);
        }
    }

    void SettleChanges() {
        while (ChangesPending()) std::this_thread::sleep_for(kCheckPause);
    }

    std::string helper_;
    std::vector<std::string> runner_;
    std::string prefix_;
    std::optional<WindowHandle> lastFound_;
    WindowRect lastRect_;
    std::optional<ScreenSize> screen_;
    std::unique_ptr<BackgroundRun> search_;  // the look in flight
    std::string searchClass_;
    bool searchRectTrusted_ = false;
    unsigned searchChangeCount_ = 0;
    std::unique_ptr<BackgroundRun> change_;   // the change in flight
    std::vector<std::string> queuedChanges_;  // the words of the changes not yet started
    unsigned changeCount_ = 0;
};

}  // namespace

std::unique_ptr<WindowFinder> OpenSystemWindowFinder(std::string_view runnerSetting) {
    std::string helper = HelperPath();
    auto runner = wine::RunnerCommand(runnerSetting);
    std::string prefix = helper.empty() || runner.empty() ? std::string() : PrefixDirectory();
    if (prefix.empty()) return std::make_unique<NoWindowFinder>();
    return std::make_unique<WineWindowFinder>(std::move(helper), std::move(runner), std::move(prefix));
}

}  // namespace dravolo
