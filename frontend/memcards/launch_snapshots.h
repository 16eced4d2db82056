#pragma once
// The snapshots a launch takes of a profile's two memory cards, before it
// writes the emulator's configuration.

#include <array>
#include <ctime>
#include <string>
#include <string_view>

#include "frontend/core/emulator_kind.h"
#include "frontend/profiles/records.h"

namespace dravolo {
class SettingsStore;
}

namespace dravolo::memcards {

// The card files the launch hands the emulator, as host-independent Windows
// paths: the record's two card fields for ePSXe, PSinex and PCSX, the card
// lines of the profile's FPSE settings file for FPSE (the file the launch
// copies over FPSE.INI), none for AdriPSX (its writer names no cards). A
// relative path is the emulator's: it is taken from its install folder.
std::array<std::string, 2> LaunchCardPaths(EmulatorKind kind, std::string_view profileName,
                                           const AnyProfileRecord& record, const SettingsStore& settings);

// "CardSnapshots" (default 10; 0 turns snapshots off).
int SnapshotLimit(const SettingsStore& settings);

// Snapshots of both cards into the profile's snapshot folder. Never fails the
// launch: a card that cannot be copied is left as it is.
void TakeLaunchSnapshots(EmulatorKind kind, std::string_view profileName, const AnyProfileRecord& record,
                         const SettingsStore& settings, std::time_t now = std::time(nullptr));

}  // namespace dravolo::memcards
