#include "ui/widgets/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace sonalog::ui {

QRect placeOnScreens(const QRect& wanted, const QList<QRect>& screens, int primary) {
  if (screens.isEmpty()) return wanted;
  const QRect* best = &screens[std::clamp(primary, 0, int(screens.size()) - 1)];
  long long bestArea = 0;
  for (const QRect& s : screens) {
    const QRect common = s.intersected(wanted);
    const long long area = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
    if (area > bestArea) {
      bestArea = area;
      best = &s;
    }
  }
  QRect r = wanted;
  r.setWidth(std::min(r.width(), best->width()));
  r.setHeight(std::min(r.height(), best->height()));
  if (r.right() > best->right()) r.moveRight(best->right());
  if (r.bottom() > best->bottom()) r.moveBottom(best->bottom());
  if (r.left() < best->left()) r.moveLeft(best->left());
  if (r.top() < best->top()) r.moveTop(best->top());
  return r;
}

void restoreGeometry(QWidget* window, int left, int top, int width, int height) {
  QRect wanted(left, top, width > 0 ? width : window->width(), height > 0 ? height : window->height());
  QList<QRect> screens;
  int primary = 0;
  for (QScreen* s : QGuiApplication::screens()) {
    if (s == QGuiApplication::primaryScreen()) primary = int(screens.size());
    screens.push_back(s->availableGeometry());
  }
  const QRect placed = placeOnScreens(wanted, screens, primary);
  window->resize(placed.size());
  window->move(placed.topLeft());
}

void centreOnScreen(QWidget* window) {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    window->move(
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window->size(), screen->availableGeometry()).topLeft());
}

}  // namespace sonalog::ui
