#pragma once
// Windows come back where the user left them, but never off every screen: a remembered position
// from a screen that is gone (or a damaged configuration) is moved back onto one.

#include <QRect>

class QWidget;

namespace sonalog::ui {

// The rectangle moved (and shrunk when larger) so that it lies inside the screen it overlaps
// most, or the primary screen when it overlaps none. `screens` are available geometries.
QRect placeOnScreens(const QRect& wanted, const QList<QRect>& screens, int primary = 0);

// Applies a remembered geometry to a top-level window. A width or height of 0 or less keeps
// the window's own size.
void restoreGeometry(QWidget* window, int left, int top, int width, int height);

// Moves a top-level window, at its present size, to the middle of the primary screen.
void centreOnScreen(QWidget* window);

}  // namespace sonalog::ui
