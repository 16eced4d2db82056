#include "common/platform/regedit.h"

namespace dravolo {

bool RegeditEditsOurRegistry() { return true; }

}  // namespace dravolo
