#pragma once
// The one-line summary of a memory card and its 160-byte icon records, as the
// "Memcards" tab lists them and the configuration report sends them. This is
// the tool's own reading, not the card library's: it walks the first 32
// directory frames, takes the saves to lie one after another from block 1 in
// directory order, and converts only full-width Latin titles.

#include <optional>
#include <string>
#include <string_view>

#include "tool/core/report.h"

namespace dravolo::tool {

inline constexpr std::string_view kSummaryNone = " ";
inline constexpr std::string_view kSummaryNotFormatted = "not formatted";
inline constexpr std::string_view kSummaryBlockError = "block error";
inline constexpr std::string_view kSummaryEmpty = "formatted, no blocks used";
inline constexpr std::size_t kIconRecordSize = 160;

// nullopt is "no card" (" "). Icon bytes are gathered only when asked for.
CardSummary SummariseCard(const std::optional<std::string>& cardPath, bool withIcons = true);
// The summary with icons, as the report's card lines take it.
inline CardSummary ReportCardSummary(const std::optional<std::string>& cardPath) { return SummariseCard(cardPath); }

// A save title: up to 15 two-byte characters; a full-width character
// (first byte 0x82) becomes its ANSI letter, anything else ends the title.
std::string ConvertSaveTitle(std::string_view titleBytes);

}  // namespace dravolo::tool
