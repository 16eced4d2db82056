#pragma once
// What an option sheet shows: one emulator's option page, plugin page and
// memory-card page, or the memory-card page alone.

#include <variant>

#include "frontend/core/emulator_kind.h"

namespace dravolo {

// The memory-card page alone, without a profile: the Tools menu's "Memcard Tool".
struct MemcardsOnly {
    friend bool operator==(MemcardsOnly, MemcardsOnly) = default;
};
inline constexpr MemcardsOnly kMemcardsOnly{};

using SheetKind = std::variant<EmulatorKind, MemcardsOnly>;

}  // namespace dravolo
