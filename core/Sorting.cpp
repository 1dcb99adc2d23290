#include "core/Sorting.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "platform/Text.h"
#include "platform/Threads.h"

namespace sonalog {

namespace {

// Rank of stereoMode: mono, joint stereo, stereo, dual channel, then mixed or unknown.
int stereoRank(uint8_t stereoMode) {
  switch (stereoMode) {
    case 3: return 0;
    case 1: return 1;
    case 0: return 2;
    case 2: return 3;
    default: return 127;
  }
}

// Rank of frequencyCode: 32 kHz, 44.1 kHz, 48 kHz, then mixed or unknown.
int frequencyRank(uint8_t frequencyCode) {
  switch (frequencyCode) {
    case 2: return 0;
    case 0: return 1;
    case 1: return 2;
    default: return 127;
  }
}

// Twice the bitrate, plus one for VBR: a VBR item averaging k kbps sorts right after the
// constant-bitrate items of k kbps.
int bitrateValue(const ListItem& item) {
  if (item.bitrateCode == kBitrateVbr) return 2 * item.averageKbps + 1;
  if (item.bitrateCode >= 1 && item.bitrateCode <= 14) return 2 * kBitrateKbps[item.bitrateCode];
  return 0;
}

// The compared value of the numeric keys 1..6 and 8. Every integer value is exact in a double.
double numericValue(const ListItem& item, uint8_t key) {
  switch (key) {
    case kSortByPlaytime: return playtimeSeconds(item);
    case kSortByBitrate: return bitrateValue(item);
    case kSortByFileSize: return item.sizeKB;
    case kSortByStereoMode: return stereoRank(item.stereoMode);
    case kSortByFrequency: return frequencyRank(item.frequencyCode);
    case kSortByFileDate: return item.fileDate;
    case kSortByDateAdded: return item.dateAdded;
    default: return 0;
  }
}

bool isTextKey(uint8_t key) { return key == kSortByPath || key == kSortByVolumeLabel; }

const std::string& textValue(const ListItem& item, uint8_t key) {
  return key == kSortByPath ? item.folder : item.volumeLabel;
}

// Appends a double as 8 big-endian bytes whose unsigned byte order is the numeric order.
void appendOrderedDouble(std::string& out, double v) {
  uint64_t bits = std::bit_cast<uint64_t>(v == 0.0 ? 0.0 : v);  // -0 and +0 tie
  bits = (bits & (uint64_t{1} << 63)) ? ~bits : bits | (uint64_t{1} << 63);
  for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<char>((bits >> shift) & 0xFF));
}

// One item's whole sort key as one byte string, so that Greater is a plain byte comparison:
// [numeric value] or [text collation key, 0] followed by the file name's collation key. Collation
// keys hold no zero byte, so the 0 separator makes a shorter text sort first, as the collator does.
struct Entry {
  uint64_t prefix[2];  // the key's first 16 bytes, big-endian, zero-padded: decide most comparisons
  size_t offset;       // of the whole key in the arena
  uint32_t length;     // of the whole key
  uint32_t index;      // of the item in the list before sorting
};
constexpr uint32_t kPrefixBytes = sizeof(Entry::prefix);
// Lists from this length on compute their keys on two threads (a thread costs far less).
constexpr size_t kItemsForKeyThread = 20000;

int compareEntries(const Entry& a, const Entry& b, const char* arena) {
  if (a.prefix[0] != b.prefix[0]) return a.prefix[0] < b.prefix[0] ? -1 : 1;
  if (a.prefix[1] != b.prefix[1]) return a.prefix[1] < b.prefix[1] ? -1 : 1;
  // Equal prefixes: when either key fits in the prefix it is a prefix of the other.
  if (a.length > kPrefixBytes && b.length > kPrefixBytes) {
    const int c = std::memcmp(arena + a.offset + kPrefixBytes, arena + b.offset + kPrefixBytes,
                              std::min(a.length, b.length) - kPrefixBytes);
    if (c != 0) return c;
  }
  return (a.length > b.length) - (a.length < b.length);
}

// The list's sorting routine, run on the entries: a quicksort with the middle item as pivot.
// Equal items end up exactly where that quicksort puts them. Its ascending partition lets ties
// with the pivot pass both scans, which turns it quadratic on many equal items: a pivot that ties
// with the greatest item of its range only moves itself to the end, and one that ties with the
// least only splits the range at the first greater item, each after a scan of the whole range.
// Every partition knows such bounds of its sides (the pivot is not less than its left side and
// not greater than its right side), so those two outcomes are recognised with one comparison and
// carried out without the scan. Any range that still goes deeper than depthBudget full partitions
// is finished by a stable merge sort. The larger side is looped on, the smaller recursed into, so
// the stack stays O(log n).
class EntrySorter {
 public:
  EntrySorter(std::vector<Entry>& entries, const char* arena, bool descending)
      : e_(entries), arena_(arena), descending_(descending) {}

  void run() {
    const int64_t n = static_cast<int64_t>(e_.size());
    const int depthBudget = 3 * static_cast<int>(std::bit_width(static_cast<uint64_t>(n))) + 8;
    sort(0, n - 1, depthBudget, kNone, kNone);
  }

