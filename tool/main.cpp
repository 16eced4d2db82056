// KestrineTool: started by another program as
//   kestrinetool /pt NAME "#HANDLE;FLAGS"   writes the report of configuration NAME
//   kestrinetool /pt NAME "@WINDOW[!ACTION]" edits configuration NAME
//   kestrinetool XXX                         edits the active area "PSEmu Pro"
// Anything else ends at once without a window.

#include <QApplication>
#include <string>
#include <vector>

#include "common/base/text.h"
#include "common/platform/registry.h"
#include "common/qt/message_box_prompter.h"
#include "common/qt/plugin_call_wait.h"
#include "tool/core/card_summary.h"
#include "tool/core/command_line.h"
#include "tool/core/config_name.h"
#include "tool/core/emulator_path.h"
#include "tool/core/report.h"
#include "tool/edit_mode.h"

using namespace dravolo;
using namespace dravolo::tool;

namespace {

int WriteReport(const ToolStart& start) {
    // Every start writes a record; the empty one when the configuration
    // cannot be read, so the caller reading its pipe never waits.
    Report report;
    if (IsUsableConfigurationName(start.name)) {
        if (auto registry = OpenSystemRegistry()) {
            const std::string emulatorPath = EmulatorPathFromToolPath(ToolModulePath()).value_or("");
            report = BuildReport(*registry, start.name, start.flags, emulatorPath, ReportCardSummary);
        }
    }
    return WriteReportRecord(start.handle, EncodeReportRecord(report)) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // The arguments as the C run-time split them, as ANSI text.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
#ifdef _WIN32
        args.emplace_back(argv[i]);
#else
        args.push_back(Utf8ToAnsi(argv[i]));
#endif
    }
    const ToolStart start = DecideStart(ParseFrameworkCommandLine(args));
    if (start.mode == StartMode::Exit) return 0;
    // The report needs no window system.
    if (start.mode == StartMode::Report) return WriteReport(start);

    QApplication app(argc, argv);
    InstallPluginCallWait();  // the dialog keeps painting while a plugin's own dialog is open
    MessageBoxPrompter prompter;
    EditModeSetup setup;
    setup.prompter = &prompter;
    setup.toolPath = ToolModulePath();
    setup.programName = ProgramName(setup.toolPath);
    setup.dialogMade = [&prompter](QWidget* dialog) { prompter.SetOwner(dialog); };
    return RunEditMode(start, std::move(setup));
}
