#include "ui/SmallWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <utility>

#include "ui/WindowPlacement.h"

namespace sonalog::ui {

SmallWindow::SmallWindow(WindowPosition& position, bool closeButton) : QWidget(nullptr), position_(position) {
  Qt::WindowFlags flags = Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (closeButton) flags |= Qt::WindowCloseButtonHint;
  setWindowFlags(flags);
}

void SmallWindow::placeAtRememberedPosition(QSize atLeast) {
  adjustSize();
  resize(size().expandedTo(atLeast));
  if (std::exchange(centre_, false) && QGuiApplication::primaryScreen()) {
    ui::centreOnScreen(this);
    return;
  }
  ui::restoreGeometry(this, position_.left, position_.top, width(), height());
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
      if (wasActive_ && isVisible() && cancelsOnFocusLoss()) cancel();
      break;
    default: break;
  }
  return QWidget::event(event);
}

void SmallWindow::closeEvent(QCloseEvent* event) {
  // A window closed with the program without ever being shown has no position of its own.
  if (isVisible()) {
    position_.left = x();
    position_.top = y();
  }
  event->accept();
}

}  // namespace sonalog::ui
