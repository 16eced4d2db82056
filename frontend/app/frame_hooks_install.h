#pragma once
// The commands that other parts of the program carry out (launch, quick
// configure, option sheet, ISO tool, memory-card tool), bound to the frame
// as far as those parts are built into this program.

#include "frontend/shell/CMainFrame.h"

namespace dravolo {

FrameHooks MakeFrameHooks(ShellContext& context);

}  // namespace dravolo
