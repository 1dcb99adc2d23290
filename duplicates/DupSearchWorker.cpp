// The worker of the duplicates search (TDyThread).
//
// The result must be exactly that of the plain search: for each first item i in order, for each
// later item j not yet queued, score the pair and act on a match. Two facts make it fast without
// changing that result. First, whether a pair matches depends only on the two items, so pairs can
// be scored ahead of time and on several threads; the rows are then replayed in order, and a
// match whose second item was queued in the meantime is skipped as the plain loop would skip it.
// Second, queued items stay queued, so an item found queued while scoring ahead may be left out.
// Below 99 each row scores only the candidates of the name index, or, where short segments make
// the index read more than it saves, every later item the criteria leave; at the thresholds 99
// and 100 only items whose folded or normalised names are equal can match, so each row looks
// only at its group.

#include <algorithm>
#include <functional>
#include <memory>
#include <numeric>

#include "duplicates/CriteriaWindow.h"
#include "duplicates/DupSearchUnit.h"
#include "duplicates/NameGroups.h"
#include "duplicates/NameIndex.h"
#include "platform/Threads.h"

namespace sonalog {

namespace {

// A matching pair of the current row: the second item and the score.
struct Match {
  uint32_t second;
  uint8_t score;
};

// Index entries, candidates and pairs read per block of rows scored ahead, which bounds the
// memory of the matches kept (8 bytes each) and how much work a stop can waste.
constexpr uint64_t kWorkPerBlock = 1u << 22;
constexpr uint32_t kRowsPerBlockMax = 4096;

unsigned threadCount(unsigned requested) {
  if (requested > 0) return requested;
  return std::max(1u, std::thread::hardware_concurrency());
}

// Runs body(worker) on `count` threads, the calling thread being worker 0.
void onThreads(unsigned count, const std::function<void(unsigned)>& body) {
  std::vector<std::thread> helpers;
  helpers.reserve(count - 1);
  for (unsigned w = 1; w < count; ++w) helpers.emplace_back(body, w);
  body(0);
  for (std::thread& t : helpers) t.join();
}

}  // namespace

class TDyThread {
 public:
  explicit TDyThread(DupSearchRun& run)
      : run_(run),
        items_(run.items_),
        options_(run.options_),
        n_(static_cast<uint32_t>(run.items_.size())) {
    options_.match.relaxed = false;  // the duplicates search never matches relaxed
  }

  void execute() {
    run_.matches_ = 0;
    run_.duplicates_ = 0;
    run_.running_ = true;
    run_.progress_ = 0;
    for (uint32_t i = 0; i < n_; ++i) run_.marks_[i].store(1, std::memory_order_relaxed);
    const bool completed = options_.match.matchThreshold >= kThresholdLetters ? searchGroups()
                                                                              : searchBlocks();
    if (completed) finish();
  }

 private:
  bool marked(uint32_t i) const { return run_.marks_[i].load(std::memory_order_relaxed) == 0; }
  bool stopRequested() const { return run_.state_.load(std::memory_order_acquire) == kSearchStop; }

  // Runs body(i) for every i < count, in chunks, on the scoring threads.
  void forAll(uint32_t count, const std::function<void(uint32_t)>& body) {
    constexpr uint32_t kChunk = 256;
    const unsigned threads = std::min<unsigned>(threadCount(options_.threads), std::max<uint32_t>(count / kChunk, 1));
    std::atomic<uint32_t> next{0};
    onThreads(threads, [&](unsigned) {
      for (uint32_t from; (from = next.fetch_add(kChunk)) < count;)
        for (uint32_t i = from; i < std::min(count, from + kChunk); ++i) body(i);
    });
  }

  bool isMatch(uint32_t i, uint32_t j, uint8_t score) const {
    return score >= options_.match.matchThreshold &&
           PairPassesCriteria(items_[i], items_[j], RunKind::Duplicates, options_.match);
  }

  // ---- publishing, in the plain search's order ----
  // ---- publishing, in the plain search's order ----

  void startRow(uint32_t i) { run_.progress_.store(rowProgress(i, n_), std::memory_order_relaxed); }

  void log(uint32_t item) {
    if (logLines_ < kLogListLimit) run_.publish({DupEvent::Kind::Log, items_[item].fileName, {}, {}, 0});
    else if (logLines_ == kLogListLimit) run_.publish({DupEvent::Kind::Log, kLogFullNotice, {}, {}, 0});
    ++logLines_;
  }

