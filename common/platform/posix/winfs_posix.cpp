// Windows paths on a POSIX file system. A path is mapped component by
// component: the drive letter through the prefix's dosdevices link, a relative
// path from the current directory, and every name that does not exist as
// written is looked up without case in its directory, as Wine does. Names are
// ANSI on our side and UTF-8 on the disk.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>

#include "common/base/text.h"
#include "common/platform/dry_run.h"
#include "common/platform/posix/fd_io.h"
#include "common/platform/posix/file_replace.h"
#include "common/platform/prefix.h"
#include "common/platform/system_error.h"
#include "common/platform/winfs.h"

namespace dravolo {

namespace {

bool IsSep(char c) { return c == '\\' || c == '/'; }

bool IsDriveSpec(std::string_view p) {
    return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'a' && p[0] <= 'z') || (p[0] >= 'A' && p[0] <= 'Z'));
}

std::string HostCwd() {
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer)) return buffer;
    std::error_code ec;  // a deeper directory than PATH_MAX
    auto cwd = std::filesystem::current_path(ec);
    return ec ? std::string("/") : cwd.string();
}

std::string Join(const std::string& dir, std::string_view name) {
    std::string out = dir;
    if (out.empty() || out.back() != '/') out.push_back('/');
    out.append(name);
    return out;
}

bool EntryExists(const std::string& host) {
    struct stat st {};
    return lstat(host.c_str(), &st) == 0;
}

bool IsValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        for (std::size_t k = 1; k < len; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += len;
    }
    return true;
}

// A name from the disk in ANSI. Names that are not UTF-8 (copied from an old
// Latin-1 system, say) are taken as ANSI bytes, so they can be listed and
// opened again rather than turning into '?'.
std::string HostNameToAnsi(std::string_view name) { return IsValidUtf8(name) ? Utf8ToAnsi(name) : std::string(name); }

// A component of a host path ("/home/...") as the disk names it. The core's
// text is ANSI, so such paths mostly arrive in ANSI (dravolo-cli's arguments, a
// path typed into a field); one already in UTF-8 (from the OS) stays as it is.
// ANSI text with accents is practically never valid UTF-8.
std::string HostComponentOf(std::string_view written) {
    return IsValidUtf8(written) ? std::string(written) : AnsiToUtf8(written);
}

// The entry of dir whose name equals name without case; empty when none.
// Several candidates can exist on a case-sensitive disk: take the lowest in
// byte order so that the choice does not depend on the directory's order.
std::string FindNoCase(const std::string& dir, std::string_view utf8Name) {
    DIR* d = opendir(dir.c_str());
    if (!d) return {};
    const std::string wanted = HostNameToAnsi(utf8Name);
    std::string best;
    while (const dirent* e = readdir(d)) {
        const std::string_view n = e->d_name;
        if (n == "." || n == "..") continue;
        if (EqualsNoCase(HostNameToAnsi(n), wanted) && (best.empty() || n < best)) best = n;
    }
    closedir(d);
    return best;
}

// Windows drops trailing dots and blanks from every component ("abc." is
// "abc"); "." and ".." keep their meaning.
std::string_view TrimComponent(std::string_view c) {
    if (c == "." || c == "..") return c;
    while (!c.empty() && (c.back() == '.' || c.back() == ' ')) c.remove_suffix(1);
    return c;
}

class PathBuilder {
public:
    // floor: how far ".." may climb back (a drive's root, or "/").
    PathBuilder(std::string root, bool rootExists, std::size_t floor) : path_(std::move(root)), floor_(floor) {
        existing_ = rootExists ? path_.size() : 0;
    }

    void Add(std::string_view utf8) {
        if (utf8.empty() || utf8 == ".") return;
        if (utf8 == "..") {
            if (path_.size() <= floor_) return;  // ".." at a drive root stays there
            const auto slash = path_.rfind('/');
            path_.resize(std::max<std::size_t>(slash == 0 ? 1 : slash, floor_));
            if (existing_ >= path_.size()) existing_ = path_.size();  // a parent of what exists
            return;
        }
        const bool parentExists = existing_ == path_.size();
        std::string next = Join(path_, utf8);
        if (parentExists) {
            if (!EntryExists(next)) {
                if (std::string found = FindNoCase(path_, utf8); !found.empty()) next = Join(path_, found);
            }
            path_ = std::move(next);
            if (EntryExists(path_)) existing_ = path_.size();
        } else {
            path_ = std::move(next);
        }
    }

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::size_t floor_;
    std::size_t existing_ = 0;  // length of the prefix known to exist
};

