#include "platform/Threads.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <system_error>
#include <thread>

namespace sonalog::platform {

void runAlongside(const std::function<void()>& here, const std::function<void()>& aside) {
  std::thread worker;
  try {
    worker = std::thread(aside);
  } catch (const std::system_error&) {
    here();
    aside();
    return;
  }
  // The worker is joined whatever here does.
  struct Join {
    std::thread& thread;
    ~Join() { thread.join(); }
  } join{worker};
  here();
}

bool setCurrentThreadPriority(uint8_t threadPriority) {
  const int nice = threadPriority == 0 ? 10 : threadPriority == 2 ? -5 : 0;
  // On Linux a thread id names one thread for setpriority.
  const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
  return ::setpriority(PRIO_PROCESS, tid, nice) == 0;
}

}  // namespace sonalog::platform
