#include "compare/CompareMatcher.h"

#include <algorithm>
#include <chrono>

#include "compare/CompareAction.h"
#include "duplicates/CriteriaWindow.h"
#include "duplicates/NameGroups.h"
#include "duplicates/TitleMatch.h"

namespace sonalog {

namespace {

// Outer items a helper claims at a time, and inner items it scores between two looks at the
// pause and stop flags.
constexpr size_t kClaimBlock = 4;
constexpr size_t kScanChunk = 512;
// How long a waiting run sleeps before it looks at the pause flag again.
constexpr auto kPollInterval = std::chrono::milliseconds(5);

// Relaxed matching at 99 also matches a name contained in another, so no grouping serves there.
// A contained name's pairs of adjacent bytes all occur in the containing one, so a pair whose
// shorter name has a pair bit that the longer lacks cannot match.
struct ContainSketch {
  uint64_t foldedHash = 0;  // equal foldings score 100 whatever the rest
  uint64_t pairBits = 0;    // 0 for a one-byte text, whose containment the bits cannot tell
  size_t length = 0;        // normalised

  explicit ContainSketch(const TitleKey& key)
      : foldedHash(key.sketch.foldedHash),
        pairBits(bytePairBits(key.whole().normalized)),
        length(key.whole().normalized.size()) {}

  // False when the pair can score neither 100 nor 99.
  bool mayMatch(const ContainSketch& other) const {
    if (foldedHash == other.foldedHash) return true;
    const ContainSketch& shorter = length <= other.length ? *this : other;
    const ContainSketch& longer = length <= other.length ? other : *this;
    return (shorter.pairBits & ~longer.pairBits) == 0;
  }
};

}  // namespace

struct CompareMatcher::Impl {
  MatchOptions options;
  RunKind kind = RunKind::CompareFrames;
  std::vector<TitleKey> outerKeys;
  std::vector<TitleKey> innerKeys;
  std::vector<PairFacts> innerFacts;
  std::unique_ptr<NameIndex> index;        // over the inner items, where it pays
  std::unique_ptr<CriteriaWindow> window;  // over the inner items
  // Below 99: the inner keys' sketches side by side, so sifting an outer item's many candidates
  // reads one small record each instead of a whole key.
  std::vector<TitleKey::Sketch> innerSketches;
  std::vector<ContainSketch> outerContain, innerContain;  // relaxed at 99 only
  // At the thresholds 99 and 100 (but for relaxed matching at 99, where a name contained in
  // another also scores 99) a pair can reach the threshold only within a group of equal names:
  // each outer item's group's inner items, ascending, are innerMembers[groupBegin[g] ..
  // groupBegin[g + 1]) with g = outerGroup[r]. Empty when the run scores every pair.
  bool grouped = false;
  std::vector<uint32_t> outerGroup, groupBegin, innerMembers;

  // Whether the index costs less than scanning the inner items the criteria leave, judged on
  // outer items spread over the list.
  bool indexPays(const std::vector<ListItem>& outer) const {
    // A plain scan sifts each inner item of the window, in list order, through its sketch and
    // the criteria: about seven entry reads each, as measured on generated lists of 20 000 names.
    constexpr uint32_t kPairCostTenths = 70;
    NameIndex::Probe probe(*index);
    ProbeCost cost(kPairCostTenths);
    std::vector<uint32_t> candidates;
    const size_t samples = std::min<size_t>(ProbeCost::kSamples, outer.size());
    for (size_t k = 0; k < samples; ++k) {
      const size_t r = k * outer.size() / samples;
      const PairFacts facts = pairFactsOf(outer[r]);
      const uint64_t read = index->candidates(probe, outerKeys[r], facts, -1, candidates);
      cost.add(read, candidates.size(), window->pairEstimate(facts, -1));
    }
    return cost.indexPays();
  }

