// Bounded reads of regular files on Windows: a name that opens a device or a
// pipe is refused before anything is read.

#include "common/platform/windows_api.h"

#include <algorithm>

#include "common/platform/bounded_read.h"
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
    RegularFileContent content = ReadBoundedContent(size, maxSize, [h](std::uint8_t* buffer, std::size_t count) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(count, 1u << 30));
        if (!ReadFile(h, buffer, want, &got, nullptr)) return std::ptrdiff_t{-1};
        return static_cast<std::ptrdiff_t>(got);
    });
    CloseHandle(h);
    return content;
}

}  // namespace dravolo
