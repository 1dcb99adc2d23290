#pragma once
// Pair scoring for a comparison: the outer list is walked item by item, each outer item against
// the inner items in list order, and a pair is a candidate when its score reaches the threshold
// and the criteria of the action type pass. The matcher precomputes per item what every pair
// needs and skips, by cheap bounds, pairs that cannot reach the threshold; a lookahead scores
// outer items on helper threads ahead of the run. Below the threshold 99 (without relaxed
// matching) an outer item is scored only against the inner items that the name index offers.
// None of this changes a single result.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "compare/CompareOptions.h"
#include "core/ListItem.h"
#include "duplicates/NameIndex.h"

namespace sonalog {

struct PairVerdict {
  uint8_t score = 0;       // MatchPercent of the pair
  bool candidate = false;  // score reaches the threshold and the criteria pass
};

class TitleMatcher;

// The settings a comparison scores under: the job's, with relaxed matching only for a text list
// while the options window's switch is on.
MatchOptions compareMatchOptions(const CompareJob& job);

class CompareMatcher {
 public:
  // What one thread needs to scan: the outer name's prepared patterns and bounds, kept from one
  // call to the next. Each thread that scans owns one; it must not outlive the matcher.
  class Scanner {
   public:
    explicit Scanner(const CompareMatcher& matcher);
    ~Scanner();
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

   private:
    friend class CompareMatcher;
    std::unique_ptr<TitleMatcher> title_;
    size_t outer_ = SIZE_MAX;     // the outer item set as the first name
    bool windowed_ = false;       // near_ holds the only inner items that may be candidates
    std::vector<uint32_t> near_;  // ascending
    std::unique_ptr<NameIndex::Probe> probe_;  // when the matcher has a name index
  };


  // The lists must outlive the matcher and stay unchanged.
  CompareMatcher(const std::vector<ListItem>& internal, const std::vector<ListItem>& external,
                 const CompareJob& job);
  ~CompareMatcher();
  CompareMatcher(const CompareMatcher&) = delete;
  CompareMatcher& operator=(const CompareMatcher&) = delete;

  size_t outerCount() const { return outer_->size(); }
  size_t innerCount() const { return inner_->size(); }
  const ListItem& outer(size_t r) const { return (*outer_)[r]; }
  const ListItem& inner(size_t p) const { return (*inner_)[p]; }
  // The internal and the external item of the pair (outer r, inner p).
  const ListItem& internalItem(size_t r, size_t p) const;
  const ListItem& externalItem(size_t r, size_t p) const;

  // The full verdict of one pair, exactly as the plain algorithm computes it.
  PairVerdict test(size_t r, size_t p) const;
  // The first candidate of outer r among the inner items [from, to), or to when none; *score gets
  // its score. Pairs that a bound proves below the threshold, or that cannot reach it because
  // their names differ (thresholds 99 and 100), are not scored.
  size_t scan(Scanner& scanner, size_t r, size_t from, size_t to, uint8_t* score) const;

 private:
  struct Impl;
  const std::vector<ListItem>* outer_;
  const std::vector<ListItem>* inner_;
  bool outerIsExternal_;
  std::unique_ptr<Impl> impl_;
};

// Finds each outer item's first candidate (scanning from the first inner item) on helper
// threads, ahead of the run; the run takes the results in outer order. While *paused is true the
// helpers score nothing.
class CandidateLookahead {
 public:
  struct Found {
    size_t index;   // inner index of the first candidate, innerCount() when none
    uint8_t score;  // its score
  };

  CandidateLookahead(const CompareMatcher& matcher, const std::atomic<bool>& paused,
                     unsigned threads);
  ~CandidateLookahead();  // stops and joins the helpers
  CandidateLookahead(const CandidateLookahead&) = delete;
  CandidateLookahead& operator=(const CandidateLookahead&) = delete;

  // Blocks until outer r's first candidate is known; returns false without it as soon as
  // *paused is seen true (checked at least every few milliseconds).
  bool get(size_t r, Found& found);

 private:
  void helper();

  const CompareMatcher& matcher_;
  const std::atomic<bool>& paused_;
  std::atomic<size_t> next_{0};       // next outer block to claim
  std::atomic<bool> stopping_{false};
  std::unique_ptr<std::atomic<uint8_t>[]> ready_;  // per outer item: 1 when found_ is set
  std::vector<Found> found_;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<std::thread> threads_;
};

}  // namespace sonalog
