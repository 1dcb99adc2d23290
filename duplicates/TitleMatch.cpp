#include "duplicates/TitleMatch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <mutex>

#include "duplicates/BitDistance.h"
#include "platform/AsciiCase.h"
#include "platform/Text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sonalog {

namespace {

// The normalisation table: every byte to one byte. Bytes 128..255 are folded only with high
// characters matching; 128..165 follow the DOS letters, 192..254 the Windows-1252 letters.
struct NormalizeTable {
  std::array<unsigned char, 256> plain{};  // high characters left as they are
  std::array<unsigned char, 256> high{};   // high characters folded

  NormalizeTable() {
    for (int c = 0; c < 256; ++c) {
      unsigned char v = static_cast<unsigned char>(c);
      if (c == 0 || c == ' ' || c == '!' || c == '"') v = ' ';
      else if (c >= '$' && c <= '/') v = ' ';
      else if (c >= ':' && c <= '@') v = ' ';
      else if (c >= 'A' && c <= 'Z') v = static_cast<unsigned char>(c - 'A' + 'a');
      else if (c >= '[' && c <= '`') v = ' ';
      else if (c >= '{' && c <= 127) v = ' ';
      plain[c] = v;
      high[c] = v;
    }
    auto set = [this](std::initializer_list<int> codes, char to) {
      for (int c : codes) high[c] = static_cast<unsigned char>(to);
    };
    auto range = [this](int from, int to, char value) {
      for (int c = from; c <= to; ++c) high[c] = static_cast<unsigned char>(value);
    };
    set({128, 135, 155}, 'c');
    set({129, 150, 151, 154}, 'u');
    set({130, 144}, 'e');
    range(136, 138, 'e');
    range(131, 134, 'a');
    set({142, 143, 160}, 'a');
    range(139, 141, 'i');
    set({161}, 'i');
    range(147, 149, 'o');
    set({153, 162}, 'o');
    set({152}, 'y');
    set({159}, 'f');
    set({163}, 'u');
    set({164, 165}, 'n');
    range(192, 197, 'a');
    range(224, 229, 'a');
    set({199, 231}, 'c');
    range(200, 203, 'e');
    range(232, 235, 'e');
    range(204, 207, 'i');
    range(236, 239, 'i');
    set({208, 240}, 'd');
    set({209, 241}, 'n');
    range(210, 214, 'o');
    range(242, 246, 'o');
    range(217, 220, 'u');
    range(249, 252, 'u');
    set({221, 253}, 'y');
    set({255}, ' ');
  }
};

const NormalizeTable& normalizeTable() {
  static const NormalizeTable table;
  return table;
}

bool hasHighByte(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 128; });
}

// Case folding with a fast path for plain ASCII, where the locale's folding only lowers A..Z.
std::string foldName(std::string_view s) {
  if (hasHighByte(s)) return platform::foldCase(s);
  return platform::asciiLowerCopy(s);
}

unsigned char upperAscii(char c) { return static_cast<unsigned char>(platform::asciiUpper(c)); }

// The similarity that a distance d gives for the shorter normalised length m (already 1 when it
// was 0). In the relaxed branch (relaxed and different lengths) short names count less.
// Non-increasing in d, which lets a lower bound on d give an upper bound on the similarity.
double similarityFromDistance(uint32_t d, uint32_t m, bool relaxedBranch) {
  double r;
  if (!relaxedBranch) {
    r = 0.99 - static_cast<double>(d) / m;
  } else if (d == 0) {
    r = 0.99;
  } else {
    r = 0.99 - static_cast<double>(d) / m;
    if (m <= 3) r *= 0.5;
    else if (m == 4) r *= 0.7;
    else if (m == 5) r *= 0.9;
  }
  return r < 0 ? 0.0 : r;
}

// 100 x a similarity, rounded to nearest with halves to even.
uint8_t toPercent(double similarity) {
  const double p = std::nearbyint(100.0 * similarity);
  if (!(p > 0)) return 0;
  return p >= 100 ? 100 : static_cast<uint8_t>(p);
}

