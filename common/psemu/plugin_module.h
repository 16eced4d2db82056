#pragma once
// A loaded plugin, whichever way it is reached: in a plugin host process
// (Windows DLLs we cannot load ourselves under Wine or for the other bitness,
// and on POSIX every native plugin, in the native host), or in our own
// process (the Windows build's plugins of its own bitness). Callers name an
// export and the way it is called; every call reports an export that does not
// exist (or a host that has gone) as nullopt / false, never as a result, and
// HostLost() tells the two apart.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/base/prompter.h"
#include "common/psemu/plugin_types.h"

namespace dravolo {

// What the user is told when the process running a plugin ended during a
// call (the plugin crashed, or was killed).
inline constexpr std::string_view kPluginLostText = "The plugin stopped working and was closed.";
inline constexpr std::string_view kPluginLostCaption = "Plugin Error";

class PluginModule {
public:
    virtual ~PluginModule() = default;

    // Whether the export exists; nothing is called.
    virtual bool Has(std::string_view name) = 0;
    // long f(void): init, shutdown, configure, test, PADquery, PSEgetLibType ...
    virtual std::optional<std::int32_t> CallLong(std::string_view name) = 0;
    // const char* f(void): PSEgetLibName; a null pointer gives empty text.
    virtual std::optional<std::string> CallText(std::string_view name) = 0;
    // void f(void): about.
    virtual bool CallVoid(std::string_view name) = 0;
    // int f(void*) with a zeroed information block (FPSE-native _About).
    virtual std::optional<PluginInfoBlock> CallInfoBlock(std::string_view name) = 0;
    // int f(uintptr_t*) with the settings block whose read and write callbacks
    // work on the current settings file (FPSE-native _Configure). The module
    // instance word is the caller's own in process, the host's in the host.
    virtual bool CallSettingsBlock(std::string_view name, std::uintptr_t ownerWindow,
                                   std::uintptr_t moduleInstance) = 0;

    // True once the host process this module lives in has ended: every call
    // fails from then on.
    virtual bool HostLost() const { return false; }
};

// Tells the user (kPluginLostText, stop icon) when the module's host has
// gone; true when it had.
bool ReportPluginLost(const PluginModule& module, Prompter& prompter);

class PluginHostConnection;

// Opens plugins. Windows DLLs we cannot load ourselves go to the plugin host
// of their bitness (pluginhost.exe for 32-bit, pluginhost64.exe for 64-bit,
// beside our programs or named by DRAVOLO_PLUGINHOST / DRAVOLO_PLUGINHOST64);
// on POSIX native plugins go to dravolo-pluginhost, which works in each
// plugin's own folder. All modules one loader opens share one host run of
// each kind, which lasts while any of them lives: a scan of a whole plugin
// folder starts Wine, or the native host, once.
class PluginLoader {
public:
    PluginLoader();
    ~PluginLoader();
    PluginLoader(PluginLoader&&) noexcept = default;
    PluginLoader& operator=(PluginLoader&&) noexcept = default;

    // path: Windows path of the library. nullptr when it cannot be loaded.
    std::unique_ptr<PluginModule> Open(std::string_view path);

private:
    std::shared_ptr<PluginHostConnection> Host(int index);

    std::shared_ptr<PluginHostConnection> hosts_[3];  // 32-bit, 64-bit Windows; native
    bool hostFailed_[3] = {false, false, false};      // tried once and could not start
};

// One module with a loader of its own.
std::unique_ptr<PluginModule> OpenPluginModule(std::string_view path);

}  // namespace dravolo
