// pluginhost.exe: loads plugin DLLs that our own process cannot load and
// calls their exports on its behalf. On Linux it runs under Wine for Windows
// plugins; in the 64-bit Windows build the 32-bit host serves the 32-bit
// plugins users have. The conversation on stdin/stdout is described in
// common/psemu/plugin_host_protocol.h, the loop itself in host_loop.cpp.

#include "common/platform/windows_api.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "tools/pluginhost/host_loop.h"

namespace {

using namespace dravolo::pluginhost;

// The protocol pipes. Private copies of the handles we were started with, so
// nothing a plugin does with the standard handles reaches them.
HANDLE protocolIn = INVALID_HANDLE_VALUE;
HANDLE protocolOut = INVALID_HANDLE_VALUE;

void Quit(unsigned code) { ExitProcess(code); }

bool ReadExact(void* buffer, std::size_t size) {
    auto* at = static_cast<std::uint8_t*>(buffer);
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 16));
        DWORD got = 0;
        // A broken pipe, an error or end of file: our side is gone.
        if (!ReadFile(protocolIn, at, chunk, &got, nullptr) || got == 0) return false;
        at += got;
        size -= got;
    }
    return true;
}

bool WriteAll(const std::uint8_t* at, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 16));
        DWORD put = 0;
        if (!WriteFile(protocolOut, at, chunk, &put, nullptr) || put == 0) return false;
        at += put;
        size -= put;
    }
    return true;
}

void* LoadPlugin(const std::string& path) {
    // No "insert the disk" or "cannot find DLL" boxes: a plugin that does not
    // load is a plain failure for our side to report.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    // The altered search path finds the DLLs a plugin brings beside itself.
    const HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    SetErrorMode(previous);
    return reinterpret_cast<void*>(module);
}

void UnloadPlugin(void* module) { FreeLibrary(reinterpret_cast<HMODULE>(module)); }

void* Symbol(void* module, const std::string& name) {
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(module), name.c_str()));
}

void ChangeTo(const std::string& path) { SetCurrentDirectoryA(path.c_str()); }

std::uintptr_t ModuleInstance() { return reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)); }

// A plugin's dialog is modal in its own thread: nothing outlives the call.
void AfterCall(const Call&) {}

// Takes the protocol pipes for ourselves and points the standard handles
// elsewhere: plugins print debugging text, and one line of it on our stdout
// would break the next frame. Their output goes to stderr instead, their
// reads of stdin find nothing.
void TakeProtocolPipes() {
    const HANDLE self = GetCurrentProcess();
    // Not inheritable: a program a plugin starts must not keep our pipes
    // open after we are gone.
    if (!DuplicateHandle(self, GetStdHandle(STD_INPUT_HANDLE), self, &protocolIn, 0, FALSE, DUPLICATE_SAME_ACCESS) ||
        !DuplicateHandle(self, GetStdHandle(STD_OUTPUT_HANDLE), self, &protocolOut, 0, FALSE, DUPLICATE_SAME_ACCESS))
        Quit(kExitClosed);

    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE nulIn =
        CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr);
    HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    if (errors == nullptr || errors == INVALID_HANDLE_VALUE)
        errors = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                             nullptr);

    // The C run-time's descriptors 0 and 1 are shared with every plugin
    // using the same run-time DLL; redirecting them also closes the original
    // handles, which is why the copies above come first.
    const int nulFd = _open("NUL", _O_RDONLY | _O_BINARY);
    if (nulFd >= 0) {
        _dup2(nulFd, 0);
        _close(nulFd);
    }
    const int errorFd = _fileno(stderr);
    if (errorFd >= 0) {
        _dup2(errorFd, 1);
    } else {
        const int nulOutFd = _open("NUL", _O_WRONLY | _O_BINARY);
        if (nulOutFd >= 0) {
            _dup2(nulOutFd, 1);
            _close(nulOutFd);
        }
    }

    SetStdHandle(STD_INPUT_HANDLE, nulIn != INVALID_HANDLE_VALUE ? nulIn : nullptr);
    SetStdHandle(STD_OUTPUT_HANDLE, errors != INVALID_HANDLE_VALUE ? errors : nullptr);
}

}  // namespace

int main() {
    // A plugin that crashes ends the host without a crash box waiting for a
    // click; our side sees the pipe close.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    TakeProtocolPipes();
    static const HostSystem system{ReadExact, WriteAll,       LoadPlugin, UnloadPlugin, Symbol,
                                   ChangeTo,  ModuleInstance, AfterCall,  Quit};
    RunHost(system);
}
