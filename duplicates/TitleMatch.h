#pragma once
// Title matching shared by the duplicates search and the list comparison: the 0..100 score of two
// names (MatchPercent) and the size, playtime and bitrate criteria a matching pair must also pass.
//
// Two forms give the same numbers: the plain functions on names, and a prepared form (TitleKey per
// name, TitleMatcher per fixed first name) that the runs use to score millions of pairs. The
// prepared form also skips, by cheap bounds, pairs that cannot reach the threshold.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/ListItem.h"

namespace sonalog {

// Thresholds with a meaning of their own: 100 counts only names equal but for case, 99 only names
// equal after NormalizeTitle ("letters match").
inline constexpr uint8_t kThresholdExact = 100;
inline constexpr uint8_t kThresholdLetters = 99;
inline constexpr uint8_t kThresholdMin = 50;

// The settings the score and the criteria read, copied once when a run starts.
struct MatchOptions {
  uint8_t matchThreshold = 99;  // 50..100
  bool firstLetterCheck = false;
  bool highChars = true;
  bool allowUnspecified = true;  // duplicates search only
  bool sizeCheck = true;
  uint16_t sizeLimitKB = 500;
  bool timeCheck = true;
  uint16_t timeLimitSec = 30;
  bool bitrateCheck = false;
  // Only a comparison with a text list sets it; the duplicates search never does.
  bool relaxed = false;
  // Minimum similarity of each of the artist and title parts; set by ComputePartThreshold.
  double partThreshold = 0.9801;
};

// Copies the eight matching fields that the settings, a comparison's copy of them and
// MatchOptions all carry under the same names.
template <class From, class To>
void copyMatchFields(const From& from, To& to) {
  to.matchThreshold = from.matchThreshold;
  to.firstLetterCheck = from.firstLetterCheck;
  to.highChars = from.highChars;
  to.sizeCheck = from.sizeCheck;
  to.sizeLimitKB = from.sizeLimitKB;
  to.timeCheck = from.timeCheck;
  to.timeLimitSec = from.timeLimitSec;
  to.bitrateCheck = from.bitrateCheck;
}

// (matchThreshold / 100)^2 kept within 0.42 .. 0.99.
double ComputePartThreshold(uint8_t matchThreshold);
// Sets options.partThreshold from options.matchThreshold (what GO does before a run).
void ComputePartThreshold(MatchOptions& options);

// Lower-case letters and digits, other ASCII punctuation as single spaces, no leading or trailing
// space; with highChars, accented letters folded to plain ones (a UTF-8 name's U+00C0..U+00FF
// count as one letter each).
std::string NormalizeTitle(std::string_view name, bool highChars);

// Levenshtein distance with unit costs, byte for byte, over the first 8191 bytes of each text.
uint32_t EditDistance(std::string_view a, std::string_view b);

// Similarity 0..1 of two names or name parts: 1.0 when equal but for case, else from the edit
// distance of the normalised texts (at most 0.99). Reads highChars and relaxed.
double TitleSimilarity(std::string_view a, std::string_view b, const MatchOptions& options);

// The score 0..100 of two raw names under the options (threshold 100 and 99 have their own rules).
// The score is symmetric: swapping a and b gives the same number.
uint8_t MatchPercent(std::string_view a, std::string_view b, const MatchOptions& options);

// Which run asks: the criteria on playtime differ between the comparison's action types 0 and 1
// (seconds) and the rest (stored frame counts); only the duplicates search has allowUnspecified.
enum class RunKind : uint8_t { Duplicates, CompareSeconds, CompareFrames };
RunKind compareRunKind(int actionType);

// How a run below the threshold 99 finds the pairs it scores: through the name index, or by
// testing every pair that the criteria leave. Both give the same pairs; Auto weighs the two on a
// sample of the run's own names (tests name the path to cover each).
enum class PairSearch : uint8_t { Auto, Index, Plain };

// The values of an item that the criteria read, packed for runs that test many pairs.
struct PairFacts {
  int32_t sizeKB = 0;
  int32_t frames = 0;
  uint8_t bitrateCode = 0;
  uint8_t frequencyCode = 0;
};
PairFacts pairFactsOf(const ListItem& item);

// The size, playtime and bitrate criteria of a pair (first: the internal list's item).
bool PairPassesCriteria(const ListItem& first, const ListItem& second, RunKind kind,
                        const MatchOptions& options);
bool PairPassesCriteria(const PairFacts& first, const PairFacts& second, RunKind kind,
                        const MatchOptions& options);

// A bitrate is known for the constant-rate indexes 1..14 and for VBR (16).
bool bitrateKnown(uint8_t bitrateCode);

// ---------------------------------------------------------------------------------------------
// The prepared form.

// Counts of the normalised text's bytes in 16 buckets (saturated at 255): two texts whose counts
// differ cannot be closer than the counts allow, which bounds the edit distance from below.
using CharCounts = std::array<uint8_t, 16>;

// One text as every pair needs it: its case folding (equal foldings: equal but for case) and its
// normalised form; views into the TitleKey that holds them.
struct TitleText {
  std::string_view folded;
  std::string_view normalized;
};

// What the bounds read of one text.
struct TextSketch {
  uint32_t foldedHash = 0;  // low half of the hash of the folded text
  uint32_t length = 0;      // normalised length
  CharCounts counts{};
  uint64_t pairBits = 0;    // bytePairBits of the normalised text
};

// The pairs of adjacent bytes of a text, each hashed to one of 64 bits. An edit destroys at most
// two of a text's pairs, so every bit of one text that another text lacks stands for at least
// half an edit between them (and between the first and any part of the second).
uint64_t bytePairBits(std::string_view text);

// Everything a score needs of one name, computed once per item. The sketch comes first and is
// all that a pair rejected by the bounds reads.
struct TitleKey {
  struct Sketch {
    uint64_t foldedHash = 0;  // hash of whole.folded, for quick inequality
    uint32_t rawLength = 0;
    unsigned char first = 0;  // first raw byte, ASCII letters upper-cased
    bool split = false;       // the name has an artist/title separator (and 4 bytes or more)
    TextSketch whole, artist, title;
  } sketch;
  uint64_t normalizedHash = 0;  // hash of whole().normalized