  void queue(uint32_t item) {
    run_.marks_[item].store(0, std::memory_order_relaxed);
    run_.duplicates_.fetch_add(1);
    log(item);
  }

  // Waits for the window's answer to the pair (i, j).
  uint8_t ask(uint32_t i, uint32_t j, uint8_t score) {
    // searchState := 0 unless a stop is already there: a stop is never lost.
    uint8_t state = run_.state_.load();
    do {
      if (state == kSearchStop) return kSearchStop;
    } while (!run_.state_.compare_exchange_weak(state, kSearchRunning));
    DupEvent event{DupEvent::Kind::Ask,
                   " Please confirm this " + std::to_string(score) + " % match:",
                   fileLine("File 1: ", items_[i], options_.style),
                   fileLine("File 2: ", items_[j], options_.style), score};
    run_.matches_.fetch_add(1);
    run_.visible_.fetch_or(kShowFileLabels | kShowAnswerButtons);
    run_.asking_ = true;
    run_.publish(std::move(event));
    while ((state = run_.state_.load()) == kSearchRunning) run_.state_.wait(kSearchRunning);
    run_.asking_ = false;
    run_.visible_.fetch_and(~(kShowFileLabels | kShowAnswerButtons));
    run_.publish({DupEvent::Kind::AskEnd, {}, {}, {}, 0});
    return state;
  }

  // Acts on the matches of row i (every pair (i, j) with a score at or above the threshold that
  // passes the criteria, j ascending). Returns false when the search stops; rowEnded tells
  // whether the first item itself was queued.
  bool replay(uint32_t i, const Match* matches, size_t count) {
    for (size_t k = 0; k < count; ++k) {
      const uint32_t j = matches[k].second;
      if (marked(j)) continue;
      if (stopRequested()) return false;
      const uint8_t score = matches[k].score;
      run_.score_.store(score, std::memory_order_relaxed);
      const uint8_t mode = options_.actionMode;
      if (mode == kActionAutomatic || (mode == kActionAutomaticExact && score >= kThresholdLetters)) {
        run_.matches_.fetch_add(1);
        queue(j);
        continue;
      }
      const uint8_t answer = ask(i, j, score);
      if (answer == kDelete1st) {
        // A first item already queued as the second item of an earlier pair is not counted or
        // logged twice: the count would exceed the items actually deleted.
        if (!marked(i)) queue(i);
        return true;
      }
      if (answer == kDelete2nd) queue(j);
      else if (answer == kSearchStop) return false;
      // Any other answer leaves both.
    }
    return true;
  }

