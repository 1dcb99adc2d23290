#include "ui/widgets/QtSettings.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontDialog>
#include <algorithm>
#include <cstdlib>

#include "ui/widgets/QtText.h"

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

QFont qtFont(const FontSetting& setting) {
  QFont f(qt(setting.name));
  if (setting.size > 0) f.setPointSize(setting.size);
  setFontStyle(f, setting.style);
  return f;
}

QFont installedFont(const FontSetting& setting) {
  if (QFontDatabase::hasFamily(qt(setting.name))) return qtFont(setting);
  QFont font = fixedWidthFont();
  if (setting.size > 0) font.setPointSize(setting.size);
  setFontStyle(font, setting.style);
  return font;
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
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, forFontDialog(installedFont(initial)), parent);
  if (!ok) return std::nullopt;
  return fontSetting(chosen, initial);
}

}  // namespace sonalog::ui
