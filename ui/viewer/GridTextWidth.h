#pragma once
// Text widths in the grid's font for the automatic column widths: each character's advance is
// measured once and cached, so a width pass over a quarter of a million rows stays cheap.

#include <QFont>
#include <QFontMetricsF>

#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sonalog::ui {

class GridTextWidth {
 public:
  explicit GridTextWidth(const QFont& font);
  int operator()(std::string_view text);

 private:
  // Advances are fractional at most sizes: they are summed unrounded and the sum rounded up,
  // so that a long text never ends up wider than its column.
  qreal advance(char32_t c);
  QFontMetricsF metrics_;
  static constexpr char32_t kCachedBelow = 0x3000;  // Latin, Greek, Cyrillic and more
  std::array<qreal, 128> ascii_{};
  std::vector<qreal> latin_;  // advances of kCachedBelow characters, -1 until measured
  std::unordered_map<char32_t, qreal> others_;
};

}  // namespace sonalog::ui
