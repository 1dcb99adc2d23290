#include "ui/SearchWindows.h"

#include <QEventLoop>
#include <QPointer>

#include "ui/CompForm.h"
#include "ui/DupSearchForm.h"
#include "ui/PreCompForm.h"
#include "ui/PreDupForm.h"

namespace sonalog::ui {

namespace {

// Which windows are open; only the user-interface thread touches this.
struct OpenWindows {
  bool duplicates = false;  // TPreDupForm or TDupSearchForm
  bool compare = false;     // TPreCompForm or TCompForm
  QPointer<QWidget> current;
  QPointer<TCompForm> compareRun;
};

OpenWindows& openWindows() {
  static OpenWindows windows;
  return windows;
}

// Marks a subsystem's windows open for the time of one button, and tells the main window.
class OpenScope {
 public:
  OpenScope(MainUnit& main, bool OpenWindows::*flag, QWidget* viewer)
      : main_(main), flag_(flag), viewer_(viewer), viewerWasEnabled_(viewer && viewer->isEnabled()) {
    openWindows().*flag_ = true;
    update();
    if (viewer_) viewer_->setEnabled(false);
  }
  ~OpenScope() {
    openWindows().*flag_ = false;
    openWindows().current = nullptr;
    update();
    if (viewer_ && viewerWasEnabled_) viewer_->setEnabled(true);
  }
  OpenScope(const OpenScope&) = delete;
  OpenScope& operator=(const OpenScope&) = delete;

 private:
  void update() { main_.setSecondaryRunOpen(openWindows().duplicates, openWindows().compare); }
  MainUnit& main_;
  bool OpenWindows::*flag_;
  QPointer<QWidget> viewer_;
  bool viewerWasEnabled_;
};

// Shows window and waits until it reports that it closed.
template <typename Form>
void showAndWait(Form& window) {
  QEventLoop loop;
  QObject::connect(&window, &Form::closed, &loop, &QEventLoop::quit);
  openWindows().current = &window;
  window.show();
  window.raise();
  window.activateWindow();
  if (window.isVisible()) loop.exec();
}

}  // namespace

bool duplicatesWindowOpen() { return openWindows().duplicates; }
bool compareWindowOpen() { return openWindows().compare; }

bool showDuplicatesSearch(MainUnit& main, QWidget* viewer,
                          std::function<void(const std::vector<uint8_t>&)> marksChanged) {
  if (openWindows().duplicates) return false;
  OpenScope scope(main, &OpenWindows::duplicates, viewer);
  DupSearchOptions options;
  {
    TPreDupForm optionsWindow(main.settings());
    if (!optionsWindow.open(compareWindowOpen())) return false;
    showAndWait(optionsWindow);
    if (!optionsWindow.started()) return false;
    options = optionsWindow.options();
  }
  TDupSearchForm search(main, options);
  search.setMarksObserver(std::move(marksChanged));
  search.newRun();
  showAndWait(search);
  return search.listChanged();
}

bool showListComparison(MainUnit& main, QWidget* viewer) {
  if (openWindows().compare) return false;
  OpenScope scope(main, &OpenWindows::compare, viewer);
  CompareJob job;
  {
    TPreCompForm optionsWindow(main.settings());
    if (!optionsWindow.open(duplicatesWindowOpen())) return false;
    showAndWait(optionsWindow);
    if (!optionsWindow.started()) return false;
    job = optionsWindow.job();
  }
  TCompForm run(main, job);
  openWindows().compareRun = &run;
  run.newRun();
  showAndWait(run);
  return run.listChanged();
}

void closeSearchWindows() {
  if (TCompForm* run = openWindows().compareRun; run && openWindows().current == run) {
    run->stop();
    return;
  }
  if (QWidget* window = openWindows().current) window->close();
}

}  // namespace sonalog::ui