std::string DriveRoot(char letter) {
    const std::string prefix = PrefixDirectory();
    const char lower = static_cast<char>(letter | 0x20);
    std::string link = prefix + "/dosdevices/" + lower + ":";
    char buf[PATH_MAX];
    if (!prefix.empty() && realpath(link.c_str(), buf)) return buf;
    return link;  // a drive that is not mapped: nothing below it exists
}

// root + the components as written, or "" when a component needs the careful
// walk ("." and "..", trailing dots or blanks that Windows drops).
std::string DirectPath(const std::string& root, std::string_view rest) {
    std::string out = root;
    std::size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && IsSep(rest[i])) ++i;
        std::size_t j = i;
        while (j < rest.size() && !IsSep(rest[j])) ++j;
        if (j > i) {
            const std::string_view comp = rest.substr(i, j - i);
            if (comp == "." || comp == ".." || comp.back() == '.' || comp.back() == ' ') {
                if (comp == "." && i == 0) {  // the common ".\Epsxe\x.set"
                    i = j;
                    continue;
                }
                return {};
            }
            if (!out.empty() && out.back() != '/') out.push_back('/');
            out += AnsiToUtf8(comp);
        }
        i = j;
    }
    return out;
}

// The host path as written, without checking that it exists: relative paths
// stay relative, drive paths go through their link. "" when the path needs the
// careful walk. Opening this first saves the walk for the usual case.
std::string QuickHostPath(std::string_view path) {
    if (path.empty() || path[0] == '/') return {};
    if (IsDriveSpec(path)) return DirectPath(DriveRoot(path[0]), path.substr(2));
    if (IsSep(path[0])) return {};
    return DirectPath("", path);
}

std::string MapToHost(std::string_view path) {
    if (!path.empty() && path[0] == '/') {
        // A host path, resolved without case all the same.
        PathBuilder b("/", true, 1);
        std::size_t i = 0;
        while (i < path.size()) {
            while (i < path.size() && path[i] == '/') ++i;
            std::size_t j = i;
            while (j < path.size() && path[j] != '/') ++j;
            if (j > i) b.Add(HostComponentOf(path.substr(i, j - i)));
            i = j;
        }
        return b.path();
    }

    std::string_view rest = path;
    std::string root;
    bool relative = false;
    if (IsDriveSpec(path)) {
        root = DriveRoot(path[0]);
        rest.remove_prefix(2);
    } else if (!path.empty() && IsSep(path[0])) {
        // "\\dir" is the root of the current directory's drive.
        const std::string cwd = GetCurrentDir();
        root = IsDriveSpec(cwd) ? DriveRoot(cwd[0]) : std::string("/");
    } else {
        root = HostCwd();
        relative = true;
    }
    // Most paths name something that exists with exactly the case written:
    // one lstat settles them, without walking component by component.
    if (auto direct = DirectPath(root, rest); !direct.empty() && EntryExists(direct)) return direct;

    const std::size_t floor = relative ? 1 : root.size();
    PathBuilder b(root, EntryExists(root), floor);
    std::size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && IsSep(rest[i])) ++i;
        std::size_t j = i;
        while (j < rest.size() && !IsSep(rest[j])) ++j;
        if (j > i) {
            const std::string_view comp = TrimComponent(rest.substr(i, j - i));
            if (!comp.empty()) b.Add(AnsiToUtf8(comp));
        }
        i = j;
    }
    return b.path();
}

// Unsigned byte order, as CompareNoCase orders folded names.
int CompareBytes(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0) return c;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string ParentOf(const std::string& host) {
    const auto slash = host.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : host.substr(0, slash);
}

bool StatHost(const std::string& host, struct stat& st) { return stat(host.c_str(), &st) == 0; }

// False with errno's cause in *error, named by the caller's path.
bool Failed(Error* error, std::string_view operation, std::string_view path) {
    SetLastSystemError(error, operation, path);
    return false;
}
bool FailedWith(Error* error, std::string_view operation, std::string_view path, int code) {
    SetSystemError(error, operation, path, static_cast<unsigned long>(code));
    return false;
}

