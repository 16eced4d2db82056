// dravolo: the profile front end. One copy runs at a time; a second start
// ends at once without a word.

#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "common/platform/instance_guard.h"
#include "common/platform/registry.h"
#include "common/platform/wine_host.h"
#include "common/qt/message_box_prompter.h"
#include "common/qt/plugin_call_wait.h"
#include "common/qt/wine_fonts.h"
#include "frontend/app/frame_hooks_install.h"
#include "frontend/core/settings_store.h"
#include "frontend/profiles/working_directory.h"
#include "frontend/shell/CMainFrame.h"
#include "frontend/shell/shell_art.h"
#include "frontend/widgets/file_choosers.h"

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

    // The profile folders: "--workdir DIR", else the folder it was started in,
    // else (started from a menu in the home folder) the user's data folder.
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string workdir, workdirError;
    if (!dravolo::TakeWorkdirOption(args, workdir, workdirError)) {
        std::fprintf(stderr, "dravolo: %s\n", workdirError.c_str());
        return 2;
    }
    const auto choice = dravolo::ChooseWorkingDirectory(dravolo::WorkingDirectoryInputsFromEnvironment(workdir));
    if (const auto problem = dravolo::EnterWorkingDirectory(choice)) {
        std::fprintf(stderr, "dravolo: %s\n", problem->c_str());
        return 1;
    }

    dravolo::PreferFreeTypeFontsUnderWine(dravolo::RunsUnderWine());
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
    dravolo::FileChoosers choosers;
    dravolo::ShellContext context{settings, prompter, choosers};

    dravolo::CMainFrame frame(context);
    prompter.SetOwner(&frame);
    frame.SetHooks(dravolo::MakeFrameHooks(context));
    frame.ShowAsPlaced();
    return QApplication::exec();
}
