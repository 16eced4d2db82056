#include "common/platform/posix/hive_registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <mutex>

#include "common/base/text.h"
#include "common/platform/posix/hive_file.h"
#include "common/platform/prefix.h"

namespace dravolo {
namespace {

constexpr const char* kUserRoot = "REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000";
constexpr const char* kMachineRoot = "REGISTRY\\\\Machine";

bool IsUtf16StringType(std::uint32_t type) { return IsRegStringType(type); }

Bytes AnsiToStored(const Bytes& ansi) {
    const std::u16string wide = AnsiToUtf16(std::string_view(reinterpret_cast<const char*>(ansi.data()), ansi.size()));
    Bytes out(wide.size() * 2);
    for (std::size_t i = 0; i < wide.size(); ++i) StoreU16(&out[i * 2], wide[i]);
    return out;
}

// As RegQueryValueExA: whole UTF-16 units converted, NULs included; a stray
// odd byte has no character to become.
Bytes StoredToAnsi(const Bytes& stored) {
    std::u16string wide(stored.size() / 2, u'\0');
    for (std::size_t i = 0; i < wide.size(); ++i) wide[i] = LoadU16(&stored[i * 2]);
    const std::string ansi = Utf16ToAnsi(wide);
    return Bytes(ansi.begin(), ansi.end());
}

RegValue ToInterface(const hive::Value& v) {
    RegValue out;
    out.name = Utf16ToAnsi(v.name);
    out.type = v.type;
    out.data = IsUtf16StringType(v.type) ? StoredToAnsi(v.data) : v.data;
    return out;
}

bool IsRootPath(std::string_view path) { return path.find_first_not_of('\\') == std::string_view::npos; }

class HiveRegistry final : public Registry {
public:
    explicit HiveRegistry(std::string prefix)
        : prefix_(std::move(prefix)),
          user_(prefix_ + "/user.reg", kUserRoot, prefix_ + "/system.reg"),
          machine_(prefix_ + "/system.reg", kMachineRoot, prefix_ + "/user.reg") {}

    bool KeyExists(RegRoot root, std::string_view path) override {
        std::lock_guard lock(mutex_);
        const hive::Hive* h = Read(root);
        return h && h->Find(AnsiToUtf16(path)) != nullptr;
    }

    std::optional<RegValue> QueryValue(RegRoot root, std::string_view path, std::string_view name) override {
        std::lock_guard lock(mutex_);
        const hive::Hive* h = Read(root);
        const hive::Key* key = h ? h->Find(AnsiToUtf16(path)) : nullptr;
        const hive::Value* value = key ? key->FindValue(AnsiToUtf16(name)) : nullptr;
        if (!value) return std::nullopt;
        return ToInterface(*value);
    }

    std::optional<std::vector<RegValue>> EnumValues(RegRoot root, std::string_view path) override {
        std::lock_guard lock(mutex_);
        const hive::Hive* h = Read(root);
        const hive::Key* key = h ? h->Find(AnsiToUtf16(path)) : nullptr;
        if (!key) return std::nullopt;
        std::vector<RegValue> out;
        out.reserve(key->values.size());
        for (const hive::Value& v : key->values) out.push_back(ToInterface(v));
        return out;
    }

    std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root, std::string_view path) override {
        std::lock_guard lock(mutex_);
        const hive::Hive* h = Read(root);
        const hive::Key* key = h ? h->Find(AnsiToUtf16(path)) : nullptr;
        if (!key) return std::nullopt;
        std::vector<std::string> out;
        out.reserve(key->subkeys.size());
        for (const auto& sub : key->subkeys) out.push_back(Utf16ToAnsi(sub->name));
        return out;
    }

    bool Commit(const RegBatch& batch) override {
        std::lock_guard lock(mutex_);
        bool uses[2] = {false, false};
        for (const auto& c : batch.changes()) {
            // Deleting a whole hive is never what a caller means.
            if (c.op == RegBatch::Op::DeleteTree && IsRootPath(c.path)) return false;
            uses[Index(c.root)] = true;
        }
        if (!uses[0] && !uses[1]) return true;

        std::error_code ec;
        std::filesystem::create_directories(prefix_, ec);
        // Always user before machine, so two committers never wait on each other.
        std::optional<hive::HiveLock> locks[2];
        hive::Hive* hives[2] = {nullptr, nullptr};
        for (int i = 0; i < 2; ++i) {
            if (!uses[i]) continue;
            locks[i].emplace(File(i).path());
            if (!locks[i]->held() || !File(i).Refresh()) return false;
            hives[i] = File(i).Editable();
            if (!hives[i]) return false;
        }

        const std::uint64_t now = hive::FileTimeNow();
        bool changed[2] = {false, false};
        for (const auto& c : batch.changes()) {
            const int i = Index(c.root);
            hive::Hive& h = *hives[i];
            const std::u16string path = AnsiToUtf16(c.path);
            switch (c.op) {
            case RegBatch::Op::CreateKey:
                changed[i] |= h.CreateKey(path, now);
                break;
            case RegBatch::Op::SetValue: {
                const Bytes data = IsUtf16StringType(c.value.type) ? AnsiToStored(c.value.data) : c.value.data;
                changed[i] |= h.SetValue(path, AnsiToUtf16(c.value.name), c.value.type, data, now);
                break;
            }
            case RegBatch::Op::DeleteValue:
                changed[i] |= h.DeleteValue(path, AnsiToUtf16(c.value.name), now);
                break;
            case RegBatch::Op::DeleteTree:
                changed[i] |= h.DeleteTree(path, now);
                break;
            }
        }
        bool ok = true;
        for (int i = 0; i < 2; ++i)
            if (changed[i] && !File(i).Save()) ok = false;
        if (!ok) {
            user_.Invalidate();
            machine_.Invalidate();
        }
        return ok;
    }

private:
    static int Index(RegRoot root) { return root == RegRoot::CurrentUser ? 0 : 1; }
    hive::HiveFile& File(int i) { return i == 0 ? user_ : machine_; }

    const hive::Hive* Read(RegRoot root) {
        const int i = Index(root);
        return File(i).Refresh() ? &File(i).hive() : nullptr;
    }

    std::mutex mutex_;
    std::string prefix_;
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

std::unique_ptr<Registry> OpenPrefixRegistry(const std::string& prefixDir) {
    return std::make_unique<HiveRegistry>(prefixDir);
}

std::unique_ptr<Registry> OpenSystemRegistry() { return OpenPrefixRegistry(PrefixDirectory()); }

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
