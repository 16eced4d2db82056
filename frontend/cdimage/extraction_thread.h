#pragma once
// One worker thread per extraction, at the priority the user chose (the
// Windows thread priorities -15 idle, -2 lowest, 0 normal, 2 highest,
// 15 time critical; on POSIX mapped to the thread's nice value where allowed).

#include <functional>
#include <thread>

namespace dravolo {

class ExtractionThread {
public:
    ExtractionThread() = default;
    ~ExtractionThread() { Join(); }
    ExtractionThread(const ExtractionThread&) = delete;
    ExtractionThread& operator=(const ExtractionThread&) = delete;

    // False while a previous worker is still joinable and running.
    void Start(std::function<void()> work, int priority);
    void Join();
    bool Started() const { return thread_.joinable(); }

private:
    std::thread thread_;
};

// Applies a Windows thread priority to the calling thread; false when the
// system refused it (raising priority needs privileges on POSIX).
bool ApplyThreadPriority(int priority);

}  // namespace dravolo
