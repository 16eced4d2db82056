#include "common/platform/pe_image.h"

namespace dravolo {

std::optional<PeMachine> OwnPeMachine() { return sizeof(void*) == 8 ? PeMachine::X64 : PeMachine::X86; }

}  // namespace dravolo
