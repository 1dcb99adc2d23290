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
