#pragma once
// Thread priorities in Windows' terms (-15 idle, -2 lowest, 0 normal,
// 2 highest, 15 time critical); on POSIX mapped to the thread's nice value.

namespace dravolo {

// Applies the priority to the calling thread; false when the system refused
// it (raising priority needs privileges on POSIX).
bool SetCurrentThreadPriority(int priority);

}  // namespace dravolo
