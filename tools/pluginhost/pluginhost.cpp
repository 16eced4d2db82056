// pluginhost.exe: loads plugin DLLs that our own process cannot load and
// calls their exports on its behalf. On Linux it runs under Wine for Windows
// plugins; in the 64-bit Windows build the 32-bit host serves the 32-bit
// plugins users have. The conversation on stdin/stdout is described in
// common/psemu/plugin_host_protocol.h.
//
// Exit codes: 0 when our side closes the pipe (the normal end), 2 for a frame
// or message we do not understand, 3 when the answer to a settings question
// is missing or of the wrong kind.

#include "common/platform/windows_api.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "common/psemu/plugin_host_protocol.h"
#include "common/psemu/plugin_types.h"

namespace {

using namespace dravolo::pluginhost;

// Plugins return names from static buffers; one without its zero must not
// make us read on for ever.
constexpr std::size_t kMaxText = 64 * 1024;
// What the read callback copies at most into the plugin's buffer, without
// the terminating zero: plugins hand us 1024-byte buffers.
constexpr std::size_t kMaxSettingValue = 1023;
// The info block a plugin fills is 1156 bytes; a careless one writing a few
// bytes past it scribbles on this slack instead of our stack.
constexpr std::size_t kInfoBlockSlack = 4096;

constexpr UINT kExitClosed = 0;
constexpr UINT kExitBadMessage = 2;
constexpr UINT kExitBadAnswer = 3;

// The protocol pipes. Private copies of the handles we were started with, so
// nothing a plugin does with the standard handles reaches them.
HANDLE protocolIn = INVALID_HANDLE_VALUE;
HANDLE protocolOut = INVALID_HANDLE_VALUE;

std::map<std::uint32_t, HMODULE> modules;
std::uint32_t nextHandle = 1;

[[noreturn]] void Quit(UINT code) {
    ExitProcess(code);
}

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

bool WriteAll(const dravolo::Bytes& bytes) {
    const std::uint8_t* at = bytes.data();
    std::size_t size = bytes.size();
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 16));
        DWORD put = 0;
        if (!WriteFile(protocolOut, at, chunk, &put, nullptr) || put == 0) return false;
        at += put;
        size -= put;
    }
    return true;
}

enum class Received { Message, Closed, Bad };

Received ReadMessage(Message& message) {
    std::uint8_t lengthBytes[4];
    if (!ReadExact(lengthBytes, sizeof lengthBytes)) return Received::Closed;
    const std::uint32_t length = static_cast<std::uint32_t>(lengthBytes[0]) |
                                 static_cast<std::uint32_t>(lengthBytes[1]) << 8 |
                                 static_cast<std::uint32_t>(lengthBytes[2]) << 16 |
                                 static_cast<std::uint32_t>(lengthBytes[3]) << 24;
    if (length > kMaxFrame) return Received::Bad;
    dravolo::Bytes payload(length);
    if (!ReadExact(payload.data(), payload.size())) return Received::Closed;
    auto decoded = Decode(payload);
    if (!decoded) return Received::Bad;
    message = std::move(*decoded);
    return Received::Message;
}

// Sends a question to our side while a plugin waits in a callback and
// returns the answer, which must be of kind Answer. Anything else leaves the
// plugin's settings in an unknown state, so the host gives up.
template <typename Answer>
Answer Ask(const Message& question) {
    if (!WriteAll(Frame(question))) Quit(kExitBadAnswer);
    Message answer;
    if (ReadMessage(answer) != Received::Message) Quit(kExitBadAnswer);
    if (auto* typed = std::get_if<Answer>(&answer)) return std::move(*typed);
    Quit(kExitBadAnswer);
}

// The settings block's read callback: the plugin asks for one value and gets
// it as a zero-terminated string in its own buffer ("" when the key is
// missing; our side decides that).
int DRAVOLO_PLUGIN_CALL ReadSettingCallback(const char* section, const char* key, char* out) {
    if (!section || !key || !out) {
        if (out) out[0] = '\0';
        return 0;
    }
    const SettingValue answer = Ask<SettingValue>(ReadSetting{section, key});
    const std::size_t size = std::min(answer.value.size(), kMaxSettingValue);
    std::memcpy(out, answer.value.data(), size);
    out[size] = '\0';
    return 0;
}

// The settings block's write callback; a null value removes the key. Without
// a section or key there is nothing to name, so nothing is written.
int DRAVOLO_PLUGIN_CALL WriteSettingCallback(const char* section, const char* key, const char* value) {
    if (!section || !key) return 0;
    WriteSetting question{section, key, std::nullopt};
    if (value) question.value = std::string(value);
    Ask<SettingWritten>(question);
    return 0;
}

// FARPROC has a type of its own; going through void(*)() says we know the
// export's real signature.
template <typename Function>
Function ExportAs(FARPROC entry) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
}

// The calls with an argument go through a frame of their own: should a
// 32-bit plugin pop its argument itself (stdcall) where the caller should,
// the frame pointer (-fno-omit-frame-pointer) puts the stack right on the
// way out instead of our locals moving under us. The empty asm after the
// call keeps it from becoming a jump.
template <typename Function, typename Block>
[[gnu::noinline]] int CallWithBlock(Function f, Block* block) {
    const int value = f(block);
    asm volatile("" ::: "memory");
    return value;
}

