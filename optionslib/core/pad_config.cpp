#include "optionslib/core/pad_config.h"

#include <string>

#include "common/platform/process.h"
#include "optionslib/core/module_path.h"

namespace dravolo::kstuff {

ProcessStarter DefaultProcessStarter() {
    return [](std::string_view commandLine) { return StartProcess(commandLine, {}); };
}

bool StartPadConfiguration(Prompter& prompter, std::string_view libraryPath, const ProcessStarter& start) {
    prompter.Tell(kPadConfigText, kPadConfigCaption, PromptIcon::Information);
    const std::string emulator = SiblingPath(libraryPath, "epsxe.exe");
    // Quoted: the whole path names the program even when the folder has blanks.
    if (start(QuoteArgument(emulator))) return true;
    prompter.Tell(std::string(kPadConfigStartFailed) + emulator, kPadConfigCaption, PromptIcon::Stop);
    return false;
}

}  // namespace dravolo::kstuff
