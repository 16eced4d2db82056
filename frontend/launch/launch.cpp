#include "frontend/launch/launch.h"
#include "frontend/launch/pcsxr_config.h"
#include "frontend/launch/pcsxr_plugin_settings.h"

#include "common/platform/pe_image.h"
#include "common/platform/process.h"
#include "common/platform/winfs.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/config_writers.h"
#include "frontend/launch/deferred_registry.h"
#include "frontend/launch/emulator_world.h"
#include "frontend/launch/plugin_fields.h"
#include "frontend/memcards/launch_snapshots.h"
#include "frontend/profiles/profile_files.h"

namespace dravolo {

namespace {

constexpr unsigned kShowHidden = 0;  // SW_HIDE

// ePSXe's own switches are not part of the profile's command line: the launch
// reads back what the writer stored in the emulator's key.
void ReadEpsxeStartOptions(Registry& registry, PreparedLaunch& plan) {
    if (!registry.KeyExists(RegRoot::CurrentUser, kEpsxeConfigKey)) return;
    plan.arguments = registry.QueryString(RegRoot::CurrentUser, kEpsxeConfigKey, "DVOCommandLine").value_or("");
    const std::string gui = registry.QueryString(RegRoot::CurrentUser, kEpsxeConfigKey, "DVOEnableGui").value_or("");
    if (gui == "0") {
        if (!plan.arguments.empty()) plan.arguments += ' ';
        plan.arguments += "-nogui";
        plan.searchWindow = false;
    }
}

// Commits what is pending and tells the user about each hive that refused.
void FlushReporting(DeferredRegistry& deferred, const LaunchServices& s, std::vector<std::string>& unwritten) {
    deferred.Flush();
    for (RegRoot root : deferred.TakeFailures()) {
        const std::string store = s.registry.StoreName(root);
        s.prompter.Tell(std::string(kUnwrittenSettingsText) + store, kRegistryErrorCaption);
        unwritten.push_back(store);
    }
}

}  // namespace

std::string_view EmulatorWindowClass(EmulatorKind kind) {
    switch (kind) {
    case EmulatorKind::Epsxe: return "EPSXGUI";
    case EmulatorKind::Fpse: return "FPSE";
    case EmulatorKind::Psinex: return "\xA9 psinex - revision 5 beta";
    case EmulatorKind::Adripsx: return "TMAdvance";
    case EmulatorKind::Pcsx: return "P\xA9SX Main";
    }
    return "";
}

StartFlags ChooseStartFlags(EmulatorKind kind, std::string_view executable, bool nukeConsole) {
    StartFlags flags;
    flags.searchWindow = kind != EmulatorKind::Fpse;
    // A renamed executable is some other program (a wrapper, a newer build):
    // it starts visible and its window is not searched for. PSinex and PCSX
    // always start hidden.
    if (executable != KindInfo(kind).defaultExe) flags.searchWindow = false;
    else flags.hidden = nukeConsole || kind == EmulatorKind::Psinex;
    if (kind == EmulatorKind::Pcsx) flags.hidden = true;
    return flags;
}

std::string ComposeCommandLine(std::string_view installPath, std::string_view executable, std::string_view arguments) {
    std::string line(installPath);
    line += executable;
    line += ' ';
    line += arguments;
    return line;
}

std::optional<PreparedLaunch> PrepareLaunch(const LaunchRequest& request, const LaunchServices& s) {
    if (!request.profileName) return std::nullopt;
    const EmulatorKind kind = request.kind;
    const std::string& name = *request.profileName;
    const std::string base = ProfilePath(kind, name, "");

    // Imports and writer go into one registry batch per hive where the
    // registry editor runs in-process; the real regedit applies each import
    // itself.
    DeferredRegistry deferred(s.registry);
    const auto inProcessEditor = s.editor.Rebind(deferred);
    RegistryEditor& editor = inProcessEditor ? *inProcessEditor : s.editor;

    // The shared plugin keys (PCSX-Reloaded: its plugins' settings files) get
    // this profile's settings back first.
    const bool pcsxReloaded = kind == EmulatorKind::Pcsx && PcsxIsPcsxReloaded(s.settings);
    if (!name.empty()) {
        const auto pcsxrHome = PcsxrHome();
        for (std::string_view extension : kLaunchSideFiles) {
            const std::string sideFile = base + std::string(extension);
            if (!pcsxReloaded) ImportPluginSettings(sideFile, editor);
            else if (pcsxrHome) RestorePcsxrPluginSettings(sideFile, *pcsxrHome);
        }
    }

    PreparedLaunch plan;
    AnyProfileRecord record = MakeDefaultRecord(kind, s.settings);
    LoadAnyRecord(record, base + ".set", s.prompter);  // a failed load keeps the defaults
    if (!HasAllPlugins(record)) {
        FlushReporting(deferred, s, plan.unwritten);  // what was imported stays imported
        s.prompter.Tell(kNoPluginText, kNoPluginCaption, PromptIcon::Information);
        return std::nullopt;
    }

    // Before anything of the emulator's is written: no launch may cost a save.
    memcards::TakeLaunchSnapshots(kind, name, record, s.settings);

    plan.installPath = s.settings.InstallPath(kind);
    plan.executable = s.settings.ExecutableName(kind);
    const std::string& installPath = plan.installPath;

    // PCSX-Reloaded reads its own file, named on its command line.
    if (pcsxReloaded) {
        deferred.Flush();
        if (!WritePcsxrConfig(std::get<_PCSXDATA>(record), name)) {
            s.prompter.Tell(kRegistryErrorText, kRegistryErrorCaption);
            return std::nullopt;
        }
        plan.arguments = PcsxrArguments(name);
        return plan;
    }

    switch (kind) {
    case EmulatorKind::Epsxe:
    case EmulatorKind::Adripsx:
    case EmulatorKind::Pcsx:
        if (!WriteEmulatorConfig(base + ".set", kind, deferred, s.settings, s.prompter)) {
            FlushReporting(deferred, s, plan.unwritten);
            s.prompter.Tell(kRegistryErrorText, kRegistryErrorCaption);
            return std::nullopt;
        }
        FlushReporting(deferred, s, plan.unwritten);
        if (kind == EmulatorKind::Epsxe) ReadEpsxeStartOptions(s.registry, plan);
        break;
    case EmulatorKind::Psinex: {
        FlushReporting(deferred, s, plan.unwritten);
        if (!WritePsinexConfig(std::get<_PSINEXDATA>(record), installPath)) {
            const std::string file = installPath + std::string(kPsinexIniName);
            s.prompter.Tell(std::string(kUnwrittenSettingsText) + file, kUnwrittenFileCaption);
            plan.unwritten.push_back(file);
        }
        break;
    }
    case EmulatorKind::Fpse:
        FlushReporting(deferred, s, plan.unwritten);
        if (!PrepareFpseFiles(name, installPath, s.settings, s.prompter)) {
            s.prompter.Tell(kFpseErrorText, kFpseErrorCaption);
            return std::nullopt;
        }
        plan.arguments = std::get<_FPSEDATA>(record).CommandLine;
        break;
    }

    return plan;
}

LaunchOutcome LaunchSelectedProfile(const LaunchRequest& request, const LaunchServices& s) {
    auto prepared = PrepareLaunch(request, s);
    if (!prepared) return {};
    LaunchOutcome outcome;
    outcome.unwritten = prepared->unwritten;
    PreparedLaunch& plan = *prepared;
    const EmulatorKind kind = request.kind;
    const std::string& installPath = plan.installPath;
    const std::string& executable = plan.executable;

    const std::string remembered = GetCurrentDir();
    if (!SetCurrentDir(installPath)) {
        s.prompter.Tell(kNoEmulatorDirText, kDirectoryErrorCaption);
        return outcome;
    }

    const StartFlags flags = ChooseStartFlags(kind, executable, request.nukeConsole);
    if (!flags.searchWindow) plan.searchWindow = false;
    StartOptions options;
    options.position = StartOptions::Position{0, 0};  // every start: the first window at the top-left corner
    if (flags.hidden) options.showWindow = kShowHidden;
    options.runner = s.settings.Runner(kind);  // Linux: this emulator's own Wine, when set

    const std::string commandLine = ComposeCommandLine(installPath, executable, plan.arguments);
    // Going back is best effort: the start failed, and that is what the user is told.
    if (commandLine.size() > kMaxCommandLineLength) {
        (void)SetCurrentDir(remembered);
        s.prompter.Tell(kCommandTooLongText, kStartErrorCaption);
        return outcome;
    }
    if (!StartProcess(commandLine, installPath, options)) {
        (void)SetCurrentDir(remembered);
        s.prompter.Tell(kStartErrorText, kStartErrorCaption);
        return outcome;
    }

    if (plan.searchWindow) {
        WindowWatch watch(s.windows, std::string(EmulatorWindowClass(kind)), kind != EmulatorKind::Adripsx,
                          request.nukeConsole);
        s.poller.Poll(watch);
    }

    if (!SetCurrentDir(remembered)) s.prompter.Tell(kReturnDirText, kDirectoryErrorCaption);
    outcome.started = true;
    return outcome;
}

namespace {

// On Linux only a Windows program (a PE file, started under Wine) has a window
// Wine can find; a native program gets no search rather than half a minute of
// looks through Wine. The search runs through the runner the emulator was
// started with, so it asks the wineserver the emulator's window lives in.
std::unique_ptr<WindowFinder> WindowFinderFor(const std::string& program, const std::string& runner) {
    // (On Windows every program that starts is such a file.)
    if (!FileStartsWithMz(program)) return std::make_unique<NoWindowFinder>();
    return OpenSystemWindowFinder(runner);
}

}  // namespace

LaunchOutcome LaunchSelectedProfile(const LaunchRequest& request, Registry& registry, const SettingsStore& settings,
                                    Prompter& prompter, WindowPoller& poller) {
    // The emulator's configuration, side files and program live in its own
    // prefix when it has one; the front end's settings stay where they are.
    EmulatorWorld world(request.kind, settings, registry);
    const auto editor = MakePlatformRegistryEditor(world.registry());
    const auto windows = WindowFinderFor(settings.InstallPath(request.kind) + settings.ExecutableName(request.kind),
                                         settings.Runner(request.kind));
    return LaunchSelectedProfile(request,
                                 LaunchServices{world.registry(), settings, prompter, *editor, *windows, poller});
}

}  // namespace dravolo