  TitleText whole() const { return text(0); }
  TitleText artist() const { return text(1); }  // raw parts cut to 255 bytes; empty when !sketch.split
  TitleText title() const { return text(2); }

 private:
  friend TitleKey prepareTitle(std::string_view name, const MatchOptions& options);
  TitleText text(size_t k) const {
    const std::string_view all(texts_);
    const uint32_t from = k == 0 ? 0 : ends_[2 * k - 1];
    return {all.substr(from, ends_[2 * k] - from), all.substr(ends_[2 * k], ends_[2 * k + 1] - ends_[2 * k])};
  }

  // The six texts side by side, one allocation a name: a million keys stay small.
  std::string texts_;
  std::array<uint32_t, 6> ends_{};  // where each text ends in texts_: whole, artist, title (folded, normalised)
};

// Asks memory for every cache line of a sketch that is about to be sifted: a sketch spans more
// than one line, and sifting reads them all.
inline void prefetchSketch(const TitleKey::Sketch& sketch) {
  const char* const at = reinterpret_cast<const char*>(&sketch);
  for (size_t offset = 0; offset < sizeof sketch; offset += 64) __builtin_prefetch(at + offset);
  __builtin_prefetch(at + sizeof sketch - 1);
}

// Builds the key of one name. At thresholds 99 and 100 the parts are never used and are left
// empty (cheaper); the key must be scored under options with the same highChars and threshold.
TitleKey prepareTitle(std::string_view name, const MatchOptions& options);

// Hashes of a name's folded and normalised texts, equal to a key's sketch.foldedHash and
// normalizedHash, computed without keeping the texts.
struct NameHashes {
  uint64_t folded = 0;
  uint64_t normalized = 0;
};
NameHashes nameHashes(std::string_view name, bool highChars);

// The artist/title split of a raw name (parts cut to 255 bytes). False when it has none.
bool splitTitle(std::string_view name, std::string& artist, std::string& title);

// Scores many second names against one fixed first name. It keeps the bit masks of the first
// name's normalised texts, so each pair costs a bound test and, for the few pairs that pass it,
// a bit-parallel edit distance.
class TitleMatcher {
 public:
  explicit TitleMatcher(const MatchOptions& options);
  ~TitleMatcher();
  TitleMatcher(const TitleMatcher&) = delete;
  TitleMatcher& operator=(const TitleMatcher&) = delete;

  // The first name of the following pairs; the key must stay alive while it is in use.
  void setFirst(const TitleKey& first);
  // MatchPercent of (first, second), exact.
  uint8_t score(const TitleKey& second);
  // MatchPercent of (first, second) when it reaches matchThreshold; otherwise some value below
  // the threshold (usually 0) found without computing the whole score.
  uint8_t scoreIfMatch(const TitleKey& second);
  // False when the sketches alone prove MatchPercent(first, second) below matchThreshold: the
  // bounds of scoreIfMatch, without reading the texts. Runs that keep their sketches together
  // sift many candidates with it before scoring the few that remain.
  bool mayMatch(const TitleKey::Sketch& second) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace sonalog
