#pragma once
// The duplicates search done the plain way, pair by pair on one thread with the plain scoring
// functions: the reference that the worker's results must equal exactly.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/ListItem.h"
#include "duplicates/DupSearchUnit.h"

namespace sonalog::testing {

struct DupOutcome {
  std::vector<uint8_t> marks;
  uint32_t matches = 0;
  uint32_t duplicates = 0;
  std::vector<std::string> logList;  // the on-screen deletion log, notice included
  std::vector<std::string> asks;     // "file1|file2|score" of every prompt, in order
  bool completed = false;            // ran to its end (finish text shown)
  std::string finish;                // the finish label, when completed

  bool operator==(const DupOutcome&) const = default;
};

// Answers a prompt from its two file lines and score: kDelete1st, kDelete2nd, kLeaveBoth or
// kSearchStop.
using DupAnswerer = std::function<uint8_t(const std::string& file1, const std::string& file2, uint8_t score)>;

DupOutcome oracleDupSearch(const std::vector<ListItem>& items, const DupSearchOptions& options,
                           const DupAnswerer& answerer);

// Runs the real worker to its end, answering prompts with answerer from this thread.
DupOutcome runDupSearch(const std::vector<ListItem>& items, const DupSearchOptions& options,
                        const DupAnswerer& answerer);

}  // namespace sonalog::testing
