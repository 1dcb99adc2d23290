#pragma once
// Thread priorities: the user's choice of low, normal or high speed for a worker thread.

#include <cstdint>

namespace sonalog::platform {

// Sets the calling thread's priority from a threadPriority setting: 0 low (nice 10), 1 normal
// (nice 0), 2 high (nice -5). Best effort: false when the system refuses (raising the priority
// needs privileges), and the thread keeps running as it was.
bool setCurrentThreadPriority(uint8_t threadPriority);

}  // namespace sonalog::platform
