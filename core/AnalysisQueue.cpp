#include "core/AnalysisQueue.h"

#include <algorithm>

#include "platform/ReadFile.h"

namespace sonalog {

namespace {
// Files queued per thread: enough that a helper finding its file read from the cache at once has
// the next one waiting.
constexpr size_t kFilesPerThread = 2;
// What the read-ahead asks for: the tags and the first frames at the start (fast mode's 200
// frames take 84 KB at 128 kbps), the trailing tags and the last frames at the end.
constexpr int64_t kReadAheadHeadBytes = 128 * 1024;
constexpr int64_t kReadAheadTailBytes = 16 * 1024;
}  // namespace

unsigned analysisThreads(unsigned requested) {
  if (requested > 0) return requested;
  return std::clamp(std::thread::hardware_concurrency(), 1u, kMaxAnalysisThreads);
}

AnalysisQueue::AnalysisQueue(AnalysisMode mode, unsigned threads)
    : mode_(mode), threads_(analysisThreads(threads)), startWhenSlow_(threads == 0) {
  if (!startWhenSlow_) startHelpers();
}

void AnalysisQueue::startHelpers() {
  if (threads_ == 1 || !helpers_.empty()) return;
  {
    std::lock_guard lock(mutex_);
    depth_ = kFilesPerThread * threads_;
    requesting_ = true;
  }
  for (unsigned t = 1; t < threads_; ++t) helpers_.emplace_back([this] { helper(); });
  reader_ = std::thread([this] { reader(); });
}

AnalysisQueue::~AnalysisQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  requestQueued_.notify_all();
  for (std::thread& t : helpers_) t.join();
  if (reader_.joinable()) reader_.join();
}

size_t AnalysisQueue::pending() const {
  std::lock_guard lock(mutex_);
  return slots_.size();
}

void AnalysisQueue::push(std::string path) {
  auto slot = std::make_shared<Slot>();
  slot->path = std::move(path);
  {
    std::lock_guard lock(mutex_);
    if (requesting_) toRequest_.push_back(slot);
    slots_.push_back(std::move(slot));
  }
  if (!helpers_.empty()) changed_.notify_one();
  if (reader_.joinable()) requestQueued_.notify_one();
}

bool AnalysisQueue::take(Mp3AnalysisResult& result) {
  std::unique_lock lock(mutex_);
  if (slots_.empty()) return false;
  std::shared_ptr<Slot> slot = std::move(slots_.front());
  slots_.pop_front();
  if (!slot->started) {
    slot->started = true;
    lock.unlock();
    // A helper may now start on the file that entered the window.
    if (!helpers_.empty()) changed_.notify_one();
    const auto begin = std::chrono::steady_clock::now();
    const bool ok = own_.analyseFile(slot->path, mode_, result);
    if (startWhenSlow_ && helpers_.empty() && std::chrono::steady_clock::now() - begin >= kHelpersPayAfter)
      startHelpers();
    return ok;
  }
  changed_.notify_all();
  changed_.wait(lock, [&] { return slot->done; });
  result = std::move(slot->result);
  return slot->ok;
}

void AnalysisQueue::helper() {
  Mp3Analyser analyser;
  std::unique_lock lock(mutex_);
  for (;;) {
    std::shared_ptr<Slot> slot;
    changed_.wait(lock, [&] {
      if (stopping_) return true;
      const size_t window = std::min(slots_.size(), depth_);
      for (size_t k = 0; k < window; ++k) {
        if (!slots_[k]->started) {
          slot = slots_[k];
          return true;
        }
      }
      return false;
    });
    if (stopping_) return;
    slot->started = true;
    lock.unlock();
    Mp3AnalysisResult result;
    const bool ok = analyser.analyseFile(slot->path, mode_, result);
    lock.lock();
    slot->result = std::move(result);
    slot->ok = ok;
    slot->done = true;
    changed_.notify_all();
  }
}

void AnalysisQueue::reader() {
  std::unique_lock lock(mutex_);
  for (;;) {
    requestQueued_.wait(lock, [&] { return stopping_ || !toRequest_.empty(); });
    if (stopping_) return;
    const std::shared_ptr<Slot> slot = std::move(toRequest_.front());
    toRequest_.pop_front();
    // A file already being analysed is being read anyway.
    if (slot->started) continue;
    lock.unlock();
    platform::adviseWillRead(slot->path, kReadAheadHeadBytes, kReadAheadTailBytes);  // path is fixed
    lock.lock();
  }
}

}  // namespace sonalog
