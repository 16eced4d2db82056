#pragma once
// A handle a parent process let us inherit, named by its number: a HANDLE's
// value on Windows, a file descriptor elsewhere.

#include <cstddef>
#include <cstdint>

namespace dravolo {

// Writes all of data; false when the handle is not one or the write fails.
bool WriteAllToInheritedHandle(std::int64_t handle, const std::uint8_t* data, std::size_t size);

}  // namespace dravolo
