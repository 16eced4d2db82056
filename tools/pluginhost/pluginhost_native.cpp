// dravolo-pluginhost: runs every call into a native plugin library (the
// plugins of the system we run on) in a process of its own, so that what a
// plugin does to its process never reaches our windows. Plugins of Linux
// emulators fork to start their settings programs, and the forked child's
// exit() runs the exit handlers of whatever program loaded them: in a Qt
// program those wait for threads that are gone after the fork, and the call
// never returns. In this host there is nothing of that kind to run.
//
// The host makes itself the reaper of its orphans: the settings program a
// plugin starts through a second fork becomes our child, and after a
// configure or about call the host waits until it ends, so the call returns
// when the user closes the dialog, as with a modal dialog.

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/pluginhost/host_loop.h"

namespace {

using namespace dravolo::pluginhost;

int protocolIn = -1;
int protocolOut = -1;

void Quit(unsigned code) { _exit(static_cast<int>(code)); }

bool ReadExact(void* buffer, std::size_t size) {
    auto* at = static_cast<std::uint8_t*>(buffer);
    while (size > 0) {
        const ssize_t n = read(protocolIn, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteAll(const std::uint8_t* at, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(protocolOut, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void* LoadPlugin(const std::string& path) {
    // RTLD_LOCAL: plugins export the same names (GPUinit, ...) and must not
    // satisfy each other's lookups.
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void UnloadPlugin(void* module) { dlclose(module); }

void* Symbol(void* module, const std::string& name) { return dlsym(module, name.c_str()); }

void ChangeTo(const std::string& path) {
    if (chdir(path.c_str()) != 0) {
        // The plugin will say what it misses.
    }
}

std::uintptr_t ModuleInstance() {
    static void* const self = dlopen(nullptr, RTLD_LAZY);
    return reinterpret_cast<std::uintptr_t>(self);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
    if (text.size() < end.size()) return false;
    text.remove_prefix(text.size() - end.size());
    for (std::size_t i = 0; i < end.size(); ++i) {
        const char a = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (a != end[i]) return false;
    }
    return true;
}

// The calls that open a dialog: T + "configure", T + "about" and FPSE's
// T + "_Configure". Their dialogs may run in a program the plugin started.
bool OpensDialog(const Call& call) {
    if (call.kind == CallKind::InfoBlock) return false;  // FPSE's _About only fills the block
    return EndsWithIgnoringCase(call.name, "configure") || EndsWithIgnoringCase(call.name, "about");
}

void AfterCall(const Call& call) {
    int status = 0;
    if (OpensDialog(call)) {
        // Every program the plugin left behind: its dialog is open until it ends.
        while (waitpid(-1, &status, 0) > 0 || errno == EINTR) {}
        return;
    }
    while (waitpid(-1, &status, WNOHANG) > 0) {  // no zombies of finished helpers
    }
}

// Takes the protocol pipes for ourselves and points the standard descriptors
// elsewhere: plugins print debugging text, and one line of it on our stdout
// would break the next frame. Their output goes to stderr instead, their
// reads of stdin find nothing. The private copies close on exec, so a
// program a plugin starts does not keep our pipes open.
void TakeProtocolPipes() {
    protocolIn = fcntl(0, F_DUPFD_CLOEXEC, 3);
    protocolOut = fcntl(1, F_DUPFD_CLOEXEC, 3);
    if (protocolIn < 0 || protocolOut < 0) Quit(kExitClosed);
    const int nul = open("/dev/null", O_RDONLY);
    if (nul >= 0) {
        dup2(nul, 0);
        close(nul);
    }
    dup2(2, 1);
}

}  // namespace

int main() {
    // Our side has gone when a write fails; no signal for it.
    signal(SIGPIPE, SIG_IGN);
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    TakeProtocolPipes();
    static const HostSystem system{ReadExact, WriteAll,       LoadPlugin, UnloadPlugin, Symbol,
                                   ChangeTo,  ModuleInstance, AfterCall,  Quit};
    RunHost(system);
}
