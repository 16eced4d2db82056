#pragma once
// The core speaks ANSI (Windows-1252); Qt speaks UTF-16. The windowed
// programs convert here, at the widget boundary, and nowhere else.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace dravolo {

QString ToQt(std::string_view ansi);
// Characters Windows-1252 cannot hold become what Utf16ToAnsi makes of them.
std::string FromQt(const QString& text);
// The first character FromQt would turn into '?', if any.
std::optional<char32_t> FirstCharacterOutsideAnsi(const QString& text);

}  // namespace dravolo
