#pragma once
// The Windows registry as the narrow (A) functions see it. Key paths are
// backslash-separated below a root ("Software\\epsxe\\config"); key and value
// names compare without regard to case and keep the case they were created with.
// String data (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) crosses this interface as
// ANSI bytes including their terminating NUL(s), exactly as RegSetValueExA takes
// and RegQueryValueExA returns them; the store itself holds UTF-16, like Windows.
//
// Windows: the Win32 registry. POSIX: the Wine prefix's hive files (user.reg,
// system.reg), so Windows programs running under Wine see what we wrote.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/base/bytes.h"
#include "common/base/error.h"

namespace dravolo {

enum class RegRoot { CurrentUser, LocalMachine };

// Windows' value type numbers.
enum RegType : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegDwordBigEndian = 5,
    kRegLink = 6,
    kRegMultiSz = 7,
    kRegResourceList = 8,
    kRegFullResourceDescriptor = 9,
    kRegResourceRequirementsList = 10,
    kRegQword = 11,
};

bool IsRegStringType(std::uint32_t type);

struct RegValue {
    std::string name;  // "" is the key's default value
    std::uint32_t type = kRegNone;
    Bytes data;
};

// Helpers that build value data the way the A-functions store it.
Bytes RegSzData(std::string_view text);   // text + NUL
Bytes RegDwordData(std::uint32_t value);  // 4 bytes little-endian
// Reads a REG_SZ/REG_EXPAND_SZ as text up to its first NUL.
std::string RegDataAsText(const Bytes& data);
// Reads a REG_DWORD (or any value of at least 4 bytes) as a number.
std::optional<std::uint32_t> RegDataAsDword(const Bytes& data);

// Several changes that commit together: on POSIX one lock, one read and one
// rewrite of the hive, so a launch or a configuration copy costs one rewrite.
class RegBatch {
public:
    enum class Op { CreateKey, SetValue, DeleteValue, DeleteTree };
    struct Change {
        Op op;
        RegRoot root;
        std::string path;
        RegValue value;  // name for DeleteValue; name/type/data for SetValue
    };

    void CreateKey(RegRoot root, std::string_view path);
    void SetValue(RegRoot root, std::string_view path, std::string_view name, std::uint32_t type, Bytes data);
    void SetString(RegRoot root, std::string_view path, std::string_view name, std::string_view text);
    void SetDword(RegRoot root, std::string_view path, std::string_view name, std::uint32_t value);
    void DeleteValue(RegRoot root, std::string_view path, std::string_view name);
    void DeleteTree(RegRoot root, std::string_view path);

    const std::vector<Change>& changes() const { return changes_; }
    bool empty() const { return changes_.empty(); }

private:
    std::vector<Change> changes_;
};

class Registry {
public:
    virtual ~Registry() = default;

    virtual bool KeyExists(RegRoot root, std::string_view path) = 0;
    virtual std::optional<RegValue> QueryValue(RegRoot root, std::string_view path, std::string_view name) = 0;
    // Values in the order the store keeps them; nullopt when the key is missing.
    virtual std::optional<std::vector<RegValue>> EnumValues(RegRoot root, std::string_view path) = 0;
    // Names of the direct subkeys; nullopt when the key is missing.
    virtual std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root, std::string_view path) = 0;

    // Applies every change in order. Creating a key or setting a value creates
    // the missing keys above it. Deleting a missing value or tree is not an
    // error. Deleting a root's whole tree (an empty path) is refused. Returns
    // false when the store cannot be written (nothing applied on POSIX; on
    // Windows the changes before the failing one stay); error, when given,
    // then says why (the hive file and errno, the key and the Win32 error).
    [[nodiscard]] bool Commit(const RegBatch& batch, Error* error = nullptr) { return CommitBatch(batch, error); }

    // What the user is told holds root's values when a commit fails: the
    // hive file on POSIX, the root's name on Windows.
    virtual std::string StoreName(RegRoot root) const;

    // One-change conveniences: a batch of one, committed; error, when given,
    // says why it was not.
    bool CreateKey(RegRoot root, std::string_view path, Error* error = nullptr);
    bool SetValue(RegRoot root, std::string_view path, std::string_view name, std::uint32_t type, Bytes data,
                  Error* error = nullptr);
    bool SetString(RegRoot root, std::string_view path, std::string_view name, std::string_view text,
                   Error* error = nullptr);
    bool SetDword(RegRoot root, std::string_view path, std::string_view name, std::uint32_t value,
                  Error* error = nullptr);
    bool DeleteValue(RegRoot root, std::string_view path, std::string_view name, Error* error = nullptr);
    bool DeleteTree(RegRoot root, std::string_view path, Error* error = nullptr);
    std::optional<std::string> QueryString(RegRoot root, std::string_view path, std::string_view name);
    std::optional<std::uint32_t> QueryDword(RegRoot root, std::string_view path, std::string_view name);

protected:
    // Each store's Commit.
    virtual bool CommitBatch(const RegBatch& batch, Error* error) = 0;
};

// Says that a Windows program we called (a plugin's dialog, say) may have
// changed the registry, so reads kept from a running wineserver are taken
// afresh. Nothing is kept on Windows.
void ForgetCachedRegistryReads();

// The registry of this machine: Win32 on Windows, the prefix's hives on POSIX
// (the prefix of DRAVOLO_PREFIX, else WINEPREFIX, else ~/.wine).
std::unique_ptr<Registry> OpenSystemRegistry();
// POSIX: the registry of another prefix (its host folder), as a 32-bit
// Windows program there sees it. Windows: the system registry.
std::unique_ptr<Registry> OpenRegistryOfPrefix(const std::string& prefixDir);

}  // namespace dravolo
