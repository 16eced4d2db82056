#pragma once
// Starting Windows programs from a Windows command line. On POSIX the program is
// found as CreateProcess finds it without an application name (an unquoted first
// token with blanks is tried prefix by prefix, ".exe" appended to a name without
// extension); a native executable runs directly, a PE file through the runner
// (DRAVOLO_RUNNER, default "wine"). StartProcess hands a PE file's command
// line, flags, working directory and start-up information to our Windows
// helper (winhelper.exe) under the runner, which passes them to CreateProcessA
// unchanged; without the helper the runner gets the program's Windows path and
// the arguments, and Wine rebuilds the line from them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravolo {

struct StartOptions {
    // STARTUPINFO: when set, dwFlags gets STARTF_USESHOWWINDOW with this show
    // command (SW_HIDE 0, SW_SHOWNORMAL 1, SW_SHOWMINIMIZED 2, ...).
    std::optional<unsigned> showWindow;
    // STARTUPINFO: when set, dwFlags gets STARTF_USEPOSITION and the program's
    // first window opens with its top-left corner here (dwX, dwY).
    struct Position {
        int x = 0, y = 0;
    };
    std::optional<Position> position;
    // Console programs get a new console (CREATE_NEW_CONSOLE).
    bool newConsole = false;
    // POSIX: the command a Windows (PE) program runs through, split on blanks
    // ("wine", "env WINEPREFIX=/x wine"). Empty: DRAVOLO_RUNNER, else "wine".
    // Ignored on Windows.
    std::string runner;
};

// Splits a command line into arguments by the rules of CommandLineToArgvW /
// the Microsoft C run-time (quotes, backslashes before quotes).
std::vector<std::string> SplitCommandLine(std::string_view commandLine);
// Quotes one argument so that SplitCommandLine gives it back unchanged. Only
// when needed, unless alwaysQuote (for programs that expect quotes anyway).
std::string QuoteArgument(std::string_view argument, bool alwaysQuote = false);

// The program file a command line names, found as CreateProcess finds it
// (relative names against workingDir); nullopt when none exists.
struct ResolvedProgram {
    std::string program;    // Windows path of the file found
    std::string arguments;  // the rest of the command line, as written
};
std::optional<ResolvedProgram> ResolveProgram(std::string_view commandLine, std::string_view workingDir);

// Starts without waiting. workingDir empty: the current directory. False when
// the program cannot be found or started.
bool StartProcess(std::string_view commandLine, std::string_view workingDir, const StartOptions& options = {});
// Starts and waits; the exit code, or nullopt when it could not be started.
std::optional<int> RunAndWait(std::string_view commandLine, std::string_view workingDir,
                              const StartOptions& options = {});

// The host directory our own executable is in (helpers such as winhelper.exe
// and pluginhost.exe are installed beside it); empty when unknown.
std::string OwnProgramDirectory();

// One of our helper programs (winhelper.exe, pluginhost.exe): beside our own
// executable, else in the private program folder an installed program in
// bin/ has next to it (../libexec/dravolo). Host path; empty when neither
// holds it.
std::string OwnHelperProgram(std::string_view fileName);

}  // namespace dravolo
