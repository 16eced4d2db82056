#include "common/platform/posix/hive_registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "common/base/text.h"
#include "common/platform/posix/hive_access.h"
#include "common/platform/posix/hive_file.h"
#include "common/platform/posix/wine_bridge.h"
#include "common/platform/prefix.h"
#include "common/platform/system_error.h"

namespace dravolo {
namespace {

constexpr const char* kUserRoot = "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000";
constexpr const char* kMachineRoot = "REGISTRY\\\\Machine";

// The first two parts of a backslash path, empty parts skipped.
std::pair<std::string_view, std::string_view> FirstTwoParts(std::string_view path, std::size_t& afterFirst) {
    std::string_view parts[2];
    std::size_t i = 0;
    afterFirst = std::string_view::npos;
    for (int n = 0; n < 2; ++n) {
        while (i < path.size() && path[i] == '\\') ++i;
        const std::size_t j = std::min(path.find('\\', i), path.size());
        parts[n] = path.substr(i, j - i);
        if (n == 0) afterFirst = j;
        i = j;
    }
    return {parts[0], parts[1]};
}

// While a server runs every read is a "reg export" run of tens of
// milliseconds. An export of a key answers reads of it and of everything
// below it, so one is kept for a moment: the front end reads a key's values
// one by one. Anything written through any registry of ours, or by a plugin we
// called (ForgetCachedRegistryReads), makes every kept export old at once.
constexpr auto kLiveReadFreshness = std::chrono::milliseconds(1000);
constexpr std::size_t kLiveReadsKept = 16;
std::atomic<std::uint64_t> gRegistryGeneration{0};

// "Software\\X\\" and "software\\x" are one key.
std::string KeyId(std::string_view path) {
    std::string id;
    for (char c : LowerAnsi(path)) {
        if (c == '\\' && (id.empty() || id.back() == '\\')) continue;
        id += c;
    }
    if (!id.empty() && id.back() == '\\') id.pop_back();
    return id;
}

bool SameOrBelow(const std::string& key, const std::string& ancestor) {
    if (ancestor.empty()) return true;
    return key.size() >= ancestor.size() && key.compare(0, ancestor.size(), ancestor) == 0 &&
           (key.size() == ancestor.size() || key[ancestor.size()] == '\\');
}

class HiveRegistry final : public Registry {
public:
    HiveRegistry(std::string prefix, RegistryView view)
        : prefix_(std::move(prefix)),
          view_(view),
          user_(prefix_ + "/user.reg", kUserRoot, prefix_ + "/system.reg"),
          machine_(prefix_ + "/system.reg", kMachineRoot, prefix_ + "/user.reg") {}

    bool KeyExists(RegRoot root, std::string_view path) override {
        std::lock_guard lock(mutex_);
        const std::string at = Mapped(root, path);
        if (auto live = LiveSnapshot(root, at)) return *live && (*live)->KeyExists(root, at);
        return hive::KeyIn(Read(root), at);
    }

    std::optional<RegValue> QueryValue(RegRoot root, std::string_view path, std::string_view name) override {
        std::lock_guard lock(mutex_);
        const std::string at = Mapped(root, path);
        if (auto live = LiveSnapshot(root, at)) return *live ? (*live)->QueryValue(root, at, name) : std::nullopt;
        return hive::ValueIn(Read(root), at, name);
    }

    std::optional<std::vector<RegValue>> EnumValues(RegRoot root, std::string_view path) override {
        std::lock_guard lock(mutex_);
        const std::string at = Mapped(root, path);
        if (auto live = LiveSnapshot(root, at)) return *live ? (*live)->EnumValues(root, at) : std::nullopt;
        return hive::ValuesIn(Read(root), at);
    }

    std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root, std::string_view path) override {
        std::lock_guard lock(mutex_);
        const std::string at = Mapped(root, path);
        if (auto live = LiveSnapshot(root, at)) return *live ? (*live)->EnumSubkeys(root, at) : std::nullopt;
        return hive::SubkeysIn(Read(root), at);
    }

