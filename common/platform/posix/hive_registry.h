#pragma once
// The registry over a Wine prefix's hive files: user.reg is HKEY_CURRENT_USER,
// system.reg HKEY_LOCAL_MACHINE. Names and string data cross the interface as
// ANSI and are kept as UTF-16, as the A-functions convert them.
//
// wineserver reads the hives only when it starts and writes them back at its
// exit: while one runs in the prefix, Windows programs do not see our writes
// and its next save drops them. WineServerRunning() tells callers so.

#include <memory>
#include <string>

#include "common/platform/registry.h"

namespace dravolo {

// A Registry on the hives of `prefixDir` (created on first write when missing).
std::unique_ptr<Registry> OpenPrefixRegistry(const std::string& prefixDir);

// True while a wineserver holds its lock for this prefix.
bool WineServerRunning(const std::string& prefixDir);

}  // namespace dravolo
