#pragma once
// The core speaks ANSI (Windows-1252); Qt speaks UTF-16. Converted here only.

#include <QString>
#include <string>
#include <string_view>

#include "common/base/text.h"

namespace dravolo::tool {

inline QString FromAnsi(std::string_view ansi) { return QString::fromStdU16String(AnsiToUtf16(ansi)); }
inline std::string ToAnsi(const QString& text) { return Utf16ToAnsi(text.toStdU16String()); }

}  // namespace dravolo::tool
