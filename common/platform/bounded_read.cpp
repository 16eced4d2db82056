#include "common/platform/bounded_read.h"

#include <algorithm>

namespace dravolo {

RegularFileContent ReadBoundedContent(std::uint64_t knownSize, std::size_t maxSize, const ChunkReader& read) {
    RegularFileContent result;
    // Room for the size found and one byte more, which tells a file that grew
    // since; it grows up to one byte beyond the limit.
    Bytes bytes(static_cast<std::size_t>(std::min<std::uint64_t>(knownSize, maxSize)) + 1);
    std::size_t filled = 0;
    while (true) {
        if (filled == bytes.size()) {
            if (bytes.size() > maxSize) break;
            bytes.resize(std::min(bytes.size() * 2, maxSize + 1));
        }
        const std::ptrdiff_t n = read(bytes.data() + filled, bytes.size() - filled);
        if (n < 0) {
            result.status = RegularFileRead::Failed;
            return result;
        }
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    if (filled > maxSize) {
        result.status = RegularFileRead::TooLarge;
        return result;
    }
    bytes.resize(filled);
    result.status = RegularFileRead::Ok;
    result.bytes = std::move(bytes);
    return result;
}

}  // namespace dravolo
