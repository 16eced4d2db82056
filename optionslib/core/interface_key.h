#pragma once
// The registry places the options library shares with its host and with ePSXe:
// the interface key (the host fills it before the dialog opens and reads it back
// after OK) and ePSXe's own key, which the emulator reads at start-up.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "common/platform/registry.h"

namespace dravolo::kstuff {

inline constexpr std::string_view kInterfaceKey = "Software\\Kestrine\\Kestrine\\Interface";
inline constexpr std::string_view kEmulatorKey = "Software\\epsxe\\config";

// Text values are exchanged through 260-byte buffers (MAX_PATH): at most 259
// bytes of text plus the terminator. A longer value is not read at all, as a
// fixed-size registry read of it fails on Windows; it is never cut.
inline constexpr std::size_t kTextBufferBytes = 260;
inline constexpr std::size_t kMaxTextLength = kTextBufferBytes - 1;

// The interface's copies of the emulator's pad settings, in their order.
struct PadPair {
    std::string_view interfaceName;
    std::string_view emulatorName;
};
inline constexpr std::array<PadPair, 11> kPadPairs = {{
    {"Pad1", "GamepadAxis"},
    {"Pad2", "GamepadBMotorType"},
    {"Pad3", "GamepadMotorType"},
    {"Pad4", "GamepadSMotorType"},
    {"Pad5", "GamepadSubType"},
    {"Pad6", "GamepadType"},
    {"Pad7", "Keys1"},
    {"Pad8", "Keys2"},
    {"Pad9", "Keys3"},
    {"Pad10", "Keys4"},
    {"Pad11", "Multitap1"},
}};

// The nine on/off switches, in the order they are read and written.
enum Switch : std::size_t {
    kSoundEnabled,
    kSoundCDDA,
    kSoundXA,
    kSoundSpuIrq,
    kSubchannelCdromEnabled,
    kSubchannelCaching,
    kSubchannelCachingLG,
    kAutoPPF,
    kStartGui,
    kSwitchCount
};
inline constexpr std::array<std::string_view, kSwitchCount> kSwitchNames = {
    "SoundEnabled",      "SoundCDDA",           "SoundXA", "SoundSpuIrq", "SubchannelCdromEnabled",
    "SubchannelCaching", "SubchannelCachingLG", "AutoPPF", "StartGui",
};

// A value read as text whatever its type: its data up to the first NUL.
struct LimitedText {
    enum class Status { Absent, TooLong, Present };
    Status status = Status::Absent;
    std::string text;
    bool present() const { return status == Status::Present; }
};
LimitedText ReadLimitedText(Registry& registry, std::string_view keyPath, std::string_view name);

}  // namespace dravolo::kstuff