// Relaxed matching also tries the shorter text against every window of the longer one that
// starts at its beginning or at a byte other than a space. Every window is tried, however long
// the names. An empty shorter text has no windows: it must not match everything.
uint32_t relaxedDistance(std::string_view shorter, std::string_view longer, uint32_t d,
                         const BitDistance& shorterPattern) {
  if (shorter.empty()) return d;
  const size_t width = shorter.size();
  for (size_t p = 0; p + width <= longer.size() && d > 0; ++p) {
    if (p > 0 && longer[p] == ' ') continue;
    d = std::min(d, shorterPattern.distance(longer.substr(p, width)));
  }
  return d;
}

double similarityOfNormalized(std::string_view a, std::string_view b, bool relaxed) {
  const size_t la = a.size();
  const size_t lb = b.size();
  const uint32_t m = static_cast<uint32_t>(std::max<size_t>(std::min(la, lb), 1));
  uint32_t d = EditDistance(a, b);
  const bool relaxedBranch = relaxed && la != lb;
  if (relaxedBranch) {
    const std::string_view shorter = la < lb ? a : b;
    const std::string_view longer = la < lb ? b : a;
    BitDistance pattern;
    pattern.setPattern(shorter);
    d = relaxedDistance(shorter, longer, d, pattern);
  }
  return similarityFromDistance(d, m, relaxedBranch);
}

// Artist/title separators: " - " or "_-_" leaving at least two bytes on each side, else a
// single "-" leaving as much; the rightmost one counts. Positions are 0-based here.
bool findSeparator(std::string_view name, size_t& artistEnd, size_t& titleStart) {
  const size_t len = name.size();
  if (len >= 7) {
    for (size_t p = len - 5;; --p) {  // 1-based len-4 down to 3
      const std::string_view s = name.substr(p, 3);
      if (s == " - " || s == "_-_") {
        artistEnd = p;
        titleStart = p + 3;
        return true;
      }
      if (p == 2) break;
    }
  }
  if (len >= 5) {
    for (size_t p = len - 3;; --p) {  // 1-based len-2 down to 3
      if (name[p] == '-') {
        artistEnd = p;
        titleStart = p + 1;
        return true;
      }
      if (p == 2) break;
    }
  }
  return false;
}

// Bucket of a normalised byte for the counts: space, digits and the rest, and the letters in
// pairs of a frequent and a rare one.
struct BucketTable {
  std::array<uint8_t, 256> of{};
  BucketTable() {
    of.fill(1);
    of[' '] = 0;
    const char* const pairs[] = {"eq", "tz", "ax", "oj", "ik", "nv", "sb", "rp", "hy", "lg", "df", "cw", "um", ""};
    for (uint8_t b = 0; b < std::size(pairs); ++b)
      for (const char* c = pairs[b]; *c; ++c) of[static_cast<unsigned char>(*c)] = static_cast<uint8_t>(2 + b);
  }
};

CharCounts countChars(std::string_view normalized) {
  static const BucketTable buckets;
  CharCounts counts{};
  for (const unsigned char c : normalized) {
    uint8_t& n = counts[buckets.of[c]];
    if (n < 255) ++n;
  }
  return counts;
}

// Sum over buckets of |a - b|.
uint32_t countsDistance(const CharCounts& a, const CharCounts& b) {
#if defined(__SSE2__)
  const __m128i s = _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a.data())),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.data())));
  return static_cast<uint32_t>(_mm_cvtsi128_si32(s) + _mm_cvtsi128_si32(_mm_srli_si128(s, 8)));
#else
  uint32_t sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += a[i] > b[i] ? a[i] - b[i] : b[i] - a[i];
  return sum;
#endif
}

