// Windows paths on Windows: the A-functions take them as they are. Listings
// are matched and ordered by our own rules, so they look the same as on POSIX.

#include "common/platform/windows_api.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "common/base/text.h"
#include "common/platform/dry_run.h"
#include "common/platform/system_error.h"
#include "common/platform/winfs.h"

namespace dravolo {

namespace {

std::string Str(std::string_view s) { return std::string(s); }

// False with GetLastError()'s cause in *error, named by the caller's path.
bool Failed(Error* error, std::string_view operation, std::string_view path) {
    SetLastSystemError(error, operation, path);
    return false;
}
bool FailedWith(Error* error, std::string_view operation, std::string_view path, DWORD code) {
    SetSystemError(error, operation, path, code);
    return false;
}

class Win32File final : public WinFile {
public:
    explicit Win32File(HANDLE h) : h_(h) {}
    ~Win32File() override {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    void CloseNow() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

    bool Read(void* buffer, std::size_t count, std::size_t& got) override {
        got = 0;
        const DWORD chunk = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
        DWORD n = 0;
        if (!ReadFile(h_, buffer, chunk, &n, nullptr)) return false;
        got = n;
        return true;
    }
    bool Write(const void* data, std::size_t count) override {
        auto p = static_cast<const char*>(data);
        while (count > 0) {
            const DWORD chunk = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
            DWORD n = 0;
            if (!WriteFile(h_, p, chunk, &n, nullptr) || n == 0) return false;
            p += n;
            count -= n;
        }
        return true;
    }
    bool Seek(std::uint64_t offset) override {
        LARGE_INTEGER li;
        li.QuadPart = static_cast<LONGLONG>(offset);
        return offset <= 0x7FFFFFFFFFFFFFFFull && SetFilePointerEx(h_, li, nullptr, FILE_BEGIN);
    }
    std::optional<std::uint64_t> Size() override {
        LARGE_INTEGER li;
        if (!GetFileSizeEx(h_, &li)) return std::nullopt;
        return static_cast<std::uint64_t>(li.QuadPart);
    }
    bool Truncate(std::uint64_t size) override {
        LARGE_INTEGER zero{}, here{};
        if (!SetFilePointerEx(h_, zero, &here, FILE_CURRENT)) return false;
        if (!Seek(size) || !SetEndOfFile(h_)) return false;
        return SetFilePointerEx(h_, here, nullptr, FILE_BEGIN) != 0;
    }
    bool Flush() override { return FlushFileBuffers(h_) != 0; }

private:
    HANDLE h_;
};

// A new file beside target; its name goes to tempPath.
HANDLE CreateTempBeside(const std::string& target, std::string& tempPath) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = target + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
        HANDLE h = CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

std::string ToHostPath(std::string_view windowsPath) { return Str(windowsPath); }
std::string ToWindowsPath(std::string_view hostPath) { return Str(hostPath); }

std::string GetCurrentDir() {
    const DWORD need = GetCurrentDirectoryA(0, nullptr);
    if (need == 0) return {};
    std::string out(need, '\0');
    const DWORD got = GetCurrentDirectoryA(need, out.data());
    out.resize(got < need ? got : 0);
    return out;
}

bool SetCurrentDir(std::string_view windowsPath, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->ChangeDirectory(windowsPath);
        return DirectoryExists(windowsPath) || FailedWith(error, "change folder", windowsPath, ERROR_PATH_NOT_FOUND);
    }
    return SetCurrentDirectoryA(Str(windowsPath).c_str()) != 0 || Failed(error, "change folder", windowsPath);
}

bool FileExists(std::string_view path) {
    const DWORD a = GetFileAttributesA(Str(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(std::string_view path) {
    const DWORD a = GetFileAttributesA(Str(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::uint64_t> FileSize(std::string_view path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(Str(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<Bytes> ReadWholeFile(std::string_view path, Error* error) {
    auto file = WinFile::Open(path, WinFile::Mode::Read, error);
    if (!file) return std::nullopt;
    Bytes out;
    if (const auto size = file->Size()) out.reserve(static_cast<std::size_t>(*size));
    std::uint8_t buf[1 << 16];
    for (;;) {
        std::size_t got = 0;
        if (!file->Read(buf, sizeof buf, got)) {
            Failed(error, "read", path);
            return std::nullopt;
        }
        if (got == 0) break;
        out.insert(out.end(), buf, buf + got);
    }
    return out;
}

bool WriteWholeFileAtomic(std::string_view path, std::span<const std::uint8_t> data, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->WriteFile(path, data);
        return true;
    }
    const std::string target = Str(path);
    // CreateFile's own answer for a folder.
    if (DirectoryExists(target)) return FailedWith(error, "write", path, ERROR_ACCESS_DENIED);
    const bool existed = FileExists(target);
    // The file's own permission decides: a read-only file is not replaced.
    HANDLE current = INVALID_HANDLE_VALUE;
    if (existed) {
        current = CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (current == INVALID_HANDLE_VALUE) return Failed(error, "open", path);
    }
    Win32File currentFile(current);
    std::string temp;
    bool ok;
    {
        HANDLE h = CreateTempBeside(target, temp);
        if (h == INVALID_HANDLE_VALUE) {
            // A folder where no new file can be made: the file the user may
            // write is written in place.
            const DWORD code = GetLastError();
            if (!existed || code != ERROR_ACCESS_DENIED) return FailedWith(error, "create", path, code);
            if (!currentFile.Write(data.data(), data.size())) return Failed(error, "write", path);
            if (!currentFile.Truncate(data.size())) return Failed(error, "truncate", path);
            return currentFile.Flush() || Failed(error, "flush", path);
        }
        Win32File file(h);  // closed at the end of this block: the rename needs that
        ok = (file.Write(data.data(), data.size()) || Failed(error, "write", path)) &&
             (file.Flush() || Failed(error, "flush", path));
    }
    currentFile.CloseNow();  // ReplaceFile needs the target closed
    if (ok) {
        if (existed) {
            // ReplaceFile keeps the target's attributes and security; some
            // network shares refuse it, where a plain replacing move still works.
            ok = ReplaceFileA(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                              nullptr) ||
                 MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        } else {
            ok = MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
        }
        if (!ok) Failed(error, "rename", path);
    }
    if (!ok) DeleteFileA(temp.c_str());
    return ok;
}

bool CreateDir(std::string_view path, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->FileChange("create folder", path);
        return true;
    }
    return CreateDirectoryA(Str(path).c_str(), nullptr) != 0 || Failed(error, "create folder", path);
}
bool RemoveDir(std::string_view path, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->FileChange("remove folder", path);
        return DirectoryExists(path) || FailedWith(error, "remove folder", path, ERROR_PATH_NOT_FOUND);
    }
    return RemoveDirectoryA(Str(path).c_str()) != 0 || Failed(error, "remove folder", path);
}
bool DeleteFileAt(std::string_view path, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->FileChange("delete", path);
        return FileExists(path) || FailedWith(error, "delete", path, ERROR_FILE_NOT_FOUND);
    }
    return DeleteFileA(Str(path).c_str()) != 0 || Failed(error, "delete", path);
}

bool RenameNoReplace(std::string_view from, std::string_view to, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->FileChange("rename", std::string(from) + " -> " + std::string(to));
        return FileExists(from) || DirectoryExists(from) || FailedWith(error, "rename", from, ERROR_FILE_NOT_FOUND);
    }
    const std::string source = Str(from), target = Str(to);
    if (source == target || CompareNoCase(source, target) != 0)
        return MoveFileA(source.c_str(), target.c_str()) != 0 || Failed(error, "rename", from);
    // Only the case changes. NTFS renames in place, but Wine's MoveFile finds
    // the target as the source itself and keeps the old name: go through a
    // temporary name, and back again when the second step fails.
    static std::atomic<unsigned> counter{0};
    const std::string temp = source + ".ren" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    if (!MoveFileA(source.c_str(), temp.c_str())) return Failed(error, "rename", from);
    if (MoveFileA(temp.c_str(), target.c_str())) return true;
    Failed(error, "rename", from);
    MoveFileA(temp.c_str(), source.c_str());
    return false;
}

bool CopyFileTo(std::string_view from, std::string_view to, bool failIfExists, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->CopyFile(from, to);
        if (!FileExists(from)) return FailedWith(error, "copy", from, ERROR_FILE_NOT_FOUND);
        return !(failIfExists && FileExists(to)) || FailedWith(error, "copy", to, ERROR_FILE_EXISTS);
    }
    return CopyFileA(Str(from).c_str(), Str(to).c_str(), failIfExists ? TRUE : FALSE) != 0 ||
           Failed(error, "copy", from);
}

std::vector<FindEntry> FindFiles(std::string_view pattern, FindWhat what) {
    std::vector<FindEntry> out;
    const auto cut = pattern.find_last_of("\\/:");
    const std::string_view mask = cut == std::string_view::npos ? pattern : pattern.substr(cut + 1);
    if (mask.empty()) return out;
    // We list everything and match the mask ourselves: Windows also matches
    // 8.3 short names ("*.mc?" finds "a.mcrbackup" through "A~1.MCR"), and
    // Wine's matcher lacks DOS rules such as "*.mc?" finding "x.mc". This way
    // every system gives the same list.
    const std::string all = Str(pattern.substr(0, pattern.size() - mask.size())) + "*";
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(all.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        const std::string_view name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (!MatchesDosMask(name, mask)) continue;
        const bool isDir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if ((isDir && what == FindWhat::FilesOnly) || (!isDir && what == FindWhat::DirectoriesOnly)) continue;
        out.push_back({std::string(name), isDir});
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(out.begin(), out.end(), [](const FindEntry& a, const FindEntry& b) {
        const int c = CompareNoCase(a.name, b.name);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    return out;
}

std::unique_ptr<WinFile> WinFile::Open(std::string_view path, Mode mode, Error* error) {
    if (auto* dry = ActiveDryRun(); dry && mode != Mode::Read) {
        dry->FileChange("open for writing", path);
        SetError(error, "open", path, 0, "not opened for writing in a dry run");
        return nullptr;
    }
    DWORD access = GENERIC_READ | GENERIC_WRITE;
    DWORD disposition = OPEN_EXISTING;
    switch (mode) {
    case Mode::Read: access = GENERIC_READ; break;
    case Mode::ReadWrite: break;
    case Mode::CreateNew: disposition = CREATE_NEW; break;
    case Mode::CreateAlways: disposition = CREATE_ALWAYS; break;
    }
    // Shared both ways: an emulator may hold a memory card open while we patch it.
    HANDLE h = CreateFileA(Str(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        Failed(error, "open", path);
        return nullptr;
    }
    return std::make_unique<Win32File>(h);
}

}  // namespace dravolo
