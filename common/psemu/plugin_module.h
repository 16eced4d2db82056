#pragma once
// A loaded plugin, whichever way it is reached: in our own process, or in the
// plugin host for Windows DLLs we cannot load ourselves (a Windows DLL on
// Linux, a 32-bit DLL in the 64-bit Windows build). Callers name an export
// and the way it is called; every call reports an export that does not exist
// (or a host that has gone) as nullopt / false, never as a result.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/psemu/plugin_types.h"

namespace dravolo {

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
};

class PluginHostConnection;

// Opens plugins. Windows DLLs we cannot load ourselves go to the plugin host
// of their bitness (pluginhost.exe for 32-bit, pluginhost64.exe for 64-bit,
// beside our programs or named by DRAVOLO_PLUGINHOST / DRAVOLO_PLUGINHOST64).
// All modules one loader opens share one host run, which lasts while any of
// them lives: a scan of a whole plugin folder starts Wine once.
class PluginLoader {
public:
    PluginLoader();
    ~PluginLoader();
    PluginLoader(PluginLoader&&) noexcept = default;
    PluginLoader& operator=(PluginLoader&&) noexcept = default;

    // path: Windows path of the DLL. nullptr when it cannot be loaded.
    std::unique_ptr<PluginModule> Open(std::string_view path);

private:
    std::shared_ptr<PluginHostConnection> hosts_[2];  // 32-bit, 64-bit
    bool hostFailed_[2] = {false, false};              // tried once and could not start
};

// One module with a loader of its own.
std::unique_ptr<PluginModule> OpenPluginModule(std::string_view path);

}  // namespace dravolo