Result CallExport(FARPROC entry, const Call& call) {
    Result result;
    result.found = true;
    switch (call.kind) {
        case CallKind::Probe: break;  // only whether the export exists
        case CallKind::Long: {
            const auto f = ExportAs<long(DRAVOLO_PLUGIN_CALL*)()>(entry);
            result.value = static_cast<std::int32_t>(f());
            break;
        }
        case CallKind::Text: {
            const auto f = ExportAs<const char*(DRAVOLO_PLUGIN_CALL*)()>(entry);
            if (const char* text = f()) result.text.assign(text, strnlen(text, kMaxText));
            break;
        }
        case CallKind::Void: {
            const auto f = ExportAs<void(DRAVOLO_PLUGIN_CALL*)()>(entry);
            f();
            break;
        }
        case CallKind::InfoBlock: {
            const auto f = ExportAs<int(DRAVOLO_PLUGIN_CALL*)(void*)>(entry);
            std::vector<std::uint8_t> block(kInfoBlockSize + kInfoBlockSlack, 0);
            result.value = CallWithBlock(f, block.data());
            result.block.emplace();
            std::copy_n(block.begin(), kInfoBlockSize, result.block->begin());
            break;
        }
        case CallKind::SettingsBlock: {
            const auto f = ExportAs<int(DRAVOLO_PLUGIN_CALL*)(std::uintptr_t*)>(entry);
            // The plugin finds its callbacks, the owner of its dialog and the
            // calling program's instance at fixed places; the rest stays zero.
            std::array<std::uintptr_t, dravolo::kFpseSettingsWords> block{};
            block[dravolo::kFpseReadCallbackWord] = reinterpret_cast<std::uintptr_t>(&ReadSettingCallback);
            block[dravolo::kFpseWriteCallbackWord] = reinterpret_cast<std::uintptr_t>(&WriteSettingCallback);
            block[dravolo::kFpseWindowWord] = static_cast<std::uintptr_t>(call.ownerWindow);
            block[dravolo::kFpseInstanceWord] = reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
            result.value = CallWithBlock(f, block.data());
            break;
        }
    }
    return result;
}

Loaded HandleLoad(const Load& load) {
    // No "insert the disk" or "cannot find DLL" boxes: a plugin that does not
    // load is a plain failure for our side to report.
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
    // The altered search path finds the DLLs a plugin brings beside itself.
    const HMODULE module = load.path.empty() || load.path.find('\0') != std::string::npos
                               ? nullptr
                               : LoadLibraryExA(load.path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    SetErrorMode(previous);
    if (!module) return Loaded{false, 0};
    const std::uint32_t handle = nextHandle++;
    modules[handle] = module;
    return Loaded{true, handle};
}

void HandleUnload(const Unload& unload) {
    const auto it = modules.find(unload.handle);
    if (it == modules.end()) return;
    FreeLibrary(it->second);
    modules.erase(it);
}

Result HandleCall(const Call& call) {
    const auto it = modules.find(call.handle);
    if (it == modules.end() || call.name.find('\0') != std::string::npos) return Result{};
    const FARPROC entry = GetProcAddress(it->second, call.name.c_str());
    if (!entry) return Result{};
    return CallExport(entry, call);
}

// Takes the protocol pipes for ourselves and points the standard handles
// elsewhere: plugins print debugging text, and one line of it on our stdout
// would break the next frame. Their output goes to stderr instead, their
// reads of stdin find nothing.
void TakeProtocolPipes() {
    const HANDLE self = GetCurrentProcess();
    // Not inheritable: a program a plugin starts must not keep our pipes
    // open after we are gone.
    if (!DuplicateHandle(self, GetStdHandle(STD_INPUT_HANDLE), self, &protocolIn, 0, FALSE, DUPLICATE_SAME_ACCESS) ||
        !DuplicateHandle(self, GetStdHandle(STD_OUTPUT_HANDLE), self, &protocolOut, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        Quit(kExitClosed);

    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE nulIn = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                     OPEN_EXISTING, 0, nullptr);
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

    for (;;) {
        Message message;
        switch (ReadMessage(message)) {
            case Received::Message: break;
            case Received::Closed: Quit(kExitClosed);
            case Received::Bad: Quit(kExitBadMessage);
        }
        std::optional<Message> answer;
        if (const auto* load = std::get_if<Load>(&message)) {
            answer = HandleLoad(*load);
        } else if (const auto* unload = std::get_if<Unload>(&message)) {
            HandleUnload(*unload);
        } else if (const auto* call = std::get_if<Call>(&message)) {
            answer = HandleCall(*call);
        } else if (const auto* change = std::get_if<ChangeDirectory>(&message)) {
            // Plugins open their own files relative to the current directory,
            // which follows the front end's. A folder that is gone changes
            // nothing; the plugin will say what it misses.
            if (change->path.find('\0') == std::string::npos) SetCurrentDirectoryA(change->path.c_str());
        } else {
            // Answers to questions nobody asked, or our own kinds sent back.
            Quit(kExitBadMessage);
        }
        if (answer && !WriteAll(Frame(*answer))) Quit(kExitClosed);
    }
}
