#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_prompter.h"
#include "common/platform/console.h"
#include "frontend/profiles/working_directory.h"

int main(int argc, char** argv) {
    std::optional<bool> answer;
    std::vector<std::string> given;
    for (std::string& arg : dravolo::Utf8ProgramArguments(argc, argv)) {
        if (arg == "--yes") answer = true;
        else if (arg == "--no") answer = false;
        else given.push_back(std::move(arg));
    }
    std::string workdir, workdirError;
    if (!dravolo::TakeWorkdirOption(given, workdir, workdirError)) {
        std::cerr << "dravolo-cli: " << workdirError << "\n";
        return dravolo::cli::kUsage;
    }
    // Help and the version touch no folder.
    if (dravolo::cli::NeedsWorkingDirectory(given)) {
        const auto choice = dravolo::ChooseWorkingDirectory(dravolo::WorkingDirectoryInputsFromEnvironment(workdir));
        if (const auto problem = dravolo::EnterWorkingDirectory(choice)) {
            std::cerr << "dravolo-cli: " << *problem << "\n";
            return dravolo::cli::kFailed;
        }
    }
    std::vector<std::string> args;
    if (!dravolo::cli::ArgumentsToAnsi(given, args, std::cerr)) return dravolo::cli::kUsage;
    const bool interactive = dravolo::StandardInputIsInteractive();
    dravolo::cli::ConsolePrompter prompter(std::cerr, answer, interactive);
    dravolo::cli::Context context{std::cout, std::cerr, prompter};
    return dravolo::cli::Run(args, context);
}
