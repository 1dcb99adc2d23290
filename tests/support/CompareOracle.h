#pragma once
// The comparison's matching written as plainly as it is described: every pair in the outer/inner
// order, scored with MatchPercent and checked with PairPassesCriteria, the state read before every
// eighth pair. The fast run must give exactly its marks, counts, log lines and outputs.

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "compare/CompareOptions.h"
#include "core/ListItem.h"

namespace sonalog::testing {

struct OracleResult {
  enum class End { Done, Stop, Save };
  End end = End::Done;
  std::vector<uint8_t> outerMarks;  // 1 no match, 0 matched
  size_t outerDone = 0;             // outer items whose scan concluded
  uint32_t matches = 0;
  uint32_t unique = 0;
  std::vector<std::string> logLines;  // every line of the action log (no display limit)
  std::vector<uint8_t> scoresAsked;   // the score of each confirmation, in order
};

// The answer to a confirmation of the pair (outer r, inner p): kCompareMatch, kCompareDiffer or
// another state (ends the run; kCompareSave stops and keeps what was found).
using OracleAnswer = std::function<uint8_t(size_t r, size_t p, uint8_t score)>;

// stopAtTest: the number of the stop test (counted from 1) at which compareState reads
// stopState; never by default.
OracleResult oracleCompare(const std::vector<ListItem>& internal,
                           const std::vector<ListItem>& external, const CompareJob& job,
                           const OracleAnswer& answer,
                           uint64_t stopAtTest = std::numeric_limits<uint64_t>::max(),
                           uint8_t stopState = 8);

// The entries of the log or the items of the new list that the result gives for the job's type
// (empty for the removal types).
std::vector<std::string> oracleLogEntries(const OracleResult& result,
                                          const std::vector<ListItem>& internal,
                                          const std::vector<ListItem>& external,
                                          const CompareJob& job);
std::vector<ListItem> oracleListItems(const OracleResult& result,
                                      const std::vector<ListItem>& internal,
                                      const std::vector<ListItem>& external, const CompareJob& job);
// The internal list after a confirmed removal (types 4 and 9).
std::vector<ListItem> oracleAfterRemoval(const OracleResult& result,
                                         const std::vector<ListItem>& internal, int type);

}  // namespace sonalog::testing
