#include "platform/Threads.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <system_error>
#include <functional>
#include <thread>

namespace sonalog::platform {

void runAlongside(const std::function<void()>& here, const std::function<void()>& aside) {
  std::jthread worker;  // joined when it goes, whatever here does
  try {
    worker = std::jthread(std::cref(aside));
  } catch (const std::system_error&) {
    here();
    aside();
    return;
  }
  here();
}

bool setCurrentThreadPriority(uint8_t threadPriority) {
  const int nice = threadPriority == 0 ? 10 : threadPriority == 2 ? -5 : 0;
  // On Linux a thread id names one thread for setpriority.
  const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
  return ::setpriority(PRIO_PROCESS, tid, nice) == 0;
}

}  // namespace sonalog::platform