// Copies the open source into fd; false on a read or write error.
bool CopyFd(int from, int to) {
    std::vector<std::uint8_t> buf(1 << 16);
    for (;;) {
        const ssize_t n = posix::ReadRetrying(from, buf.data(), buf.size());
        if (n < 0) return false;
        if (n == 0) return true;
        if (!posix::WriteAllFd(to, buf.data(), static_cast<std::size_t>(n))) return false;
    }
}

// rename() that fails when the target exists. Falls back to link+unlink on
// file systems without RENAME_NOREPLACE; directories cannot be hard-linked,
// so they get a check before the rename (a small race we accept).
bool RenameHostNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
    struct stat st {};
    if (lstat(from.c_str(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) {
        if (EntryExists(to)) return false;
        return rename(from.c_str(), to.c_str()) == 0;
    }
    if (link(from.c_str(), to.c_str()) != 0) return false;
    return unlink(from.c_str()) == 0;
}

class PosixFile final : public WinFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { close(fd_); }

    bool Read(void* buffer, std::size_t count, std::size_t& got) override {
        const ssize_t n = posix::ReadRetrying(fd_, buffer, count);
        got = n > 0 ? static_cast<std::size_t>(n) : 0;
        return n >= 0;
    }
    bool Write(const void* data, std::size_t count) override { return posix::WriteAllFd(fd_, data, count); }
    bool Seek(std::uint64_t offset) override {
        if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return false;
        return lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
    }
    std::optional<std::uint64_t> Size() override {
        struct stat st {};
        if (fstat(fd_, &st) != 0) return std::nullopt;
        return static_cast<std::uint64_t>(st.st_size);
    }
    bool Truncate(std::uint64_t size) override {
        if (size > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return false;
        return ftruncate(fd_, static_cast<off_t>(size)) == 0;
    }
    bool Flush() override { return fsync(fd_) == 0; }

private:
    int fd_;
};

}  // namespace

std::string ToHostPath(std::string_view windowsPath) { return MapToHost(windowsPath); }

std::string ToWindowsPath(std::string_view hostPath) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path p(hostPath);
    if (p.is_relative()) p = fs::path(HostCwd()) / p;
    fs::path canon = fs::weakly_canonical(p, ec);
    if (ec) canon = p.lexically_normal();
    std::string host = canon.string();
    while (host.size() > 1 && host.back() == '/') host.pop_back();

    std::string out;
    std::string rest = host;
    const std::string prefix = PrefixDirectory();
    if (!prefix.empty()) {
        fs::path driveC = fs::weakly_canonical(prefix + "/drive_c", ec);
        const std::string c = ec ? prefix + "/drive_c" : driveC.string();
        if (host == c || (host.size() > c.size() && host.compare(0, c.size(), c) == 0 && host[c.size()] == '/')) {
            out = "C:";
            rest = host.substr(c.size());
        }
    }
    if (out.empty()) out = "Z:";
    if (rest.empty() || rest == "/") return out + "\\";
    for (char& ch : rest) {
        if (ch == '/') ch = '\\';
    }
    return out + Utf8ToAnsi(rest);
}

std::string GetCurrentDir() { return ToWindowsPath(HostCwd()); }

bool SetCurrentDir(std::string_view windowsPath, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->ChangeDirectory(windowsPath);
        return DirectoryExists(windowsPath) || FailedWith(error, "change folder", windowsPath, ENOENT);
    }
    return chdir(MapToHost(windowsPath).c_str()) == 0 || Failed(error, "change folder", windowsPath);
}

