#pragma once
// The About window: the program's name and version, what it does, the working folder where its
// settings and temporary files live, and the licence, with a link to the program's home page (its
// user guide, or the README where no guide is installed) and a Help button that opens the same.

#include <functional>
#include <string>

#include "ui/widgets/SmallWindow.h"

namespace sonalog::ui {

class TAboutForm : public SmallWindow {
  Q_OBJECT

 public:
  // position is read when the window opens and written when it closes; it must outlive the form.
  // openHelp opens the user guide (the link and Help).
  TAboutForm(WindowPosition& position, const std::string& workingFolder, std::function<void()> openHelp);

  void showAbout();

};

}  // namespace sonalog::ui
