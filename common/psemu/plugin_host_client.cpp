#include "common/psemu/plugin_host_client.h"

#include <cstdlib>
#include <fstream>
#include <type_traits>

#include "common/platform/process.h"
#include "common/platform/winfs.h"
#include "common/psemu/settings_file.h"

namespace dravolo {

using namespace pluginhost;

bool PluginHostConnection::Send(const Message& message) {
    if (broken_) return false;
    const Bytes frame = Frame(message);
    if (!process_->Send(frame)) Fail();
    return !broken_;
}

std::optional<Message> PluginHostConnection::Receive() {
    if (broken_) return std::nullopt;
    std::uint8_t lengthBytes[4];
    if (!process_->Receive(lengthBytes)) {
        Fail();
        return std::nullopt;
    }
    const std::uint32_t length = LoadU32(lengthBytes);
    if (length == 0 || length > kMaxFrame) {
        Fail();
        return std::nullopt;
    }
    Bytes payload(length);
    if (!process_->Receive(payload)) {
        Fail();
        return std::nullopt;
    }
    auto message = Decode(payload);
    if (!message) Fail();
    return message;
}

bool PluginHostConnection::FollowDirectory(std::string_view wanted) {
    const std::string current = wanted.empty() ? GetCurrentDir() : std::string(wanted);
    if (current.empty() || current == directory_) return !broken_;
    if (!Send(ChangeDirectory{current})) return false;
    directory_ = current;
    return true;
}

std::optional<std::uint32_t> PluginHostConnection::Load(std::string_view path, std::string_view directory) {
    if (!FollowDirectory(directory) || !Send(pluginhost::Load{std::string(path)})) return std::nullopt;
    const auto answer = Receive();
    const auto* loaded = answer ? std::get_if<Loaded>(&*answer) : nullptr;
    if (!loaded) {
        Fail();
        return std::nullopt;
    }
    if (!loaded->ok) return std::nullopt;
    return loaded->handle;
}

void PluginHostConnection::Unload(std::uint32_t handle) { Send(pluginhost::Unload{handle}); }

std::optional<Result> PluginHostConnection::Call(std::uint32_t handle, std::string_view name, CallKind kind,
                                                 std::uint64_t ownerWindow, std::string_view directory) {
    if (!FollowDirectory(directory) || !Send(pluginhost::Call{handle, std::string(name), kind, ownerWindow}))
        return std::nullopt;
    // A settings-block call asks for the plugin's reads and writes until the
    // plugin returns; any other call answers at once.
    for (;;) {
        auto answer = Receive();
        if (!answer) return std::nullopt;
        if (auto* result = std::get_if<Result>(&*answer)) return std::move(*result);
        if (kind == CallKind::SettingsBlock) {
            if (const auto* read = std::get_if<ReadSetting>(&*answer)) {
                if (!Send(SettingValue{ReadCurrentSetting(read->section, read->key)})) return std::nullopt;
                continue;
            }
            if (const auto* write = std::get_if<WriteSetting>(&*answer)) {
                WriteCurrentSetting(write->section, write->key,
                                    write->value ? std::optional<std::string_view>(*write->value) : std::nullopt);
                if (!Send(SettingWritten{})) return std::nullopt;
                continue;
            }
        }
        Fail();
        return std::nullopt;
    }
}

namespace {

// The program named by the variable, or our helper of that name (beside our
// own program or in our helper folder); empty when it is not there.
std::string HostBesideUs(const char* variable, const char* fileName) {
    const char* own = std::getenv(variable);
    std::string program;
    if (own && *own) {
        program = own;
    } else {
        program = OwnHelperProgram(fileName);
        if (program.empty()) return {};
    }
    return std::ifstream(program, std::ios::binary).good() ? program : std::string();
}

}  // namespace

std::string NativePluginHostProgram() { return HostBesideUs("DRAVOLO_PLUGINHOST_NATIVE", "dravolo-pluginhost"); }

std::string PluginHostProgram(bool x64) {
    return x64 ? HostBesideUs("DRAVOLO_PLUGINHOST64", "pluginhost64.exe")
               : HostBesideUs("DRAVOLO_PLUGINHOST", "pluginhost.exe");
}

}  // namespace dravolo
