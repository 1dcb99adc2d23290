#pragma once
// Text widths in the grid's font for the automatic column widths: each character's advance is
// measured once and cached, so a width pass over a quarter of a million rows stays cheap.

#include <QFont>
#include <QFontMetrics>

#include <array>
#include <string_view>
#include <unordered_map>

namespace sonalog::ui {

class GridTextWidth {
 public:
  explicit GridTextWidth(const QFont& font);
  int operator()(std::string_view text);

 private:
  int advance(char32_t c);
  QFontMetrics metrics_;
  std::array<int, 128> ascii_{};
  std::unordered_map<char32_t, int> others_;
};

}  // namespace sonalog::ui
