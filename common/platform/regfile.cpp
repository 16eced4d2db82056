#include "common/platform/regfile.h"

#include "common/base/text.h"

namespace dravolo {
namespace {

constexpr std::string_view kCurrentUser = "HKEY_CURRENT_USER";
constexpr std::string_view kLocalMachine = "HKEY_LOCAL_MACHINE";

}  // namespace

std::optional<std::pair<RegRoot, std::string>> ParseRootedKey(std::string_view key) {
    const std::size_t slash = key.find('\\');
    const std::string_view rootName = key.substr(0, slash);
    std::string_view rest = slash == std::string_view::npos ? std::string_view() : key.substr(slash + 1);
    while (!rest.empty() && rest.back() == '\\') rest.remove_suffix(1);

    RegRoot root;
    if (EqualsNoCase(rootName, kCurrentUser) || EqualsNoCase(rootName, "HKCU")) root = RegRoot::CurrentUser;
    else if (EqualsNoCase(rootName, kLocalMachine) || EqualsNoCase(rootName, "HKLM")) root = RegRoot::LocalMachine;
    else return std::nullopt;
    return std::make_pair(root, std::string(rest));
}

std::string RootedKeyName(RegRoot root, std::string_view path) {
    std::string out(root == RegRoot::CurrentUser ? kCurrentUser : kLocalMachine);
    if (!path.empty()) {
        out += '\\';
        out += path;
    }
    return out;
}

}  // namespace dravolo
