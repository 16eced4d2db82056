#pragma once
// The fixed lists and small rules of the option pages, apart from the
// widgets: the BIOS files of an emulator, the "CDR Drive:" entries and how a
// stored letter is found among them, PCSX's HLE BIOS entry, the country lists,
// FPSE's cache size range and the default extension of the file choosers.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dravolo {

// Full paths of the files matching "*.bin" in installPath + "bios\\", in the
// order the folder lists them; empty when the folder does not exist.
std::vector<std::string> FindBiosFiles(std::string_view installPath);

// PCSX offers the high-level BIOS as a list entry of its own and stores it as
// "HLE".
inline constexpr std::string_view kPcsxHleEntry = "USE HLE BIOS";
inline constexpr std::string_view kPcsxHleValue = "HLE";
std::string PcsxBiosShown(std::string_view stored);  // "HLE" -> "USE HLE BIOS"
std::string PcsxBiosStored(std::string_view shown);  // "USE HLE BIOS" -> "HLE"

// "First", "C" ... "Z", then one empty entry.
const std::vector<std::string>& CdrDriveEntries();
// The entry a stored CdromLetter selects: the first entry starting with it
// (ignoring case), except that "F" means the drive F and not "First".
// nullopt when no entry starts with it.
std::optional<int> CdrDriveEntryFor(std::string_view stored);
// What OK stores for the selected entry's text: the text, or "First" for none
// or the empty entry.
std::string CdromLetterFromEntry(std::string_view entryText);

inline constexpr std::array<std::string_view, 3> kCountryEntries = {"Autodetect", "NTSC", "PAL"};
inline constexpr std::array<std::string_view, 3> kFpseCountryEntries = {"United States", "Europe", "Japan"};

// FPSE's CD cache size: the arrows step by 16 and every value stays in 0..1024.
inline constexpr int kFpseCacheStep = 16;
inline constexpr int kFpseCacheMin = 0;
inline constexpr int kFpseCacheMax = 1024;
int ClampFpseCacheSize(long long size);

// An open-file dialog's default extension: a chosen name without an
// extension that does not exist as it is gets "." + extension.
std::string WithDefaultExtension(std::string_view path, std::string_view extension);

// Where a file chooser for the page's field opens (a Windows path): the
// current file when its folder exists, else the emulator's folder when that
// exists, else "" (the chooser's own default). A relative path is the
// emulator's: it starts in its own folder.
std::string BrowseStartPath(std::string_view current, std::string_view installPath);

// The framework-style filters of the file choosers.
inline constexpr std::string_view kBiosFilter = "Psx Bios (*.bin)|*.bin|All files(*.*)|*.*|";
inline constexpr std::string_view kEpsxeMemcardFilter =
    "ePSXe memsaves (*.mcr,*.mcd,*.mc,*.ddf)|*.mcr;*.mcd;*.mc;*.ddf|All files(*.*)|*.*|";
inline constexpr std::string_view kMemcard1Filter =
    "Memsaves (*.mcr,*.mcd,*.mc,*.ddf)|*.mcr;*.mcd;*.mc;*.ddf|All files(*.*)|*.*|";
inline constexpr std::string_view kMemcard2Filter =
    "Memsaves (*.mcr,*.mcd,*.mem,*.ddf)|*.mcr;*.mcd;*.mem;*.ddf|All files(*.*)|*.*|";
inline constexpr std::string_view kFpseMemcardFilter =
    "Fpse memsaves (*.mcd,*.mcr,*.mc,*.ddf)|*.mcd;*.mcr;*.mc;*.ddf|All files(*.*)|*.*|";
inline constexpr std::string_view kBiosExtension = "bin";
inline constexpr std::string_view kMemcardExtension = "mcr";

}  // namespace dravolo
