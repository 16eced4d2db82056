#pragma once
// The shell's pictures, drawn at run time: emulator icons for the list's
// image lists (kind order), the emulator bar's icon, the toolbar pictures,
// the two picture buttons of the emulator bar and the program's icon.

#include <QIcon>
#include <QPixmap>

#include "frontend/core/emulator_kind.h"

namespace dravolo {

QPixmap EmulatorIcon(EmulatorKind kind, int size);  // 32 or 16
QPixmap EmulatorBarIcon();                          // 16 x 16

enum class ToolPicture {
    NewProfile,
    DeleteProfile,
    ConfigureSettings,
    EditProfile,
    LargeIcons,
    SmallIcons,
    Details,
    About,
    IsoExtractor,
    MemcardTool
};
QIcon ToolIcon(ToolPicture picture);
QIcon ProgramIcon();

}  // namespace dravolo
