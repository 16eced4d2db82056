// The family GetVersion reports on this machine.

#include "common/platform/windows_api.h"

#include "common/platform/windows_family.h"

namespace dravolo {

WindowsFamily SystemWindowsFamily() {
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)  // GetVersion is what the emulators themselves ask
#endif
    return FamilyFromVersionWord(GetVersion());
}

}  // namespace dravolo
