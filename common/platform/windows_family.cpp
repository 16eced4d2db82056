// Which Windows family the emulators see. Portable rule; the live answer comes
// from the system layer (GetVersion on Windows; always NT under Wine).

#include "common/platform/windows_family.h"

#include <atomic>

namespace dravolo {

WindowsFamily SystemWindowsFamily();  // win32/ or posix/

namespace {
// 0: no override, 1: 9x, 2: NT. Atomic so a test thread may set it while
// another reads.
std::atomic<int> g_override{0};
}  // namespace

void OverrideWindowsFamily(std::optional<WindowsFamily> family) {
    g_override = !family ? 0 : *family == WindowsFamily::Win9x ? 1 : 2;
}

WindowsFamily CurrentWindowsFamily() {
    switch (g_override.load()) {
    case 1: return WindowsFamily::Win9x;
    case 2: return WindowsFamily::NT;
    default: return SystemWindowsFamily();
    }
}

WindowsFamily FamilyFromVersionWord(unsigned long versionWord) {
    if (versionWord & 0x80000000ul) return WindowsFamily::Win9x;
    const unsigned major = static_cast<unsigned>(versionWord & 0xFFu);
    return major < 4 ? WindowsFamily::Win9x : WindowsFamily::NT;
}

}  // namespace dravolo
