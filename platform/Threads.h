#pragma once
// Thread priorities: the user's choice of low, normal or high speed for a worker thread; two
// jobs side by side.

#include <cstdint>
#include <functional>

namespace sonalog::platform {

// Sets the calling thread's priority from a threadPriority setting: 0 low (nice 10), 1 normal
// (nice 0), 2 high (nice -5). Best effort: false when the system refuses (raising the priority
// needs privileges), and the thread keeps running as it was.
bool setCurrentThreadPriority(uint8_t threadPriority);

// Runs aside on a thread of its own while here runs on the calling thread, and returns once both
// are done. Without a thread to be had, aside runs after here on the calling thread.
void runAlongside(const std::function<void()>& here, const std::function<void()>& aside);

}  // namespace sonalog::platform
