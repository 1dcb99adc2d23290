#include "ui/search/SearchOptionsWindow.h"

#include <QCloseEvent>

namespace sonalog::ui {

SearchOptionsWindow::SearchOptionsWindow(Settings& settings, WindowPosition& position, const char* name,
                                         const char* title, const MatchControlsTexts& texts, QWidget* parent)
    : SmallWindow(position, true, parent), settings_(settings), ui_(this) {
  setObjectName(name);
  setWindowTitle(QString::fromUtf8(title));
  ui_.setParentWidget(this);
  controls_ = new MatchOptionsControls(settings_, texts, this);
}

bool SearchOptionsWindow::open(bool otherSearchOpen) {
  if (!openSearch(otherSearchOpen)) return false;
  open_ = true;
  showOptions();
  placeAtRememberedPosition(sizeHint());  // adjustSize would cap the height at 2/3 of the screen
  return true;
}

void SearchOptionsWindow::closeEvent(QCloseEvent* event) {
  if (open_) {
    open_ = false;
    if (!started()) restoreOptions();
    rememberPosition();
    Q_EMIT closed();
  }
  event->accept();
}

}  // namespace sonalog::ui
