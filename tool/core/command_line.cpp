#include "tool/core/command_line.h"

#include <cctype>
#include <limits>

#include "tool/core/config_name.h"

namespace dravolo::tool {

FrameworkCommandLine ParseFrameworkCommandLine(const std::vector<std::string>& args) {
    FrameworkCommandLine out;
    for (const std::string& arg : args) {
        if (!arg.empty() && (arg[0] == '/' || arg[0] == '-')) {
            // Only the print-to switch matters here; "/p", "/dde" and the others
            // would start a different shell command and leave the printer empty.
            const std::string flag = arg.substr(1);
            if (flag == "pt") {
                out.printTo = true;
            } else if (flag == "p" || flag == "dde") {
                out.printTo = false;
            }
            continue;
        }
        if (out.fileName.empty()) {
            out.fileName = arg;
        } else if (out.printTo && out.printerName.empty()) {
            out.printerName = arg;
        }
    }
    return out;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits right at the start (after blanks and a sign)?
bool StartsWithNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    return i < text.size() && IsDigit(text[i]);
}

}  // namespace

long LeadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Counted towards the sign's own limit, so that the lowest long, whose
    // magnitude no positive long holds, is read as well.
    long value = 0;
    constexpr long kMax = std::numeric_limits<long>::max();
    constexpr long kMin = std::numeric_limits<long>::min();
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        const int digit = text[i] - '0';
        if (!negative && value > (kMax - digit) / 10) return kMax;
        if (negative && value < (kMin + digit) / 10) return kMin;
        value = value * 10 + (negative ? -digit : digit);
    }
    return value;
}

ToolStart DecideStart(const FrameworkCommandLine& commandLine) {
    ToolStart start;
    start.name = commandLine.fileName;
    std::string mode = commandLine.printerName;
    if (start.name.empty()) return start;
    if (mode.empty()) {
        // The caller's shortcut for editing the active area itself.
        if (start.name != "XXX") return start;
        start.name = std::string(kActiveConfigurationName);
        mode = "@0";
    }

    if (mode[0] == '#') {
        // Report: "#HANDLE" or "#HANDLE;FLAGS". A handle that is no number
        // would write into whatever handle 0 is: nothing is written then.
        // A name that is no key name still gets its (empty) record: the
        // caller reads its pipe until one comes.
        const auto semicolon = mode.find(';');
        const std::string handleText =
            mode.substr(1, semicolon == std::string::npos ? std::string::npos : semicolon - 1);
        if (!StartsWithNumber(handleText)) return start;
        start.handle = LeadingNumber(handleText);
        if (start.handle < 0) return start;
        start.flags =
            semicolon == std::string::npos ? 0 : static_cast<std::uint32_t>(LeadingNumber(mode.substr(semicolon + 1)));
        start.mode = StartMode::Report;
        return start;
    }
    if (mode[0] == '@') {
        start.editWord = mode.substr(1);
        // The caller's window is known even for a refused name: it must be
        // enabled again whichever way the tool ends.
        start.callerWindow = static_cast<std::uintptr_t>(LeadingNumber(start.editWord));
        const auto bang = start.editWord.find('!');
        if (bang != std::string::npos) start.action = LeadingNumber(start.editWord.substr(bang + 1));
        start.mode = IsUsableConfigurationName(start.name) ? StartMode::Edit : StartMode::RefuseName;
        return start;
    }
    return start;
}

}  // namespace dravolo::tool
