#pragma once
// An X server of the test's own (Xvfb on a free display) and the few window
// questions the tests ask of it through xdotool: which windows carry a title,
// close one, click into one. Where Xvfb or xdotool is missing, available()
// is false and why() says what to install.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace dravolo::test {

class XDisplay {
public:
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool available() const { return !name_.empty(); }
    const std::string& why() const { return why_; }
    const std::string& name() const { return name_; }  // ":N"

    // Visible windows whose title matches the regular expression exactly.
    std::vector<std::string> WindowsTitled(const std::string& title) const;
    // Waits until a window of that title shows; empty after the timeout.
    std::string WaitForWindow(const std::string& title, std::chrono::milliseconds timeout) const;
    // Closes the window as a user would: Escape first (dialogs take it as
    // Close), and when that leaves it open, destroys it (there is no window
    // manager to ask). True when no window of that title is left.
    bool Close(const std::string& window, const std::string& title) const;
    // The process that owns the window (_NET_WM_PID); 0 when unknown.
    pid_t WindowPid(const std::string& window) const;
    // A left click at x, y inside the window.
    bool Click(const std::string& window, int x, int y) const;

private:
    std::string Xdotool(const std::string& arguments) const;

    pid_t server_ = -1;
    std::string name_, why_;
};

}  // namespace dravolo::test
