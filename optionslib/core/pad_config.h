#pragma once
// The dialog's pad button: ePSXe keeps its pad settings in its own key and
// edits them only in its own screens, so the button tells the user what to do
// and starts ePSXe from the library's folder.

#include <functional>
#include <string_view>

#include "common/base/prompter.h"

namespace dravolo::kstuff {

inline constexpr std::string_view kPadConfigCaption = "Configure ePSXe pads";
inline constexpr std::string_view kPadConfigText =
    "ePSXe will get started now.\n"
    "Please go to the ePSXe pad config screen (Config->Game Pad->Pad 1/Pad 2), and configure the pads as desired. "
    "Please quit ePSXe after configuring.";
// Shown when ePSXe is not beside the library or cannot be started.
inline constexpr std::string_view kPadConfigStartFailed = "ePSXe could not be started:\n";

// Starts a Windows command line in the caller's current directory, without
// waiting; false when nothing was started.
using ProcessStarter = std::function<bool(std::string_view commandLine)>;
ProcessStarter DefaultProcessStarter();

// Tells the user, then starts "epsxe.exe" from the library's folder with no
// arguments. A failed start is told with the path that was tried. True when
// ePSXe was started.
bool StartPadConfiguration(Prompter& prompter, std::string_view libraryPath, const ProcessStarter& start);

}  // namespace dravolo::kstuff
