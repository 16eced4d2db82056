#pragma once
// Starting a profile: restore its plugin settings, write the emulator's own
// configuration, change into the emulator's directory, start the emulator,
// centre its window when it appears and come back. The front end does not
// wait for the emulator and restores nothing afterwards.
//
// Qt-free: the main window calls LaunchSelectedProfile on a double-click with
// its current kind, the selected profile and its "Nuke ePSXe/FPSE Console"
// switch, and drives the window search through a WindowPoller of its own.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/prompter.h"
#include "common/platform/registry.h"
#include "common/platform/window_finder.h"
#include "frontend/core/emulator_kind.h"
#include "frontend/launch/plugin_settings.h"
#include "frontend/launch/window_watch.h"

namespace dravolo {

class SettingsStore;

inline constexpr std::string_view kNoPluginText = "Please select a GPU/SPU/CDR plugin using \nthe plugin manager.";
inline constexpr std::string_view kNoPluginCaption = "Ziv Izodur";
inline constexpr std::string_view kRegistryErrorText = "Could Not Load Registry Settings";
inline constexpr std::string_view kRegistryErrorCaption = "Registry Error";
inline constexpr std::string_view kFpseErrorText =
    "Error Initializing FPSE.\n1. Check if emulator location is correct.\n2. Check if profile is correctly "
    "configured.";
inline constexpr std::string_view kFpseErrorCaption = "Initialize Error";
inline constexpr std::string_view kNoEmulatorDirText =
    "Cannot find emulator directory\nPlease configure emulator paths.";
inline constexpr std::string_view kDirectoryErrorCaption = "Directory Error";
inline constexpr std::string_view kStartErrorText =
    "Error lauching the emulator.\nPlease check if emulator location is correct";
inline constexpr std::string_view kStartErrorCaption = "Execution Error";
inline constexpr std::string_view kReturnDirText = "Cannot switch back to original directory";
inline constexpr std::string_view kCommandTooLongText =
    "The emulator's command line is too long to start.\nPlease shorten the emulator path or the command line "
    "options.";

// A settings store of the emulator's (a registry hive, an INI file) that the
// launch could not write; the text is followed by the store's name. The
// launch goes on, since the emulator may still start with what it had.
inline constexpr std::string_view kUnwrittenSettingsText = "Could not write the emulator's settings to\n";
inline constexpr std::string_view kUnwrittenFileCaption = "File Write Error";

// The longest command line Windows' process creation accepts (32767
// characters plus the terminating zero). A longer one is refused, never cut.
inline constexpr std::size_t kMaxCommandLineLength = 32767;

struct LaunchRequest {
    EmulatorKind kind = EmulatorKind::Epsxe;
    std::optional<std::string> profileName;  // nullopt: nothing selected
    bool nukeConsole = true;                 // start console windows hidden
};

struct LaunchServices {
    Registry& registry;  // emulator configuration and plugin settings
    const SettingsStore& settings;
    Prompter& prompter;
    RegistryEditor& editor;
    WindowFinder& windows;
    WindowPoller& poller;
};

// The window class each emulator's main window has (ANSI).
std::string_view EmulatorWindowClass(EmulatorKind kind);

// How the emulator's process starts: hidden or not, and whether its window is
// searched for afterwards (before the ePSXe "-nogui" rule, which also turns
// the search off).
struct StartFlags {
    bool hidden = false;
    bool searchWindow = true;
};
StartFlags ChooseStartFlags(EmulatorKind kind, std::string_view executable, bool nukeConsole);

// install path + executable + one blank + arguments, unquoted.
std::string ComposeCommandLine(std::string_view installPath, std::string_view executable, std::string_view arguments);

// Steps before the emulator's directory: side files imported, record checked,
// configuration written. nullopt when the launch stops (the user was told).
struct PreparedLaunch {
    std::string installPath;
    std::string executable;
    std::string arguments;
    bool searchWindow = true;
    // The stores that could not be written (the user has been told).
    std::vector<std::string> unwritten;
};
std::optional<PreparedLaunch> PrepareLaunch(const LaunchRequest& request, const LaunchServices& services);

// Whether the emulator was started, and what of its configuration could not
// be written on the way. Every stop and every unwritten store is explained to
// the user through the prompter, except an empty selection.
struct LaunchOutcome {
    bool started = false;
    std::vector<std::string> unwritten;
    // Started with everything written: what a script may call success.
    bool complete() const { return started && unwritten.empty(); }
    explicit operator bool() const { return started; }
};
LaunchOutcome LaunchSelectedProfile(const LaunchRequest& request, const LaunchServices& services);

// The same with this system's registry editor and window finder.
LaunchOutcome LaunchSelectedProfile(const LaunchRequest& request, Registry& registry, const SettingsStore& settings,
                                    Prompter& prompter, WindowPoller& poller);

}  // namespace dravolo
