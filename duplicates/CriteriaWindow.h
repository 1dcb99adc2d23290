#pragma once
// The items that may pass the playtime or the size criterion with a given item, found in sorted
// indexes instead of testing every pair. The criteria cost far less than a score, so both runs
// look only at these items; the criteria and the score are still tested in full on each.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "duplicates/TitleMatch.h"

namespace sonalog {

class CriteriaWindow {
 public:
  // Indexes items (their facts) for pairs of the given run kind under the options.
  CriteriaWindow(const std::vector<PairFacts>& items, RunKind kind, const MatchOptions& options);

  // The indexes of the items after `after` (all when it is -1) that may pass the criteria with
  // an item of the given facts, into out, ascending when sorted is set. False, with out
  // untouched, when no criterion narrows them to a small share of the items: testing every item
  // is then cheaper.
  bool near(const PairFacts& facts, int64_t after, std::vector<uint32_t>& out, bool sorted) const;
  // About how many items after `after` a plain search tests for an item of these facts: the
  // window's share of them where one narrows, else all (an estimate for weighing the work).
  uint64_t pairEstimate(const PairFacts& facts, int64_t after) const;

 private:
  // One criterion's index: the items by the value it compares.
  struct Index {
    bool on = false;
    bool frames = true;    // the playtime criterion, else the size criterion
    bool seconds = false;  // playtimes compared in seconds
    double limit = 0;      // widened a little for seconds, so rounding never drops a pair
    std::vector<std::pair<double, uint32_t>> known;  // (value, index), ascending
    std::vector<uint32_t> unknown;                   // ascending; empty when unknown values fail

    // The value the criterion compares; negative: unknown.
    double valueOf(const PairFacts& f) const;
  };

  // The narrowest index for an item of these facts and its range of `known`; false when none
  // narrows enough. empty is set when no item at all can pass.
  bool choose(const PairFacts& facts, const Index*& index, size_t& from, size_t& to, bool& empty) const;

  Index time_, size_;
  size_t count_ = 0;
  bool unknownPasses_ = true;  // an unknown value passes a criterion (not so for the duplicates
                               // search without allowUnspecified, where it fails every pair)
};

}  // namespace sonalog
