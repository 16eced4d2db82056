#include "cli/cli.h"

#include <algorithm>
#include <ostream>

#include "common/base/text.h"
#include "common/platform/native_text.h"

namespace dravolo::cli {

namespace {

constexpr const char* kUsageText =
    "usage: dravolo-cli [--yes|--no] [--workdir DIR] COMMAND ...\n"
    "  profiles list KIND\n"
    "  profiles new KIND NAME [--description TEXT] [--bitmap PATH]\n"
    "  profiles show KIND NAME\n"
    "  profiles set KIND NAME Field=value ...\n"
    "  profiles rename KIND OLD NEW\n"
    "  profiles delete KIND NAME ...\n"
    "  profiles shortcut KIND NAME [DIR]   # a .desktop file launching it (DIR: ~/Desktop)\n"
    "  launch KIND NAME\n"
    "  launch --dry-run KIND NAME      # what the launch would write and start; changes nothing\n"
    "  quick-configure KIND NAME gpu|spu|cdr\n"
    "  plugins list KIND [gpu|spu|cdr|pad]   # name, type, version, file (tab separated)\n"
    "  plugins test KIND FILE\n"
    "  plugins configure KIND FILE\n"
    "  plugins about KIND FILE\n"
    "  settings get KEY\n"
    "  settings set KEY VALUE\n"
    "  reg export FILE KEY\n"
    "  reg import FILE\n"
    "  cd drives [--interface auto|aspi|ioctl]\n"
    "  cd toc DRIVE [--interface auto|aspi|ioctl]\n"
    "  cd extract DRIVE FILE [--track N | --sectors FIRST-LAST | --read-only] [--speed auto|16x|8x|4x|3x|2x|1x]\n"
    "             [--interface auto|aspi|ioctl] [--no-cue] [--retries N] [--skip-bad]\n"
    "  memcard format FILE\n"
    "  memcard list FILE\n"
    "  memcard copy SRC SLOT DST SLOT\n"
    "  memcard erase FILE SLOT\n"
    "  memcard free FILE SLOT\n"
    "  memcard recover FILE SLOT       # bring back a save marked free\n"
    "  memcard check FILE [--repair]   # exit 0 clean, 1 findings, 2 cannot read\n"
    "  memcard import SRC DST          # SRC any memory-card format, DST a raw card\n"
    "  memcard convert SRC DST         # DST's format by its extension (.mcr .gme .mem .vmp .vm1 ...)\n"
    "  memcard export-save FILE SLOT OUT   # OUT .mcs/.ps1, .psx/.mcb/.mcx/.pda, .psv or raw\n"
    "  memcard import-save IN FILE [SLOT]  # into SLOT, else the first free slot\n"
    "  memcard snapshots KIND NAME     # the profile's card snapshots: id, date, card, saves\n"
    "  memcard restore KIND NAME ID    # a snapshot back over its card (asked; --yes)\n"
    "--workdir DIR keeps the profiles in DIR (made with the five profile folders when missing);\n"
    "  without it: the current folder, or ~/.local/share/dravolo when that is the home folder\n"
    "  without profile folders.\n"
    "KIND is a profile folder: Epsxe, Fpse, Psinex, Adripsx or Pcsx.\n"
    "DRIVE is adapter:target:lun as 'cd drives' lists it.\n"
    "SLOT is a memory-card slot, 1-15.\n"
    "COMMAND --help shows that command's lines; --version the program's version.\n"
    "Exit codes: 0 done, 1 failed (the reason on standard error), 2 bad usage,\n"
    "  3 cd extract --skip-bad finished with sectors it could not read.\n";

// The usage lines of one command ("profiles", "memcard list"), with the lines
// that continue them.
std::string UsageOf(const std::vector<std::string>& words) {
    std::string out;
    std::string_view text = kUsageText;
    bool inCommand = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.rfind("  ", 0) != 0) {
            inCommand = false;
            continue;
        }
        if (line.size() > 2 && line[2] == ' ') {  // a continuation of the line above
            if (inCommand) out.append(line).append("\n");
            continue;
        }
        std::string prefix = "  ";
        for (std::size_t i = 0; i < words.size(); ++i) prefix += (i ? " " : "") + words[i];
        const std::string_view rest = line.substr(std::min(line.size(), prefix.size()));
        inCommand = line.rfind(prefix, 0) == 0 && (rest.empty() || rest[0] == ' ');
        if (inCommand) out.append(line).append("\n");
    }
    return out;
}

}  // namespace

