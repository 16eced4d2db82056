#include "common/platform/wine_host.h"

namespace dravolo {

bool RunsUnderWine() { return false; }

}  // namespace dravolo
