#include <iostream>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include "common/platform/windows_api.h"
#include <shellapi.h>
#else
#include <unistd.h>
#endif

#include "cli/cli.h"
#include "cli/cli_prompter.h"
#include "common/base/text.h"
#include "frontend/profiles/working_directory.h"

namespace {

// The arguments as UTF-8: a POSIX terminal's own; on Windows from the wide
// command line, since the narrow argv has already turned what the code page
// cannot hold into '?'.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    std::vector<std::string> args;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            const auto* text = reinterpret_cast<const char16_t*>(wide[i]);
            args.push_back(dravolo::Utf16ToUtf8(text));
        }
        LocalFree(wide);
    }
#else
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<bool> answer;
    std::vector<std::string> given;
    for (std::string& arg : Utf8Arguments(argc, argv)) {
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
#ifdef _WIN32
    const bool interactive = false;
#else
    const bool interactive = isatty(STDIN_FILENO) != 0;
#endif
    dravolo::cli::ConsolePrompter prompter(std::cerr, answer, interactive);
    dravolo::cli::Context context{std::cout, std::cerr, prompter};
    return dravolo::cli::Run(args, context);
}
