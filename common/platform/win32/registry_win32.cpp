// The registry through the Win32 A-functions, which do the ANSI <-> UTF-16
// conversion the interface promises. A batch is applied change by change:
// Windows has no transaction we could use on every version we run on.

#include "common/platform/windows_api.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/platform/registry.h"
#include "common/platform/system_error.h"

namespace dravolo {
namespace {

HKEY RootKey(RegRoot root) { return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// The emulators and their plugins are 32-bit programs. On 64-bit Windows their
// HKEY_LOCAL_MACHINE\Software is the 32-bit view (Wow6432Node), so a 64-bit
// build must use that view too, or AdriPSX would never see what a launch
// wrote. HKEY_CURRENT_USER\Software is shared by both views. A 32-bit build
// has this view anyway; old 32-bit systems do not know the flag.
#ifdef _WIN64
constexpr REGSAM kView = KEY_WOW64_32KEY;
#else
constexpr REGSAM kView = 0;
#endif

class Key {
public:
    Key() = default;
    ~Key() {
        if (h_) RegCloseKey(h_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY* out() { return &h_; }
    HKEY get() const { return h_; }

private:
    HKEY h_ = nullptr;
};

LONG Open(RegRoot root, const std::string& path, REGSAM access, Key& key) {
    return RegOpenKeyExA(RootKey(root), path.c_str(), 0, access | kView, key.out());
}

LONG Create(RegRoot root, const std::string& path, Key& key) {
    return RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | kView,
                           nullptr, key.out(), nullptr);
}

std::optional<std::vector<std::string>> SubkeyNames(HKEY h) {
    DWORD maxLen = 0;
    if (RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, nullptr, &maxLen, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<std::string> names;
    std::vector<char> buffer(maxLen + 2);
    for (DWORD i = 0;; ++i) {
        DWORD len = static_cast<DWORD>(buffer.size());
        const LONG rc = RegEnumKeyExA(h, i, buffer.data(), &len, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_MORE_DATA) {  // a longer name appeared since we asked
            buffer.resize(buffer.size() * 2);
            --i;
            continue;
        }
        if (rc != ERROR_SUCCESS) return std::nullopt;
        names.emplace_back(buffer.data(), len);
    }
    return names;
}

// RegDeleteTree needs Vista; this works everywhere. Subkey names are read
// before deleting, since deleting while enumerating shifts the indexes.
LONG DeleteKeyTree(HKEY parent, const std::string& name) {
    {
        Key key;
        LONG rc = RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS | kView, key.out());
        if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
        if (rc != ERROR_SUCCESS) return rc;
        auto subkeys = SubkeyNames(key.get());
        if (!subkeys) return ERROR_ACCESS_DENIED;
        for (const std::string& sub : *subkeys)
            if ((rc = DeleteKeyTree(key.get(), sub)) != ERROR_SUCCESS) return rc;
    }
#ifdef _WIN64
    const LONG rc = RegDeleteKeyExA(parent, name.c_str(), kView, 0);  // RegDeleteKeyA would pick the 64-bit view
#else
    const LONG rc = RegDeleteKeyA(parent, name.c_str());
#endif
    return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

bool IsRootPath(const std::string& path) { return path.find_first_not_of('\\') == std::string::npos; }

class Win32Registry final : public Registry {
public:
    bool KeyExists(RegRoot root, std::string_view path) override {
        Key key;
        return Open(root, std::string(path), KEY_READ, key) == ERROR_SUCCESS;
    }

    std::optional<RegValue> QueryValue(RegRoot root, std::string_view path, std::string_view name) override {
        Key key;
        if (Open(root, std::string(path), KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return std::nullopt;
        const std::string valueName(name);
        RegValue value;
        value.name = valueName;
        DWORD type = 0, size = 0;
        LONG rc = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
        // The value may grow between the two calls: ask again until it fits.
        while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
            value.data.resize(size);
            rc = RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, value.data.data(), &size);
            if (rc == ERROR_SUCCESS) {
                value.data.resize(size);
                value.type = type;
                return value;
            }
        }
        return std::nullopt;
    }

    std::optional<std::vector<RegValue>> EnumValues(RegRoot root, std::string_view path) override {
        Key key;
        if (Open(root, std::string(path), KEY_QUERY_VALUE, key) != ERROR_SUCCESS) return std::nullopt;
        DWORD maxName = 0, maxData = 0;
        if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName,
                             &maxData, nullptr, nullptr) != ERROR_SUCCESS)
            return std::nullopt;
        std::vector<char> name(maxName + 2);
        Bytes data(maxData + 1);
        std::vector<RegValue> values;
        for (DWORD i = 0;; ++i) {
            DWORD nameLen = static_cast<DWORD>(name.size());
            DWORD dataLen = static_cast<DWORD>(data.size());
            DWORD type = 0;
            const LONG rc = RegEnumValueA(key.get(), i, name.data(), &nameLen, nullptr, &type, data.data(), &dataLen);
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc == ERROR_MORE_DATA) {
                name.resize(name.size() * 2);
                data.resize(std::max<std::size_t>(data.size() * 2, dataLen));
                --i;
                continue;
            }
            if (rc != ERROR_SUCCESS) return std::nullopt;
            values.push_back({std::string(name.data(), nameLen), type, Bytes(data.begin(), data.begin() + dataLen)});
        }
        return values;
    }

    std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root, std::string_view path) override {
        Key key;
        if (Open(root, std::string(path), KEY_READ, key) != ERROR_SUCCESS) return std::nullopt;
        return SubkeyNames(key.get());
    }

