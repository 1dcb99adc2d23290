#include "ui/widgets/WindowWait.h"

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
    // A minimised window gets a spontaneous hide but stays visible.
    if (event->type() == QEvent::Hide && !static_cast<QWidget*>(watched)->isVisible()) loop_.quit();
    return QObject::eventFilter(watched, event);
  }

 private:
  QEventLoop& loop_;
};

}  // namespace

void showAndWait(QWidget& window, QWidget* caller, const std::function<void()>& show) {
  if (caller) caller->setEnabled(false);
  QEventLoop loop;
  HideWatcher watcher(loop);
  window.installEventFilter(&watcher);
  if (show) {
    show();
  } else {
    window.show();
    window.raise();
    window.activateWindow();
  }
  if (window.isVisible()) loop.exec();
  window.removeEventFilter(&watcher);
  if (caller) {
    caller->setEnabled(true);
    caller->activateWindow();
  }
}

}  // namespace sonalog::ui
