#pragma once
// The registry over a Wine prefix's hive files: user.reg is HKEY_CURRENT_USER,
// system.reg HKEY_LOCAL_MACHINE. Names and string data cross the interface as
// ANSI and are kept as UTF-16, as the A-functions convert them.
//
// wineserver reads the hives only when it starts and writes them back from
// memory: while one runs in the prefix, the files are not the registry. Then
// writes and reads go through Wine ("reg import" / "reg export", see
// wine_bridge.h); without one the files are edited directly, and a server that
// starts during such an edit gets the same changes through Wine as well.

#include <memory>
#include <string>

#include "common/platform/registry.h"

namespace dravolo {

// Which HKEY_LOCAL_MACHINE\Software the caller sees in a 64-bit prefix
// ("#arch=win64"). The emulators and the front end are 32-bit Windows
// programs: theirs is Software\Wow6432Node. HKEY_CURRENT_USER is shared, and
// so is HKEY_LOCAL_MACHINE\Software\Classes here. A 32-bit prefix has one view.
enum class RegistryView { Program32, Native };

// A Registry on the hives of `prefixDir` (created on first write when missing).
std::unique_ptr<Registry> OpenPrefixRegistry(const std::string& prefixDir, RegistryView view = RegistryView::Program32);

// The key a program of `view` reaches for root\path in a prefix of `arch`.
std::string StorePath(RegRoot root, std::string_view path, std::string_view arch, RegistryView view);

// True while a wineserver holds its lock for this prefix.
bool WineServerRunning(const std::string& prefixDir);

}  // namespace dravolo
