// The report goes to a handle the caller let the tool inherit: a HANDLE on
// Windows, a file descriptor number elsewhere.

#include "tool/core/report.h"

#ifdef _WIN32
#include "common/platform/windows_api.h"
#else
#include "common/platform/posix/fd_io.h"
#endif

namespace dravolo::tool {

bool WriteReportRecord(std::int64_t handle, const Bytes& record) {
#ifdef _WIN32
    HANDLE target = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(handle));
    DWORD written = 0;
    return WriteFile(target, record.data(), static_cast<DWORD>(record.size()), &written, nullptr) &&
           written == record.size();
#else
    if (handle < 0 || handle > 0x7FFFFFFF) return false;
    const int fd = static_cast<int>(handle);
    // One write; a pipe may still take a large record in parts.
    return posix::WriteAllFd(fd, record.data(), record.size());
#endif
}

}  // namespace dravolo::tool
