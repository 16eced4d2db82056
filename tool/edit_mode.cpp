#include "tool/edit_mode.h"

#include <memory>

#include "common/platform/instance_guard.h"
#include "tool/CKestrineToolDlg.h"
#include "tool/core/caller_window.h"
#include "tool/core/config_commit.h"
#include "tool/core/emulator_path.h"

namespace dravolo::tool {

namespace {

constexpr const char* kCaption = "Change ePSXe configuration";

// Enables the caller's window when it goes, on every way out.
class CallerRelease {
public:
    CallerRelease(std::function<void(std::uintptr_t)> enable, std::uintptr_t window)
        : enable_(std::move(enable)), window_(window) {}
    ~CallerRelease() { enable_(window_); }
    CallerRelease(const CallerRelease&) = delete;
    CallerRelease& operator=(const CallerRelease&) = delete;

private:
    std::function<void(std::uintptr_t)> enable_;
    std::uintptr_t window_;
};

}  // namespace

int RunEditMode(const ToolStart& start, EditModeSetup setup) {
    if (!setup.enableCaller) setup.enableCaller = EnableCallerWindow;
    const CallerRelease release(setup.enableCaller, start.callerWindow);
    Prompter& prompter = *setup.prompter;
    if (start.mode == StartMode::RefuseName) {
        prompter.Tell(
            "The configuration name must not be empty, must not contain a backslash and must not be "
            "longer than 255 characters.",
            kCaption);
        return 1;
    }
    // Held until the process ends; nothing is touched without it.
    const auto guard = InstanceGuard::AcquireForRegistry(kEditGuardName);
    if (!guard) {
        prompter.Tell(
            "Another configuration is being edited. Close that KestrineTool window before editing "
            "another configuration.",
            kCaption);
        return 1;
    }
    std::unique_ptr<Registry> own;
    if (!setup.registry) {
        own = OpenSystemRegistry();
        if (!own) return 1;
        setup.registry = own.get();
    }
    FinishInterruptedCommits(*setup.registry);

    ToolDialogSetup dialogSetup;
    dialogSetup.registry = setup.registry;
    dialogSetup.configurationName = start.name;
    dialogSetup.editWord = start.editWord;
    dialogSetup.toolPath = setup.toolPath;
    dialogSetup.programName = setup.programName;
    dialogSetup.enableCaller = setup.enableCaller;
    CKestrineToolDlg dialog(std::move(dialogSetup), prompter);
    if (setup.dialogMade) setup.dialogMade(&dialog);
    if (const auto action = dialog.QuickConfigureAction()) {
        // Configure one plugin and save, without showing the window.
        dialog.OnQuickConfigure(*action);
        return 0;
    }
    if (setup.runDialog) {
        setup.runDialog(dialog);
    } else {
        dialog.exec();
    }
    return 0;
}

}  // namespace dravolo::tool
