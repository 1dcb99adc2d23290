#include "duplicates/NameIndex.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace sonalog {

namespace {

// Texts longer than this (normalised bytes) are not cut into segments: their items are
// candidates of every probe, and such a probe takes every item. Names this long do not occur
// in file names; the limit only keeps the segment lengths and positions in 16 bits.
constexpr uint32_t kMaxIndexedLength = 1024;
// The length of a folded-hash entry, which matches without a position.
constexpr uint16_t kFoldedEntry = UINT16_MAX;

// Which text of an item an entry stands for. Segment families hold the pieces of a normalised
// text; fold families its folded hash.
enum Family : uint8_t {
  kArtist,        // artist parts of split names
  kTitle,         // title parts of split names
  kWholeOfSplit,  // whole names of split names, probed only by names without a split
  kWholeUnsplit,  // whole names without a split
  kFoldWhole,     // every name
  kFoldArtist,
  kFoldTitle,
};

// The multiplier of the polynomial hash of a segment; odd, so every power is a unit mod 2^64.
constexpr uint64_t kBase = 0x100000001B3ull;

uint64_t mix(uint64_t h) {  // the 64-bit finaliser of MurmurHash3
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 33;
  return h;
}

// The table key of a segment (its polynomial hash and length) or of a folded hash in a family;
// never 0, which marks an empty slot. Two texts that collide only add candidates.
uint64_t keyOf(uint64_t hash, uint8_t family, uint32_t length) {
  return mix(hash ^ (uint64_t{family} * 0x9E3779B97F4A7C15ull) ^ (uint64_t{length} * 0xC2B2AE3D27D4EB4Full)) | 1;
}

uint64_t polyHash(const char* s, uint32_t length) {
  uint64_t h = 0;
  for (uint32_t k = 0; k < length; ++k) h = h * kBase + static_cast<unsigned char>(s[k]);
  return h;
}

const std::vector<uint64_t>& basePowers() {
  static const std::vector<uint64_t> powers = [] {
    std::vector<uint64_t> p(kMaxIndexedLength + 1, 1);
    for (size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * kBase;
    return p;
  }();
  return powers;
}

}  // namespace

bool NameIndex::serves(const MatchOptions& options) {
  return options.matchThreshold < kThresholdLetters && !options.relaxed;
}

NameIndex::NameIndex(const std::vector<TitleKey>& keys, const std::vector<PairFacts>& facts, RunKind kind,
                     const MatchOptions& options, bool probesUnsplit)
    : itemCount_(static_cast<uint32_t>(keys.size())) {
  // near_[m]: a similarity 0.99 - d / m (the exact expression of the score) of at least
  // (T - 0.5) / 100, widened by far more than any rounding of the doubles involved.
  const double least = (options.matchThreshold - 0.5) / 100.0 - 1e-9;
  near_.assign(kMaxIndexedLength + 1, 0);
  for (uint32_t m = 1; m <= kMaxIndexedLength; ++m) {
    int d = -1;
    while (d + 1 < static_cast<int>(m) && 0.99 - static_cast<double>(d + 1) / m >= least) ++d;
    near_[m] = static_cast<int16_t>(d);
  }

  // The criterion that orders the lists: playtime, else size; its values as integers (seconds in
  // milliseconds, the window widened by the rounding of both ends).
  valueOrdered_ = options.timeCheck || options.sizeCheck;
  byTime_ = options.timeCheck;
  seconds_ = byTime_ && kind == RunKind::CompareSeconds;
  valueLimit_ = !byTime_ ? options.sizeLimitKB
                         : seconds_ ? int64_t{options.timeLimitSec} * 1000 + 2 : options.timeLimitSec;

  struct Keyed {
    uint64_t key;
    Entry entry;
  };
  std::vector<Keyed> keyed;
  for (uint32_t i = 0; i < itemCount_; ++i) {
    const TitleKey& k = keys[i];
    const int32_t value = valueOf(facts[i]);
    const bool split = k.sketch.split;
    auto segments = [&](Family family, const std::string& text) {
      const uint32_t length = static_cast<uint32_t>(text.size());
      const uint32_t count = std::min<uint32_t>(near_[std::max(length, 1u)] + 1, std::max(length, 1u));
      const uint32_t base = length / count, longer = length % count;
      uint32_t start = 0;
      for (uint32_t s = 0; s < count; ++s) {
        const uint32_t l = base + (s >= count - longer ? 1 : 0);
        keyed.push_back({keyOf(polyHash(text.data() + start, l), family, l),
                         {value, i, static_cast<uint16_t>(length), static_cast<uint16_t>(start)}});
        start += l;
      }
      familiesUsed_ |= 1u << family;
    };
    auto folded = [&](Family family, uint64_t hash) {
      keyed.push_back({keyOf(hash, family, 0), {value, i, kFoldedEntry, 0}});
      familiesUsed_ |= 1u << family;
    };
    const bool wholeIndexed = !split || probesUnsplit;
    if (wholeIndexed && k.whole.normalized.size() > kMaxIndexedLength) {
      wild_.push_back(i);
      continue;
    }
    folded(kFoldWhole, k.sketch.foldedHash);
    if (split) {
      segments(kArtist, k.artist.normalized);
      segments(kTitle, k.title.normalized);
      folded(kFoldArtist, k.sketch.artist.foldedHash);
      folded(kFoldTitle, k.sketch.title.foldedHash);
      if (probesUnsplit) segments(kWholeOfSplit, k.whole.normalized);
    } else {
      segments(kWholeUnsplit, k.whole.normalized);
    }
  }
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    if (a.key != b.key) return a.key < b.key;
    if (a.entry.value != b.entry.value) return a.entry.value < b.entry.value;
    return a.entry.item < b.entry.item;
  });
  size_t distinct = 0;
  for (size_t k = 0; k < keyed.size(); ++k) distinct += k == 0 || keyed[k].key != keyed[k - 1].key;
  slots_.assign(std::bit_ceil(std::max<size_t>(2 * distinct, 16)), Slot{});
  entries_.resize(keyed.size());
  const size_t mask = slots_.size() - 1;
  for (size_t k = 0; k < keyed.size();) {
    size_t end = k;
    size_t known = k;
    while (end < keyed.size() && keyed[end].key == keyed[k].key) {
      entries_[end] = keyed[end].entry;
      if (keyed[end].entry.value < 0) known = end + 1;
      ++end;
    }
    size_t at = keyed[k].key & mask;
    while (slots_[at].key != 0) at = (at + 1) & mask;
    slots_[at] = {keyed[k].key, static_cast<uint32_t>(k), static_cast<uint32_t>(known), static_cast<uint32_t>(end)};
    k = end;
  }
}