 private:
  static constexpr int64_t kNone = -1;
  std::vector<Entry>& e_;
  const char* arena_;
  bool descending_;

  bool greater(int64_t a, int64_t b) const { return compareEntries(e_[a], e_[b], arena_) > 0; }
  void swap(int64_t a, int64_t b) { std::swap(e_[a], e_[b]); }

  // Sorts [lo, hi]. least / greatest: kNone, or the place (outside the range, never moved again)
  // of an item that no item of the range is less / greater than; kept for ascending order only.
  void sort(int64_t lo, int64_t hi, int depthBudget, int64_t least, int64_t greatest) {
    while (lo < hi) {
      if (hi == lo + 1) {
        // Descending swaps equal pairs too: that is the routine's order for them.
        if (greater(lo, hi) != descending_) swap(lo, hi);
        return;
      }
      swap((lo + hi) / 2, hi);
      int64_t i;
      if (!descending_ && greatest != kNone && !greater(greatest, hi)) {
        i = hi;  // the pivot ties with the greatest: every item passes the first scan
      } else if (!descending_ && least != kNone && !greater(hi, least)) {
        // The pivot ties with the least: the first scan stops at the first greater item and the
        // second scan then passes every item down to it, swapping nothing.
        i = lo;
        while (i < hi && !greater(i, hi)) ++i;
      } else {
        if (depthBudget-- == 0) {
          fallback(lo, hi);
          return;
        }
        i = partition(lo, hi);
      }
      if (i == hi) {
        greatest = descending_ ? kNone : hi;
        --hi;
        continue;
      }
      swap(i, hi);
      const int64_t pivot = descending_ ? kNone : i;
      if (i - lo < hi - i) {
        sort(lo, i - 1, depthBudget, least, pivot);
        lo = i + 1;
        least = pivot;
      } else {
        sort(i + 1, hi, depthBudget, pivot, greatest);
        hi = i - 1;
        greatest = pivot;
      }
    }
  }

  // The pivot is at hi. Returns where it belongs.
  int64_t partition(int64_t lo, int64_t hi) {
    int64_t i = lo;
    int64_t e = hi - 1;
    for (;;) {
      if (descending_) {
        while (i <= e && greater(i, hi)) ++i;
        while (e >= i && greater(hi, e)) --e;
      } else {
        while (i <= e && !greater(i, hi)) ++i;
        while (e >= i && !greater(hi, e)) --e;
      }
      if (i >= e) return i;
      swap(i, e);
      ++i;
      if (e > i) --e;
    }
  }

  void fallback(int64_t lo, int64_t hi) {
    const char* arena = arena_;
    const bool descending = descending_;
    std::stable_sort(e_.begin() + lo, e_.begin() + hi + 1, [arena, descending](const Entry& a, const Entry& b) {
      const int c = compareEntries(a, b, arena);
      return descending ? c > 0 : c < 0;
    });
  }
};

// Appends the item's key; the file name's collation key comes last (nameKey, when given, is it).
// Returns the length of that last part.
size_t appendEntryKey(std::string& arena, const ListItem& item, uint8_t key, const platform::Collator& collator,
                      std::string_view nameKey) {
  if (key == kSortByFileName) {
    // nothing before the file name
  } else if (isTextKey(key)) {
    arena += collator.key(textValue(item, key));
    arena.push_back('\0');
  } else {
    appendOrderedDouble(arena, numericValue(item, key));
  }
  const size_t before = arena.size();
  if (nameKey.data())
    arena += nameKey;
  else
    arena += collator.key(item.fileName);
  return arena.size() - before;
}

// Puts items in the order of entries (entries[k].index is the item that belongs at k), moving
// each item once along its permutation cycle.
void applyOrder(std::vector<ListItem>& items, std::vector<Entry>& entries) {
  constexpr uint32_t kPlaced = UINT32_MAX;
  for (size_t start = 0; start < entries.size(); ++start) {
    if (entries[start].index == kPlaced) continue;
    if (entries[start].index == start) {
      entries[start].index = kPlaced;
      continue;
    }
    ListItem held = std::move(items[start]);
    size_t at = start;
    for (;;) {
      const size_t from = entries[at].index;
      entries[at].index = kPlaced;
      if (from == start) {
        items[at] = std::move(held);
        break;
      }
      items[at] = std::move(items[from]);
      at = from;
    }
  }
}

}  // namespace

SortOrder sortOrderOf(uint8_t sortCode) {
  return SortOrder{static_cast<uint8_t>(sortCode & kSortKeyMask), (sortCode & kSortDescending) != 0,
                   (sortCode & kSortCaseSensitive) != 0};
}

uint8_t sortCodeOf(const SortOrder& order) {
  return static_cast<uint8_t>((order.key & kSortKeyMask) | (order.caseSensitive ? kSortCaseSensitive : 0) |
                              (order.descending ? kSortDescending : 0));
}

struct Greater::Impl {
  uint8_t key;
  platform::Collator collator;
  Impl(uint8_t k, bool caseSensitive) : key(k), collator(caseSensitive) {}
};