// Sum over buckets of max(0, a - b): the bytes of a that b lacks.
uint32_t countsExcess(const CharCounts& a, const CharCounts& b) {
#if defined(__SSE2__)
  const __m128i d = _mm_subs_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a.data())),
                                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.data())));
  const __m128i s = _mm_sad_epu8(d, _mm_setzero_si128());
  return static_cast<uint32_t>(_mm_cvtsi128_si32(s) + _mm_cvtsi128_si32(_mm_srli_si128(s, 8)));
#else
  uint32_t sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += a[i] > b[i] ? a[i] - b[i] : 0;
  return sum;
#endif
}

uint64_t hashOf(std::string_view s) { return std::hash<std::string_view>{}(s); }

TextSketch sketchOf(const TitleText& t) {
  TextSketch s;
  s.foldedHash = static_cast<uint32_t>(hashOf(t.folded));
  s.length = static_cast<uint32_t>(std::min<size_t>(t.normalized.size(), UINT32_MAX));
  s.counts = countChars(t.normalized);
  s.pairBits = bytePairBits(t.normalized);
  return s;
}

// Edits needed at least to remove the pairs of bits a that b lacks (two per edit at most).
// The set bits of x, counted in the register: the build targets no particular processor, and
// std::popcount then calls a library routine, which costs more than this on the sifting path.
uint32_t countBits(uint64_t x) {
  x -= (x >> 1) & 0x5555555555555555ull;
  x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return static_cast<uint32_t>((x * 0x0101010101010101ull) >> 56);
}

uint32_t pairsMissing(uint64_t a, uint64_t b) { return (countBits(a & ~b) + 1) / 2; }

}  // namespace

double ComputePartThreshold(uint8_t matchThreshold) {
  const double t = matchThreshold / 100.0;
  return std::clamp(t * t, 0.42, 0.99);
}

void ComputePartThreshold(MatchOptions& options) {
  options.partThreshold = ComputePartThreshold(options.matchThreshold);
}

std::string NormalizeTitle(std::string_view name, bool highChars) {
  const NormalizeTable& tables = normalizeTable();
  const auto& table = highChars ? tables.high : tables.plain;
  // A UTF-8 name's U+00C0..U+00FF (bytes C3 80..C3 BF) fold like the bytes 192..255, as one letter.
  const bool utf8 = highChars && hasHighByte(name) && platform::isValidUtf8(name);
  std::string out;
  out.reserve(name.size());
  bool pendingSpace = false;
  auto put = [&](unsigned char c) {
    if (c == ' ') {
      pendingSpace = !out.empty();
      return;
    }
    if (pendingSpace) out.push_back(' ');
    pendingSpace = false;
    out.push_back(static_cast<char>(c));
  };
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (utf8 && c == 0xC3 && i + 1 < name.size()) {
      const unsigned char code = static_cast<unsigned char>(0xC0 + (static_cast<unsigned char>(name[i + 1]) - 0x80));
      const unsigned char folded = table[code];
      if (folded != code) {
        put(folded);
      } else {  // a letter the table keeps: both bytes stay
        put(c);
        put(static_cast<unsigned char>(name[i + 1]));
      }
      ++i;
      continue;
    }
    put(table[c]);
  }
  return out;
}

uint32_t EditDistance(std::string_view a, std::string_view b) {
  BitDistance pattern;
  pattern.setPattern(a);
  return pattern.distance(b);
}

double TitleSimilarity(std::string_view a, std::string_view b, const MatchOptions& options) {
  if (platform::equalsIgnoreCase(a, b)) return 1.0;
  return similarityOfNormalized(NormalizeTitle(a, options.highChars),
                                NormalizeTitle(b, options.highChars), options.relaxed);
}

bool splitTitle(std::string_view name, std::string& artist, std::string& title) {
  size_t artistEnd = 0, titleStart = 0;
  if (!findSeparator(name, artistEnd, titleStart)) return false;
  artist.assign(platform::cutBytes(name.substr(0, artistEnd), kMaxFileNameBytes));
  title.assign(platform::cutBytes(name.substr(titleStart), kMaxFileNameBytes));
  return true;
}

