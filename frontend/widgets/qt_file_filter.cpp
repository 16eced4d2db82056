#include "frontend/widgets/qt_file_filter.h"

#include <QStringList>

#include "common/qt/ansi_qstring.h"

namespace dravolo {

QString FilterToQt(std::string_view framework) {
    const QStringList parts = ToQt(framework).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        entries << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QFileDialog::Options FileDialogOptions() { return QFileDialog::HideNameFilterDetails; }

}  // namespace dravolo