  void groupByName() {
    const uint32_t outerCount = static_cast<uint32_t>(outerKeys.size());
    const uint32_t count = outerCount + static_cast<uint32_t>(innerKeys.size());
    const std::vector<uint32_t> root = groupEqualNames(
        count,
        [&](uint32_t k) {
          const TitleKey& key = k < outerCount ? outerKeys[k] : innerKeys[k - outerCount];
          return NameHashes{key.sketch.foldedHash, key.normalizedHash};
        },
        options.matchThreshold == kThresholdLetters);
    // Groups numbered by their roots; the inner members counted, then placed in index order.
    groupBegin.assign(count + 1, 0);
    for (uint32_t k = outerCount; k < count; ++k) ++groupBegin[root[k] + 1];
    for (uint32_t g = 0; g < count; ++g) groupBegin[g + 1] += groupBegin[g];
    innerMembers.resize(innerKeys.size());
    std::vector<uint32_t> fill(groupBegin.begin(), groupBegin.end() - 1);
    for (uint32_t k = outerCount; k < count; ++k) innerMembers[fill[root[k]]++] = k - outerCount;
    outerGroup.assign(root.begin(), root.begin() + outerCount);
    grouped = true;
  }
};

MatchOptions compareMatchOptions(const CompareJob& job) {
  const CompareSettings& s = job.settings;
  MatchOptions o;
  copyMatchFields(s, o);
  o.relaxed = s.compareWith == 1 && job.relaxedSwitch;
  o.partThreshold = job.partThreshold;
  return o;
}

CompareMatcher::Scanner::Scanner(const CompareMatcher& matcher)
    : title_(std::make_unique<TitleMatcher>(matcher.impl_->options)) {
  if (matcher.impl_->index) probe_ = std::make_unique<NameIndex::Probe>(*matcher.impl_->index);
}

CompareMatcher::Scanner::~Scanner() = default;

CompareMatcher::CompareMatcher(const std::vector<ListItem>& internal,
                               const std::vector<ListItem>& external, const CompareJob& job)
    : impl_(std::make_unique<Impl>()) {
  const CompareSettings& s = job.settings;
  outerIsExternal_ = walksExternal(s.compareAction);
  outer_ = outerIsExternal_ ? &external : &internal;
  inner_ = outerIsExternal_ ? &internal : &external;
  impl_->options = compareMatchOptions(job);
  const MatchOptions& o = impl_->options;
  impl_->kind = compareRunKind(s.compareAction);
  impl_->outerKeys.reserve(outer_->size());
  for (const ListItem& item : *outer_) impl_->outerKeys.push_back(prepareTitle(item.fileName, o));
  impl_->innerKeys.reserve(inner_->size());
  for (const ListItem& item : *inner_) impl_->innerKeys.push_back(prepareTitle(item.fileName, o));
  impl_->innerFacts.reserve(inner_->size());
  for (const ListItem& item : *inner_) impl_->innerFacts.push_back(pairFactsOf(item));
  if (o.matchThreshold == kThresholdExact || (o.matchThreshold == kThresholdLetters && !o.relaxed)) {
    impl_->groupByName();
  } else if (o.matchThreshold == kThresholdLetters) {
    for (const TitleKey& key : impl_->outerKeys) impl_->outerContain.emplace_back(key);
    for (const TitleKey& key : impl_->innerKeys) impl_->innerContain.emplace_back(key);
  } else {
    impl_->innerSketches.reserve(impl_->innerKeys.size());
    for (const TitleKey& key : impl_->innerKeys) impl_->innerSketches.push_back(key.sketch);
    impl_->window = std::make_unique<CriteriaWindow>(impl_->innerFacts, impl_->kind, o);
    if (NameIndex::serves(o) && job.pairSearch != PairSearch::Plain) {
      const bool anyUnsplit = std::any_of(impl_->outerKeys.begin(), impl_->outerKeys.end(),
                                          [](const TitleKey& k) { return !k.sketch.split; });
      impl_->index = std::make_unique<NameIndex>(impl_->innerKeys, impl_->innerFacts, impl_->kind, o, anyUnsplit);
      if (job.pairSearch == PairSearch::Auto && !impl_->indexPays(*outer_)) impl_->index.reset();
    }
  }
}

CompareMatcher::~CompareMatcher() = default;

const ListItem& CompareMatcher::internalItem(size_t r, size_t p) const {
  return outerIsExternal_ ? inner(p) : outer(r);
}

const ListItem& CompareMatcher::externalItem(size_t r, size_t p) const {
  return outerIsExternal_ ? outer(r) : inner(p);
}

PairVerdict CompareMatcher::test(size_t r, size_t p) const {
  const ListItem& a = internalItem(r, p);
  const ListItem& b = externalItem(r, p);
  PairVerdict v;
  v.score = MatchPercent(a.fileName, b.fileName, impl_->options);
  v.candidate = v.score >= impl_->options.matchThreshold &&
                PairPassesCriteria(a, b, impl_->kind, impl_->options);
  return v;
}

size_t CompareMatcher::scan(Scanner& scanner, size_t r, size_t from, size_t to, uint8_t* score) const {
  if (from >= to) return to;
  const PairFacts outerFacts = pairFactsOf(outer(r));
  if (scanner.outer_ != r) {
    scanner.title_->setFirst(impl_->outerKeys[r]);
    scanner.outer_ = r;
    if (impl_->index) {
      std::vector<uint32_t>& near = scanner.near_;
      impl_->index->candidates(*scanner.probe_, impl_->outerKeys[r], outerFacts, -1, near);
      // Most candidates share a word or two with the outer name and nothing more: the sketches
      // turn them down, and only the rest is put in list order.
      const std::vector<TitleKey::Sketch>& sketches = impl_->innerSketches;
      constexpr size_t kAhead = 12;
      size_t kept = 0;
      for (size_t k = 0; k < near.size(); ++k) {
        if (k + kAhead < near.size()) prefetchSketch(sketches[near[k + kAhead]]);
        if (scanner.title_->mayMatch(sketches[near[k]])) near[kept++] = near[k];
      }
      near.resize(kept);
      std::sort(near.begin(), near.end());
      scanner.windowed_ = true;
    } else {
      scanner.windowed_ = impl_->window && impl_->window->near(outerFacts, -1, scanner.near_, true);
    }
  }
  const uint8_t threshold = impl_->options.matchThreshold;
  auto candidate = [&](size_t p) {
    // The sketches and the criteria have no side effects, so testing them first picks the same
    // candidates as scoring first, and they are far cheaper than a score.
    if (!impl_->innerSketches.empty() && !scanner.title_->mayMatch(impl_->innerSketches[p])) return false;
    const PairFacts& innerFacts = impl_->innerFacts[p];
    const bool passes = outerIsExternal_
                            ? PairPassesCriteria(innerFacts, outerFacts, impl_->kind, impl_->options)
                            : PairPassesCriteria(outerFacts, innerFacts, impl_->kind, impl_->options);
    if (!passes) return false;
    const uint8_t s = scanner.title_->scoreIfMatch(impl_->innerKeys[p]);
    if (s < threshold) return false;
    if (score) *score = s;
    return true;
  };
  if (impl_->grouped) {
    const uint32_t g = impl_->outerGroup[r];
    const auto first = impl_->innerMembers.begin() + impl_->groupBegin[g];
    const auto last = impl_->innerMembers.begin() + impl_->groupBegin[g + 1];
    for (auto it = std::lower_bound(first, last, from); it != last && *it < to; ++it)
      if (candidate(*it)) return *it;
    return to;
  }
  if (!impl_->outerContain.empty()) {
    const ContainSketch& o = impl_->outerContain[r];
    for (size_t p = from; p < to; ++p)
      if (o.mayMatch(impl_->innerContain[p]) && candidate(p)) return p;
    return to;
  }
  if (scanner.windowed_) {
    const auto& near = scanner.near_;
    for (auto it = std::lower_bound(near.begin(), near.end(), from); it != near.end() && *it < to; ++it)
      if (candidate(*it)) return *it;
    return to;
  }
  for (size_t p = from; p < to; ++p)
    if (candidate(p)) return p;
  return to;
}

// ---------------------------------------------------------------------------------------------

CandidateLookahead::CandidateLookahead(const CompareMatcher& matcher,
                                       const std::atomic<bool>& paused, unsigned threads)
    : matcher_(matcher),
      paused_(paused),
      ready_(new std::atomic<uint8_t>[matcher.outerCount()]),
      found_(matcher.outerCount()) {
  for (size_t r = 0; r < matcher.outerCount(); ++r) ready_[r].store(0, std::memory_order_relaxed);
  threads = std::max(1u, threads);
  for (unsigned t = 0; t < threads; ++t) threads_.emplace_back([this] { helper(); });
}

CandidateLookahead::~CandidateLookahead() {
  stopping_.store(true);
  cv_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void CandidateLookahead::helper() {
  const size_t outerCount = matcher_.outerCount();
  const size_t innerCount = matcher_.innerCount();
  CompareMatcher::Scanner scanner(matcher_);
  for (;;) {
    const size_t first = next_.fetch_add(kClaimBlock);
    if (first >= outerCount) return;
    const size_t last = std::min(outerCount, first + kClaimBlock);
    for (size_t r = first; r < last; ++r) {
      Found f{innerCount, 0};
      size_t p = 0;
      while (p < innerCount) {
        while (paused_.load() && !stopping_.load()) std::this_thread::sleep_for(kPollInterval);
        if (stopping_.load()) return;
        const size_t end = std::min(innerCount, p + kScanChunk);
        uint8_t score = 0;
        const size_t q = matcher_.scan(scanner, r, p, end, &score);
        if (q < end) {
          f = Found{q, score};
          break;
        }
        p = end;
      }
      found_[r] = f;
      ready_[r].store(1, std::memory_order_release);
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
    }
    cv_.notify_all();
  }
}

bool CandidateLookahead::get(size_t r, Found& found) {
  if (ready_[r].load(std::memory_order_acquire) == 0) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (ready_[r].load(std::memory_order_acquire) == 0) {
      if (paused_.load()) return false;
      cv_.wait_for(lock, kPollInterval);
    }
  }
  found = found_[r];
  return true;
}

}  // namespace sonalog
