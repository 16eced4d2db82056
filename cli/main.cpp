#include <iostream>
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "cli/cli.h"
#include "cli/cli_prompter.h"

int main(int argc, char** argv) {
    std::optional<bool> answer;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--yes") answer = true;
        else if (arg == "--no") answer = false;
        else args.push_back(dravolo::cli::FromTerminal(arg));
    }
#ifdef _WIN32
    const bool interactive = false;
#else
    const bool interactive = isatty(STDIN_FILENO) != 0;
#endif
    dravolo::cli::ConsolePrompter prompter(std::cerr, answer, interactive);
    dravolo::cli::Context context{std::cout, std::cerr, prompter};
    return dravolo::cli::Run(args, context);
}
