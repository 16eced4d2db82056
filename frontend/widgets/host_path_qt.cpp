#include "frontend/widgets/host_path_qt.h"

#include "common/platform/native_text.h"

namespace dravolo {

QString HostPathToQt(std::string_view windowsPath) {
    return windowsPath.empty() ? QString() : QString::fromStdString(Utf8HostPathOfWindowsPath(windowsPath));
}

std::string WindowsPathFromQt(const QString& hostPath) { return WindowsPathOfUtf8HostPath(hostPath.toStdString()); }

}  // namespace dravolo
