#pragma once
// The configuration report: a caller starts the tool with "#HANDLE;FLAGS" and
// reads one record from the handle: 4096 bytes of text and two lengths, then
// the icon bytes of the two memory cards.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/base/bytes.h"
#include "common/platform/registry.h"
#include "common/psemu/plugin_module.h"

namespace dravolo::tool {

// Which lines the caller wants.
enum ReportFlag : std::uint32_t {
    kReportExe = 0x001,
    kReportGpu = 0x002,
    kReportSpu = 0x004,
    kReportCdr = 0x008,
    kReportPad = 0x010,
    kReportPad1 = 0x020,
    kReportPad2 = 0x040,
    kReportCard1 = 0x080,
    kReportCard2 = 0x100,
    kReportInfo = 0x200,
    kReportNet = 0x400,
};

inline constexpr std::size_t kReportTextBytes = 4088;
inline constexpr std::size_t kReportMaxTextLength = 4086;
inline constexpr std::size_t kReportHeaderBytes = 4096;

// A memory card's one-line summary and its icon records.
struct CardSummary {
    std::string text = " ";
    Bytes icons;
};
// Summarises the card file at a path; nullopt is "no card".
using CardSummariser = std::function<CardSummary(const std::optional<std::string>& cardPath)>;
// The tool's own card reader (card_summary.h) is ReportCardSummary.

struct Report {
    std::string text;
    Bytes card1Icons;
    Bytes card2Icons;
};

// The card file of a slot (0 or 1) of the configuration key: the custom
// card's path when "CustomCards" is nonzero, else the managed card numbered by
// "MemCard0"/"MemCard1" in the emulator's "MemCards" folder; nullopt for none.
std::optional<std::string> ReportCardPath(Registry& registry, std::string_view configurationKey,
                                          std::string_view emulatorDirectory, int slot);

// A plugin's title: "name major.minor" of the low 16 bits of its version;
// empty when the file does not load or lacks PSEgetLibName or PSEgetLibVersion.
std::string PluginFileTitle(std::string_view path, PluginLoader& loader);

// emulatorPath is empty when it could not be built: only the "0INFO" line
// can be produced then.
Report BuildReport(Registry& registry, std::string_view configurationName, std::uint32_t flags,
                   std::string_view emulatorPath, const CardSummariser& summarise);

// The record as it is written: text (cut to 4086 characters, NUL-terminated)
// in bytes 0 to 4087, the two icon lengths little-endian at 4088 and 4092,
// then the icon bytes.
Bytes EncodeReportRecord(const Report& report);

// Writes the record to the caller's handle in one write (a file descriptor
// on POSIX, an inherited handle on Windows). False when it could not be
// written whole.
bool WriteReportRecord(std::int64_t handle, const Bytes& record);

}  // namespace dravolo::tool