    bool CommitBatch(const RegBatch& batch, Error* error) override {
        for (const auto& c : batch.changes()) {
            if (c.op == RegBatch::Op::DeleteTree && IsRootPath(c.path)) {
                SetSystemError(error, "delete key", c.path, ERROR_ACCESS_DENIED);
                return false;
            }
        }
        for (const auto& c : batch.changes()) {
            if (const LONG rc = Apply(c); rc != ERROR_SUCCESS) {
                SetSystemError(error, OperationName(c.op), c.path, static_cast<unsigned long>(rc));
                return false;
            }
        }
        return true;
    }

private:
    static const char* OperationName(RegBatch::Op op) {
        switch (op) {
        case RegBatch::Op::CreateKey: return "create key";
        case RegBatch::Op::SetValue: return "set value";
        case RegBatch::Op::DeleteValue: return "delete value";
        case RegBatch::Op::DeleteTree: return "delete key";
        }
        return "write";
    }

    // ERROR_SUCCESS, or the registry's code for the failure.
    static LONG Apply(const RegBatch::Change& c) {
        switch (c.op) {
        case RegBatch::Op::CreateKey: {
            Key key;
            return Create(c.root, c.path, key);
        }
        case RegBatch::Op::SetValue: {
            Key key;
            if (const LONG rc = Create(c.root, c.path, key); rc != ERROR_SUCCESS) return rc;
            return RegSetValueExA(key.get(), c.value.name.c_str(), 0, c.value.type, c.value.data.data(),
                                  static_cast<DWORD>(c.value.data.size()));
        }
        case RegBatch::Op::DeleteValue: {
            Key key;
            LONG rc = Open(c.root, c.path, KEY_SET_VALUE, key);
            if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
            if (rc != ERROR_SUCCESS) return rc;
            rc = RegDeleteValueA(key.get(), c.value.name.c_str());
            return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
        }
        case RegBatch::Op::DeleteTree: {
            std::string path = c.path;
            while (!path.empty() && path.back() == '\\') path.pop_back();
            const std::size_t slash = path.rfind('\\');
            const std::string parentPath = slash == std::string::npos ? std::string() : path.substr(0, slash);
            const std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
            Key parent;
            const LONG rc = Open(c.root, parentPath, KEY_ALL_ACCESS, parent);
            if (rc == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
            if (rc != ERROR_SUCCESS) return rc;
            return DeleteKeyTree(parent.get(), leaf);
        }
        }
        return ERROR_INVALID_PARAMETER;
    }
};

}  // namespace

std::unique_ptr<Registry> OpenSystemRegistry() { return std::make_unique<Win32Registry>(); }

std::unique_ptr<Registry> OpenRegistryOfPrefix(const std::string&) { return OpenSystemRegistry(); }

void ForgetCachedRegistryReads() {}

}  // namespace dravolo
