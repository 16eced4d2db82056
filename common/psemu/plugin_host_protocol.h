#pragma once
// The conversation between our programs and pluginhost.exe, the small Windows
// program that loads plugin DLLs we cannot load ourselves: Windows DLLs on
// Linux (the host runs under Wine) and 32-bit DLLs in the 64-bit Windows
// build. It reads requests on its standard input and answers on its standard
// output; one host serves many plugins, one request at a time.
//
// Every message is a frame: a little-endian u32 payload length, then the
// payload, whose first byte is the message kind. Texts are ANSI bytes with a
// u32 length. While a settings-block call runs, the host asks back for the
// plugin's reads and writes of its settings (ReadSetting / WriteSetting) and
// waits for each answer before the plugin goes on; the call's own Result
// comes last.
//
// This file is built into the host with mingw-w64 too, so it uses nothing but
// the standard library, common/base/bytes and plugin_types.h.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "common/base/bytes.h"
#include "common/psemu/plugin_types.h"

namespace dravolo::pluginhost {

// Larger frames are refused on both sides: no message of ours comes near it,
// and a damaged length must not make us allocate gigabytes.
inline constexpr std::uint32_t kMaxFrame = 1u << 20;

inline constexpr std::size_t kInfoBlockSize = kPluginInfoBlockSize;
using InfoBlock = PluginInfoBlock;

// How an export is called; each matches one plugin signature.
enum class CallKind : std::uint8_t {
    Long = 1,           // long f(void): init, shutdown, configure, test, PADquery, PSEgetLibType ...
    Text = 2,           // const char* f(void): PSEgetLibName
    Void = 3,           // void f(void): about
    InfoBlock = 4,      // int f(void* block): FPSE-native _About with a zeroed 1156-byte block
    SettingsBlock = 5,  // int f(uintptr_t* block): FPSE-native _Configure with the 14-word block
    Probe = 6,          // nothing is called: Result.found says whether the export exists
};

// Requests (ours -> host).
struct Load {
    std::string path;  // Windows path of the DLL
};
struct Unload {
    std::uint32_t handle = 0;
};
struct Call {
    std::uint32_t handle = 0;
    std::string name;  // the export
    CallKind kind = CallKind::Long;
    std::uint64_t ownerWindow = 0;  // SettingsBlock: the dialog's owner window
};
struct ChangeDirectory {  // the host's current directory follows ours; no answer
    std::string path;     // Windows path
};
struct SettingValue {  // the answer to ReadSetting
    std::string value;
};
struct SettingWritten {};  // the answer to WriteSetting

// Answers and questions (host -> ours).
struct Loaded {
    bool ok = false;
    std::uint32_t handle = 0;
};
struct Result {
    bool found = false;              // the export exists and was called
    std::int32_t value = 0;          // Long; the int a block call returned
    std::string text;                // Text (empty for a null pointer)
    std::optional<InfoBlock> block;  // InfoBlock
};
struct ReadSetting {
    std::string section, key;
};
struct WriteSetting {
    std::string section, key;
    std::optional<std::string> value;  // nullopt: a null value pointer (delete the key)
};

using Message = std::variant<Load, Unload, Call, SettingValue, SettingWritten, Loaded, Result, ReadSetting,
                             WriteSetting, ChangeDirectory>;

// The payload of one frame (without the length).
Bytes Encode(const Message& message);
// nullopt for an unknown kind, a short payload or bytes left over.
std::optional<Message> Decode(std::span<const std::uint8_t> payload);

// The whole frame: length, then payload.
Bytes Frame(const Message& message);

}  // namespace dravolo::pluginhost
