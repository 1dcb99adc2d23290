#include "ui/widgets/SmallWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>
#include <utility>

#include "ui/widgets/WindowPlacement.h"

namespace sonalog::ui {

SmallWindow::SmallWindow(WindowPosition& position, bool closeButton, QWidget* parent)
    : QWidget(parent), position_(position) {
  Qt::WindowFlags flags = Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (closeButton) flags |= Qt::WindowCloseButtonHint;
  setWindowFlags(flags);
}

void SmallWindow::placeAtRememberedPosition(QSize size) {
  if (size.isValid()) resize(size);
  else adjustSize();
  if (std::exchange(centre_, false) && QGuiApplication::primaryScreen()) {
    ui::centreOnScreen(this);
    return;
  }
  ui::restoreGeometry(this, position_.left, position_.top, width(), height());
}

void SmallWindow::rememberPosition() {
  // A window closed with the program without ever being shown has no position of its own.
  if (!isVisible()) return;
  position_.left = x();
  position_.top = y();
}

void SmallWindow::focusLost() {
  if (isVisible() && cancelsOnFocusLoss()) cancel();
}

void SmallWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    cancel();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool SmallWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Show: wasActive_ = false; break;
    case QEvent::WindowActivate: wasActive_ = true; break;
    case QEvent::WindowDeactivate:
      if (!wasActive_) break;
      // Decided once the new window is active: a box of this window's own does not cancel it.
      QTimer::singleShot(0, this, [this] {
        if (!isActiveWindow() && !activeWindowBelongsTo(this)) focusLost();
      });
      break;
    default: break;
  }
  return QWidget::event(event);
}

void SmallWindow::closeEvent(QCloseEvent* event) {
  rememberPosition();
  event->accept();
}

bool activeWindowBelongsTo(const QWidget* window) {
  if (QApplication::activeModalWidget() != nullptr) return true;
  for (const QWidget* w = QApplication::activeWindow(); w != nullptr; w = w->parentWidget())
    if (w == window) return true;
  return false;
}

}  // namespace sonalog::ui
