#pragma once
// Edit mode from start to end: one edit of a configuration at a time per user
// (two would swap their configurations into the one active area, and the
// first one's OK would store the second's), commits an earlier start left
// half done finished first, and the caller's window enabled again however
// the tool ends. Report mode needs none of this and may run beside it.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "common/base/prompter.h"
#include "common/platform/registry.h"
#include "tool/core/command_line.h"

namespace dravolo::tool {

class CKestrineToolDlg;

// The name of the guard every edit-mode start takes.
inline constexpr const char* kEditGuardName = "KestrineTool edit mode";

struct EditModeSetup {
    Registry* registry = nullptr;  // nullptr: the system's registry
    Prompter* prompter = nullptr;
    std::string toolPath;  // the tool's own Windows path
    std::string programName = "KestrineTool";
    // Enables the caller's window (tests watch it); EnableCallerWindow when empty.
    std::function<void(std::uintptr_t)> enableCaller;
    // Told about the dialog once it exists (the message boxes' owner).
    std::function<void(QWidget*)> dialogMade;
    // Runs the dialog; exec() when empty (tests drive it instead).
    std::function<int(CKestrineToolDlg&)> runDialog;
};

// start.mode is Edit or RefuseName. The program's exit code.
int RunEditMode(const ToolStart& start, EditModeSetup setup);

}  // namespace dravolo::tool
