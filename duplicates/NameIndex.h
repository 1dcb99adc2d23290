#pragma once
// The candidate index of the duplicates search and the comparison below the threshold 99: for a
// name, the indexed names that may reach the threshold with it, found through hash lookups
// instead of scoring every pair. It only throws away pairs that provably cannot match; the run
// still scores each candidate in full, so no result changes.
//
// Why a candidate must share something: a score of at least T needs a similarity of at least
// (T - 0.5) / 100 on the whole names, or (both names split) on the artist or on the title part,
// because the geometric mean of two similarities never exceeds the larger. That similarity is
// 1.0 for texts equal but for case, else 0.99 - d / m, so the normalised texts are within
// d <= near(m) edits (m the shorter length). Each indexed text of length L is cut into
// near(L) + 1 segments; a text within near(m) <= near(L) edits keeps one of them untouched, at a
// position shifted by no more edits than lie before and after it. So a probe looks up, for every
// length that can match its own, each segment at each position the edits can reach. Names and
// parts equal but for case (similarity 1.0 however far apart their normalised texts) are found
// through the hash of their folding.
//
// Every posting list is sorted by the value the narrowest criterion compares (playtime, else
// size), so a probe reads only the entries that may also pass that criterion.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "duplicates/TitleMatch.h"

namespace sonalog {

// Weighs the index against testing pairs one by one, over a sample of a run's probes. Where the
// segments are long (high thresholds) a probe reads a few short lists; where the threshold is low
// they shrink to a byte or two and a probe reads more entries than testing every pair costs.
class ProbeCost {
 public:
  // Probes to sample per run: enough to see the shape of the lists, few enough to cost nothing.
  static constexpr uint32_t kSamples = 256;

  // pairCostTenths: what testing one pair on the run's plain path costs, in tenths of reading
  // one index entry (each run measures its own: their plain loops differ).
  explicit ProbeCost(uint32_t pairCostTenths) : pairCostTenths_(pairCostTenths) {}

  // One sampled probe: the index entries it read and the candidates it gave, and the pairs the
  // plain path tests for the same name.
  void add(uint64_t entriesRead, uint64_t candidates, uint64_t pairs);
  bool indexPays() const;

 private:
  uint32_t pairCostTenths_;
  uint64_t index_ = 0;  // weighted index work, in tenths of an entry read
  uint64_t plain_ = 0;  // weighted plain work, the same
};

class NameIndex {
 public:
  // Whether the index serves a run under these options: thresholds below 99 without relaxed
  // matching (whose windows and containment match texts of any length).
  static bool serves(const MatchOptions& options);

  // Indexes the items (keys from prepareTitle under the same options, facts of the same items).
  // probesUnsplit: some probe may be a name without an artist/title split.
  NameIndex(const std::vector<TitleKey>& keys, const std::vector<PairFacts>& facts, RunKind kind,
            const MatchOptions& options, bool probesUnsplit);
  ~NameIndex();
  NameIndex(const NameIndex&) = delete;
  NameIndex& operator=(const NameIndex&) = delete;

  // Scratch space of one probing thread.
  class Probe {
   public:
    explicit Probe(const NameIndex& index);

   private:
    friend class NameIndex;
    std::vector<uint32_t> seen_;    // per item: the probe number that last listed it
    uint32_t stamp_ = 0;
    std::vector<uint64_t> prefix_;  // polynomial hashes of the probe text's prefixes
    std::vector<uint64_t> keys_;    // the keys one probe looks up
    std::vector<uint32_t> found_;   // the slots of those keys that exist
  };

  // The indexed items above `after` (all for -1) that may match a name of this key and facts,
  // each once, in no particular order, into out: callers sift them before they sort the few
  // that remain. Returns the number of index entries read (a measure of the work).
  uint64_t candidates(Probe& probe, const TitleKey& key, const PairFacts& facts, int64_t after,
                      std::vector<uint32_t>& out) const;

  // Removes the entries of the items for which gone(item) is true: items that no probe will
  // ever need again. Costs one pass over the index.
  void drop(const std::function<bool(uint32_t)>& gone);
  size_t entryCount() const { return entries_.size(); }

 private:
  struct Entry {
    int32_t value;  // the criterion's value; -1 when unknown (such entries come first)
    uint32_t item;
  };
  struct Slot {
    uint64_t key = 0;  // 0: empty
    uint32_t begin = 0, end = 0;  // entries_[begin, end)
  };

  // The value of the ordering criterion as the entries hold it; -1 when unknown.
  int32_t valueOf(const PairFacts& facts) const;
  // Calls emit(key) for every index key of item i's texts; prefix is scratch space.
  void forEachKey(const TitleKey& key, std::vector<uint64_t>& prefix, const std::function<void(uint64_t)>& emit) const;
  Slot& insert(uint64_t key);
  const Slot* find(uint64_t key) const;
  void scanList(const Slot& slot, int32_t value, Probe& probe, int64_t after, std::vector<uint32_t>& out,
                uint64_t& read) const;
  // Adds to probe.keys_ the keys under which a text of the family may find its candidates.
  void probeText(uint8_t family, std::string_view text, Probe& probe) const;

  bool probesUnsplit_ = false;
  std::vector<int16_t> near_;      // [m]: the largest distance that can still match at length m
  std::vector<Entry> entries_;     // grouped by key, each group sorted by value (unknown first)
  std::vector<Slot> slots_;        // open addressing over the keys; capacity a power of two
  size_t used_ = 0;                // slots holding a key
  std::vector<uint32_t> wild_;     // items with a text too long to index: candidates of every probe
  std::vector<uint8_t> dropped_;   // per item: 1 once drop() removed it
  uint32_t familiesUsed_ = 0;      // bit per family: whether it has any entry
  uint32_t itemCount_ = 0;
  bool valueOrdered_ = false;      // lists are sorted by a criterion's value
  bool byTime_ = false;            // that criterion is the playtime, else the size
  bool seconds_ = false;           // playtimes compared in seconds (held in milliseconds)
  int64_t valueLimit_ = 0;         // the criterion's window, in the value's unit
};

}  // namespace sonalog
