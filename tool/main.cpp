// KestrineTool: started by another program as
//   kestrinetool /pt NAME "#HANDLE;FLAGS"   writes the report of configuration NAME
//   kestrinetool /pt NAME "@WINDOW[!ACTION]" edits configuration NAME
//   kestrinetool XXX                         edits the active area "PSEmu Pro"
// Anything else ends at once without a window.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/text.h"
#include "common/platform/native_text.h"
#include "common/platform/registry.h"
#include "common/platform/wine_host.h"
#include "common/qt/message_box_prompter.h"
#include "common/qt/plugin_call_wait.h"
#include "common/qt/wine_fonts.h"
#include "tool/core/card_summary.h"
#include "tool/core/command_line.h"
#include "tool/core/config_name.h"
#include "tool/core/emulator_path.h"
#include "tool/core/report.h"
#include "tool/edit_mode.h"

using namespace dravolo;
using namespace dravolo::tool;

namespace {

// With DRAVOLO_TOOL_MESSAGES=stderr every message goes to stderr as
// "caption: text" and is answered with its default, so that a test that runs
// the real program beside another one can read what it told (a box on the
// offscreen platform would wait for a click that never comes).
class StderrPrompter : public Prompter {
public:
    PromptAnswer Ask(std::string_view text, std::string_view caption, PromptIcon, PromptButtons,
                     PromptAnswer defaultAnswer) override {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        return defaultAnswer;
    }
};

bool MessagesToStderr() {
    const char* where = std::getenv("DRAVOLO_TOOL_MESSAGES");
    return where && std::string_view(where) == "stderr";
}

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
        args.push_back(AnsiFromNativeText(argv[i]));
    }
    const ToolStart start = DecideStart(ParseFrameworkCommandLine(args));
    if (start.mode == StartMode::Exit) return 0;
    // The report needs no window system.
    if (start.mode == StartMode::Report) return WriteReport(start);

    PreferFreeTypeFontsUnderWine(RunsUnderWine());
    QApplication app(argc, argv);
    InstallPluginCallWait();  // the dialog keeps painting while a plugin's own dialog is open
    MessageBoxPrompter boxes;
    StderrPrompter console;
    const bool toStderr = MessagesToStderr();
    EditModeSetup setup;
    setup.prompter = toStderr ? static_cast<Prompter*>(&console) : &boxes;
    setup.toolPath = ToolModulePath();
    setup.programName = ProgramName(setup.toolPath);
    setup.dialogMade = [&boxes](QWidget* dialog) { boxes.SetOwner(dialog); };
    return RunEditMode(start, std::move(setup));
}