std::string ForTerminal(std::string_view ansi) { return NativeTextFromAnsi(ansi); }
std::string FromTerminal(std::string_view text) { return AnsiFromNativeText(text); }

bool ArgumentsToAnsi(const std::vector<std::string>& utf8Args, std::vector<std::string>& ansi, std::ostream& err) {
    ansi.clear();
    for (const std::string& arg : utf8Args) {
        if (const auto character = FirstUtf8CharacterOutsideAnsi(arg)) {
            err << "dravolo-cli: the character " << CodePointName(*character);
            // The terminal shows it (a Windows console may not).
            if (NativeTextIsUtf8() && *character != 0xFFFD) {
                std::u16string wide;
                if (*character < 0x10000) {
                    wide.push_back(static_cast<char16_t>(*character));
                } else {
                    wide.push_back(static_cast<char16_t>(0xD800 + ((*character - 0x10000) >> 10)));
                    wide.push_back(static_cast<char16_t>(0xDC00 + ((*character - 0x10000) & 0x3FF)));
                }
                err << " \"" << Utf16ToUtf8(wide) << "\"";
            }
            err << " in \"" << arg << "\" cannot be stored: the ANSI code page has no such character\n";
            return false;
        }
        ansi.push_back(Utf8ToAnsi(arg));
    }
    return true;
}

void Report(Context& context, std::string_view text, std::string_view caption) {
    context.err << ForTerminal(caption) << ": " << ForTerminal(text) << "\n";
}

std::string CauseForTerminal(const Error& cause) {
    const std::string details = cause.Describe();
    return details.empty() ? std::string() : " (" + ForTerminal(details) + ")";
}

bool NeedsWorkingDirectory(const std::vector<std::string>& args) {
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h" || arg == "--version") return false;
    return !args.empty() && args[0] != "help";
}

int Run(const std::vector<std::string>& args, Context& context) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        (args.empty() ? context.err : context.out) << kUsageText;
        return args.empty() ? kUsage : kOk;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "--version") {
        context.out << "dravolo-cli " << DRAVOLO_VERSION << "\n";
        return kOk;
    }
    // "COMMAND [SUBCOMMAND] ... --help": that command's usage lines.
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] != "--help" && args[i] != "-h") continue;
        std::vector<std::string> words{args[0]};
        if (i > 1) words.push_back(args[1]);
        std::string usage = UsageOf(words);
        if (usage.empty()) usage = UsageOf({args[0]});
        if (usage.empty()) break;  // an unknown command, said below
        context.out << "usage: dravolo-cli [--yes|--no] [--workdir DIR] COMMAND ...\n" << usage;
        return kOk;
    }
    if (args[0] == "profiles") return RunProfiles(rest, context);
    if (args[0] == "plugins") return RunPlugins(rest, context);
    if (args[0] == "launch") return RunLaunch(rest, context);
    if (args[0] == "quick-configure") return RunQuickConfigure(rest, context);
    if (args[0] == "settings") return RunSettings(rest, context);
    if (args[0] == "reg") return RunReg(rest, context);
    if (args[0] == "cd") return RunCd(rest, context);
    if (args[0] == "memcard") return RunMemcard(rest, context);
    context.err << "dravolo-cli: unknown command '" << ForTerminal(args[0]) << "'\n" << kUsageText;
    return kUsage;
}

}  // namespace dravolo::cli
