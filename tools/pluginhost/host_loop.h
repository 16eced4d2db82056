#pragma once
// The plugin host's conversation loop, the same for the Windows host (built
// with mingw-w64, run under Wine or for the other bitness on Windows) and the
// native host that runs the plugins of the system we run on. Each host brings
// what its system does differently: the pipes, loading a library, finding an
// export, the current directory.
//
// Exit codes: 0 when our side closes the pipe (the normal end), 2 for a frame
// or message we do not understand, 3 when the answer to a settings question
// is missing or of the wrong kind.

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/psemu/plugin_host_protocol.h"

namespace dravolo::pluginhost {

inline constexpr unsigned kExitClosed = 0;
inline constexpr unsigned kExitBadMessage = 2;
inline constexpr unsigned kExitBadAnswer = 3;

struct HostSystem {
    // The protocol pipes: false once our side is gone.
    bool (*readExact)(void* buffer, std::size_t size);
    bool (*writeAll)(const std::uint8_t* data, std::size_t size);
    // A loaded library, nullptr when it does not load.
    void* (*load)(const std::string& path);
    void (*unload)(void* module);
    // The export's address, nullptr when it is missing.
    void* (*symbol)(void* module, const std::string& name);
    void (*changeDirectory)(const std::string& path);
    // The instance word an FPSE-native plugin gets in its settings block.
    std::uintptr_t (*moduleInstance)();
    // Called after each call into a plugin, before its result is sent.
    void (*afterCall)(const Call& call);
    // Ends the host; never returns.
    void (*quit)(unsigned code);
};

// Serves requests until our side closes the pipe, then ends the host.
[[noreturn]] void RunHost(const HostSystem& system);

}  // namespace dravolo::pluginhost
