// dravolo-cli launch KIND NAME and quick-configure KIND NAME gpu|spu|cdr: the
// double-click and the Quick Configure menu items without a window.

#include <ostream>

#include "cli/cli.h"
#include "cli/launch_dry_run.h"
#include "common/platform/registry.h"
#include "frontend/core/emulator_kind.h"
#include "frontend/core/known_settings.h"
#include "frontend/core/settings_store.h"
#include "frontend/launch/emulator_world.h"
#include "frontend/launch/launch.h"
#include "frontend/launch/quick_configure.h"

namespace dravolo::cli {

namespace {

std::optional<EmulatorKind> ParseKind(const std::string& text, Context& context) {
    const auto kind = KindFromDirectoryName(text);
    if (!kind)
        context.err << "dravolo-cli: '" << ForTerminal(text)
                    << "' is not an emulator (Epsxe, Fpse, Psinex, Adripsx or Pcsx)\n";
    return kind;
}

}  // namespace

int RunLaunch(const std::vector<std::string>& given, Context& context) {
    std::vector<std::string> args;
    bool dryRun = false;
    for (const std::string& arg : given) {
        if (arg == "--dry-run") dryRun = true;
        else args.push_back(arg);
    }
    if (args.size() != 2) {
        context.err << "dravolo-cli: use 'launch [--dry-run] KIND NAME'\n";
        return kUsage;
    }
    const auto kind = ParseKind(args[0], context);
    if (!kind) return kUsage;
    if (dryRun) return RunLaunchDryRun(*kind, args[1], context);
    auto registry = OpenSystemRegistry();
    if (!registry) {
        context.err << "dravolo-cli: the registry cannot be opened\n";
        return kFailed;
    }
    SettingsStore settings(*registry);
    LaunchRequest request;
    request.kind = *kind;
    request.profileName = args[1];
    request.nukeConsole = settings.Get(kNukeConsoleSetting) != 0;
    SleepingWindowPoller poller;
    // A start whose configuration was not all written is no success for a script.
    return LaunchSelectedProfile(request, *registry, settings, context.prompter, poller).complete() ? kOk : kFailed;
}

int RunQuickConfigure(const std::vector<std::string>& args, Context& context) {
    const auto type = args.size() == 3 ? PluginTypeFromName(args[2]) : std::nullopt;
    if (!type) {
        context.err << "dravolo-cli: use 'quick-configure KIND NAME gpu|spu|cdr'\n";
        return kUsage;
    }
    const auto kind = ParseKind(args[0], context);
    if (!kind) return kUsage;
    auto registry = OpenSystemRegistry();
    if (!registry) {
        context.err << "dravolo-cli: the registry cannot be opened\n";
        return kFailed;
    }
    SettingsStore settings(*registry);
    EmulatorWorld world(*kind, settings, *registry);  // the emulator's own prefix, when it has one
    const auto editor = MakePlatformRegistryEditor(world.registry());
    QuickConfigureRequest request;
    request.kind = *kind;
    request.profileName = args[1];
    request.type = *type;
    switch (QuickConfigurePlugin(request, settings, context.prompter, *editor)) {
    case QuickConfigureResult::Configured: return kOk;
    case QuickConfigureResult::NoProfile:
    case QuickConfigureResult::RecordUnreadable:
    case QuickConfigureResult::PluginLost: return kFailed;  // the load or the prompter has told why
    case QuickConfigureResult::LibraryNotLoaded:
        context.err << "dravolo-cli: the profile's " << ForTerminal(args[2])
                    << " plugin cannot be loaded; its settings file is unchanged\n";
        return kFailed;
    case QuickConfigureResult::NoConfigureEntry:
        context.err << "dravolo-cli: the profile's " << ForTerminal(args[2])
                    << " plugin has no settings dialog; its settings file is unchanged\n";
        return kFailed;
    }
    return kFailed;
}

}  // namespace dravolo::cli
