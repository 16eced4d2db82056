#include "common/qt/ansi_qstring.h"

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

std::optional<char32_t> FirstCharacterOutsideAnsi(const QString& text) {
    const auto* data = reinterpret_cast<const char16_t*>(text.utf16());
    return FirstCharacterOutsideAnsi(std::u16string_view(data, static_cast<std::size_t>(text.size())));
}

}  // namespace dravolo
