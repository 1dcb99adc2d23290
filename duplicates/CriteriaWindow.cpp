#include "duplicates/CriteriaWindow.h"

#include <algorithm>

namespace sonalog {

namespace {
// Seconds are products of doubles: the window is this much wider than the limit, and the
// criterion itself decides at its edge.
constexpr double kSecondsMargin = 1e-6;
// A window narrows enough when it holds at most this share of the items.
constexpr size_t kNarrowShare = 4;
}  // namespace

CriteriaWindow::CriteriaWindow(const std::vector<PairFacts>& items, RunKind kind, const MatchOptions& options)
    : count_(items.size()),
      unknownPasses_(kind != RunKind::Duplicates || options.allowUnspecified) {
  time_.on = options.timeCheck;
  time_.seconds = kind == RunKind::CompareSeconds;
  time_.limit = options.timeLimitSec + (time_.seconds ? kSecondsMargin : 0.0);
  size_.on = options.sizeCheck;
  size_.frames = false;
  size_.limit = options.sizeLimitKB;
  for (Index* index : {&time_, &size_}) {
    if (!index->on) continue;
    index->known.reserve(items.size());
    for (uint32_t i = 0; i < items.size(); ++i) {
      const double v = index->valueOf(items[i]);
      if (v >= 0) index->known.emplace_back(v, i);
      else if (unknownPasses_) index->unknown.push_back(i);
    }
    std::sort(index->known.begin(), index->known.end());
  }
}

double CriteriaWindow::Index::valueOf(const PairFacts& f) const {
  if (!frames) return f.sizeKB;
  if (f.frames < 0) return -1;
  return seconds ? (f.frames == 0 ? 0.0 : f.frames * frameDuration(f.frequencyCode)) : f.frames;
}

bool CriteriaWindow::choose(const PairFacts& facts, const Index*& index, size_t& from, size_t& to,
                            bool& empty) const {
  empty = false;
  for (const Index* candidate : {&time_, &size_}) {
    if (!candidate->on) continue;
    const double v = candidate->valueOf(facts);
    if (v < 0) {
      if (unknownPasses_) continue;
      empty = true;  // an unknown value fails every pair
      return true;
    }
    const auto& known = candidate->known;
    const auto lo = std::lower_bound(known.begin(), known.end(), std::pair<double, uint32_t>{v - candidate->limit, 0});
    const auto hi = std::upper_bound(lo, known.end(), std::pair<double, uint32_t>{v + candidate->limit, UINT32_MAX});
    if (static_cast<size_t>(hi - lo) + candidate->unknown.size() > count_ / kNarrowShare) continue;
    index = candidate;
    from = static_cast<size_t>(lo - known.begin());
    to = static_cast<size_t>(hi - known.begin());
    return true;
  }
  return false;
}

bool CriteriaWindow::near(const PairFacts& facts, int64_t after, std::vector<uint32_t>& out, bool sorted) const {
  const Index* index = nullptr;
  size_t from = 0, to = 0;
  bool empty = false;
  if (!choose(facts, index, from, to, empty)) return false;
  out.clear();
  if (empty) return true;
  for (size_t k = from; k < to; ++k)
    if (static_cast<int64_t>(index->known[k].second) > after) out.push_back(index->known[k].second);
  const auto& unknown = index->unknown;
  for (auto it = std::upper_bound(unknown.begin(), unknown.end(), after,
                                  [](int64_t a, uint32_t b) { return a < static_cast<int64_t>(b); });
       it != unknown.end(); ++it)
    out.push_back(*it);
  if (sorted) std::sort(out.begin(), out.end());
  return true;
}

uint64_t CriteriaWindow::pairEstimate(const PairFacts& facts, int64_t after) const {
  const uint64_t later = count_ - static_cast<uint64_t>(std::clamp<int64_t>(after + 1, 0, static_cast<int64_t>(count_)));
  const Index* index = nullptr;
  size_t from = 0, to = 0;
  bool empty = false;
  if (!choose(facts, index, from, to, empty)) return later;
  if (empty || count_ == 0) return 0;
  return (to - from + index->unknown.size()) * later / count_;
}

}  // namespace sonalog
