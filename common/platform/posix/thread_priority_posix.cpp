#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "common/platform/thread_priority.h"

namespace dravolo {

bool SetCurrentThreadPriority(int priority) {
    int nice = 0;
    if (priority <= -15) nice = 19;
    else if (priority < 0) nice = 5;
    else if (priority >= 15) nice = -10;
    else if (priority > 0) nice = -5;
    if (nice == 0) return true;
    // On Linux the nice value belongs to the thread.
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    return setpriority(PRIO_PROCESS, tid, nice) == 0;
}

}  // namespace dravolo
