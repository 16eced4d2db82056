#pragma once
// ANSI (Windows-1252) core texts <-> QString at the widget boundary, and the
// framework-style file filters ("Text|*.txt|All|*.*|") as Qt wants them.

#include <QString>
#include <string>
#include <string_view>

namespace dravolo {

QString ToQt(std::string_view ansi);
std::string FromQt(const QString& text);

// "Bitmap Files (*.bmp)|*.bmp|All files(*.*)|*.*|" ->
// "Bitmap Files (*.bmp) (*.bmp);;All files(*.*) (*.*)": Qt reads the patterns
// from the last parenthesised group of each entry.
QString FilterToQt(std::string_view framework);

}  // namespace dravolo
