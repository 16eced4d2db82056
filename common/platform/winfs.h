#pragma once
// The file system seen through Windows paths. Every path here is an ANSI
// Windows path: "C:\\epsxe\\memcards\\a.mcr", ".\\Epsxe\\Crash.set",
// "Epsxe\\*.set"; on POSIX a path starting with '/' is taken as a host path.
// On POSIX drive letters resolve through the prefix's dosdevices links, each
// component is matched case-insensitively when the exact name does not exist
// (as Windows and Wine do), and names cross to the OS as UTF-8.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/bytes.h"
#include "common/base/error.h"

namespace dravolo {

// Host path for a Windows path (POSIX: resolved case-insensitively as far as the
// components exist; the rest is appended as written). Windows: the path itself.
std::string ToHostPath(std::string_view windowsPath);
// Windows path for a host path: "C:\\..." below drive_c, else "Z:\\..." (POSIX).
std::string ToWindowsPath(std::string_view hostPath);

// The process's current directory as a Windows path, and changing it.
std::string GetCurrentDir();
[[nodiscard]] bool SetCurrentDir(std::string_view windowsPath, Error* error = nullptr);

bool FileExists(std::string_view path);  // a file, not a directory
bool DirectoryExists(std::string_view path);
std::optional<std::uint64_t> FileSize(std::string_view path);

[[nodiscard]] std::optional<Bytes> ReadWholeFile(std::string_view path, Error* error = nullptr);
// Reads a file that must be a regular one of at most maxSize bytes, never
// blocking: a FIFO or device (which could block or never end) and a directory
// are refused without being read, a larger file without being read whole.
enum class RegularFileRead { Ok, Missing, NotRegular, TooLarge, Failed };
struct RegularFileContent {
    RegularFileRead status = RegularFileRead::Failed;
    Bytes bytes;  // only with Ok
};
RegularFileContent ReadRegularFile(std::string_view path, std::size_t maxSize);
// Replaces (or creates) the file atomically: temporary file beside it, fsync,
// rename over. Readers see the old or the new content, never a mix. A link
// stays a link and the file keeps its mode. A file that cannot be opened for
// writing is refused and left alone; one in a folder where no new file can
// be made is written in place.
[[nodiscard]] bool WriteWholeFileAtomic(std::string_view path, std::span<const std::uint8_t> data,
                                        Error* error = nullptr);

// Each of these fills error, when given, with the failing step, the path and
// the system's cause.
[[nodiscard]] bool CreateDir(std::string_view path, Error* error = nullptr);  // one level, like CreateDirectoryA
[[nodiscard]] bool RemoveDir(std::string_view path, Error* error = nullptr);
[[nodiscard]] bool DeleteFileAt(std::string_view path, Error* error = nullptr);
// MoveFile semantics: never replaces an existing target.
[[nodiscard]] bool RenameNoReplace(std::string_view from, std::string_view to, Error* error = nullptr);
// CopyFile semantics: failIfExists refuses an existing target.
[[nodiscard]] bool CopyFileTo(std::string_view from, std::string_view to, bool failIfExists, Error* error = nullptr);

// DOS wildcard search of "dir\\mask" ('*', '?'; "*.mc?" also matches "x.mc";
// "*.*" matches names without a dot). Names come back in the order NTFS lists
// them (case-insensitive ordinal), "." and ".." never.
struct FindEntry {
    std::string name;  // ANSI, as stored
    bool isDirectory = false;
};
enum class FindWhat { FilesOnly, FilesAndDirectories, DirectoriesOnly };
std::vector<FindEntry> FindFiles(std::string_view pattern, FindWhat what = FindWhat::FilesOnly);
// Does name match the DOS mask? Exposed for tests and for the few callers that
// filter their own lists.
bool MatchesDosMask(std::string_view name, std::string_view mask);

// An open file for record-style I/O (profiles are overwritten in place from
// byte 0, memory cards are patched in place while an emulator may hold them).
class WinFile {
public:
    enum class Mode {
        Read,          // existing file, read only
        ReadWrite,     // existing file, read and write, no truncation
        CreateNew,     // fails when the file exists
        CreateAlways,  // creates or truncates
    };
    [[nodiscard]] static std::unique_ptr<WinFile> Open(std::string_view path, Mode mode, Error* error = nullptr);

    virtual ~WinFile() = default;
    virtual bool Read(void* buffer, std::size_t count, std::size_t& got) = 0;
    virtual bool Write(const void* data, std::size_t count) = 0;
    virtual bool Seek(std::uint64_t offset) = 0;
    virtual std::optional<std::uint64_t> Size() = 0;
    virtual bool Truncate(std::uint64_t size) = 0;
    virtual bool Flush() = 0;  // data reaches the disk

    // Reads until count bytes or the end; false only on an I/O error.
    bool ReadAll(std::size_t count, Bytes& out);
};

// Converts LF line ends to CR LF (lines already ending in CR LF stay), as a
// text-mode write on Windows does.
std::string ToCrLf(std::string_view text);

}  // namespace dravolo