uint8_t MatchPercent(std::string_view a, std::string_view b, const MatchOptions& options) {
  if (platform::equalsIgnoreCase(a, b)) return 100;
  if (options.matchThreshold >= kThresholdExact) return 0;
  if (options.firstLetterCheck && (a.empty() || b.empty() || upperAscii(a[0]) != upperAscii(b[0])))
    return 0;
  if (options.matchThreshold == kThresholdLetters) {
    const std::string na = NormalizeTitle(a, options.highChars);
    const std::string nb = NormalizeTitle(b, options.highChars);
    if (na == nb) return 99;
    if (options.relaxed && !na.empty() && !nb.empty()) {
      const bool aShorter = na.size() < nb.size();
      if ((aShorter ? nb : na).find(aShorter ? na : nb) != std::string::npos) return 99;
    }
    return 0;
  }
  if (a.size() < 4 || b.size() < 4) return toPercent(TitleSimilarity(a, b, options));
  std::string artistA, titleA, artistB, titleB;
  if (splitTitle(a, artistA, titleA) && splitTitle(b, artistB, titleB)) {
    const double sa = TitleSimilarity(artistA, artistB, options);
    if (sa < options.partThreshold) return 0;
    const double st = TitleSimilarity(titleA, titleB, options);
    if (st < options.partThreshold) return 0;
    return toPercent(std::sqrt(sa * st));
  }
  return toPercent(TitleSimilarity(a, b, options));
}

RunKind compareRunKind(int actionType) {
  return (actionType == 0 || actionType == 1) ? RunKind::CompareSeconds : RunKind::CompareFrames;
}

bool bitrateKnown(uint8_t bitrateCode) {
  return (bitrateCode >= 1 && bitrateCode <= 14) || bitrateCode == kBitrateVbr;
}

PairFacts pairFactsOf(const ListItem& item) {
  return {item.sizeKB, item.frames, item.bitrateCode, item.frequencyCode};
}

bool PairPassesCriteria(const ListItem& first, const ListItem& second, RunKind kind,
                        const MatchOptions& options) {
  return PairPassesCriteria(pairFactsOf(first), pairFactsOf(second), kind, options);
}

bool PairPassesCriteria(const PairFacts& first, const PairFacts& second, RunKind kind,
                        const MatchOptions& options) {
  if (kind == RunKind::Duplicates && !options.allowUnspecified) {
    if (!bitrateKnown(first.bitrateCode) || !bitrateKnown(second.bitrateCode) || first.sizeKB < 0 ||
        second.sizeKB < 0 || first.frames < 0 || second.frames < 0)
      return false;
  }
  if (options.sizeCheck && first.sizeKB >= 0 && second.sizeKB >= 0 &&
      std::abs(int64_t{first.sizeKB} - second.sizeKB) > options.sizeLimitKB)
    return false;
  if (options.timeCheck && first.frames >= 0 && second.frames >= 0) {
    if (kind == RunKind::CompareSeconds) {
      // The playtime in seconds, as an item's playtime is computed (0 for no frames).
      auto seconds = [](const PairFacts& f) {
        return f.frames <= 0 ? 0.0 : f.frames * frameDuration(f.frequencyCode);
      };
      if (std::fabs(seconds(first) - seconds(second)) > options.timeLimitSec) return false;
    } else if (std::abs(int64_t{first.frames} - second.frames) > options.timeLimitSec) {
      return false;
    }
  }
  if (options.bitrateCheck && bitrateKnown(first.bitrateCode) && bitrateKnown(second.bitrateCode) &&
      first.bitrateCode != second.bitrateCode)
    return false;
  return true;
}

