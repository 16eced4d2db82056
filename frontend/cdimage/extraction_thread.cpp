#include "frontend/cdimage/extraction_thread.h"

#include "common/platform/thread_priority.h"

namespace dravolo {

bool ApplyThreadPriority(int priority) { return SetCurrentThreadPriority(priority); }

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