Greater::Greater(uint8_t key, bool caseSensitive) : impl_(std::make_unique<Impl>(key, caseSensitive)) {}
Greater::~Greater() = default;

bool Greater::operator()(const ListItem& a, const ListItem& b) const {
  const uint8_t key = impl_->key;
  if (isTextKey(key)) {
    const int c = impl_->collator.compare(textValue(a, key), textValue(b, key));
    if (c != 0) return c > 0;
  } else if (key != kSortByFileName) {
    const double va = numericValue(a, key);
    const double vb = numericValue(b, key);
    if (va != vb) return va > vb;
  }
  return impl_->collator.compare(a.fileName, b.fileName) > 0;
}

void SortKeyCache::clear() {
  arena_.clear();
  slots_.clear();
}

void SortKeyCache::fill(const std::vector<std::string_view>& names, bool caseSensitive,
                        const std::atomic<bool>& stop) {
  clear();
  caseSensitive_ = caseSensitive;
  const platform::Collator collator(caseSensitive);
  slots_.reserve(names.size());
  // Checking the flag for every name would cost more than the check saves.
  constexpr size_t kStopCheckEvery = 256;
  for (size_t k = 0; k < names.size(); ++k) {
    if (k % kStopCheckEvery == 0 && stop.load(std::memory_order_relaxed)) return;
    const size_t offset = arena_.size();
    arena_ += collator.key(names[k]);
    slots_.push_back({std::hash<std::string_view>{}(names[k]), offset,
                      static_cast<uint32_t>(arena_.size() - offset)});
  }
}

void sortItems(std::vector<ListItem>& items, const SortOrder& order, SortKeyCache* cache) {
  if (order.key > kLastSortKey || items.size() < 2) return;
  if (cache && cache->caseSensitive_ != order.caseSensitive) cache->clear();

  std::vector<Entry> entries(items.size());
  std::vector<uint64_t> nameHashes(cache ? items.size() : 0);
  std::vector<uint32_t> nameKeyLengths(cache ? items.size() : 0);
  // Keys of items [lo, hi) into their own arena (entries' offsets relative to it).
  auto keysOf = [&](size_t lo, size_t hi, std::string& arena, const platform::Collator& collator) {
    for (size_t k = lo; k < hi; ++k) {
      const size_t offset = arena.size();
      std::string_view nameKey;
      if (cache) {
        nameHashes[k] = std::hash<std::string_view>{}(items[k].fileName);
        if (k < cache->slots_.size() && cache->slots_[k].nameHash == nameHashes[k]) {
          const SortKeyCache::Slot& slot = cache->slots_[k];
          nameKey = std::string_view(cache->arena_).substr(slot.offset, slot.length);
        }
      }
      const size_t nameLength = appendEntryKey(arena, items[k], order.key, collator, nameKey);
      if (cache) nameKeyLengths[k] = static_cast<uint32_t>(nameLength);
      entries[k].offset = offset;
      entries[k].length = static_cast<uint32_t>(arena.size() - offset);
      entries[k].index = static_cast<uint32_t>(k);
    }
  };

  // Collation keys are most of a sort's time: a long list's second half gets its keys on a
  // thread of its own, with its own collator and arena, appended in order afterwards. The keys,
  // and so the order, are exactly those of one thread.
  const platform::Collator collator(order.caseSensitive);
  std::string arena;
  const size_t half = items.size() >= kItemsForKeyThread && std::thread::hardware_concurrency() > 1
                          ? items.size() / 2
                          : items.size();
  if (half < items.size()) {
    const platform::Collator secondCollator(order.caseSensitive);
    std::string secondArena;
    platform::runAlongside([&] { keysOf(0, half, arena, collator); },
                           [&] { keysOf(half, items.size(), secondArena, secondCollator); });
    const size_t base = arena.size();
    arena += secondArena;
    for (size_t k = half; k < items.size(); ++k) entries[k].offset += base;
  } else {
    keysOf(0, items.size(), arena, collator);
  }
  for (Entry& entry : entries) {
    for (size_t b = 0; b < kPrefixBytes; ++b) {
      const uint8_t byte = b < entry.length ? static_cast<uint8_t>(arena[entry.offset + b]) : 0;
      entry.prefix[b / 8] = (entry.prefix[b / 8] << 8) | byte;
    }
  }

  EntrySorter(entries, arena.data(), order.descending).run();
  if (cache) {
    // The names' keys in the new order: each is the tail of its item's whole key, so the cache
    // takes this sort's arena as it stands instead of copying the keys out of it.
    cache->slots_.resize(entries.size());
    cache->caseSensitive_ = order.caseSensitive;
    for (size_t k = 0; k < entries.size(); ++k) {
      const Entry& e = entries[k];
      const uint32_t nameLength = nameKeyLengths[e.index];
      cache->slots_[k] = {nameHashes[e.index], e.offset + e.length - nameLength, nameLength};
    }
    cache->arena_ = std::move(arena);
  }
  applyOrder(items, entries);
}

}  // namespace sonalog
