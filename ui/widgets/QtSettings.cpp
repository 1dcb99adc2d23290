#include "ui/widgets/QtSettings.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontDialog>
#include <algorithm>
#include <cstdlib>

#include "ui/widgets/QtText.h"

namespace sonalog::ui {

QFont qtFont(const FontSetting& setting) {
  QFont f(qt(setting.name));
  if (setting.size > 0) f.setPointSize(setting.size);
  setFontStyle(f, setting.style);
  return f;
}

uint8_t fontStyle(const QFont& font) {
  return static_cast<uint8_t>((font.bold() ? kFontBold : 0) | (font.italic() ? kFontItalic : 0) |
                              (font.underline() ? kFontUnderline : 0) | (font.strikeOut() ? kFontStrikeOut : 0));
}

void setFontStyle(QFont& font, uint8_t style) {
  font.setBold(style & kFontBold);
  font.setItalic(style & kFontItalic);
  font.setUnderline(style & kFontUnderline);
  font.setStrikeOut(style & kFontStrikeOut);
}

FontSetting fontSetting(const QFont& font, const FontSetting& kept) {
  FontSetting out = kept;
  out.name = toStd(font.family());
  out.size = static_cast<uint8_t>(std::clamp(font.pointSize(), 1, 255));
  out.style = fontStyle(font);
  return out;
}

QColor qtColour(Colour c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

Colour colourOf(const QColor& c) { return Colour(c.red()) | (Colour(c.green()) << 8) | (Colour(c.blue()) << 16); }

QFont forFontDialog(QFont font) {
  const QString family = QFontInfo(font).family();
  const bool slanted = font.style() != QFont::StyleNormal;
  QString best;
  int bestDistance = 0;
  for (const QString& style : QFontDatabase::styles(family)) {
    const QFont candidate = QFontDatabase::font(family, style, font.pointSize());
    if ((candidate.style() != QFont::StyleNormal) != slanted) continue;
    const int distance = std::abs(candidate.weight() - font.weight());
    if (best.isEmpty() || distance < bestDistance) {
      best = style;
      bestDistance = distance;
    }
  }
  if (!best.isEmpty()) {
    font.setFamily(family);
    font.setStyleName(best);
  }
  return font;
}

std::optional<FontSetting> chooseFontSetting(const FontSetting& initial, QWidget* parent) {
  QFont start = qtFont(initial);
  if (!QFontDatabase::hasFamily(start.family())) {
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(start.pointSize());
    setFontStyle(fixed, initial.style);
    start = fixed;
  }
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, forFontDialog(start), parent);
  if (!ok) return std::nullopt;
  return fontSetting(chosen, initial);
}

}  // namespace sonalog::ui
