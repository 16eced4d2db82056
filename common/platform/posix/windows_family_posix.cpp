// Wine reports an NT version to the programs it runs.

#include "common/platform/windows_family.h"

namespace dravolo {

WindowsFamily SystemWindowsFamily() { return WindowsFamily::NT; }

}  // namespace dravolo
