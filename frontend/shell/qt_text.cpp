#include "frontend/shell/qt_text.h"

#include <QStringList>

#include "common/base/text.h"

namespace dravolo {

QString ToQt(std::string_view ansi) {
    const std::u16string wide = AnsiToUtf16(ansi);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string FromQt(const QString& text) {
    const auto* data = reinterpret_cast<const char16_t*>(text.utf16());
    return Utf16ToAnsi(std::u16string_view(data, static_cast<std::size_t>(text.size())));
}

QString FilterToQt(std::string_view framework) {
    const QStringList parts = ToQt(framework).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

}  // namespace dravolo
