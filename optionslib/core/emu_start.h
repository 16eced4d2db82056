#pragma once
// One-call start of ePSXe for outside callers: the chosen plugins and the
// options kept in the interface key go into ePSXe's key (ePSXe reads them at
// start-up), then ePSXe starts with its cards and cheat file on the command
// line.
//
// Choices where the caller could otherwise get something it did not ask for:
// - The command line is composed in full first. When it would not fit the
//   2048-byte command buffer (2047 characters), or the interface key's
//   "CmdLine" is longer than 259 bytes, the start is refused: nothing is
//   written to the registry, nothing is started, the result is false. A line
//   is never cut.
// - An empty executable path is refused the same way: there is nothing to start.
// - An executable path without a backslash has no card folder: relative card
//   names are passed as given (ePSXe then looks for them in its current folder).

#include <cstddef>
#include <optional>
#include <string>

#include "common/platform/registry.h"
#include "optionslib/core/pad_config.h"

namespace dravolo::kstuff {

inline constexpr std::size_t kCommandLineBufferBytes = 2048;

struct EmuStartRequest {
    std::string executable;   // argument 1: start of the command line
    std::string videoPlugin;  // 2
    std::string soundPlugin;  // 3
    std::string cdromPlugin;  // 4
    std::string card1;        // 7, may be empty
    std::string card2;        // 8, may be empty
    bool cardPathsFull = false;  // 9: card names taken as given, else below the card folder
    std::string cheatFile;    // 10, may be empty
    std::string netPlugin;    // 11
};

// What the start will do: the values for ePSXe's key and the command line.
struct EmuStartPlan {
    RegBatch emulatorValues;
    std::string commandLine;
};

// Reads the interface key (never creates it) and plans the start; nullopt when
// the start is refused (see above).
std::optional<EmuStartPlan> PlanEmuStart(Registry& registry, const EmuStartRequest& request);

// "C:\\EPSXE\\epsxe.exe" -> "C:\\EPSXE\\memcards\\"; empty without a backslash.
std::string CardFolderFor(std::string_view executable);

// Plans, writes ePSXe's key in one batch and starts the command line. True
// when the emulator process was created; it is not waited for.
bool StartEmulator(Registry& registry, const EmuStartRequest& request, const ProcessStarter& start);

}  // namespace dravolo::kstuff
