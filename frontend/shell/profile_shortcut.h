#pragma once
// Desktop shortcuts for profiles: a freedesktop.org ".desktop" file that
// starts one profile through dravolo-cli, with the profile's picture (as the
// profile list shows it) as its icon.

#include <optional>
#include <string>
#include <string_view>

#include "common/base/bytes.h"
#include "frontend/core/emulator_kind.h"

namespace dravolo {

struct ProfileShortcut {
    EmulatorKind kind = EmulatorKind::Epsxe;
    std::string profileName;  // UTF-8
    std::string description;  // UTF-8, may be empty
    std::string cliProgram;   // host path of dravolo-cli
    std::string workdir;      // host path of the folder holding the profile folders
    std::string icon;         // host path of a PNG, or an icon theme name
};

// One argument of an Exec line, quoted when it needs to be, then escaped as a
// desktop-file string ("\\" for a backslash, "%%" for a percent sign).
std::string DesktopExecArgument(std::string_view argument);

// The file's text: Type, Name, Comment, Exec, Icon, Terminal, Categories.
std::string DesktopEntryText(const ProfileShortcut& shortcut);

// "dravolo-Epsxe-Crash_Bandicoot": the base name of the shortcut and its icon,
// with every character outside A-Z, a-z, 0-9, '.', '-' and '_' as '_'.
std::string ShortcutBaseName(EmulatorKind kind, std::string_view profileName);

// The profile picture as a 32 x 32 PNG; nullopt when the picture cannot be read.
std::optional<Bytes> ProfilePictureAsPng(std::string_view bitmapPath);

}  // namespace dravolo
