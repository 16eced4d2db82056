#pragma once
// StartEmu as the library exports it, without Qt: the C arguments taken in,
// ePSXe's key written and ePSXe started, and on failure the reason left in the
// system's last-error value. The library's export and the Qt-free export
// table of the Windows tests both call this one.

#include <cstdint>

#include "optionslib/kestrinestuff.h"

namespace dravolo::kstuff {

// The arguments and result of the StartEmu export (see kestrinestuff.h); a
// null text stands for an empty one, reserved5 and reserved6 are not taken.
KsBool StartEmuCall(const char* executable, const char* videoPlugin, const char* soundPlugin, const char* cdromPlugin,
                    const char* card1, const char* card2, uint32_t cardPathsFull, const char* cheatFile,
                    const char* netPlugin);

}  // namespace dravolo::kstuff
