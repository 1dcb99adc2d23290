#pragma once
// Secondary windows are shown not modal while their caller is disabled: the caller waits, letting
// events run, until the window hides, then reads the result the window left behind.

class QWidget;

namespace sonalog::ui {

// Shows window and returns once it is hidden (closed). caller, when given, is disabled meanwhile
// and gets the focus back afterwards. Returns at once when the window hides while it is shown.
void showAndWait(QWidget& window, QWidget* caller);

}  // namespace sonalog::ui