bool FileExists(std::string_view path) {
    struct stat st {};
    return StatHost(MapToHost(path), st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
    struct stat st {};
    return StatHost(MapToHost(path), st) && S_ISDIR(st.st_mode);
}

std::optional<std::uint64_t> FileSize(std::string_view path) {
    struct stat st {};
    if (!StatHost(MapToHost(path), st) || S_ISDIR(st.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

std::optional<Bytes> ReadWholeFile(std::string_view path, Error* error) {
    auto file = WinFile::Open(path, WinFile::Mode::Read, error);
    if (!file) return std::nullopt;
    // Read straight into the result until the end, growing as needed.
    Bytes out(16 * 1024);
    std::size_t filled = 0;
    for (;;) {
        if (filled == out.size()) out.resize(out.size() * 2);
        std::size_t got = 0;
        if (!file->Read(out.data() + filled, out.size() - filled, got)) {
            Failed(error, "read", path);
            return std::nullopt;
        }
        if (got == 0) break;
        filled += got;
    }
    out.resize(filled);
    return out;
}

bool WriteWholeFileAtomic(std::string_view path, std::span<const std::uint8_t> data, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->WriteFile(path, data);
        return true;
    }
    if (posix::ReplaceFileContents(MapToHost(path), data, nullptr, error)) return true;
    if (error) error->path = path;  // the user knows the file by the name he gave
    return false;
}

bool CreateDir(std::string_view path, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->FileChange("create folder", path);
        return true;
    }
    return mkdir(MapToHost(path).c_str(), 0777) == 0 || Failed(error, "create folder", path);
}

bool RemoveDir(std::string_view path, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->FileChange("remove folder", path);
        return DirectoryExists(path) || FailedWith(error, "remove folder", path, ENOENT);
    }
    return rmdir(MapToHost(path).c_str()) == 0 || Failed(error, "remove folder", path);
}

bool DeleteFileAt(std::string_view path, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->FileChange("delete", path);
        return FileExists(path) || FailedWith(error, "delete", path, ENOENT);
    }
    const std::string host = MapToHost(path);
    struct stat st {};
    if (lstat(host.c_str(), &st) != 0) return Failed(error, "delete", path);
    if (S_ISDIR(st.st_mode)) return FailedWith(error, "delete", path, EISDIR);
    return unlink(host.c_str()) == 0 || Failed(error, "delete", path);
}

bool RenameNoReplace(std::string_view from, std::string_view to, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->FileChange("rename", std::string(from) + " -> " + std::string(to));
        return FileExists(from) || DirectoryExists(from) || FailedWith(error, "rename", from, ENOENT);
    }
    const std::string src = MapToHost(from);
    const std::string dst = MapToHost(to);
    struct stat a {
    }, b{};
    if (lstat(src.c_str(), &a) != 0) return Failed(error, "rename", from);
    if (lstat(dst.c_str(), &b) == 0) {
        // The target resolves to the source itself: MoveFile allows changing
        // only the case of a name. Give the entry the name as written.
        if (a.st_dev != b.st_dev || a.st_ino != b.st_ino) return FailedWith(error, "rename", to, EEXIST);
        std::string_view written = to;
        const auto cut = written.find_last_of("\\/");
        if (cut != std::string_view::npos) written.remove_prefix(cut + 1);
        const std::string name =
            to.size() && to[0] == '/' ? HostComponentOf(written) : AnsiToUtf8(TrimComponent(written));
        const std::string renamed = Join(ParentOf(dst), name);
        if (renamed == src) return true;
        return rename(src.c_str(), renamed.c_str()) == 0 || Failed(error, "rename", from);
    }
    if (RenameHostNoReplace(src, dst)) return true;
    if (errno != EXDEV || S_ISDIR(a.st_mode)) return Failed(error, "rename", from);
    // Across file systems MoveFile copies and deletes, as we do.
    if (!CopyFileTo(from, to, true, error)) return false;
    return unlink(src.c_str()) == 0 || Failed(error, "delete", from);
}

