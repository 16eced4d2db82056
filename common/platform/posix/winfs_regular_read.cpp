// Bounded reads of regular files on POSIX: what a folder holds is checked
// before it is opened, so a FIFO or a link to a device never blocks or floods
// the reader.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/platform/bounded_read.h"
#include "common/platform/winfs.h"
#include "common/platform/posix/fd_io.h"

namespace dravolo {

RegularFileContent ReadRegularFile(std::string_view path, std::size_t maxSize) {
    RegularFileContent result;
    const std::string host = ToHostPath(path);
    struct stat st {};
    if (stat(host.c_str(), &st) != 0) {
        result.status = errno == ENOENT || errno == ENOTDIR ? RegularFileRead::Missing : RegularFileRead::Failed;
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.status = RegularFileRead::NotRegular;
        return result;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxSize) {
        result.status = RegularFileRead::TooLarge;
        return result;
    }
    // Non-blocking in case the name was replaced by a FIFO since the stat;
    // the descriptor is checked again.
    const int fd = open(host.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result.status = errno == ENOENT ? RegularFileRead::Missing : RegularFileRead::Failed;
        return result;
    }
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        result.status = RegularFileRead::NotRegular;
        return result;
    }
    RegularFileContent content = ReadBoundedContent(static_cast<std::uint64_t>(st.st_size), maxSize,
                                                    [fd](std::uint8_t* buffer, std::size_t count) -> std::ptrdiff_t {
                                                        return posix::ReadRetrying(fd, buffer, count);
                                                    });
    close(fd);
    return content;
}

}  // namespace dravolo
