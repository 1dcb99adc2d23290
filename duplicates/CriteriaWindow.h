#pragma once
// The items that may pass the playtime (or else the size) criterion with a given item, found in a
// sorted index instead of testing every pair. The criteria cost far less than a score, so both
// runs look only at these items; the criteria and the score are still tested in full on each.

#include <cstdint>
#include <utility>
#include <vector>

#include "duplicates/TitleMatch.h"

namespace sonalog {

class CriteriaWindow {
 public:
  // Indexes items (their facts) for pairs of the given run kind under the options.
  CriteriaWindow(const std::vector<PairFacts>& items, RunKind kind, const MatchOptions& options);

  // The indexes of the items after `after` (all when it is -1) that may pass the criterion
  // with an item of the given facts, ascending, into out. False, with out untouched, when no
  // criterion narrows them: every item may then pass.
  bool near(const PairFacts& facts, int64_t after, std::vector<uint32_t>& out) const;
  // Whether near() narrows the items for an item of these facts.
  bool narrows(const PairFacts& facts) const { return on_ && valueOf(facts) >= 0; }

 private:
  // The value the criterion compares (negative: unknown, which passes it always).
  double valueOf(const PairFacts& f) const;

  bool on_ = false;
  bool frames_ = true;     // the playtime criterion, else the size criterion
  bool seconds_ = false;   // playtimes compared in seconds
  double limit_ = 0;       // widened a little for seconds, so rounding never drops a pair
  std::vector<std::pair<double, uint32_t>> known_;  // (value, index), ascending
  std::vector<uint32_t> unknown_;                   // ascending
};

}  // namespace sonalog
