#include "common/psemu/plugin_module.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "common/platform/library.h"
#include "common/platform/owner_window.h"
#include "common/platform/pe_image.h"
#include "common/platform/registry.h"
#include "common/platform/winfs.h"
#include "common/psemu/plugin_host_client.h"
#include "common/psemu/fpse_plugin.h"

namespace dravolo {

namespace {

using LongFn = long(DRAVOLO_PLUGIN_CALL*)();
using TextFn = const char*(DRAVOLO_PLUGIN_CALL*)();
using VoidFn = void(DRAVOLO_PLUGIN_CALL*)();
using BlockFn = int(DRAVOLO_PLUGIN_CALL*)(void*);

// Every call but a lookup may let the plugin write the registry (its
// configure does), so reads kept from a running wineserver are dropped after it.
class InProcessModule : public PluginModule {
public:
    explicit InProcessModule(std::unique_ptr<Library> library) : library_(std::move(library)) {}

    bool Has(std::string_view name) override { return Find(name) != nullptr; }

    std::optional<std::int32_t> CallLong(std::string_view name) override {
        const auto fn = reinterpret_cast<LongFn>(Find(name));
        if (!fn) return std::nullopt;
        // Plugins are built for Windows, where long has 32 bits.
        const auto result = static_cast<std::int32_t>(fn());
        ForgetCachedRegistryReads();
        return result;
    }

    std::optional<std::string> CallText(std::string_view name) override {
        const auto fn = reinterpret_cast<TextFn>(Find(name));
        if (!fn) return std::nullopt;
        const char* text = fn();
        ForgetCachedRegistryReads();
        return std::string(text ? text : "");
    }

    bool CallVoid(std::string_view name) override {
        const auto fn = reinterpret_cast<VoidFn>(Find(name));
        if (!fn) return false;
        fn();
        ForgetCachedRegistryReads();
        return true;
    }

    std::optional<PluginInfoBlock> CallInfoBlock(std::string_view name) override {
        const auto fn = reinterpret_cast<BlockFn>(Find(name));
        if (!fn) return std::nullopt;
        PluginInfoBlock block{};
        fn(block.data());
        ForgetCachedRegistryReads();
        return block;
    }

    bool CallSettingsBlock(std::string_view name, std::uintptr_t ownerWindow, std::uintptr_t moduleInstance) override {
        const auto fn = reinterpret_cast<BlockFn>(Find(name));
        if (!fn) return false;
        FpseSettingsBlock block = MakeFpseSettingsBlock(ownerWindow, moduleInstance);
        fn(block.data());
        ForgetCachedRegistryReads();
        return true;
    }

private:
    void* Find(std::string_view name) const { return library_->Symbol(std::string(name).c_str()); }

    std::unique_ptr<Library> library_;
};

// native: a plugin of our own system in the native host, which works in the
// plugin's folder (directory) and shares our windowing system.
class HostedModule : public PluginModule {
public:
    HostedModule(std::shared_ptr<PluginHostConnection> host, std::uint32_t handle, bool native, std::string directory)
        : host_(std::move(host)), handle_(handle), native_(native), directory_(std::move(directory)) {}
    ~HostedModule() override { host_->Unload(handle_); }

    bool Has(std::string_view name) override { return Found(name, pluginhost::CallKind::Probe).has_value(); }

    std::optional<std::int32_t> CallLong(std::string_view name) override {
        const auto r = Found(name, pluginhost::CallKind::Long);
        return r ? std::optional<std::int32_t>(r->value) : std::nullopt;
    }

    std::optional<std::string> CallText(std::string_view name) override {
        auto r = Found(name, pluginhost::CallKind::Text);
        return r ? std::optional<std::string>(std::move(r->text)) : std::nullopt;
    }

    bool CallVoid(std::string_view name) override { return Found(name, pluginhost::CallKind::Void).has_value(); }

    std::optional<PluginInfoBlock> CallInfoBlock(std::string_view name) override {
        const auto r = Found(name, pluginhost::CallKind::InfoBlock);
        if (!r || !r->block) return std::nullopt;
        return *r->block;
    }

    bool HostLost() const override { return host_->Broken(); }

