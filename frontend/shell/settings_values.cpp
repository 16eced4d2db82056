#include "frontend/shell/settings_values.h"

#include "common/base/text.h"

namespace dravolo {

std::string NormaliseInstallPath(std::string_view path, std::string_view defaultPath) {
    if (path.empty()) return std::string(defaultPath);
    std::string result(path);
    if (result.back() != '\\') result += '\\';
    return result;
}

std::string NormaliseProgramName(std::string_view name, std::string_view defaultName) {
    std::string result = TrimSpaces(name);
    if (result.empty()) return std::string(defaultName);
    return result;
}

}  // namespace dravolo
