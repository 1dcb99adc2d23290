#include "duplicates/CriteriaWindow.h"

#include <algorithm>

namespace sonalog {

namespace {
// Seconds are products of doubles: the window is this much wider than the limit, and the
// criterion itself decides at its edge.
constexpr double kSecondsMargin = 1e-6;
}  // namespace

CriteriaWindow::CriteriaWindow(const std::vector<PairFacts>& items, RunKind kind, const MatchOptions& options) {
  // Without allowUnspecified an unknown value fails every pair; indexing it as "passes always"
  // only keeps pairs that the criteria then turn down.
  on_ = options.timeCheck || options.sizeCheck;
  if (!on_) return;
  frames_ = options.timeCheck;
  seconds_ = frames_ && kind == RunKind::CompareSeconds;
  limit_ = frames_ ? options.timeLimitSec : options.sizeLimitKB;
  if (seconds_) limit_ += kSecondsMargin;
  known_.reserve(items.size());
  for (uint32_t i = 0; i < items.size(); ++i) {
    const double v = valueOf(items[i]);
    if (v < 0) unknown_.push_back(i);
    else known_.emplace_back(v, i);
  }
  std::sort(known_.begin(), known_.end());
}

double CriteriaWindow::valueOf(const PairFacts& f) const {
  if (!frames_) return f.sizeKB;
  if (f.frames < 0) return -1;
  return seconds_ ? (f.frames == 0 ? 0.0 : f.frames * frameDuration(f.frequencyCode)) : f.frames;
}

bool CriteriaWindow::near(const PairFacts& facts, int64_t after, std::vector<uint32_t>& out) const {
  if (!narrows(facts)) return false;
  const double v = valueOf(facts);
  out.clear();
  auto from = std::lower_bound(known_.begin(), known_.end(), std::pair<double, uint32_t>{v - limit_, 0});
  for (auto it = from; it != known_.end() && it->first <= v + limit_; ++it)
    if (static_cast<int64_t>(it->second) > after) out.push_back(it->second);
  for (auto it = std::upper_bound(unknown_.begin(), unknown_.end(), after,
                                  [](int64_t a, uint32_t b) { return a < static_cast<int64_t>(b); });
       it != unknown_.end(); ++it)
    out.push_back(*it);
  std::sort(out.begin(), out.end());
  return true;
}

}  // namespace sonalog
