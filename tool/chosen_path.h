#pragma once
// A file picked in a Qt file dialog as the Windows path the core speaks:
// on Windows the native path in ANSI, on POSIX the host path (UTF-8) mapped
// through the prefix's drives.

#include <QDir>
#include <QString>
#include <string>

#include "common/platform/winfs.h"
#include "common/qt/ansi_qstring.h"

namespace dravolo::tool {

inline std::string WindowsPathOfChosenFile(const QString& file) {
#ifdef _WIN32
    return FromQt(QDir::toNativeSeparators(file));
#else
    return ToWindowsPath(file.toStdString());
#endif
}

}  // namespace dravolo::tool
