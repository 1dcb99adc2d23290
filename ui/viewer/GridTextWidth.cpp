#include "ui/viewer/GridTextWidth.h"

#include <QString>

#include <cmath>

#include "platform/Text.h"

namespace sonalog::ui {

GridTextWidth::GridTextWidth(const QFont& font) : metrics_(font) {
  for (char32_t c = 0; c < 128; ++c)
    ascii_[c] = c < 32 ? 0 : metrics_.horizontalAdvance(QChar(static_cast<char16_t>(c)));
}

qreal GridTextWidth::advance(char32_t c) {
  if (c < 128) return ascii_[c];
  if (c < kCachedBelow) {
    // Letters outside ASCII repeat across names: a flat table, filled as they turn up.
    if (latin_.empty()) latin_.assign(kCachedBelow, -1);
    qreal& a = latin_[c];
    if (a < 0) a = metrics_.horizontalAdvance(QString::fromUcs4(&c, 1));
    return a;
  }
  auto [at, fresh] = others_.try_emplace(c, 0);
  if (fresh) at->second = metrics_.horizontalAdvance(QString::fromUcs4(&c, 1));
  return at->second;
}

int GridTextWidth::operator()(std::string_view text) {
  qreal width = 0;
  bool ascii = true;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 128) {
      ascii = false;
      break;
    }
    width += ascii_[c];
  }
  if (!ascii) {
    width = 0;
    platform::forEachCodePoint(text, [&](char32_t c) { width += advance(c); });
  }
  return static_cast<int>(std::ceil(width - 1e-6));
}

}  // namespace sonalog::ui
