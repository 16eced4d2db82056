#include "cli/cli.h"

#include <ostream>

#include "common/base/text.h"

namespace dravolo::cli {

namespace {

constexpr const char* kUsageText =
    "usage: dravolo-cli [--yes|--no] COMMAND ...\n"
    "  profiles list KIND\n"
    "  profiles new KIND NAME [--description TEXT] [--bitmap PATH]\n"
    "  profiles show KIND NAME\n"
    "  profiles set KIND NAME Field=value ...\n"
    "  profiles rename KIND OLD NEW\n"
    "  profiles delete KIND NAME ...\n"
    "  launch KIND NAME\n"
    "  quick-configure KIND NAME gpu|spu|cdr\n"
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
    "KIND is a profile folder: Epsxe, Fpse, Psinex, Adripsx or Pcsx.\n"
    "DRIVE is adapter:target:lun as 'cd drives' lists it.\n"
    "SLOT is a memory-card slot, 1-15.\n";

}  // namespace

#ifdef _WIN32
std::string ForTerminal(std::string_view ansi) { return std::string(ansi); }
std::string FromTerminal(std::string_view text) { return std::string(text); }
#else
std::string ForTerminal(std::string_view ansi) { return AnsiToUtf8(ansi); }
std::string FromTerminal(std::string_view text) { return Utf8ToAnsi(text); }
#endif

bool ArgumentsToAnsi(const std::vector<std::string>& utf8Args, std::vector<std::string>& ansi, std::ostream& err) {
    ansi.clear();
    for (const std::string& arg : utf8Args) {
        if (const auto character = FirstUtf8CharacterOutsideAnsi(arg)) {
            err << "dravolo-cli: the character " << CodePointName(*character);
#ifndef _WIN32
            // The terminal shows it (a Windows console may not).
            if (*character != 0xFFFD) {
                std::u16string wide;
                if (*character < 0x10000) {
                    wide.push_back(static_cast<char16_t>(*character));
                } else {
                    wide.push_back(static_cast<char16_t>(0xD800 + ((*character - 0x10000) >> 10)));
                    wide.push_back(static_cast<char16_t>(0xDC00 + ((*character - 0x10000) & 0x3FF)));
                }
                err << " \"" << Utf16ToUtf8(wide) << "\"";
            }
#endif
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

int Run(const std::vector<std::string>& args, Context& context) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        (args.empty() ? context.err : context.out) << kUsageText;
        return args.empty() ? kUsage : kOk;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "profiles") return RunProfiles(rest, context);
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
