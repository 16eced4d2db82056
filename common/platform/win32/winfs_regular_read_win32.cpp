// Bounded reads of regular files on Windows: a name that opens a device or a
// pipe is refused before anything is read.

#include "common/platform/windows_api.h"

#include <algorithm>

#include "common/platform/winfs.h"

namespace dravolo {

RegularFileContent ReadRegularFile(std::string_view path, std::size_t maxSize) {
    RegularFileContent result;
    const std::string name(path);
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        result.status = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? RegularFileRead::Missing
                                                                                      : RegularFileRead::Failed;
        return result;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(h);
        result.status = RegularFileRead::NotRegular;
        return result;
    }
    const std::uint64_t size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    if (size > maxSize) {
        CloseHandle(h);
        result.status = RegularFileRead::TooLarge;
        return result;
    }
    // Room for the size found and one byte more, which tells a file that grew
    // since; it grows up to one byte beyond the limit.
    Bytes bytes(static_cast<std::size_t>(std::min<std::uint64_t>(size, maxSize)) + 1);
    std::size_t filled = 0;
    while (true) {
        if (filled == bytes.size()) {
            if (bytes.size() > maxSize) break;
            bytes.resize(std::min(bytes.size() * 2, maxSize + 1));
        }
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - filled, 1u << 30));
        if (!ReadFile(h, bytes.data() + filled, want, &got, nullptr)) {
            CloseHandle(h);
            result.status = RegularFileRead::Failed;
            return result;
        }
        if (got == 0) break;
        filled += got;
    }
    CloseHandle(h);
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
