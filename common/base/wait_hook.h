#pragma once
// What runs while our side waits for a helper program to answer (the plugin
// host while a plugin's dialog is open): the windowed programs install a
// function that paints their windows and handles timers but takes no input,
// the wait of a modal dialog. Without one, waiting just blocks.

namespace dravolo {

using WaitHook = void (*)();

// nullptr removes it.
void SetWaitHook(WaitHook hook);
bool HasWaitHook();
// Runs the hook; a wait inside the hook (a plugin call from a repaint) does
// not run it again.
void RunWaitHook();

}  // namespace dravolo
