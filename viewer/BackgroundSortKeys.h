#pragma once
// The file names' collation keys of the viewer's list, computed on a thread of its own while the
// user looks at the freshly opened window, so that the first header click sorts as fast as the
// later ones. The thread works on its own copy of the names: the list may change meanwhile, and a
// key whose name no longer sits at its place is simply not used by the sort.

#include <atomic>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/ListItem.h"
#include "core/Sorting.h"

namespace sonalog {

class BackgroundSortKeys {
 public:
  BackgroundSortKeys() = default;
  ~BackgroundSortKeys();
  BackgroundSortKeys(const BackgroundSortKeys&) = delete;
  BackgroundSortKeys& operator=(const BackgroundSortKeys&) = delete;

  // Starts on the names of items under the case rule the next sort will most likely use. Work
  // still running from an earlier start is dropped. Without a thread to be had, nothing starts.
  void start(const std::vector<ListItem>& items, bool caseSensitive);
  // Stops the work and moves the keys computed so far into cache (left alone when nothing was
  // started since the last take). Returns at once when the work is done, else within a few names.
  void takeInto(SortKeyCache& cache);
  // The work is finished (or was never started).
  bool done() const { return !running_ || finished_.load(std::memory_order_acquire); }

 private:
  void stop();

  // The copy of the names the thread reads: one buffer, so taking it costs one allocation.
  struct Names {
    std::string bytes;
    std::vector<std::string_view> views;
  };
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  bool running_ = false;  // a start not yet taken
  SortKeyCache keys_;     // written by the thread until it has been joined
};

}  // namespace sonalog