NameIndex::~NameIndex() = default;

int32_t NameIndex::valueOf(const PairFacts& f) const {
  if (!valueOrdered_) return 0;
  if (!byTime_) return f.sizeKB < 0 ? -1 : f.sizeKB;
  if (f.frames < 0) return -1;
  if (!seconds_) return f.frames;
  const double ms = f.frames == 0 ? 0.0 : std::round(f.frames * frameDuration(f.frequencyCode) * 1000.0);
  return static_cast<int32_t>(std::min(ms, static_cast<double>(INT32_MAX)));
}

NameIndex::Probe::Probe(const NameIndex& index) : seen_(index.itemCount_, 0) {}

const NameIndex::Slot* NameIndex::find(uint64_t key) const {
  const size_t mask = slots_.size() - 1;
  for (size_t at = key & mask;; at = (at + 1) & mask) {
    const Slot& s = slots_[at];
    if (s.key == key) return &s;
    if (s.key == 0) return nullptr;
  }
}

// Lists the entries of one key that fit: within the criterion's window, after `after`, not yet
// listed, and (for a segment found at `position` of a probe text of textLength bytes) from a
// text of a length and at a place that the allowed edits can reach.
void NameIndex::scanList(const Slot& slot, int32_t value, bool valueKnown, uint32_t textLength, int64_t position,
                         Probe& probe, int64_t after, std::vector<uint32_t>& out, uint64_t& read) const {
  auto take = [&](const Entry* from, const Entry* to) {
    read += static_cast<uint64_t>(to - from);
    for (const Entry* e = from; e != to; ++e) {
      if (static_cast<int64_t>(e->item) <= after || probe.seen_[e->item] == probe.stamp_) continue;
      if (e->length != kFoldedEntry) {
        const int64_t length = e->length;
        const int64_t tau = near_[std::max<int64_t>(std::min<int64_t>(length, textLength), 1)];
        const int64_t delta = static_cast<int64_t>(textLength) - length;
        const int64_t shift = position - e->start;
        if (std::abs(delta) > tau || std::abs(shift) + std::abs(shift - delta) > tau) continue;
      }
      probe.seen_[e->item] = probe.stamp_;
      out.push_back(e->item);
    }
  };
  const Entry* begin = entries_.data() + slot.begin;
  const Entry* known = entries_.data() + slot.knownBegin;
  const Entry* end = entries_.data() + slot.end;
  if (!valueOrdered_ || !valueKnown) {
    take(begin, end);
    return;
  }
  take(begin, known);  // an unknown value passes the criterion
  const int64_t low = int64_t{value} - valueLimit_, high = int64_t{value} + valueLimit_;
  const Entry* from = std::lower_bound(known, end, low, [](const Entry& e, int64_t v) { return e.value < v; });
  const Entry* to = std::upper_bound(from, end, high, [](int64_t v, const Entry& e) { return v < e.value; });
  take(from, to);
}

