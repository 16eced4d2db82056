#include "optionslib/core/option_values.h"

namespace dravolo::kstuff {

namespace {
constexpr int kDriveEntries = 27;  // "First" + 26 letters
}

std::vector<std::string> CdDriveEntries() {
    std::vector<std::string> entries{"First"};
    for (char letter = 'A'; letter <= 'Z'; ++letter) entries.push_back(std::string{letter, ':'});
    return entries;
}

int CdDriveEntryForLetter(std::uint32_t letter) {
    if (letter < 'A' || letter > 'Z') return 0;
    return static_cast<int>(letter) - 64;
}

std::uint32_t LetterForCdDriveEntry(int entry) {
    if (entry <= 0 || entry >= kDriveEntries) return kFirstCdDrive;
    return static_cast<std::uint32_t>(entry + 64);
}

int CountryEntryForValue(std::uint32_t country) {
    switch (country) {
    case kCountryNtsc: return 1;
    case kCountryPal: return 2;
    default: return 0;
    }
}

std::uint32_t CountryValueForEntry(int entry) {
    if (entry <= 0 || entry >= static_cast<int>(kCountryEntries.size())) return kCountryAutodetect;
    return static_cast<std::uint32_t>(entry - 1);
}

}  // namespace dravolo::kstuff
