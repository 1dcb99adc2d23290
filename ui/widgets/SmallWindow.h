#pragma once
// What the program's small windows (About, Load options, the caption input, the import options,
// the options windows and the run windows) do alike: they stay on top with a title bar and no
// system menu, Escape cancels, some cancel when another window takes the focus, and they come
// back where the user left them. A window's remembered position changes only when that window
// was shown.

#include <QWidget>

#include "settings/Settings.h"

namespace sonalog::ui {

class SmallWindow : public QWidget {
  Q_OBJECT

 public:
  // position is read when the window is placed and written when it closes after it was shown;
  // it must outlive the window. closeButton: the title bar has a close button.
  SmallWindow(WindowPosition& position, bool closeButton, QWidget* parent = nullptr);
  // The remembered position is a reset one, made for another size or screen: the window opens
  // centred on its screen the next time instead.
  void centreOnNextShow() { centre_ = true; }
  // Another window took the focus: cancels when cancelsOnFocusLoss(). Called once the new window
  // is active; one of this window's own boxes or dialogs does not count.
  void focusLost();

 protected:
  // What Escape does, and losing the focus when cancelsOnFocusLoss(): by default, close.
  virtual void cancel() { close(); }
  // Whether another window taking the focus cancels now (asked only after the window was active).
  virtual bool cancelsOnFocusLoss() const { return false; }
  // Gives the window size (by default the size its contents ask for) and puts it at the
  // remembered position, inside a screen.
  void placeAtRememberedPosition(QSize size = {});
  // Stores where the window is, when it is shown.
  void rememberPosition();

  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;
  // Accepts and remembers the position; windows that may refuse to close decide first.
  void closeEvent(QCloseEvent* event) override;

 private:
  WindowPosition& position_;
  bool wasActive_ = false;  // since it was last shown
  bool centre_ = false;
};

// True when the window that became active is one of window's own boxes or dialogs.
bool activeWindowBelongsTo(const QWidget* window);

}  // namespace sonalog::ui