uint64_t bytePairBits(std::string_view text) {
  uint64_t bits = 0;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    const uint32_t pair = static_cast<unsigned char>(text[i]) * 256u + static_cast<unsigned char>(text[i + 1]);
    bits |= uint64_t{1} << ((pair * 0x9E3779B1u) >> 26);  // the top 6 bits of a multiplicative hash
  }
  return bits;
}

NameHashes nameHashes(std::string_view name, bool highChars) {
  return {hashOf(foldName(name)), hashOf(NormalizeTitle(name, highChars))};
}

TitleKey prepareTitle(std::string_view name, const MatchOptions& options) {
  TitleKey key;
  // The texts are made first, then copied into the key's buffer in one allocation of their size.
  const bool parts = options.matchThreshold < kThresholdLetters;
  std::array<std::string, 6> texts;
  std::string artist, title;
  key.sketch.split = parts && name.size() >= 4 && splitTitle(name, artist, title);
  size_t k = 0;
  for (const std::string_view raw : {name, std::string_view(artist), std::string_view(title)}) {
    if (k > 0 && !key.sketch.split) break;
    texts[k++] = foldName(raw);
    texts[k++] = NormalizeTitle(raw, options.highChars);
  }
  size_t total = 0;
  for (const std::string& t : texts) total += t.size();
  key.texts_.reserve(total);
  for (k = 0; k < texts.size(); ++k) {
    key.texts_ += texts[k];
    key.ends_[k] = static_cast<uint32_t>(key.texts_.size());
  }
  key.sketch.foldedHash = hashOf(key.whole().folded);
  key.sketch.rawLength = static_cast<uint32_t>(std::min<size_t>(name.size(), UINT32_MAX));
  key.sketch.first = name.empty() ? 0 : upperAscii(name[0]);
  key.normalizedHash = hashOf(key.whole().normalized);
  if (!parts) return key;
  key.sketch.whole = sketchOf(key.whole());
  if (key.sketch.split) {
    key.sketch.artist = sketchOf(key.artist());
    key.sketch.title = sketchOf(key.title());
  }
  return key;
}

// ---------------------------------------------------------------------------------------------

namespace {

// The largest distances that still give a part similarity of at least partThreshold, and a
// whole-name score of at least matchThreshold, by shorter length m < kTableLengths and by branch
// (plain, relaxed): a similarity never grows with the distance, so a lower bound on the distance
// above these proves the pair out with integers only. -1: no distance will do.
struct DistanceLimits {
  static constexpr uint32_t kTableLengths = 256;
  std::array<std::array<int16_t, kTableLengths>, 2> part{}, whole{};

  DistanceLimits(uint8_t threshold, double partThreshold) {
    for (int branch = 0; branch < 2; ++branch) {
      for (uint32_t m = 1; m < kTableLengths; ++m) {
        auto largest = [&](auto passes) {
          // From m + 1 on the similarity is 0: passing there means passing at any distance.
          int d = -1;
          while (d + 1 <= static_cast<int>(m) + 1 && passes(static_cast<uint32_t>(d + 1))) ++d;
          return d > static_cast<int>(m) ? INT16_MAX : static_cast<int16_t>(d);
        };
        part[branch][m] = largest([&](uint32_t d) {
          return similarityFromDistance(d, m, branch) >= partThreshold;
        });
        whole[branch][m] = largest([&](uint32_t d) {
          return toPercent(similarityFromDistance(d, m, branch)) >= threshold;
        });
      }
    }
  }
};

// The tables depend on the two thresholds only, and filling them costs far more than scoring a
// row, so they are built once per pair of thresholds and shared by every matcher of the process.
std::shared_ptr<const DistanceLimits> sharedLimits(uint8_t threshold, double partThreshold) {
  static std::mutex mutex;
  static std::map<std::pair<uint8_t, double>, std::shared_ptr<const DistanceLimits>> made;
  std::lock_guard lock(mutex);
  auto& slot = made[{threshold, partThreshold}];
  if (!slot) slot = std::make_shared<const DistanceLimits>(threshold, partThreshold);
  return slot;
}

}  // namespace

