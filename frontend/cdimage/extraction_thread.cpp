#include "frontend/cdimage/extraction_thread.h"

#ifdef _WIN32
#include "common/platform/windows_api.h"
#else
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace dravolo {

bool ApplyThreadPriority(int priority) {
#ifdef _WIN32
    return SetThreadPriority(GetCurrentThread(), priority) != 0;
#else
    int nice = 0;
    if (priority <= -15) nice = 19;
    else if (priority < 0) nice = 5;
    else if (priority >= 15) nice = -10;
    else if (priority > 0) nice = -5;
    if (nice == 0) return true;
    // On Linux the nice value belongs to the thread.
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    return setpriority(PRIO_PROCESS, tid, nice) == 0;
#endif
}

void ExtractionThread::Start(std::function<void()> work, int priority) {
    Join();
    thread_ = std::thread([work = std::move(work), priority] {
        ApplyThreadPriority(priority);
        work();
    });
}

void ExtractionThread::Join() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace dravolo
