#include "ui/viewer/GridTextWidth.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <QString>

#include <cmath>

#include "platform/Text.h"

namespace sonalog::ui {

namespace {

// The system's fixed-width font; where the platform names none (no desktop theme), the first
// installed fixed-width family.
QFont fixedWidthFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  if (QFontInfo(font).fixedPitch()) return font;
  font = QFont(QStringLiteral("monospace"));
  font.setStyleHint(QFont::Monospace);
  if (QFontInfo(font).fixedPitch()) return font;
  for (const QString& family : QFontDatabase::families())
    if (QFontDatabase::isFixedPitch(family)) return QFont(family);
  return font;
}

}  // namespace

QFont gridFont(const std::string& family, int pointSize, bool bold, bool italic, bool underline,
               bool strikeOut) {
  const QString name = QString::fromUtf8(family.data(), static_cast<qsizetype>(family.size()));
  QFont font = QFontDatabase::hasFamily(name) ? QFont(name) : fixedWidthFont();
  font.setPointSize(pointSize);
  font.setBold(bold);
  font.setItalic(italic);
  font.setUnderline(underline);
  font.setStrikeOut(strikeOut);
  return font;
}

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
