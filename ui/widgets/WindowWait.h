#pragma once
// Secondary windows are shown not modal while their caller is disabled: the caller waits, letting
// events run, until the window hides, then reads the result the window left behind.

#include <functional>

class QWidget;

namespace sonalog::ui {

// Shows window and returns once it is hidden (closed); being minimised does not count. caller,
// when given, is disabled meanwhile and gets the focus back afterwards. show, when given, shows
// the window its own way (a fade); by default it is shown, raised and activated. Returns at once
// when the window hides while it is shown.
void showAndWait(QWidget& window, QWidget* caller, const std::function<void()>& show = {});

}  // namespace sonalog::ui
