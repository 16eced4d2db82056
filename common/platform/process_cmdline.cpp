// Command-line splitting and quoting by CommandLineToArgvW's rules, so that a
// program we start natively sees the arguments a Windows program would.

#include "common/platform/process.h"

namespace dravolo {

namespace {
bool IsArgBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

// Rules:
//  - blanks outside quotes separate arguments; quotes group and are dropped;
//  - 2n backslashes before a quote give n backslashes, and the quote counts;
//    2n+1 give n backslashes and a literal quote;
//  - backslashes not before a quote are literal;
//  - inside quotes, "" gives a literal quote and ends the quoted part
//    (CommandLineToArgvW; newer C run-times stay quoted, we follow the former).
// Unlike CommandLineToArgvW the first token gets no special treatment: callers
// pass the arguments after the program name.
std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> out;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (true) {
        while (i < n && IsArgBlank(line[i])) ++i;
        if (i >= n) break;
        std::string arg;
        bool quoted = false;
        while (i < n && (quoted || !IsArgBlank(line[i]))) {
            const char c = line[i];
            if (c == '\\') {
                std::size_t count = 0;
                while (i < n && line[i] == '\\') ++count, ++i;
                if (i < n && line[i] == '"') {
                    arg.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        arg.push_back('"');
                        ++i;
                    }
                } else {
                    arg.append(count, '\\');
                }
            } else if (c == '"') {
                ++i;
                if (quoted && i < n && line[i] == '"') {
                    arg.push_back('"');
                    ++i;
                    quoted = false;
                } else {
                    quoted = !quoted;
                }
            } else {
                arg.push_back(c);
                ++i;
            }
        }
        out.push_back(std::move(arg));
    }
    return out;
}

std::string QuoteArgument(std::string_view argument, bool alwaysQuote) {
    if (!alwaysQuote && !argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string_view::npos)
        return std::string(argument);
    std::string out = "\"";
    for (std::size_t i = 0; i < argument.size(); ++i) {
        std::size_t backslashes = 0;
        while (i < argument.size() && argument[i] == '\\') ++backslashes, ++i;
        if (i == argument.size()) {
            out.append(backslashes * 2, '\\');  // they precede our closing quote
            break;
        }
        if (argument[i] == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        out.push_back(argument[i]);
    }
    out.push_back('"');
    return out;
}

}  // namespace dravolo
