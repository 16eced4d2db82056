#pragma once
// How KestrineTool is started. Callers use the framework's print-to form:
//   kestrinetool /pt NAME MODE
// The configuration name lands in the parser's file-name field and the mode
// word in its printer-name field; both are read back from there.

#include <cstdint>
#include <string>
#include <vector>

namespace dravolo::tool {

// The fields the framework's standard command-line parser fills.
struct FrameworkCommandLine {
    std::string fileName;
    std::string printerName;
    bool printTo = false;  // "/pt" or "-pt" was given
};

// args are the arguments after the program name, already split by the
// platform's rules. A flag is an argument starting with '/' or '-'; the first
// other argument is the file name, the next one (after "/pt") the printer name.
FrameworkCommandLine ParseFrameworkCommandLine(const std::vector<std::string>& args);

enum class StartMode {
    Exit,        // nothing to do: end at once, no window
    Report,      // "#HANDLE;FLAGS": write the report record and end
    Edit,        // "@WINDOW[!ACTION]": the main dialog
    RefuseName,  // an edit request for a name that is no usable key name
};

struct ToolStart {
    StartMode mode = StartMode::Exit;
    std::string name;  // configuration name ("PSEmu Pro" for the active area)
    // Report mode.
    std::int64_t handle = -1;  // Windows: inherited handle; elsewhere a file descriptor
    std::uint32_t flags = 0;
    // Edit mode: the text after '@', the caller's window and the action after '!'.
    std::string editWord;
    std::uintptr_t callerWindow = 0;
    long action = 0;
};

ToolStart DecideStart(const FrameworkCommandLine& commandLine);

// The leading decimal number of text as the C library's atol reads it:
// blanks, an optional sign, digits; 0 when there are none. Saturates instead
// of overflowing.
long LeadingNumber(const std::string& text);

}  // namespace dravolo::tool
