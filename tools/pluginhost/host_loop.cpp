#include "tools/pluginhost/host_loop.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "common/psemu/plugin_types.h"

namespace dravolo::pluginhost {

namespace {

// Plugins return names from static buffers; one without its zero must not
// make us read on for ever.
constexpr std::size_t kMaxText = 64 * 1024;
// What the read callback copies at most into the plugin's buffer, without
// the terminating zero: plugins hand us 1024-byte buffers.
constexpr std::size_t kMaxSettingValue = 1023;
// The info block a plugin fills is 1156 bytes; a careless one writing a few
// bytes past it scribbles on this slack instead of our stack.
constexpr std::size_t kInfoBlockSlack = 4096;

const HostSystem* host = nullptr;
std::map<std::uint32_t, void*> modules;
std::uint32_t nextHandle = 1;

[[noreturn]] void Quit(unsigned code) {
    host->quit(code);
    std::_Exit(static_cast<int>(code));
}

bool WriteFrame(const Message& message) {
    const Bytes frame = Frame(message);
    return host->writeAll(frame.data(), frame.size());
}

enum class Received { Message, Closed, Bad };

Received ReadMessage(Message& message) {
    std::uint8_t lengthBytes[4];
    if (!host->readExact(lengthBytes, sizeof lengthBytes)) return Received::Closed;
    const std::uint32_t length = LoadU32(lengthBytes);
    if (length > kMaxFrame) return Received::Bad;
    Bytes payload(length);
    if (!host->readExact(payload.data(), payload.size())) return Received::Closed;
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
    if (!WriteFrame(question)) Quit(kExitBadAnswer);
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

// Going through void(*)() says we know the export's real signature.
template <typename Function>
Function ExportAs(void* entry) {
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

Result CallExport(void* entry, const Call& call) {
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
        std::array<std::uintptr_t, kFpseSettingsWords> block{};
        block[kFpseReadCallbackWord] = reinterpret_cast<std::uintptr_t>(&ReadSettingCallback);
        block[kFpseWriteCallbackWord] = reinterpret_cast<std::uintptr_t>(&WriteSettingCallback);
        block[kFpseWindowWord] = static_cast<std::uintptr_t>(call.ownerWindow);
        block[kFpseInstanceWord] = host->moduleInstance();
        result.value = CallWithBlock(f, block.data());
        break;
    }
    }
    if (call.kind != CallKind::Probe) host->afterCall(call);
    return result;
}

Loaded HandleLoad(const Load& load) {
    void* module = load.path.empty() || load.path.find('\0') != std::string::npos ? nullptr : host->load(load.path);
    if (!module) return Loaded{false, 0};
    const std::uint32_t handle = nextHandle++;
    modules[handle] = module;
    return Loaded{true, handle};
}

void HandleUnload(const Unload& unload) {
    const auto it = modules.find(unload.handle);
    if (it == modules.end()) return;
    host->unload(it->second);
    modules.erase(it);
}

Result HandleCall(const Call& call) {
    const auto it = modules.find(call.handle);
    if (it == modules.end() || call.name.find('\0') != std::string::npos) return Result{};
    void* entry = host->symbol(it->second, call.name);
    if (!entry) return Result{};
    return CallExport(entry, call);
}

}  // namespace

void RunHost(const HostSystem& system) {
    host = &system;
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
            // Plugins open their own files relative to the current directory.
            // A folder that is gone changes nothing; the plugin will say what
            // it misses.
            if (change->path.find('\0') == std::string::npos) host->changeDirectory(change->path);
        } else {
            // Answers to questions nobody asked, or our own kinds sent back.
            Quit(kExitBadMessage);
        }
        if (answer && !WriteFrame(*answer)) Quit(kExitClosed);
    }
}

}  // namespace dravolo::pluginhost
