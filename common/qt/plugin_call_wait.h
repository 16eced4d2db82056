#pragma once
// The windowed programs' wait while a plugin call runs in the plugin host:
// our windows keep painting and their timers run, but every click, key and
// close request is dropped, as under a modal dialog. Installed once at start.

namespace dravolo {

void InstallPluginCallWait();

}  // namespace dravolo
