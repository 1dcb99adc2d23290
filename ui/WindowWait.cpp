#include "ui/WindowWait.h"

#include <QEvent>
#include <QEventLoop>
#include <QWidget>

namespace sonalog::ui {

namespace {

class HideWatcher : public QObject {
 public:
  explicit HideWatcher(QEventLoop& loop) : loop_(loop) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide) loop_.quit();
    return QObject::eventFilter(watched, event);
  }

 private:
  QEventLoop& loop_;
};

}  // namespace

void showAndWait(QWidget& window, QWidget* caller) {
  if (caller) caller->setEnabled(false);
  QEventLoop loop;
  HideWatcher watcher(loop);
  window.installEventFilter(&watcher);
  window.show();
  window.raise();
  window.activateWindow();
  if (window.isVisible()) loop.exec();
  window.removeEventFilter(&watcher);
  if (caller) {
    caller->setEnabled(true);
    caller->activateWindow();
  }
}

}  // namespace sonalog::ui