  // Thresholds below 99: blocks of rows are scored on every core, then replayed in order. Each
  // row scores either the candidates that the name index gives it, or (where the index would
  // read more than it saves) every later item that the criteria window leaves.
  bool searchBlocks() {
    keys_.resize(n_);
    facts_.resize(n_);
    forAll(n_, [this](uint32_t i) {
      keys_[i] = prepareTitle(items_[i].fileName, options_.match);
      facts_[i] = pairFactsOf(items_[i]);
    });
    sketches_.resize(n_);
    forAll(n_, [this](uint32_t i) { sketches_[i] = keys_[i].sketch; });
    const CriteriaWindow window(facts_, RunKind::Duplicates, options_.match);
    std::unique_ptr<NameIndex> index;
    if (options_.pairSearch != PairSearch::Plain) {
      const bool anyUnsplit = std::any_of(keys_.begin(), keys_.end(), [](const TitleKey& k) { return !k.sketch.split; });
      index = std::make_unique<NameIndex>(keys_, facts_, RunKind::Duplicates, options_.match, anyUnsplit);
      if (options_.pairSearch == PairSearch::Auto && !indexPays(*index, window)) index.reset();
    }
    const unsigned threads = threadCount(options_.threads);
    std::vector<std::vector<Match>> rowMatches(kRowsPerBlockMax);
    // One probe per scoring thread for the whole run: each holds a stamp per item.
    std::vector<NameIndex::Probe> probes;
    if (index)
      for (unsigned t = 0; t < threads; ++t) probes.emplace_back(*index);
    std::vector<uint32_t> alive;  // plain rows: the items not queued when the block started
    uint32_t queuedAtAlive = UINT32_MAX;
    uint64_t wasted = 0;  // candidates found already queued since the index last dropped them
    for (uint32_t first = 0; first + 1 < n_;) {
      if (stopRequested()) return false;
      if (!index && queuedAtAlive != run_.duplicates_.load()) {
        queuedAtAlive = run_.duplicates_.load();
        alive.clear();
        for (uint32_t i = 0; i < n_; ++i)
          if (!marked(i)) alive.push_back(i);
      }
      // Rows from `first` on, until the block has done about kWorkPerBlock entries, candidates or
      // pairs: this bounds the matches kept and the time a block takes.
      const uint32_t limit = std::min<uint32_t>(n_ - 1, first + kRowsPerBlockMax);
      std::atomic<uint32_t> nextRow{first};
      std::atomic<uint64_t> work{0}, queuedSeen{0};
      std::atomic<bool> stopped{false};
      onThreads(std::min<unsigned>(threads, limit - first), [&](unsigned worker) {
        TitleMatcher matcher(options_.match);
        std::vector<uint32_t> candidates;
        while (work.load(std::memory_order_relaxed) < kWorkPerBlock && !stopped.load(std::memory_order_relaxed)) {
          const uint32_t i = nextRow.fetch_add(1);
          if (i >= limit) return;
          std::vector<Match>& out = rowMatches[i - first];
          out.clear();
          uint64_t read = 0;
          if (index) {
            read = index->candidates(probes[worker], keys_[i], facts_[i], i, candidates);
          } else if (!window.near(facts_[i], i, candidates, false)) {
            candidates.assign(std::upper_bound(alive.begin(), alive.end(), i), alive.end());
          }
          uint64_t queued = 0;
          if (!scoreRow(i, candidates, matcher, out, queued)) {
            stopped = true;
            return;
          }
          work.fetch_add(read + candidates.size(), std::memory_order_relaxed);
          queuedSeen.fetch_add(queued, std::memory_order_relaxed);
        }
      });
      if (stopped) return false;
      const uint32_t last = std::min(nextRow.load(), limit);
      for (uint32_t i = first; i < last; ++i) {
        startRow(i);
        const std::vector<Match>& m = rowMatches[i - first];
        if (!replay(i, m.data(), m.size())) return false;
      }
      first = last;
      // Queued items stay queued: once rows spend more time skipping them than a pass over the
      // index costs, the index forgets them. This keeps long runs of equal names linear.
      wasted += queuedSeen.load();
      if (index && wasted > index->entryCount() / 4 + kRowsPerBlockMax) {
        index->drop([this](uint32_t j) { return marked(j); });
        wasted = 0;
      }
    }
    return true;
  }

  // Whether the index costs less than the plain rows, judged on rows spread over the list.
  bool indexPays(const NameIndex& index, const CriteriaWindow& window) const {
    // A plain row sifts each pair of its window through the sketch and the criteria: about
    // 1.2 entry reads each, as measured on generated catalogues of 100 000 names.
    constexpr uint32_t kPairCostTenths = 12;
    NameIndex::Probe probe(index);
    ProbeCost cost(kPairCostTenths);
    std::vector<uint32_t> candidates;
    const uint32_t samples = std::min(ProbeCost::kSamples, n_);
    for (uint32_t k = 0; k < samples; ++k) {
      const uint32_t i = static_cast<uint32_t>(uint64_t{k} * n_ / samples);
      const uint64_t read = index.candidates(probe, keys_[i], facts_[i], i, candidates);
      cost.add(read, candidates.size(), window.pairEstimate(facts_[i], i));
    }
    return cost.indexPays();
  }

  // Scores row i against the items listed (in any order), keeping its matches ascending in out.
  // False when a stop was seen; queued counts the items skipped as queued.
  bool scoreRow(uint32_t i, const std::vector<uint32_t>& candidates, TitleMatcher& matcher, std::vector<Match>& out,
                uint64_t& queued) {
    if (candidates.empty()) return true;
    const PairFacts& fi = facts_[i];
    matcher.setFirst(keys_[i]);
    constexpr size_t kAhead = 12;
    for (size_t k = 0; k < candidates.size(); ++k) {
      const uint32_t j = candidates[k];
      if (k + kAhead < candidates.size()) prefetchSketch(sketches_[candidates[k + kAhead]]);
      if ((k & 255) == 255 && stopRequested()) return false;
      // Queued by an earlier row: the replay would skip it anyway.
      if (marked(j)) {
        ++queued;
        continue;
      }
      // Most candidates share a word or two with the first name and nothing more: the sketches,
      // side by side in memory, turn them down before anything else is read.
      if (!matcher.mayMatch(sketches_[j]) || !PairPassesCriteria(fi, facts_[j], RunKind::Duplicates, options_.match))
        continue;
      const uint8_t score = matcher.scoreIfMatch(keys_[j]);
      if (score >= options_.match.matchThreshold) out.push_back({j, score});
    }
    // Candidates come in no order; the replay takes them ascending.
    std::sort(out.begin(), out.end(), [](const Match& a, const Match& b) { return a.second < b.second; });
    return true;
  }