struct TitleMatcher::Impl {
  MatchOptions options;
  const TitleKey* first = nullptr;
  BitDistance whole, artist, title;  // patterns of the first name's normalised texts
  BitDistance scratch;               // the second name's text when it is the shorter in windows
  std::shared_ptr<const DistanceLimits> limits;  // null at thresholds 99 and 100

  // A lower bound of the distance of two texts from their sketches alone: the byte counts must
  // be made equal by the edits, and in relaxed windows every byte of the shorter text that the
  // longer lacks must be replaced. Sets m and the branch; false when nothing can be said (texts
  // that may be equal but for case, or texts longer than the distance looks at).
  bool lowerBound(const TextSketch& x, const TextSketch& y, uint32_t& low, uint32_t& m, bool& relaxedBranch) const {
    if (x.foldedHash == y.foldedHash) return false;
    const uint32_t la = x.length;
    const uint32_t lb = y.length;
    if (la > kEditDistanceLimit || lb > kEditDistanceLimit) return false;
    m = std::max<uint32_t>(std::min(la, lb), 1);
    relaxedBranch = options.relaxed && la != lb;
    if (relaxedBranch) {
      // Every window of the longer text holds only bytes and pairs that the whole text holds.
      const TextSketch& shorter = la < lb ? x : y;
      const TextSketch& longer = la < lb ? y : x;
      low = std::max(countsExcess(shorter.counts, longer.counts), pairsMissing(shorter.pairBits, longer.pairBits));
    } else {
      const uint32_t lengths = la > lb ? la - lb : lb - la;
      low = std::max({lengths, (countsDistance(x.counts, y.counts) + lengths) / 2,
                      pairsMissing(x.pairBits, y.pairBits), pairsMissing(y.pairBits, x.pairBits)});
    }
    return true;
  }

  // An upper bound of the similarity of two texts; exact 1.0 for texts equal but for case.
  double bound(const TextSketch& x, const TextSketch& y) const {
    uint32_t low, m;
    bool relaxedBranch;
    if (!lowerBound(x, y, low, m, relaxedBranch)) return 1.0;
    return similarityFromDistance(low, m, relaxedBranch);
  }

  // True when the bound proves the similarity below partThreshold (parts) or the score below
  // matchThreshold (whole names).
  bool provenOut(const TextSketch& x, const TextSketch& y, bool part) const {
    uint32_t low, m;
    bool relaxedBranch;
    if (!lowerBound(x, y, low, m, relaxedBranch)) return false;
    if (m < DistanceLimits::kTableLengths) {
      const auto& table = part ? limits->part : limits->whole;
      return static_cast<int>(low) > table[relaxedBranch][m];
    }
    const double up = similarityFromDistance(low, m, relaxedBranch);
    return part ? up < options.partThreshold : toPercent(up) < options.matchThreshold;
  }

  // TitleSimilarity of a first-name text (with its prepared pattern) and a second-name text.
  double exact(const TitleText& x, const BitDistance& xPattern, const TitleText& y) {
    if (x.folded.size() == y.folded.size() && x.folded == y.folded) return 1.0;
    const size_t la = x.normalized.size();
    const size_t lb = y.normalized.size();
    const uint32_t m = static_cast<uint32_t>(std::max<size_t>(std::min(la, lb), 1));
    const bool relaxedBranch = options.relaxed && la != lb;
    uint32_t d = xPattern.distance(y.normalized);
    if (relaxedBranch) {
      if (la < lb) {
        d = relaxedDistance(x.normalized, y.normalized, d, xPattern);
      } else {
        scratch.setPattern(y.normalized);
        d = relaxedDistance(y.normalized, x.normalized, d, scratch);
      }
    }
    return similarityFromDistance(d, m, relaxedBranch);
  }