bool CopyFileTo(std::string_view from, std::string_view to, bool failIfExists, Error* error) {
    if (auto* dry = ActiveDryRun()) {
        dry->CopyFile(from, to);
        if (!FileExists(from)) return FailedWith(error, "copy", from, ENOENT);
        return !(failIfExists && FileExists(to)) || FailedWith(error, "copy", to, EEXIST);
    }
    const std::string src = MapToHost(from);
    const std::string dst = MapToHost(to);
    const int in = open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return Failed(error, "open", from);
    struct stat st {};
    if (fstat(in, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int code = S_ISDIR(st.st_mode) ? EISDIR : errno;
        close(in);
        return FailedWith(error, "open", from, code);
    }

    std::string temp;
    int out;
    if (failIfExists) {
        out = open(dst.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } else {
        // A reader of the target sees the old file or the whole new one.
        struct stat d {};
        if (stat(dst.c_str(), &d) == 0 && S_ISDIR(d.st_mode)) {
            close(in);
            return FailedWith(error, "copy", to, EISDIR);
        }
        out = posix::CreateTempBeside(dst, temp);
    }
    if (out < 0) {
        Failed(error, "create", to);
        close(in);
        return false;
    }
    bool ok = CopyFd(in, out) || Failed(error, "copy", to);
    if (ok) ok = fchmod(out, st.st_mode & 0777) == 0 || Failed(error, "set mode", to);
    ok = (close(out) == 0 || (ok && Failed(error, "close", to))) && ok;
    close(in);
    if (ok && !failIfExists) ok = rename(temp.c_str(), dst.c_str()) == 0 || Failed(error, "rename", to);
    if (!ok) unlink(failIfExists ? dst.c_str() : temp.c_str());
    return ok;
}

std::vector<FindEntry> FindFiles(std::string_view pattern, FindWhat what) {
    std::vector<FindEntry> out;
    const auto cut = pattern.find_last_of("\\/");
    std::string_view dirPart, mask;
    if (cut == std::string_view::npos) {
        if (IsDriveSpec(pattern)) {  // "C:*.x": the drive's root is close enough
            dirPart = pattern.substr(0, 2);
            mask = pattern.substr(2);
        } else {
            mask = pattern;
        }
    } else {
        dirPart = pattern.substr(0, cut + 1);
        mask = pattern.substr(cut + 1);
    }
    if (mask.empty()) return out;

    const std::string dir = dirPart.empty() ? HostCwd() : MapToHost(dirPart);
    DIR* d = opendir(dir.c_str());
    if (!d) return out;
    while (const dirent* e = readdir(d)) {
        const std::string_view n = e->d_name;
        if (n == "." || n == "..") continue;
        std::string ansi = HostNameToAnsi(n);
        if (!MatchesDosMask(ansi, mask)) continue;
        // The entry's type usually comes with it; links and file systems that
        // do not report types need a stat (which also drops dangling links).
        bool isDir = e->d_type == DT_DIR;
        if (e->d_type != DT_DIR && e->d_type != DT_REG) {
            struct stat st {};
            if (fstatat(dirfd(d), e->d_name, &st, 0) != 0) continue;
            isDir = S_ISDIR(st.st_mode);
        }
        if ((isDir && what == FindWhat::FilesOnly) || (!isDir && what == FindWhat::DirectoriesOnly)) continue;
        out.push_back({std::move(ansi), isDir});
    }
    closedir(d);
    // Fold each name once rather than in every comparison of the sort.
    std::vector<std::pair<std::string, std::size_t>> keys;
    keys.reserve(out.size());
    for (std::size_t k = 0; k < out.size(); ++k) keys.emplace_back(UpperAnsi(out[k].name), k);
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        const int c = CompareBytes(a.first, b.first);
        return c != 0 ? c < 0 : out[a.second].name < out[b.second].name;  // differing only in case: a fixed order
    });
    std::vector<FindEntry> sorted;
    sorted.reserve(out.size());
    for (const auto& key : keys) sorted.push_back(std::move(out[key.second]));
    return sorted;
}

std::unique_ptr<WinFile> WinFile::Open(std::string_view path, Mode mode, Error* error) {
    if (auto* dry = ActiveDryRun(); dry && mode != Mode::Read) {
        dry->FileChange("open for writing", path);
        SetError(error, "open", path, 0, "not opened for writing in a dry run");
        return nullptr;
    }
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::Read: flags |= O_RDONLY; break;
    case Mode::ReadWrite: flags |= O_RDWR; break;
    case Mode::CreateNew: flags |= O_RDWR | O_CREAT | O_EXCL; break;
    case Mode::CreateAlways: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    }
    // Opening an existing file tries the path as written first; creating never
    // does, since "A.MCR" must truncate an existing "a.mcr", not add a second file.
    int fd = -1;
    if (mode == Mode::Read || mode == Mode::ReadWrite) {
        if (const std::string quick = QuickHostPath(path); !quick.empty()) fd = open(quick.c_str(), flags, 0666);
    }
    if (fd < 0) fd = open(MapToHost(path).c_str(), flags, 0666);
    if (fd < 0) {
        Failed(error, "open", path);
        return nullptr;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {  // CreateFile does not open directories
        FailedWith(error, "open", path, S_ISDIR(st.st_mode) ? EISDIR : errno);
        close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
}

}  // namespace dravolo
