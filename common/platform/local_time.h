#pragma once
// The broken-down local time of a moment, thread-safe on every system
// (localtime_s on Windows, localtime_r elsewhere).

#include <ctime>
#include <optional>

namespace dravolo {

// nullopt when the system cannot convert it.
std::optional<std::tm> LocalTimeOf(std::time_t when);

}  // namespace dravolo