  // False when the sketches alone prove the score of (first, b) below the threshold; stUp gets
  // an upper bound of the title parts' similarity (1 when not computed). Every bound is at or
  // above the exact similarity, and the score grows with each similarity, so no match is lost.
  bool allows(const TitleKey::Sketch& as, const TitleKey::Sketch& bs, double& stUp) const {
    stUp = 1.0;
    if (as.foldedHash == bs.foldedHash) return true;  // may be equal but for case: 100
    const uint8_t threshold = options.matchThreshold;
    if (threshold >= kThresholdExact) return false;
    if (options.firstLetterCheck && (as.rawLength == 0 || bs.rawLength == 0 || as.first != bs.first)) return false;
    if (threshold == kThresholdLetters) return true;  // decided on the texts
    if (as.rawLength >= 4 && bs.rawLength >= 4 && as.split && bs.split) {
      if (provenOut(as.artist, bs.artist, true) || provenOut(as.title, bs.title, true)) return false;
      const double saUp = bound(as.artist, bs.artist);
      stUp = bound(as.title, bs.title);
      return stUp >= options.partThreshold && toPercent(std::sqrt(saUp * stUp)) >= threshold;
    }
    return !provenOut(as.whole, bs.whole, false);
  }

  uint8_t score(const TitleKey& b, bool prune) {
    const TitleKey& a = *first;
    const TitleKey::Sketch& as = a.sketch;
    const TitleKey::Sketch& bs = b.sketch;
    if (as.foldedHash == bs.foldedHash && a.whole().folded == b.whole().folded) return 100;
    const uint8_t threshold = options.matchThreshold;
    if (threshold >= kThresholdExact) return 0;
    if (options.firstLetterCheck && (as.rawLength == 0 || bs.rawLength == 0 || as.first != bs.first)) return 0;
    if (threshold == kThresholdLetters) {
      const std::string_view na = a.whole().normalized;
      const std::string_view nb = b.whole().normalized;
      if (a.normalizedHash == b.normalizedHash && na == nb) return 99;
      if (options.relaxed && !na.empty() && !nb.empty()) {
        const bool aShorter = na.size() < nb.size();
        if ((aShorter ? nb : na).find(aShorter ? na : nb) != std::string_view::npos) return 99;
      }
      return 0;
    }
    // An early 0 below stands for a score under the threshold (see allows).
    double stUp = 1.0;
    if (prune && !allows(as, bs, stUp)) return 0;
    const double pt = options.partThreshold;
    if (as.rawLength >= 4 && bs.rawLength >= 4 && as.split && bs.split) {
      const double sa = exact(a.artist(), artist, b.artist());
      if (sa < pt) return 0;
      if (prune && toPercent(std::sqrt(sa * stUp)) < threshold) return 0;
      const double st = exact(a.title(), title, b.title());
      if (st < pt) return 0;
      return toPercent(std::sqrt(sa * st));
    }
    return toPercent(exact(a.whole(), whole, b.whole()));
  }
};

TitleMatcher::TitleMatcher(const MatchOptions& options) : impl_(std::make_unique<Impl>()) {
  impl_->options = options;
  if (options.matchThreshold < kThresholdLetters)
    impl_->limits = sharedLimits(options.matchThreshold, options.partThreshold);
}

TitleMatcher::~TitleMatcher() = default;

void TitleMatcher::setFirst(const TitleKey& first) {
  impl_->first = &first;
  if (impl_->options.matchThreshold >= kThresholdLetters) return;
  impl_->whole.setPattern(first.whole().normalized);
  impl_->artist.setPattern(first.artist().normalized);
  impl_->title.setPattern(first.title().normalized);
}

uint8_t TitleMatcher::score(const TitleKey& second) { return impl_->score(second, false); }

uint8_t TitleMatcher::scoreIfMatch(const TitleKey& second) { return impl_->score(second, true); }

bool TitleMatcher::mayMatch(const TitleKey::Sketch& second) const {
  double stUp;
  return impl_->allows(impl_->first->sketch, second, stUp);
}

}  // namespace sonalog
