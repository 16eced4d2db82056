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
#include "tool/CKestrineToolDlg.h"
#include "tool/core/card_summary.h"
#include "tool/core/command_line.h"
#include "tool/core/emulator_path.h"
#include "tool/core/report.h"

using namespace dravolo;
using namespace dravolo::tool;

namespace {

int WriteReport(const ToolStart& start) {
    auto registry = OpenSystemRegistry();
    if (!registry) return 1;
    const std::string emulatorPath = EmulatorPathFromToolPath(ToolModulePath()).value_or("");
    const Report report = BuildReport(*registry, start.name, start.flags, emulatorPath, ReportCardSummary);
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
    MessageBoxPrompter prompter;
    if (start.mode == StartMode::RefuseName) {
        prompter.Tell("The configuration name must not be empty, must not contain a backslash and must not be "
                      "longer than 255 characters.",
                      "Change ePSXe configuration");
        return 1;
    }
    auto registry = OpenSystemRegistry();
    if (!registry) return 1;
    ToolDialogSetup setup;
    setup.registry = registry.get();
    setup.configurationName = start.name;
    setup.editWord = start.editWord;
    setup.toolPath = ToolModulePath();
    setup.programName = ProgramName(setup.toolPath);
    CKestrineToolDlg dialog(std::move(setup), prompter);
    prompter.SetOwner(&dialog);
    if (const auto action = dialog.QuickConfigureAction()) {
        // Configure one plugin and save, without showing the window.
        dialog.OnQuickConfigure(*action);
        return 0;
    }
    dialog.exec();
    return 0;
}
