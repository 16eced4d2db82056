#include "tests/real_plugins/x_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace dravolo::test {

namespace {

bool OnPath(const char* program) {
    const std::string command = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

}  // namespace

XDisplay::XDisplay() {
    if (!OnPath("Xvfb") || !OnPath("xdotool")) {
        why_ = "Xvfb and xdotool are needed for the X11 tests (apt-get install xvfb xdotool)";
        return;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        why_ = "no pipe for Xvfb";
        return;
    }
    server_ = fork();
    if (server_ == 0) {
        // The display number comes back on the pipe; nothing else of ours
        // stays open in the server.
        const int fd = dup(fds[1]);
        const std::string fdText = std::to_string(fd);
        const int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, 1);
        dup2(devNull, 2);
        // -noreset: the server stays as it is when its last client goes, so the
        // next test does not meet it in the middle of a reset.
        execlp("Xvfb", "Xvfb", "-displayfd", fdText.c_str(), "-noreset", "-nolisten", "tcp", "-screen", "0",
               "1024x768x24", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 10000) > 0) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        why_ = "Xvfb did not start";
        return;
    }
    name_ = ":" + number;
}

XDisplay::~XDisplay() {
    if (server_ > 0) {
        kill(server_, SIGTERM);
        int status = 0;
        while (waitpid(server_, &status, 0) < 0 && errno == EINTR) {}
    }
}

std::string XDisplay::Xdotool(const std::string& arguments) const {
    const std::string command = "DISPLAY=" + name_ + " xdotool " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return {};
    std::string out;
    char buffer[256];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
    return out;
}

std::vector<std::string> XDisplay::WindowsTitled(const std::string& title) const {
    std::vector<std::string> windows;
    std::istringstream lines(Xdotool("search --onlyvisible --name '^" + title + "$'"));
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) windows.push_back(line);
    return windows;
}

std::string XDisplay::WaitForWindow(const std::string& title, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const auto windows = WindowsTitled(title);
        if (!windows.empty()) return windows.front();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

bool XDisplay::Close(const std::string& window, const std::string& title) const {
    const auto gone = [&] {
        for (int i = 0; i < 20; ++i) {
            if (WindowsTitled(title).empty()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    };
    Xdotool("windowfocus " + window + " key Escape");
    if (gone()) return true;
    Xdotool("windowclose " + window);
    return gone();
}

pid_t XDisplay::WindowPid(const std::string& window) const {
    return static_cast<pid_t>(std::atol(Xdotool("getwindowpid " + window).c_str()));
}

bool XDisplay::Click(const std::string& window, int x, int y) const {
    Xdotool("mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    return true;
}

}  // namespace dravolo::test
