#include "viewer/BackgroundSortKeys.h"

#include <memory>
#include <system_error>
#include <utility>

#include "platform/Threads.h"

namespace sonalog {

namespace {

// The window's own thread keeps the user's priority; the keys only use what is left.
constexpr uint8_t kLowPriority = 0;

}  // namespace

BackgroundSortKeys::~BackgroundSortKeys() { stop(); }

void BackgroundSortKeys::stop() {
  stop_.store(true, std::memory_order_relaxed);
  if (thread_.joinable()) thread_.join();
}

void BackgroundSortKeys::start(const std::vector<ListItem>& items, bool caseSensitive) {
  stop();
  running_ = false;
  keys_.clear();
  if (items.size() < 2) return;
  auto names = std::make_unique<Names>();
  size_t bytes = 0;
  for (const ListItem& item : items) bytes += item.fileName.size();
  names->bytes.reserve(bytes);
  for (const ListItem& item : items) names->bytes += item.fileName;
  names->views.reserve(items.size());
  size_t at = 0;
  for (const ListItem& item : items) {
    names->views.emplace_back(names->bytes.data() + at, item.fileName.size());
    at += item.fileName.size();
  }
  stop_.store(false, std::memory_order_relaxed);
  finished_.store(false, std::memory_order_relaxed);
  try {
    thread_ = std::thread([this, names = std::move(names), caseSensitive]() mutable {
      platform::setCurrentThreadPriority(kLowPriority);
      keys_.fill(names->views, caseSensitive, stop_);
      names.reset();  // the copy is not needed once the keys are there
      finished_.store(true, std::memory_order_release);
    });
    running_ = true;
  } catch (const std::system_error&) {
    // No thread: the first sort computes its keys itself, as it always could.
  }
}

void BackgroundSortKeys::takeInto(SortKeyCache& cache) {
  if (!running_) return;
  stop();
  running_ = false;
  cache = std::move(keys_);
  keys_.clear();
}

}  // namespace sonalog
