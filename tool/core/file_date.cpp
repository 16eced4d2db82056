#include "tool/core/file_date.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "common/platform/local_time.h"
#include "common/platform/winfs.h"

namespace dravolo::tool {

std::optional<std::string> FileDateText(std::string_view windowsPath) {
    if (!WinFile::Open(windowsPath, WinFile::Mode::Read)) return std::nullopt;
    struct stat st {};
    if (stat(ToHostPath(windowsPath).c_str(), &st) != 0) return std::nullopt;
    const std::time_t written = st.st_mtime;
    const auto local = LocalTimeOf(written);
    if (!local) return std::nullopt;
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", local->tm_year + 1900, local->tm_mon + 1, local->tm_mday);
    return std::string(text);
}

}  // namespace dravolo::tool
