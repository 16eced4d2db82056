#pragma once
// The narrow text the C run-time hands us and shows (argv, the terminal, the
// names a file dialog picks): text in the ANSI code page on Windows, UTF-8
// elsewhere. The core speaks ANSI everywhere.

#include <optional>
#include <string>
#include <string_view>

namespace dravolo {

// True where native text is UTF-8 (POSIX terminals show any character; a
// Windows console may not).
bool NativeTextIsUtf8();

std::string AnsiFromNativeText(std::string_view text);
std::string NativeTextFromAnsi(std::string_view ansi);

// Shift-JIS bytes (a memory card's save titles) as native text: on Windows
// the bytes themselves, which a console shows in a Japanese code page;
// elsewhere converted to UTF-8. nullopt when they do not convert.
std::optional<std::string> NativeTextFromShiftJis(std::string_view bytes);

// Shift-JIS bytes as UTF-8 on every system, for windows to show: code page
// 932 on Windows (Qt for Windows has no Shift-JIS codec without ICU), iconv
// elsewhere. nullopt when they do not convert.
std::optional<std::string> Utf8FromShiftJis(std::string_view bytes);

// A host file name given as UTF-8 (a Qt file dialog's) as the Windows path the
// core speaks: on Windows the native path in ANSI; elsewhere mapped through
// the prefix's drives.
std::string WindowsPathOfUtf8HostPath(std::string_view utf8);
// The other way: the host path of one of the core's Windows paths as UTF-8,
// for a Qt dialog to start at or a picture to load from. On Windows the path
// itself converted from the ANSI code page; elsewhere ToHostPath (already
// UTF-8). WindowsPathOfUtf8HostPath brings it back.
std::string Utf8HostPathOfWindowsPath(std::string_view windowsPath);

}  // namespace dravolo
