#pragma once
// Fonts and colours as the settings keep them and as Qt shows them, converted in one place:
// a font is a name, a size in points and style bits; a colour is 0x00BBGGRR.

#include <QColor>
#include <QFont>
#include <cstdint>
#include <optional>

#include "settings/Settings.h"

class QWidget;

namespace sonalog::ui {

QFont qtFont(const FontSetting& setting);
// The stored font as it can be shown here. A family that is not installed (the stored defaults
// are Windows fonts) becomes the system's fixed-width font, never a proportional stand-in: the
// viewer aligns its numeric columns with spaces, and a font dialog would start on its first family.
QFont installedFont(const FontSetting& setting);
// The style bits (kFontBold ...) of a Qt font, and a font given them.
uint8_t fontStyle(const QFont& font);
void setFontStyle(QFont& font, uint8_t style);
// The font chosen in a dialog, keeping what Qt has no notion of (the character set byte).
FontSetting fontSetting(const QFont& font, const FontSetting& kept);
QColor qtColour(Colour colour);
Colour colourOf(const QColor& colour);

// The font as a font dialog should first show it: named by its family's own name for its style.
// A dialog that finds no style of the font's name ("Normal" where the family says "Book") shows
// the first, often an oblique one, and its OK would then change a font nobody touched.
QFont forFontDialog(QFont font);
// The font dialog over a stored font, as installedFont shows it.
std::optional<FontSetting> chooseFontSetting(const FontSetting& initial, QWidget* parent);

}  // namespace sonalog::ui
