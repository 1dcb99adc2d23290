#include "duplicates/NameIndex.h"

#include <algorithm>
#include <cmath>

namespace sonalog {

namespace {

// Texts longer than this (normalised bytes) are not cut into segments: their items are
// candidates of every probe, and such a probe takes every item. File names are far shorter; the
// limit only bounds the work of one probe.
constexpr uint32_t kMaxIndexedLength = 1024;

// Which text of an item a key stands for.
enum Family : uint8_t {
  kArtist,        // artist parts of split names (normalised)
  kTitle,         // title parts of split names (the same)
  kWholeOfSplit,  // whole names of split names, probed only by names without a split
  kWholeUnsplit,  // whole names without a split
  kFoldWhole,     // the folded hash of every name
  kFoldArtist,    // the folded hash of every artist part
  kFoldTitle,     // the folded hash of every title part
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

// The table key of a hash in a family, for a segment of a text of `length` bytes starting at
// `start` (both 0 for folded hashes); never 0, which marks an empty slot. Keys that collide only
// add candidates.
uint64_t keyOf(uint64_t hash, uint8_t family, uint32_t length, uint32_t start) {
  const uint64_t where = (uint64_t{family} << 32) | (uint64_t{length} << 16) | start;
  return mix(hash ^ mix(where + 0x9E3779B97F4A7C15ull)) | 1;
}

const std::vector<uint64_t>& basePowers() {
  static const std::vector<uint64_t> powers = [] {
    std::vector<uint64_t> p(kMaxIndexedLength + 1, 1);
    for (size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * kBase;
    return p;
  }();
  return powers;
}

// prefix[k]: the polynomial hash of text[0, k); the hash of text[q, q + l) is
// prefix[q + l] - prefix[q] * kBase^l.
void prefixHashes(std::string_view text, std::vector<uint64_t>& prefix) {
  prefix.resize(text.size() + 1);
  prefix[0] = 0;
  for (size_t k = 0; k < text.size(); ++k) prefix[k + 1] = prefix[k] * kBase + static_cast<unsigned char>(text[k]);
}

uint64_t rangeHash(const std::vector<uint64_t>& prefix, uint32_t from, uint32_t length) {
  return prefix[from + length] - prefix[from] * basePowers()[length];
}

// The segments of an indexed text of `length` bytes: count pieces, the last `longer` of them one
// byte longer than `base`.
struct Segments {
  uint32_t count, base, longer;
  Segments(uint32_t length, const std::vector<int16_t>& near) {
    count = std::min<uint32_t>(near[std::max(length, 1u)] + 1, std::max(length, 1u));
    base = length / count;
    longer = length % count;
  }
  uint32_t lengthOf(uint32_t s) const { return base + (s >= count - longer ? 1 : 0); }
};

}  // namespace

void ProbeCost::add(uint64_t entriesRead, uint64_t candidates, uint64_t pairs) {
  // A candidate is sifted through a sketch found at random: about eight sequential entry reads.
  constexpr uint64_t kCandidateCost = 8;
  index_ += 10 * (entriesRead + kCandidateCost * candidates);
  plain_ += pairCostTenths_ * pairs;
}

bool ProbeCost::indexPays() const { return index_ <= plain_; }

bool NameIndex::serves(const MatchOptions& options) {
  return options.matchThreshold < kThresholdLetters && !options.relaxed;
}

NameIndex::NameIndex(const std::vector<TitleKey>& keys, const std::vector<PairFacts>& facts, RunKind kind,
                     const MatchOptions& options, bool probesUnsplit)
    : probesUnsplit_(probesUnsplit), itemCount_(static_cast<uint32_t>(keys.size())) {
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

  // Two passes over the same keys: the first counts each key's entries, the second places them.
  // No list of (key, entry) pairs is ever held, which keeps a million names small.
  slots_.assign(1024, Slot{});
  std::vector<uint64_t> prefix;  // the prefix hashes of the text being cut, reused
  std::vector<uint8_t> wild(itemCount_, 0);
  dropped_.assign(itemCount_, 0);
  for (uint32_t i = 0; i < itemCount_; ++i) {
    const TitleKey& k = keys[i];
    if ((!k.sketch.split || probesUnsplit) && k.whole().normalized.size() > kMaxIndexedLength) {
      wild[i] = 1;
      wild_.push_back(i);
      continue;
    }
    familiesUsed_ |= k.sketch.split ? (1u << kArtist) | (1u << kTitle) | (probesUnsplit ? 1u << kWholeOfSplit : 0u)
                                    : 1u << kWholeUnsplit;
    forEachKey(k, prefix, [&](uint64_t key) { ++insert(key).end; });  // end counts until the placing
  }
  uint32_t total = 0;
  for (Slot& s : slots_) {
    if (s.key == 0) continue;
    const uint32_t count = s.end;
    s.begin = s.end = total;
    total += count;
  }
  entries_.resize(total);
  for (uint32_t i = 0; i < itemCount_; ++i) {
    if (wild[i]) continue;
    const Entry entry{valueOf(facts[i]), i};
    // Every key is in the table since the first pass; its end is the placing cursor.
    forEachKey(keys[i], prefix, [&](uint64_t key) { entries_[const_cast<Slot*>(find(key))->end++] = entry; });
  }
  for (const Slot& s : slots_)
    if (s.key != 0)
      std::sort(entries_.begin() + s.begin, entries_.begin() + s.end, [](const Entry& a, const Entry& b) {
        return a.value != b.value ? a.value < b.value : a.item < b.item;
      });
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

void NameIndex::forEachKey(const TitleKey& k, std::vector<uint64_t>& prefix,
                           const std::function<void(uint64_t)>& emit) const {
  auto segments = [&](Family family, std::string_view text) {
    const uint32_t length = static_cast<uint32_t>(text.size());
    prefixHashes(text, prefix);
    const Segments cut(length, near_);
    uint32_t start = 0;
    for (uint32_t s = 0; s < cut.count; ++s) {
      const uint32_t l = cut.lengthOf(s);
      emit(keyOf(rangeHash(prefix, start, l), family, length, start));
      start += l;
    }
  };
  emit(keyOf(k.sketch.foldedHash, kFoldWhole, 0, 0));
  if (k.sketch.split) {
    emit(keyOf(k.sketch.artist.foldedHash, kFoldArtist, 0, 0));
    emit(keyOf(k.sketch.title.foldedHash, kFoldTitle, 0, 0));
    segments(kArtist, k.artist().normalized);
    segments(kTitle, k.title().normalized);
    if (probesUnsplit_) segments(kWholeOfSplit, k.whole().normalized);
  } else {
    segments(kWholeUnsplit, k.whole().normalized);
  }
}

NameIndex::Slot& NameIndex::insert(uint64_t key) {
  if (2 * (used_ + 1) > slots_.size()) {
    std::vector<Slot> old(slots_.size() * 2, Slot{});
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
      if (s.key == 0) continue;
      size_t at = s.key & mask;
      while (slots_[at].key != 0) at = (at + 1) & mask;
      slots_[at] = s;
    }
  }
  const size_t mask = slots_.size() - 1;
  size_t at = key & mask;
  while (slots_[at].key != 0 && slots_[at].key != key) at = (at + 1) & mask;
  if (slots_[at].key == 0) {
    slots_[at].key = key;
    ++used_;
  }
  return slots_[at];
}

const NameIndex::Slot* NameIndex::find(uint64_t key) const {
  const size_t mask = slots_.size() - 1;
  for (size_t at = key & mask;; at = (at + 1) & mask) {
    const Slot& s = slots_[at];
    if (s.key == key) return &s;
    if (s.key == 0) return nullptr;
  }
}

NameIndex::Probe::Probe(const NameIndex& index) : seen_(index.itemCount_, 0) {}

// Lists the entries of one key within the criterion's window, after `after`, not yet listed.
void NameIndex::scanList(const Slot& slot, int32_t value, Probe& probe, int64_t after, std::vector<uint32_t>& out,
                         uint64_t& read) const {
  auto take = [&](const Entry* from, const Entry* to) {
    read += static_cast<uint64_t>(to - from);
    for (const Entry* e = from; e != to; ++e) {
      if (static_cast<int64_t>(e->item) <= after || probe.seen_[e->item] == probe.stamp_) continue;
      probe.seen_[e->item] = probe.stamp_;
      out.push_back(e->item);
    }
  };
  const Entry* begin = entries_.data() + slot.begin;
  const Entry* end = entries_.data() + slot.end;
  if (!valueOrdered_ || value < 0) {
    take(begin, end);
    return;
  }
  auto below = [](const Entry& e, int64_t v) { return e.value < v; };
  const Entry* known = std::lower_bound(begin, end, int64_t{0}, below);
  take(begin, known);  // an unknown value passes the criterion
  const Entry* from = std::lower_bound(known, end, int64_t{value} - valueLimit_, below);
  const Entry* to = std::upper_bound(from, end, int64_t{value} + valueLimit_,
                                     [](int64_t v, const Entry& e) { return v < e.value; });
  take(from, to);
}

void NameIndex::probeText(uint8_t family, std::string_view text, Probe& probe) const {
  if (!(familiesUsed_ & (1u << family))) return;
  const int64_t probeLength = static_cast<int64_t>(text.size());
  const int64_t reach = near_[std::max<int64_t>(probeLength, 1)];
  prefixHashes(text, probe.prefix_);
  for (int64_t length = std::max<int64_t>(probeLength - reach, 0);
       length <= std::min<int64_t>(probeLength + reach, kMaxIndexedLength); ++length) {
    // tau: the edits a match of these two lengths allows; delta: the length difference.
    const int64_t tau = near_[std::max<int64_t>(std::min(length, probeLength), 1)];
    const int64_t delta = probeLength - length;
    if (std::abs(delta) > tau) continue;
    const Segments cut(static_cast<uint32_t>(length), near_);
    int64_t start = 0;
    for (uint32_t s = 0; s < cut.count; ++s) {
      const int64_t l = cut.lengthOf(s);
      // The segment's image starts at start + x with |x| + |x - delta| <= tau: the edits before
      // it and after it together. Moreover, of the count = K + 1 segments with at most K edits,
      // some segment s is untouched with at most s edits before it and K - s after it (follow
      // f(s) = edits before s - s: it starts at 0, ends below edits - K, and falls only by one at
      // an untouched segment, so it steps down from exactly edits - K at one). Probing each
      // segment only within those bounds still finds that one.
      const int64_t k = cut.count - 1;
      // (tau >= |delta|, so -((tau - delta) / 2) is ceil((delta - tau) / 2).)
      const int64_t xFrom = std::max({-((tau - delta) / 2), -int64_t{s}, delta - (k - s)});
      const int64_t xTo = std::min({(tau + delta) / 2, int64_t{s}, delta + (k - s)});
      for (int64_t q = std::max<int64_t>(start + xFrom, 0); q <= std::min(start + xTo, probeLength - l); ++q) {
        probe.keys_.push_back(keyOf(rangeHash(probe.prefix_, static_cast<uint32_t>(q), static_cast<uint32_t>(l)),
                                    family, static_cast<uint32_t>(length), static_cast<uint32_t>(start)));
      }
      start += l;
    }
  }
}

uint64_t NameIndex::candidates(Probe& probe, const TitleKey& key, const PairFacts& facts, int64_t after,
                               std::vector<uint32_t>& out) const {
  out.clear();
  const bool split = key.sketch.split;
  const bool wildProbe = key.whole().normalized.size() > kMaxIndexedLength &&
                         (!split || (familiesUsed_ & (1u << kWholeUnsplit)));
  if (wildProbe) {
    for (int64_t j = std::max<int64_t>(after + 1, 0); j < itemCount_; ++j)
      if (!dropped_[j]) out.push_back(static_cast<uint32_t>(j));
    return out.size();
  }
  if (++probe.stamp_ == 0) {  // the stamps wrapped: forget every old one
    std::fill(probe.seen_.begin(), probe.seen_.end(), 0);
    probe.stamp_ = 1;
  }
  probe.keys_.clear();
  probe.keys_.push_back(keyOf(key.sketch.foldedHash, kFoldWhole, 0, 0));
  if (split) {
    probe.keys_.push_back(keyOf(key.sketch.artist.foldedHash, kFoldArtist, 0, 0));
    probe.keys_.push_back(keyOf(key.sketch.title.foldedHash, kFoldTitle, 0, 0));
    probeText(kArtist, key.artist().normalized, probe);
    probeText(kTitle, key.title().normalized, probe);
    probeText(kWholeUnsplit, key.whole().normalized, probe);
  } else {
    probeText(kWholeOfSplit, key.whole().normalized, probe);
    probeText(kWholeUnsplit, key.whole().normalized, probe);
  }
  // The lookups are independent: the slots, then the lists, are asked from memory all at once
  // before any is read, so their cache misses overlap instead of following one another.
  const size_t mask = slots_.size() - 1;
  for (const uint64_t k : probe.keys_) __builtin_prefetch(&slots_[k & mask]);
  probe.found_.clear();
  for (const uint64_t k : probe.keys_) {
    if (const Slot* slot = find(k)) {
      __builtin_prefetch(entries_.data() + slot->begin);
      probe.found_.push_back(static_cast<uint32_t>(slot - slots_.data()));
    }
  }
  uint64_t read = 0;
  const int32_t value = valueOf(facts);
  for (const uint32_t slot : probe.found_) scanList(slots_[slot], value, probe, after, out, read);
  for (auto it = std::upper_bound(wild_.begin(), wild_.end(), after,
                                  [](int64_t a, uint32_t b) { return a < static_cast<int64_t>(b); });
       it != wild_.end(); ++it)
    if (probe.seen_[*it] != probe.stamp_) out.push_back(*it);
  return read;
}

void NameIndex::drop(const std::function<bool(uint32_t)>& gone) {
  // The runs were placed in table order and stay so: each moves down over what went before.
  uint32_t kept = 0;
  for (Slot& slot : slots_) {
    if (slot.key == 0) continue;
    const uint32_t begin = kept;
    for (uint32_t e = slot.begin; e < slot.end; ++e)
      if (!gone(entries_[e].item)) entries_[kept++] = entries_[e];
    slot.begin = begin;
    slot.end = kept;
  }
  entries_.resize(kept);
  for (uint32_t i = 0; i < itemCount_; ++i)
    if (!dropped_[i] && gone(i)) dropped_[i] = 1;
  wild_.erase(std::remove_if(wild_.begin(), wild_.end(), [&](uint32_t i) { return gone(i); }), wild_.end());
}

}  // namespace sonalog
