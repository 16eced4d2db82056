#pragma once
// The options the dialog edits, and how the stored numbers map to the entries
// of its two drop-down lists.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "optionslib/core/interface_key.h"

namespace dravolo::kstuff {

inline constexpr std::uint32_t kFirstCdDrive = 0;
inline constexpr std::uint32_t kCountryAutodetect = 255;
inline constexpr std::uint32_t kCountryNtsc = 0;
inline constexpr std::uint32_t kCountryPal = 1;

struct OptionValues {
    std::string cmdLine;
    std::string bios;
    std::array<bool, kSwitchCount> switches{};
    std::uint32_t cdromLetter = kFirstCdDrive;  // 0, or 'A' (65) to 'Z' (90)
    std::uint32_t country = kCountryAutodetect;
};

// "First", then "A:" to "Z:".
std::vector<std::string> CdDriveEntries();
inline constexpr std::array<std::string_view, 3> kCountryEntries = {"Autodetect", "NTSC", "PAL"};

// A stored letter selects its entry; 0 and anything that is not 'A' to 'Z'
// selects "First", so an odd value can never leave the list without a choice.
int CdDriveEntryForLetter(std::uint32_t letter);
// Entry 0 ("First") or no selection (-1) stores 0; entry n stores 'A' + n - 1.
std::uint32_t LetterForCdDriveEntry(int entry);

// 0 selects "NTSC", 1 "PAL", every other value "Autodetect".
int CountryEntryForValue(std::uint32_t country);
// "Autodetect" or no selection stores 255, "NTSC" 0, "PAL" 1.
std::uint32_t CountryValueForEntry(int entry);

}  // namespace dravolo::kstuff
