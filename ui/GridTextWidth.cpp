#include "ui/GridTextWidth.h"

#include <QString>

#include "platform/Text.h"

namespace sonalog::ui {

GridTextWidth::GridTextWidth(const QFont& font) : metrics_(font) {
  for (char32_t c = 0; c < 128; ++c)
    ascii_[c] = c < 32 ? 0 : metrics_.horizontalAdvance(QChar(static_cast<char16_t>(c)));
}

int GridTextWidth::advance(char32_t c) {
  if (c < 128) return ascii_[c];
  auto [at, fresh] = others_.try_emplace(c, 0);
  if (fresh) at->second = metrics_.horizontalAdvance(QString::fromUcs4(&c, 1));
  return at->second;
}

int GridTextWidth::operator()(std::string_view text) {
  int width = 0;
  bool ascii = true;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 128) {
      ascii = false;
      break;
    }
    width += ascii_[c];
  }
  if (ascii) return width;
  width = 0;
  for (char32_t c : platform::decodeText(text)) width += advance(c);
  return width;
}

}  // namespace sonalog::ui
