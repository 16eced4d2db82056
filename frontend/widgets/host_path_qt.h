#pragma once
// The core's Windows paths (ANSI) and the host paths Qt's dialogs speak. Every
// path a chooser starts at, or a picture is loaded from, goes through
// HostPathToQt; every path a chooser gives back through WindowsPathFromQt.
// Neither is QString::fromStdString / toStdString alone: on Windows the
// core's bytes are in the ANSI code page, not UTF-8.

#include <QString>
#include <string>
#include <string_view>

namespace dravolo {

// Empty for an empty path: the chooser then opens where Qt likes.
QString HostPathToQt(std::string_view windowsPath);
std::string WindowsPathFromQt(const QString& hostPath);

}  // namespace dravolo
