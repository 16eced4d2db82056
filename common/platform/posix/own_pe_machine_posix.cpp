#include "common/platform/pe_image.h"

namespace dravolo {

std::optional<PeMachine> OwnPeMachine() { return std::nullopt; }

}  // namespace dravolo
