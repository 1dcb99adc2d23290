#pragma once
// The About window: the program's name and version, what it does, the working folder where its
// settings and temporary files live, and the licence. It links nowhere.

#include <QWidget>

#include "settings/Settings.h"

namespace sonalog::ui {

class TAboutForm : public QWidget {
  Q_OBJECT

 public:
  // position is read when the window opens and written when it closes; it must outlive the form.
  TAboutForm(WindowPosition& position, const std::string& workingFolder);

  void showAbout();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  WindowPosition& position_;
};

}  // namespace sonalog::ui