    bool CallSettingsBlock(std::string_view name, std::uintptr_t ownerWindow, std::uintptr_t) override {
        if (native_) return Found(name, pluginhost::CallKind::SettingsBlock, ownerWindow).has_value();
        // Without an owner the plugin's dialog opens on its own.
        const std::uint64_t owner = OurWindowsCanOwnHelperWindows() ? ownerWindow : 0;
        return Found(name, pluginhost::CallKind::SettingsBlock, owner).has_value();
    }

private:
    std::optional<pluginhost::Result> Found(std::string_view name, pluginhost::CallKind kind,
                                            std::uint64_t ownerWindow = 0) {
        auto r = host_->Call(handle_, name, kind, ownerWindow, directory_);
        if (kind != pluginhost::CallKind::Probe) ForgetCachedRegistryReads();
        if (!r || !r->found) return std::nullopt;
        return r;
    }

    std::shared_ptr<PluginHostConnection> host_;
    std::uint32_t handle_;
    bool native_;
    std::string directory_;
};

constexpr int kNativeHost = 2;

// Which host a library needs: nullopt when we load it ourselves.
std::optional<int> HostIndexFor(std::string_view path) {
    const auto machine = PeMachineOfFile(path);
    const auto own = OwnPeMachine();
    if (!machine) {
        if (own) return std::nullopt;  // not a Windows DLL: nothing we can load
        return kNativeHost;            // a native plugin, or nothing the native host can load
    }
    if (*machine == PeMachine::Other) return std::nullopt;
    const int index = *machine == PeMachine::X64 ? 1 : 0;
    // Our own kind of DLL loads in process, unless the tests ask for the host.
    const char* always = std::getenv("DRAVOLO_PLUGINHOST_ALWAYS");
    if (machine == own && !(always && *always == '1')) return std::nullopt;
    return index;
}

}  // namespace

PluginLoader::PluginLoader() = default;
PluginLoader::~PluginLoader() = default;

std::shared_ptr<PluginHostConnection> PluginLoader::Host(int index) {
    const auto i = static_cast<std::size_t>(index);
    if (hosts_[i] && hosts_[i]->Broken()) hosts_[i].reset();  // a plugin took the last run down with it
    if (!hosts_[i]) {
        if (hostFailed_[i]) return nullptr;
        std::unique_ptr<HelperProcess> process;
        if (index == kNativeHost) {
            const std::string program = NativePluginHostProgram();
            if (!program.empty()) process = HelperProcess::StartNative(program);
        } else {
            const std::string program = PluginHostProgram(index == 1);
            if (!program.empty()) process = HelperProcess::Start(program);
        }
        if (!process) {
            hostFailed_[i] = true;
            return nullptr;
        }
        hosts_[i] = std::make_shared<PluginHostConnection>(std::move(process));
    }
    return hosts_[i];
}

std::unique_ptr<PluginModule> PluginLoader::Open(std::string_view path) {
    const auto hostIndex = HostIndexFor(path);
    if (!hostIndex) {
        auto library = Library::Load(path);
        if (!library) return nullptr;
        return std::make_unique<InProcessModule>(std::move(library));
    }
    const auto host = Host(*hostIndex);
    if (!host) return nullptr;
    if (*hostIndex != kNativeHost) {
        const auto handle = host->Load(path);
        if (!handle) return nullptr;
        return std::make_unique<HostedModule>(host, *handle, false, std::string());
    }
    // The native host gets a host path that does not depend on its current
    // directory, and works in the plugin's folder: plugins start their
    // settings programs from "./".
    std::error_code error;
    const std::filesystem::path file = std::filesystem::absolute(ToHostPath(path), error);
    if (error || !std::filesystem::is_regular_file(file, error)) return nullptr;
    std::string directory = file.parent_path().string();
    const auto handle = host->Load(file.string(), directory);
    if (!handle) return nullptr;
    return std::make_unique<HostedModule>(host, *handle, true, std::move(directory));
}

bool ReportPluginLost(const PluginModule& module, Prompter& prompter) {
    if (!module.HostLost()) return false;
    prompter.Tell(kPluginLostText, kPluginLostCaption, PromptIcon::Stop);
    return true;
}

std::unique_ptr<PluginModule> OpenPluginModule(std::string_view path) { return PluginLoader().Open(path); }

}  // namespace dravolo
