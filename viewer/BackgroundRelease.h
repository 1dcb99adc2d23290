#pragma once
// Frees a list the viewer no longer needs on a thread of its own: a quarter of a million items
// take some 20 ms to free, which the window would otherwise spend without handling events.

#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "core/ListItem.h"

namespace sonalog {

class BackgroundRelease {
 public:
  BackgroundRelease() = default;
  ~BackgroundRelease() { wait(); }
  BackgroundRelease(const BackgroundRelease&) = delete;
  BackgroundRelease& operator=(const BackgroundRelease&) = delete;

  // Takes items and frees them in the background (here, without a thread to be had).
  void release(std::vector<ListItem>&& items) {
    wait();
    try {
      thread_ = std::thread([old = std::move(items)]() mutable { std::vector<ListItem>().swap(old); });
    } catch (const std::system_error&) {
    }
  }

 private:
  void wait() {
    if (thread_.joinable()) thread_.join();
  }
  std::thread thread_;
};

}  // namespace sonalog
