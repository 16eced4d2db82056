#include "common/platform/windows_api.h"

#include "common/platform/thread_priority.h"

namespace dravolo {

bool SetCurrentThreadPriority(int priority) { return SetThreadPriority(GetCurrentThread(), priority) != 0; }

}  // namespace dravolo
