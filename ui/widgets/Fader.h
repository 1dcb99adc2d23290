#pragma once
// Fading a window in or out by its opacity, a step of 15 (of 255) per timer tick. Where the
// platform has no window opacity the steps do nothing visible; nothing ever waits on them.

#include <QObject>
#include <QTimer>
#include <functional>

class QWidget;

namespace sonalog::ui {

class Fader : public QObject {
  Q_OBJECT
 public:
  // intervalMs: 15 for most windows, 14 for the viewer.
  explicit Fader(QWidget* window, int intervalMs = 15);

  // From transparent to opaque.
  void fadeIn();
  // From opaque down to below one step, then done() (on the GUI thread, from the timer).
  void fadeOut(std::function<void()> done);
  // Ends a fade at once: opaque after a fade-in; a pending fade-out runs done() now.
  void finish();
  bool running() const { return timer_.isActive(); }

 private:
  void tick();

  QWidget* window_;
  QTimer timer_;
  int opacity_ = 255;  // 0 to 255
  int step_ = 0;       // +15 fading in, -15 fading out
  std::function<void()> done_;
};

}  // namespace sonalog::ui
