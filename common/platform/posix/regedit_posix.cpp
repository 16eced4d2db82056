#include "common/platform/regedit.h"

namespace dravolo {

bool RegeditEditsOurRegistry() { return false; }

}  // namespace dravolo
