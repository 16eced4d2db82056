#pragma once
// Our side of the conversation with pluginhost.exe (plugin_host_protocol.h).
// Requests go one at a time; while a settings-block call runs the host's
// questions are answered from the current settings file. A host that ends or
// says something we do not expect is given up: every later request fails.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/platform/helper_process.h"
#include "common/psemu/plugin_host_protocol.h"

namespace dravolo {

class PluginHostConnection {
public:
    explicit PluginHostConnection(std::unique_ptr<HelperProcess> process) : process_(std::move(process)) {}

    // The host's handle for the library at this path (a Windows path for the
    // Windows host, a host path for the native one); nullopt when the host
    // cannot load it. directory: where the host works for this request; empty
    // follows our own current directory.
    std::optional<std::uint32_t> Load(std::string_view path, std::string_view directory = {});
    void Unload(std::uint32_t handle);
    std::optional<pluginhost::Result> Call(std::uint32_t handle, std::string_view name, pluginhost::CallKind kind,
                                           std::uint64_t ownerWindow = 0, std::string_view directory = {});

    bool Broken() const { return broken_; }

private:
    bool Send(const pluginhost::Message& message);
    std::optional<pluginhost::Message> Receive();
    // Plugins find their files relative to the current directory, so the
    // host's follows ours (or the one asked for) before each request.
    bool FollowDirectory(std::string_view wanted);
    void Fail() { broken_ = true; }

    std::unique_ptr<HelperProcess> process_;
    std::string directory_;
    bool broken_ = false;
};

// The host program for 32-bit (x64 false) or 64-bit DLLs; empty when missing.
std::string PluginHostProgram(bool x64);
// The native host (dravolo-pluginhost beside our programs, or named by
// DRAVOLO_PLUGINHOST_NATIVE); empty when missing.
std::string NativePluginHostProgram();

}  // namespace dravolo
