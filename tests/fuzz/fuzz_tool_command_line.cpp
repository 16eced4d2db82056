// KestrineTool's command line. The input is the arguments, split at NULs.
// The file and printer names are arguments as given; the start decision never
// invents a name for a mode that has none; the leading number reads as the C
// library's strtol reads it (saturating).

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tool/core/command_line.h"

using namespace dravolo::tool;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = dravolo::fuzz::AsText(data, size);
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start <= input.size()) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        args.emplace_back(input.substr(start, end - start));
        start = end + 1;
    }

    const FrameworkCommandLine line = ParseFrameworkCommandLine(args);
    const auto isArg = [&](const std::string& s) {
        return s.empty() || std::find(args.begin(), args.end(), s) != args.end();
    };
    FUZZ_CHECK(isArg(line.fileName));
    FUZZ_CHECK(isArg(line.printerName));
    const ToolStart tool = DecideStart(line);
    if (tool.mode == StartMode::Exit) FUZZ_CHECK(tool.editWord.empty());
    // Same line, same decision.
    const ToolStart again = DecideStart(ParseFrameworkCommandLine(args));
    FUZZ_CHECK(again.mode == tool.mode && again.name == tool.name && again.handle == tool.handle &&
               again.flags == tool.flags && again.editWord == tool.editWord && again.action == tool.action);

    const std::string& text = args[0];
    if (text.find_first_of("\t\n\v\f\r") == std::string::npos && text.find('\0') == std::string::npos) {
        errno = 0;
        const long expected = std::strtol(text.c_str(), nullptr, 10);
        FUZZ_CHECK(LeadingNumber(text) == expected);
    }
    return 0;
}
