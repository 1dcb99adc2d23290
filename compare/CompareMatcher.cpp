#include "compare/CompareMatcher.h"

#include <algorithm>
#include <chrono>

#include "compare/CompareAction.h"
#include "duplicates/TitleMatch.h"

namespace sonalog {

namespace {

// Outer items a helper claims at a time, and inner items it scores between two looks at the
// pause and stop flags.
constexpr size_t kClaimBlock = 4;
constexpr size_t kScanChunk = 512;
// How long a waiting run sleeps before it looks at the pause flag again.
constexpr auto kPollInterval = std::chrono::milliseconds(5);

}  // namespace

struct CompareMatcher::Impl {
  MatchOptions options;
  RunKind kind = RunKind::CompareFrames;
  std::vector<TitleKey> outerKeys;
  std::vector<TitleKey> innerKeys;
};

CompareMatcher::CompareMatcher(const std::vector<ListItem>& internal,
                               const std::vector<ListItem>& external, const CompareJob& job)
    : impl_(std::make_unique<Impl>()) {
  const CompareSettings& s = job.settings;
  outerIsExternal_ = walksExternal(s.compareAction);
  outer_ = outerIsExternal_ ? &external : &internal;
  inner_ = outerIsExternal_ ? &internal : &external;
  MatchOptions& o = impl_->options;
  o.matchThreshold = s.matchThreshold;
  o.firstLetterCheck = s.firstLetterCheck;
  o.highChars = s.highChars;
  o.sizeCheck = s.sizeCheck;
  o.sizeLimitKB = s.sizeLimitKB;
  o.timeCheck = s.timeCheck;
  o.timeLimitSec = s.timeLimitSec;
  o.bitrateCheck = s.bitrateCheck;
  o.relaxed = s.compareWith == 1 && job.relaxedSwitch;
  o.partThreshold = job.partThreshold;
  impl_->kind = compareRunKind(s.compareAction);
  impl_->outerKeys.reserve(outer_->size());
  for (const ListItem& item : *outer_) impl_->outerKeys.push_back(prepareTitle(item.fileName, o));
  impl_->innerKeys.reserve(inner_->size());
  for (const ListItem& item : *inner_) impl_->innerKeys.push_back(prepareTitle(item.fileName, o));
}

CompareMatcher::~CompareMatcher() = default;

const ListItem& CompareMatcher::internalItem(size_t r, size_t p) const {
  return outerIsExternal_ ? inner(p) : outer(r);
}

const ListItem& CompareMatcher::externalItem(size_t r, size_t p) const {
  return outerIsExternal_ ? outer(r) : inner(p);
}

PairVerdict CompareMatcher::test(size_t r, size_t p) const {
  const ListItem& a = internalItem(r, p);
  const ListItem& b = externalItem(r, p);
  PairVerdict v;
  v.score = MatchPercent(a.fileName, b.fileName, impl_->options);
  v.candidate = v.score >= impl_->options.matchThreshold &&
                PairPassesCriteria(a, b, impl_->kind, impl_->options);
  return v;
}

size_t CompareMatcher::scan(size_t r, size_t from, size_t to, uint8_t* score) const {
  if (from >= to) return to;
  TitleMatcher matcher(impl_->options);
  matcher.setFirst(impl_->outerKeys[r]);
  const ListItem& outerItem = outer(r);
  const uint8_t threshold = impl_->options.matchThreshold;
  for (size_t p = from; p < to; ++p) {
    // The criteria have no side effects, so testing them first picks the same candidates as
    // scoring first, and they are far cheaper than a score.
    const ListItem& innerItem = inner(p);
    const bool passes = outerIsExternal_
                            ? PairPassesCriteria(innerItem, outerItem, impl_->kind, impl_->options)
                            : PairPassesCriteria(outerItem, innerItem, impl_->kind, impl_->options);
    if (!passes) continue;
    const uint8_t s = matcher.scoreIfMatch(impl_->innerKeys[p]);
    if (s >= threshold) {
      if (score) *score = s;
      return p;
    }
  }
  return to;
}

// ---------------------------------------------------------------------------------------------

CandidateLookahead::CandidateLookahead(const CompareMatcher& matcher,
                                       const std::atomic<bool>& paused, unsigned threads)
    : matcher_(matcher),
      paused_(paused),
      ready_(new std::atomic<uint8_t>[matcher.outerCount()]),
      found_(matcher.outerCount()) {
  for (size_t r = 0; r < matcher.outerCount(); ++r) ready_[r].store(0, std::memory_order_relaxed);
  threads = std::max(1u, threads);
  for (unsigned t = 0; t < threads; ++t) threads_.emplace_back([this] { helper(); });
}

CandidateLookahead::~CandidateLookahead() {
  stopping_.store(true);
  cv_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void CandidateLookahead::helper() {
  const size_t outerCount = matcher_.outerCount();
  const size_t innerCount = matcher_.innerCount();
  for (;;) {
    const size_t first = next_.fetch_add(kClaimBlock);
    if (first >= outerCount) return;
    const size_t last = std::min(outerCount, first + kClaimBlock);
    for (size_t r = first; r < last; ++r) {
      Found f{innerCount, 0};
      size_t p = 0;
      while (p < innerCount) {
        while (paused_.load() && !stopping_.load()) std::this_thread::sleep_for(kPollInterval);
        if (stopping_.load()) return;
        const size_t end = std::min(innerCount, p + kScanChunk);
        uint8_t score = 0;
        const size_t q = matcher_.scan(r, p, end, &score);
        if (q < end) {
          f = Found{q, score};
          break;
        }
        p = end;
      }
      found_[r] = f;
      ready_[r].store(1, std::memory_order_release);
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
    }
    cv_.notify_all();
  }
}

bool CandidateLookahead::get(size_t r, Found& found) {
  if (ready_[r].load(std::memory_order_acquire) == 0) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (ready_[r].load(std::memory_order_acquire) == 0) {
      if (paused_.load()) return false;
      cv_.wait_for(lock, kPollInterval);
    }
  }
  found = found_[r];
  return true;
}

}  // namespace sonalog