    bool CommitBatch(const RegBatch& batch, Error* error) override {
        std::lock_guard lock(mutex_);
        bool uses[2] = {false, false};
        for (const auto& c : batch.changes()) {
            // Deleting a whole hive is never what a caller means.
            if (c.op == RegBatch::Op::DeleteTree && hive::IsRootPath(c.path)) {
                SetSystemError(error, "delete key", c.path, EPERM);
                return false;
            }
            uses[Index(c.root)] = true;
        }
        if (!uses[0] && !uses[1]) return true;

        std::error_code ec;
        std::filesystem::create_directories(prefix_, ec);
        // Always user before machine, so two committers never wait on each other.
        std::optional<hive::HiveLock> locks[2];
        for (int i = 0; i < 2; ++i) {
            if (!uses[i]) continue;
            locks[i].emplace(File(i).path(), error);
            if (!locks[i]->held()) return false;
        }
        RegBatch mapped;
        for (const auto& c : batch.changes()) {
            RegBatch::Change m = c;
            m.path = Mapped(c.root, c.path);
            AppendChange(mapped, m);
        }
        ++gRegistryGeneration;  // whatever happens below, kept reads may be old
        // A running server owns the registry: only it can take the changes.
        if (WineServerRunning(prefix_)) return ImportThroughWine(mapped, error);

        bool changed[2] = {false, false};
        if (!CommitToFiles(mapped, uses, changed, error)) return false;
        // A server that came up while we wrote may have read the files before
        // our rename and would keep, then save, the old contents. Giving it the
        // same changes is harmless if it read ours.
        if ((changed[0] || changed[1]) && WineServerRunning(prefix_)) return ImportThroughWine(mapped, error);
        return true;
    }

    std::string StoreName(RegRoot root) const override {
        return prefix_ + (root == RegRoot::CurrentUser ? "/user.reg" : "/system.reg");
    }

private:
    static int Index(RegRoot root) { return root == RegRoot::CurrentUser ? 0 : 1; }
    hive::HiveFile& File(int i) { return i == 0 ? user_ : machine_; }

    static void AppendChange(RegBatch& batch, const RegBatch::Change& c) {
        switch (c.op) {
        case RegBatch::Op::CreateKey: batch.CreateKey(c.root, c.path); break;
        case RegBatch::Op::SetValue: batch.SetValue(c.root, c.path, c.value.name, c.value.type, c.value.data); break;
        case RegBatch::Op::DeleteValue: batch.DeleteValue(c.root, c.path, c.value.name); break;
        case RegBatch::Op::DeleteTree: batch.DeleteTree(c.root, c.path); break;
        }
    }

    // Only HKEY_LOCAL_MACHINE has two views, and only a 64-bit prefix.
    std::string Mapped(RegRoot root, std::string_view path) {
        if (root != RegRoot::LocalMachine || view_ != RegistryView::Program32) return std::string(path);
        const std::string arch = machine_.Refresh() ? machine_.hive().arch() : std::string();
        return StorePath(root, path, arch, view_);
    }

    // The server's import reports no errno; what the user learns is where.
    bool ImportThroughWine(const RegBatch& batch, Error* error) {
        if (wine::ImportThroughWine(prefix_, batch)) return true;
        SetError(error, "import through wine", prefix_, 0, "the running Wine did not take the changes");
        return false;
    }

    bool CommitToFiles(const RegBatch& batch, const bool uses[2], bool changed[2], Error* error) {
        hive::Hive* hives[2] = {nullptr, nullptr};
        for (int i = 0; i < 2; ++i) {
            if (!uses[i]) continue;
            if (!File(i).Refresh(error)) return false;
            hives[i] = File(i).Editable();
            if (!hives[i]) {
                SetError(error, "write", File(i).path(), 0, "not a registry file this program may rewrite");
                return false;
            }
        }
        const std::uint64_t now = hive::FileTimeNow();
        for (const auto& c : batch.changes()) {
            const int i = Index(c.root);
            changed[i] |= hive::Apply(*hives[i], c, now);
        }
        bool ok = true;
        for (int i = 0; i < 2; ++i)
            if (changed[i] && !File(i).Save(ok ? error : nullptr)) ok = false;  // the first failure tells
        if (!ok) {
            user_.Invalidate();
            machine_.Invalidate();
        }
        return ok;
    }

