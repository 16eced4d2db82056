#include "common/platform/inherited_handle.h"
#include "common/platform/posix/fd_io.h"

namespace dravolo {

bool WriteAllToInheritedHandle(std::int64_t handle, const std::uint8_t* data, std::size_t size) {
    if (handle < 0 || handle > 0x7FFFFFFF) return false;
    // One write; a pipe may still take a large record in parts.
    return posix::WriteAllFd(static_cast<int>(handle), data, size);
}

}  // namespace dravolo
