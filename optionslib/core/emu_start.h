#pragma once
// One-call start of ePSXe for outside callers: the chosen plugins and the
// options kept in the interface key go into ePSXe's key (ePSXe reads them at
// start-up), then ePSXe starts with its cards and cheat file on the command
// line.
//
// Choices where the caller could otherwise get something it did not ask for:
// - The command line is composed in full first. When it would not fit the
//   2048-byte command buffer (2047 characters), or one of the interface key's
//   texts ("CmdLine", "BIOS", "Pad1" ... "Pad11") is longer than 259 bytes,
//   the start is refused: nothing is written to the registry, nothing is
//   started, the result is false. A line or a value is never cut.
// - An empty executable path is refused the same way: there is nothing to start.
// - The executable path goes onto the command line in quotes, so a folder with
//   blanks names ePSXe itself and not "C:\Program.exe"; a path the caller
//   quoted already is taken without its quotes. Its folder (up to the last
//   backslash or slash) holds the card folder. A path without either has no
//   card folder: relative card names are passed as given (ePSXe then looks for
//   them in its current folder).
// - The cheat file and the cards are quoted by the rules ePSXe's run-time
//   splits its command line with (a trailing backslash is doubled, so it
//   cannot swallow the closing quote). A text argument holding a quote
//   character, which no Windows file name can, is refused: it could only end
//   the quoted text early and add options of its own.

#include <cstddef>
#include <optional>
#include <string>

#include "common/platform/registry.h"
#include "optionslib/core/pad_config.h"

namespace dravolo::kstuff {

inline constexpr std::size_t kCommandLineBufferBytes = 2048;

struct EmuStartRequest {
    std::string executable;      // argument 1: start of the command line
    std::string videoPlugin;     // 2
    std::string soundPlugin;     // 3
    std::string cdromPlugin;     // 4
    std::string card1;           // 7, may be empty
    std::string card2;           // 8, may be empty
    bool cardPathsFull = false;  // 9: card names taken as given, else below the card folder
    std::string cheatFile;       // 10, may be empty
    std::string netPlugin;       // 11
};

// What the start will do: the values for ePSXe's key and the command line.
struct EmuStartPlan {
    RegBatch emulatorValues;
    std::string commandLine;
};

// Why a start did not happen.
enum class EmuStartError {
    None,
    EmptyExecutable,     // argument 1 is empty
    QuoteInArgument,     // a text argument holds a quote character
    ValueTooLong,        // an interface text is longer than 259 bytes
    CommandLineTooLong,  // the line would not fit 2047 characters
    NotStarted,          // the process could not be created
};

// Reads the interface key (never creates it) and plans the start; nullopt when
// the start is refused (see above), with the reason in *error.
std::optional<EmuStartPlan> PlanEmuStart(Registry& registry, const EmuStartRequest& request,
                                         EmuStartError* error = nullptr);

// "C:\\EPSXE\\epsxe.exe" -> "C:\\EPSXE\\memcards\\" (a quoted path is taken
// without its quotes; '/' separates as '\\' does); empty without a separator.
std::string CardFolderFor(std::string_view executable);

// Plans, writes ePSXe's key in one batch and starts the command line. True
// when the emulator process was created; it is not waited for. Otherwise the
// reason is in *error.
bool StartEmulator(Registry& registry, const EmuStartRequest& request, const ProcessStarter& start,
                   EmuStartError* error = nullptr);

}  // namespace dravolo::kstuff
