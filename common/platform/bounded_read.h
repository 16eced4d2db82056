#pragma once
// The part of ReadRegularFile that every system shares: reading an opened
// regular file to its end without ever holding more than the limit and one
// byte, so a file that grew since its size was taken is still told apart.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "common/platform/winfs.h"

namespace dravolo {

// read(buffer, count): the bytes read, 0 at the end, negative on failure.
using ChunkReader = std::function<std::ptrdiff_t(std::uint8_t* buffer, std::size_t count)>;

// knownSize: the size the file had when it was opened (at most maxSize).
// Ok with the bytes, TooLarge, or Failed.
RegularFileContent ReadBoundedContent(std::uint64_t knownSize, std::size_t maxSize, const ChunkReader& read);

}  // namespace dravolo