void NameIndex::probeText(uint8_t family, const std::string& text, int32_t value, bool valueKnown, Probe& probe,
                          int64_t after, std::vector<uint32_t>& out, uint64_t& read) const {
  if (!(familiesUsed_ & (1u << family))) return;
  const uint32_t probeLength = static_cast<uint32_t>(text.size());
  const uint32_t reach = static_cast<uint32_t>(near_[std::max(probeLength, 1u)]);
  // The segment lengths of every indexed length that can match this one.
  std::vector<uint8_t> segmentLengths(probeLength + 1, 0);
  for (uint32_t length = probeLength > reach ? probeLength - reach : 0; length <= probeLength + reach; ++length) {
    if (length > kMaxIndexedLength) break;
    const uint32_t m = std::max(std::min(length, probeLength), 1u);
    const uint32_t gap = length > probeLength ? length - probeLength : probeLength - length;
    if (gap > static_cast<uint32_t>(near_[m])) continue;
    const uint32_t count = std::min<uint32_t>(near_[std::max(length, 1u)] + 1, std::max(length, 1u));
    for (const uint32_t l : {length / count, length / count + (length % count ? 1 : 0)})
      if (l <= probeLength) segmentLengths[l] = 1;
  }
  const std::vector<uint64_t>& powers = basePowers();
  const char* t = text.data();
  for (uint32_t l = 0; l <= probeLength; ++l) {
    if (!segmentLengths[l]) continue;
    uint64_t h = polyHash(t, l);
    for (uint32_t q = 0;; ++q) {
      if (const Slot* slot = find(keyOf(h, family, l)))
        scanList(*slot, value, valueKnown, probeLength, q, probe, after, out, read);
      if (q + l >= probeLength) break;
      h = (h - static_cast<unsigned char>(t[q]) * powers[l - 1]) * kBase + static_cast<unsigned char>(t[q + l]);
    }
  }
}

uint64_t NameIndex::candidates(Probe& probe, const TitleKey& key, const PairFacts& facts, int64_t after,
                               std::vector<uint32_t>& out) const {
  out.clear();
  const int64_t first = after + 1;
  const bool split = key.sketch.split;
  const bool wildProbe = key.whole.normalized.size() > kMaxIndexedLength &&
                         (!split || (familiesUsed_ & (1u << kWholeUnsplit)));
  if (wildProbe) {
    for (int64_t j = std::max<int64_t>(first, 0); j < itemCount_; ++j) out.push_back(static_cast<uint32_t>(j));
    return out.size();
  }
  if (++probe.stamp_ == 0) {  // the stamps wrapped: forget every old one
    std::fill(probe.seen_.begin(), probe.seen_.end(), 0);
    probe.stamp_ = 1;
  }
  uint64_t read = 0;
  const int32_t value = valueOf(facts);
  const bool valueKnown = value >= 0;
  auto folded = [&](Family family, uint64_t hash) {
    if (!(familiesUsed_ & (1u << family))) return;
    if (const Slot* slot = find(keyOf(hash, family, 0)))
      scanList(*slot, value, valueKnown, 0, 0, probe, after, out, read);
  };
  folded(kFoldWhole, key.sketch.foldedHash);
  if (split) {
    folded(kFoldArtist, key.sketch.artist.foldedHash);
    folded(kFoldTitle, key.sketch.title.foldedHash);
    probeText(kArtist, key.artist.normalized, value, valueKnown, probe, after, out, read);
    probeText(kTitle, key.title.normalized, value, valueKnown, probe, after, out, read);
    probeText(kWholeUnsplit, key.whole.normalized, value, valueKnown, probe, after, out, read);
  } else {
    probeText(kWholeOfSplit, key.whole.normalized, value, valueKnown, probe, after, out, read);
    probeText(kWholeUnsplit, key.whole.normalized, value, valueKnown, probe, after, out, read);
  }
  for (auto it = std::upper_bound(wild_.begin(), wild_.end(), after,
                                  [](int64_t a, uint32_t b) { return a < static_cast<int64_t>(b); });
       it != wild_.end(); ++it)
    if (probe.seen_[*it] != probe.stamp_) out.push_back(*it);
  std::sort(out.begin(), out.end());
  return read;
}

void NameIndex::drop(const std::function<bool(uint32_t)>& gone) {
  // The runs of the keys are moved down in their order in entries_, so visit them by begin.
  size_t kept = 0;
  std::vector<Slot*> bySlot;
  for (Slot& slot : slots_)
    if (slot.key != 0) bySlot.push_back(&slot);
  std::sort(bySlot.begin(), bySlot.end(), [](const Slot* a, const Slot* b) { return a->begin < b->begin; });
  for (Slot* slot : bySlot) {
    const uint32_t begin = static_cast<uint32_t>(kept);
    uint32_t knownBegin = begin;
    for (uint32_t e = slot->begin; e < slot->end; ++e) {
      if (gone(entries_[e].item)) continue;
      if (e < slot->knownBegin) knownBegin = static_cast<uint32_t>(kept + 1);
      entries_[kept++] = entries_[e];
    }
    slot->begin = begin;
    slot->knownBegin = knownBegin;
    slot->end = static_cast<uint32_t>(kept);
  }
  entries_.resize(kept);
  wild_.erase(std::remove_if(wild_.begin(), wild_.end(), [&](uint32_t i) { return gone(i); }), wild_.end());
}

}  // namespace sonalog