    // While a server runs: root\path as Wine reports it (a null pointer when
    // the key does not exist). nullopt when no server runs or Wine cannot be
    // reached; the files are then the best answer there is.
    std::optional<std::shared_ptr<Registry>> LiveSnapshot(RegRoot root, const std::string& path) {
        if (!WineServerRunning(prefix_)) {
            kept_.clear();
            return std::nullopt;
        }
        const auto now = std::chrono::steady_clock::now();
        const std::uint64_t generation = gRegistryGeneration.load();
        std::erase_if(
            kept_, [&](const KeptExport& k) { return k.generation != generation || now - k.at >= kLiveReadFreshness; });
        const std::string id = KeyId(path);
        for (const KeptExport& k : kept_)
            if (k.root == root && SameOrBelow(id, k.key)) return k.snapshot;  // a missing key has no subkeys either

        auto snapshot = std::make_shared<hive::MemoryHives>();
        std::shared_ptr<Registry> answer;
        switch (wine::ExportThroughWine(prefix_, root, path, *snapshot)) {
        case wine::ExportStatus::Ok: answer = std::move(snapshot); break;
        case wine::ExportStatus::Missing: break;
        case wine::ExportStatus::Unavailable: return std::nullopt;
        }
        if (kept_.size() >= kLiveReadsKept) kept_.erase(kept_.begin());
        kept_.push_back({root, id, answer, now, generation});
        return answer;
    }

    const hive::Hive* Read(RegRoot root) {
        const int i = Index(root);
        return File(i).Refresh() ? &File(i).hive() : nullptr;
    }

    struct KeptExport {
        RegRoot root;
        std::string key;                     // KeyId of the exported key
        std::shared_ptr<Registry> snapshot;  // null: the key did not exist
        std::chrono::steady_clock::time_point at;
        std::uint64_t generation;
    };

    std::mutex mutex_;
    std::vector<KeptExport> kept_;
    std::string prefix_;
    RegistryView view_;
    hive::HiveFile user_;
    hive::HiveFile machine_;
};

// wineserver holds an fcntl lock on its "lock" file while it runs. Debian's
// Wine names the server's temp directory in <prefix>/wineserver; upstream uses
// /tmp/.wine-<uid>. Both end in server-<dev>-<inode> of the prefix.
bool LockHeld(const std::string& lockPath) {
    const int fd = open(lockPath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 1;
    const bool held = fcntl(fd, F_GETLK, &fl) == 0 && fl.l_type != F_UNLCK;
    close(fd);
    return held;
}

std::string HexNumber(unsigned long long v) {
    char buf[32];
    snprintf(buf, sizeof buf, "%llx", v);
    return buf;
}

}  // namespace

void ForgetCachedRegistryReads() { ++gRegistryGeneration; }

std::unique_ptr<Registry> OpenPrefixRegistry(const std::string& prefixDir, RegistryView view) {
    return std::make_unique<HiveRegistry>(prefixDir, view);
}

std::string StorePath(RegRoot root, std::string_view path, std::string_view arch, RegistryView view) {
    if (root != RegRoot::LocalMachine || view != RegistryView::Program32 || arch != "win64") return std::string(path);
    std::size_t afterFirst = 0;
    const auto [first, second] = FirstTwoParts(path, afterFirst);
    if (!EqualsNoCase(first, "Software") || EqualsNoCase(second, "Wow6432Node") || EqualsNoCase(second, "Classes"))
        return std::string(path);
    return std::string(path.substr(0, afterFirst)) + "\\Wow6432Node" + std::string(path.substr(afterFirst));
}

std::unique_ptr<Registry> OpenSystemRegistry() { return OpenPrefixRegistry(PrefixDirectory()); }

std::unique_ptr<Registry> OpenRegistryOfPrefix(const std::string& prefixDir) { return OpenPrefixRegistry(prefixDir); }

bool WineServerRunning(const std::string& prefixDir) {
    struct stat st {};
    if (stat(prefixDir.c_str(), &st) != 0) return false;
    const std::string serverDir = "server-" + HexNumber(st.st_dev) + "-" + HexNumber(st.st_ino);
    const char* tmp = std::getenv("TMPDIR");
    const std::string tmpDir = tmp && *tmp ? tmp : "/tmp";

    std::ifstream named(prefixDir + "/wineserver");
    std::string dirName;
    if (named && std::getline(named, dirName) && !dirName.empty() && dirName.find('/') == std::string::npos) {
        if (LockHeld(tmpDir + "/" + dirName + "/" + serverDir + "/lock")) return true;
        if (LockHeld("/tmp/" + dirName + "/" + serverDir + "/lock")) return true;
    }
    return LockHeld("/tmp/.wine-" + std::to_string(getuid()) + "/" + serverDir + "/lock");
}

}  // namespace dravolo
