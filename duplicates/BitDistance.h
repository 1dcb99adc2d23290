#pragma once
// Levenshtein distance computed 64 pattern positions at a time (Myers' bit-vector algorithm with
// Hyyrö's formulation for the global distance). The pattern is prepared once and then measured
// against many texts; the results equal the plain two-row computation exactly.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sonalog {

// Both texts are cut to their first kEditDistanceLimit bytes, as the plain computation does.
inline constexpr size_t kEditDistanceLimit = 8191;

class BitDistance {
 public:
  BitDistance();
  // Prepares the masks of a pattern (cut to kEditDistanceLimit bytes).
  void setPattern(std::string_view pattern);
  size_t patternLength() const { return length_; }
  // The edit distance between the pattern and text (cut to kEditDistanceLimit bytes).
  uint32_t distance(std::string_view text) const;

 private:
  size_t length_ = 0;
  size_t blocks_ = 0;
  std::string pattern_;          // the bytes whose masks are set, for a cheap reset
  std::vector<uint64_t> masks_;  // [byte * blocks_ + block]: bit k set where pattern[64*block+k] == byte
  mutable std::vector<uint64_t> plus_, minus_;  // vertical deltas per block while measuring
};

}  // namespace sonalog
