// dravolo: the profile front end. One copy runs at a time; a second start
// ends at once without a word.

#include <QApplication>
#include <cstdio>
#include <string>

#include "common/platform/instance_guard.h"
#include "common/platform/registry.h"
#include "common/qt/message_box_prompter.h"
#include "common/qt/plugin_call_wait.h"
#include "frontend/shell/CMainFrame.h"
#include "frontend/app/frame_hooks_install.h"
#include "frontend/shell/settings_store.h"
#include "frontend/shell/shell_art.h"
#include "frontend/shell/shell_choosers.h"

namespace {

// The guard is named after the executable, without folder and extension.
std::string ProgramName(const char* argv0) {
    std::string name = argv0 ? argv0 : "dravolo";
    const auto slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name.empty() ? std::string("dravolo") : name;
}

}  // namespace

int main(int argc, char** argv) {
    const auto guard = dravolo::InstanceGuard::Acquire(ProgramName(argc > 0 ? argv[0] : nullptr));
    if (!guard) return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dravolo"));
    QApplication::setWindowIcon(dravolo::ProgramIcon());
    dravolo::InstallPluginCallWait();  // our windows keep painting while a plugin's dialog is open

    const auto registry = dravolo::OpenSystemRegistry();
    if (!registry) {
        std::fprintf(stderr, "dravolo: the registry cannot be opened\n");
        return 1;
    }
    dravolo::SettingsStore settings(*registry);
    dravolo::MessageBoxPrompter prompter;
    dravolo::ShellChoosers choosers;
    dravolo::ShellContext context{settings, prompter, choosers};

    dravolo::CMainFrame frame(context);
    prompter.SetOwner(&frame);
    frame.SetHooks(dravolo::MakeFrameHooks(context));
    frame.ShowAsPlaced();
    return QApplication::exec();
}
