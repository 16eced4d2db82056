#pragma once
// Where an emulator keeps its memory cards, which card files the page offers,
// and how an imported image is named.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/core/emulator_kind.h"

namespace dravolo {
class SettingsStore;
}

namespace dravolo::memcards {

// The emulator's install folder from the settings plus "memcards\" ("mems\"
// for AdriPSX). Without an emulator (the memory-card page alone) ePSXe's.
std::string MemcardDirectory(const SettingsStore& settings, std::optional<EmulatorKind> kind);

// Full paths of the card files in `directory` ("*.mc?", then "*.ddf"), lower
// case and sorted, as the page's drop-down lists show them.
std::vector<std::string> ListCardFiles(const std::string& directory);

// Sorted, lower-case insertion as the drop-down lists keep their entries.
void InsertSorted(std::vector<std::string>& entries, std::string entry);
// Index of the entry naming `path` (ignoring case), or -1.
int FindCardEntry(const std::vector<std::string>& entries, std::string_view path);

// An import of a foreign image into the card folder: the destination is the
// folder plus the chosen file's name, all lower case, with ".gme", ".vgs" or
// ".mem" replaced by ".mcr". headerSize is the header to drop, or nothing
// when the extension is none of those three. The other card formats' files
// (anyFormat) are read by their content and written as a raw card: ".mcr",
// ".mcd", ".mc" and ".ddf" keep their name, the rest become ".mcr". Any other
// extension imports nothing.
struct ImportPlan {
    std::string destination;
    std::optional<std::size_t> headerSize;
    bool anyFormat = false;
};
ImportPlan PlanImport(const std::string& directory, std::string_view chosenPath);

// "c:\\cards\\new" -> "c:\\cards\\new.mcr"; a name with an extension stays.
std::string WithDefaultExtension(std::string_view path, std::string_view extension);

}  // namespace dravolo::memcards
