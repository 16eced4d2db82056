#include <unistd.h>

#include "common/platform/console.h"

namespace dravolo {

std::vector<std::string> Utf8ProgramArguments(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return args;
}

bool StandardInputIsInteractive() { return isatty(STDIN_FILENO) != 0; }
bool StandardErrorIsInteractive() { return isatty(STDERR_FILENO) != 0; }

}  // namespace dravolo
