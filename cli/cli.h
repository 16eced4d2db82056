#pragma once
// dravolo-cli: every front-end operation without a window. The commands run in
// the current directory as the front end's working directory and in the prefix
// of DRAVOLO_PREFIX. Texts arrive and leave in the terminal's encoding (UTF-8 on
// POSIX) and are ANSI inside.

#include <iosfwd>
#include <string>
#include <vector>

#include "common/base/prompter.h"

namespace dravolo::cli {

// kSectorsSkipped: cd extract --skip-bad finished with sectors it could not read.
enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2, kSectorsSkipped = 3 };

struct Context {
    std::ostream& out;
    std::ostream& err;
    Prompter& prompter;
};

// False for the commands that only print (help, the version): they need no
// working directory and create none.
bool NeedsWorkingDirectory(const std::vector<std::string>& args);

// Arguments without the program name, already converted to ANSI.
int Run(const std::vector<std::string>& args, Context& context);

int RunProfiles(const std::vector<std::string>& args, Context& context);
int RunSettings(const std::vector<std::string>& args, Context& context);
int RunReg(const std::vector<std::string>& args, Context& context);
int RunLaunch(const std::vector<std::string>& args, Context& context);
int RunPlugins(const std::vector<std::string>& args, Context& context);
int RunQuickConfigure(const std::vector<std::string>& args, Context& context);
int RunCd(const std::vector<std::string>& args, Context& context);
int RunMemcard(const std::vector<std::string>& args, Context& context);

// The program's arguments (UTF-8, as a terminal or Windows' wide command line
// gives them) in ANSI. False, with the reason on err, when one holds a
// character the ANSI code page has no room for: it would silently become '?'
// in a profile, a path or a registry value.
bool ArgumentsToAnsi(const std::vector<std::string>& utf8Args, std::vector<std::string>& ansi, std::ostream& err);

// ANSI text as the terminal shows it.
std::string ForTerminal(std::string_view ansi);
std::string FromTerminal(std::string_view text);

// Writes "caption: text" for a message, in the terminal's encoding.
void Report(Context& context, std::string_view text, std::string_view caption);
// " (Epsxe\Crash.set: Permission denied)": what follows the program's own
// line when it failed for that cause; empty for a cause never set.
std::string CauseForTerminal(const Error& cause);

}  // namespace dravolo::cli
