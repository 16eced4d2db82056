#pragma once
// A file picked in a Qt file dialog as the Windows path the core speaks:
// on Windows the native path in ANSI, on POSIX the host path (UTF-8) mapped
// through the prefix's drives.

#include <QString>
#include <string>

#include "common/platform/native_text.h"

namespace dravolo::tool {

inline std::string WindowsPathOfChosenFile(const QString& file) {
    return WindowsPathOfUtf8HostPath(file.toStdString());
}

}  // namespace dravolo::tool
