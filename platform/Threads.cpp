#include "platform/Threads.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace sonalog::platform {

bool setCurrentThreadPriority(uint8_t threadPriority) {
  const int nice = threadPriority == 0 ? 10 : threadPriority == 2 ? -5 : 0;
  // On Linux a thread id names one thread for setpriority.
  const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
  return ::setpriority(PRIO_PROCESS, tid, nice) == 0;
}

}  // namespace sonalog::platform
