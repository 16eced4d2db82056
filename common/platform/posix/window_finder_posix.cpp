// Windows of programs running under Wine live in their wineserver, out of
// reach of a native process. A small Windows helper (winhelper.exe, built with
// mingw-w64 beside our programs, or named by DRAVOLO_WINHELPER) runs under the
// prefix's Wine, under the same server as the emulator, and does the
// FindWindow / GetWindowRect / ShowWindow / MoveWindow calls for us. Window
// handles are the server's, so one run's handle is good in the next.
//
// Starting Wine costs tens of milliseconds even with a server up, so a search
// is not one run per millisecond: the helper keeps looking for kLookSpan
// itself and one FindTopLevel call stands for that many looks. Without the
// helper or a runner the finder is not available and finds nothing.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

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

bool IsFile(const std::string& path) { return !path.empty() && access(path.c_str(), R_OK) == 0; }

std::string HelperPath() {
    if (const char* own = std::getenv("DRAVOLO_WINHELPER"); own && *own) return IsFile(own) ? own : std::string();
    const std::string dir = OwnProgramDirectory();
    const std::string beside = dir + "/winhelper.exe";
    return !dir.empty() && IsFile(beside) ? beside : std::string();
}

std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

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

class WineWindowFinder : public WindowFinder {
public:
    WineWindowFinder(std::string helper, std::vector<std::string> runner, std::string prefix)
        : helper_(std::move(helper)), runner_(std::move(runner)), prefix_(std::move(prefix)) {}

    bool Available() override { return true; }
    std::chrono::milliseconds LookSpan() const override { return kLookSpan; }

    std::optional<WindowHandle> FindTopLevel(std::string_view className) override {
        const auto parts = Ask({"find", Hex(className), std::to_string(kLookSpan.count())}, kLookSpan, {"window", "none"});
        std::vector<long long> v;
        if (parts.empty()) return std::nullopt;
        if (parts[0] == "none") {
            if (ReadInts(parts, 1, 2, v)) screen_ = ScreenSize{static_cast<int>(v[0]), static_cast<int>(v[1])};
            return std::nullopt;
        }
        if (!ReadInts(parts, 1, 7, v) || v[0] <= 0) return std::nullopt;
        const auto window = static_cast<WindowHandle>(v[0]);
        // Kept for the Rect that follows a find: it saves a run.
        lastFound_ = window;
        lastRect_ = WindowRect{static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3]),
                               static_cast<int>(v[4])};
        screen_ = ScreenSize{static_cast<int>(v[5]), static_cast<int>(v[6])};
        return window;
    }

    std::optional<WindowRect> Rect(WindowHandle window) override {
        if (lastFound_ && *lastFound_ == window) {
            lastFound_.reset();
            return lastRect_;
        }
        const auto parts = Ask({"rect", std::to_string(window)}, {}, {"rect", "none"});
        std::vector<long long> v;
        if (parts.empty() || parts[0] != "rect" || !ReadInts(parts, 1, 4, v)) return std::nullopt;
        return WindowRect{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                          static_cast<int>(v[3])};
    }

    ScreenSize Screen() override {
        if (!screen_) {
            const auto parts = Ask({"screen"}, {}, {"screen"});
            std::vector<long long> v;
            if (!parts.empty() && ReadInts(parts, 1, 2, v))
                screen_ = ScreenSize{static_cast<int>(v[0]), static_cast<int>(v[1])};
        }
        return screen_.value_or(ScreenSize{});
    }

    void Hide(WindowHandle window) override { Change({"hide", std::to_string(window)}, window); }
    void Show(WindowHandle window) override { Change({"show", std::to_string(window)}, window); }
    void Move(WindowHandle window, int x, int y) override {
        Change({"move", std::to_string(window), std::to_string(x), std::to_string(y)}, window);
    }

private:
    std::vector<std::string> Ask(std::vector<std::string> args, std::chrono::milliseconds wait,
                                 std::initializer_list<const char*> words) {
        args.insert(args.begin(), helper_);
        const auto run = wine::RunInPrefix(prefix_, runner_, args, wait + kStartAllowance);
        if (!run.started || run.timedOut) return {};
        return AnswerLine(run.output, words);
    }

    void Change(std::vector<std::string> args, WindowHandle window) {
        if (lastFound_ && *lastFound_ == window) lastFound_.reset();  // the rectangle may change
        Ask(std::move(args), {}, {"ok", "none"});
    }

    std::string helper_;
    std::vector<std::string> runner_;
    std::string prefix_;
    std::optional<WindowHandle> lastFound_;
    WindowRect lastRect_;
    std::optional<ScreenSize> screen_;
};

class NoWindowFinder : public WindowFinder {
public:
    bool Available() override { return false; }
    std::optional<WindowHandle> FindTopLevel(std::string_view) override { return std::nullopt; }
    std::optional<WindowRect> Rect(WindowHandle) override { return std::nullopt; }
    ScreenSize Screen() override { return {}; }
    void Hide(WindowHandle) override {}
    void Show(WindowHandle) override {}
    void Move(WindowHandle, int, int) override {}
};

}  // namespace

std::unique_ptr<WindowFinder> OpenSystemWindowFinder() {
    std::string helper = HelperPath();
    auto runner = wine::RunnerCommand();
    std::string prefix = helper.empty() || runner.empty() ? std::string() : PrefixDirectory();
    if (prefix.empty()) return std::make_unique<NoWindowFinder>();
    return std::make_unique<WineWindowFinder>(std::move(helper), std::move(runner), std::move(prefix));
}

}  // namespace dravolo
