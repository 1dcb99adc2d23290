#pragma once
// The one routine that orders the internal list: after a scan, after a merge on load, and for the
// viewer's sorts. Text is ordered by the user's locale collation; every key but the file name
// falls back to the file name when its values tie.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/ListItem.h"
#include "settings/SortKey.h"

namespace sonalog {

// The three sort settings ("Sort by:", "Reverse order (descending)", "Case sensitive"). Callers
// that sort by another key pass their own order instead of changing the configuration.
struct SortOrder {
  uint8_t key = kSortByFileName;  // above kLastSortKey: leave the list as it is
  bool descending = false;
  bool caseSensitive = false;
};

// The order a sortCode byte stands for: bits 0..5 key, bit 6 case-sensitive, bit 7 descending.
SortOrder sortOrderOf(uint8_t sortCode);
// The sortCode byte of an order: key, plus 64 when case-sensitive, plus 128 when descending.
uint8_t sortCodeOf(const SortOrder& order);

// Greater(a, b): true when a comes after b in ascending order. Compares text through the
// collator on every call, so it suits single comparisons (placing one edited item); sortItems
// computes collation keys once per item instead.
class Greater {
 public:
  Greater(uint8_t key, bool caseSensitive);
  ~Greater();
  Greater(const Greater&) = delete;
  Greater& operator=(const Greater&) = delete;

  bool operator()(const ListItem& a, const ListItem& b) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The file names' collation keys of one list, kept between sorts by a caller that sorts the same
// list again and again (the viewer's header clicks), so that only the first sort pays for them.
// A kept key is used only while the item at its place still has a name of the same hash and the
// case rule is the same; any other item gets a fresh key. Memory: about the keys' size.
class SortKeyCache {
 public:
  void clear();
  // Replaces the cache by the keys of names, given in list order, under one case rule: the work a
  // first sort would do, done ahead (on a thread of its own while nothing else uses this cache).
  // Once stop reads true it returns early, keeping the keys of the names before that point.
  void fill(const std::vector<std::string_view>& names, bool caseSensitive, const std::atomic<bool>& stop);
  // Keys held, one per list position from the first.
  size_t size() const { return slots_.size(); }

 private:
  friend void sortItems(std::vector<ListItem>&, const SortOrder&, SortKeyCache*);
  struct Slot {
    uint64_t nameHash;
    size_t offset;    // of the key in arena_
    uint32_t length;
  };
  std::string arena_;
  std::vector<Slot> slots_;  // by item position after the last sort
  bool caseSensitive_ = false;
};

// Sorts items in place by order. Does nothing for a key above kLastSortKey or fewer than two
// items. Items that differ by Greater end up in ascending (or, descending, reversed) order; items
// equal by Greater keep the order the classic in-place quicksort of this program gives them, except
// in inputs that would drive that quicksort quadratic, where a guaranteed O(n log n) fallback
// orders them instead. Stack depth is O(log n).
// With a cache, the file names' keys are taken from it where they still fit and it is left
// holding the keys in the new order.
void sortItems(std::vector<ListItem>& items, const SortOrder& order, SortKeyCache* cache = nullptr);

}  // namespace sonalog