  // Thresholds 99 and 100: a pair can match only when the names are equal but for case (100),
  // or equal after normalising (99). Items joined by either equality form a group; each row
  // scores only the later items of its group that are still alive.
  bool searchGroups() {
    std::vector<NameHashes> hashes(n_);
    forAll(n_, [&](uint32_t i) { hashes[i] = nameHashes(items_[i].fileName, options_.match.highChars); });
    const std::vector<uint32_t> groupOf = groupEqualNames(
        n_, [&](uint32_t i) { return hashes[i]; }, options_.match.matchThreshold == kThresholdLetters);
    hashes = {};
    // Members of each group, ascending; a group's members up to the current row are dropped.
    std::vector<uint32_t> groupStart(n_ + 1, 0);
    for (uint32_t i = 0; i < n_; ++i) ++groupStart[groupOf[i] + 1];
    std::partial_sum(groupStart.begin(), groupStart.end(), groupStart.begin());
    std::vector<uint32_t> members(n_), groupEnd(groupStart.begin(), groupStart.end() - 1);
    for (uint32_t i = 0; i < n_; ++i) members[groupEnd[groupOf[i]]++] = i;
    // Only the members of groups of two or more are ever scored: only they get a key.
    std::vector<uint32_t> slot(n_, UINT32_MAX);
    std::vector<uint32_t> keyed;
    for (uint32_t i = 0; i < n_; ++i) {
      const uint32_t g = groupOf[i];
      if (groupEnd[g] - groupStart[g] > 1) {
        slot[i] = static_cast<uint32_t>(keyed.size());
        keyed.push_back(i);
      }
    }
    keys_.resize(keyed.size());
    forAll(static_cast<uint32_t>(keyed.size()),
           [&](uint32_t k) { keys_[k] = prepareTitle(items_[keyed[k]].fileName, options_.match); });

    TitleMatcher matcher(options_.match);
    std::vector<Match> matches;
    for (uint32_t i = 0; i + 1 < n_; ++i) {
      startRow(i);
      if (stopRequested()) return false;
      const uint32_t g = groupOf[i];
      uint32_t& begin = groupStart[g];
      uint32_t& end = groupEnd[g];
      while (begin < end && members[begin] <= i) ++begin;
      if (begin == end) continue;
      matcher.setFirst(keys_[slot[i]]);
      matches.clear();
      uint32_t kept = begin;
      for (uint32_t k = begin; k < end; ++k) {
        const uint32_t j = members[k];
        if (marked(j)) continue;  // queued for good: dropped from the group
        members[kept++] = j;
        const uint8_t score = matcher.score(keys_[slot[j]]);
        if (isMatch(i, j, score)) matches.push_back({j, score});
      }
      end = kept;
      if (!replay(i, matches.data(), matches.size())) return false;
    }
    return true;
  }

  void finish() {
    run_.visible_.store(kShowFinishLabel | (run_.duplicates_.load() > 0 ? kShowAbortBut | kShowSaveLogBut : 0u) |
                        kShowCloseBut);
    run_.publish({DupEvent::Kind::Finished, finishText(run_.matches_.load(), run_.duplicates_.load()), {}, {}, 0});
    run_.running_ = false;
  }

  DupSearchRun& run_;
  const std::vector<ListItem>& items_;
  DupSearchOptions options_;
  const uint32_t n_;
  std::vector<TitleKey> keys_;  // blocks: one per item; groups: see searchGroups
  std::vector<PairFacts> facts_;
  std::vector<TitleKey::Sketch> sketches_;  // blocks: keys_[i].sketch, side by side
  size_t logLines_ = 0;  // lines offered to the deletion log list, notice included
};

void DupSearchRun::execute() {
  platform::setCurrentThreadPriority(options_.threadPriority);
  TDyThread(*this).execute();
  {
    std::lock_guard lock(mutex_);
    ended_ = true;
  }
  eventsChanged_.notify_all();
}

}  // namespace sonalog
