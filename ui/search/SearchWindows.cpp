#include "ui/search/SearchWindows.h"

#include <QPointer>

#include "ui/search/CompForm.h"
#include "ui/search/DupSearchForm.h"
#include "ui/search/PreCompForm.h"
#include "ui/search/PreDupForm.h"
#include "ui/widgets/WindowPlacement.h"
#include "ui/widgets/WindowWait.h"

namespace sonalog::ui {

namespace {

// Marks a subsystem open in MainUnit for the time of one button and keeps the viewer disabled.
class OpenScope {
 public:
  OpenScope(MainUnit& main, SearchWindow which, QWidget* viewer)
      : main_(main), which_(which), opened_(main.openSearchWindow(which)), viewer_(viewer),
        viewerWasEnabled_(viewer && viewer->isEnabled()) {
    if (opened_ && viewer_) viewer_->setEnabled(false);
  }
  ~OpenScope() {
    if (!opened_) return;
    main_.searchWindowClosed(which_);
    if (viewer_ && viewerWasEnabled_) viewer_->setEnabled(true);
  }
  OpenScope(const OpenScope&) = delete;
  OpenScope& operator=(const OpenScope&) = delete;
  bool opened() const { return opened_; }

  // Shows window until it closes; meanwhile closeSearchWindows() calls close.
  void showAndWait(QWidget& window, std::function<void()> close) {
    main_.setSearchWindowCloser(std::move(close));
    ui::showAndWait(window, nullptr);
    main_.setSearchWindowCloser({});
  }

  // Shows the options window until it closes: whether GO was pressed. other: the search whose
  // windows must be closed first.
  bool chooseOptions(SearchOptionsWindow& window, WindowPosition Settings::*position, SearchWindow other) {
    // A reset position was made for another screen or size: the window opens centred instead.
    if (main_.atResetPosition(position)) window.centreOnNextShow();
    if (!window.open(main_.searchWindowOpen(other))) return false;
    showAndWait(window, [&window] { window.close(); });
    return window.started();
  }

  // Shows the run window from a new run until it closes.
  void showRun(RunWindow& run, WindowPosition Settings::*position, std::function<void()> close) {
    if (main_.atResetPosition(position)) centreOnScreen(&run);
    run.newRun();
    showAndWait(run, std::move(close));
  }

 private:
  MainUnit& main_;
  SearchWindow which_;
  bool opened_;
  QPointer<QWidget> viewer_;
  bool viewerWasEnabled_;
};

}  // namespace

bool showDuplicatesSearch(MainUnit& main, QWidget* viewer,
                          std::function<void(const std::vector<uint8_t>&)> marksChanged) {
  OpenScope scope(main, SearchWindow::Duplicates, viewer);
  if (!scope.opened()) return false;
  DupSearchOptions options;
  {
    TPreDupForm optionsWindow(main.settings());
    if (!scope.chooseOptions(optionsWindow, &Settings::duplicatesOptionsWindowPos, SearchWindow::Compare))
      return false;
    options = optionsWindow.options();
  }
  TDupSearchForm search(main, options);
  search.setMarksObserver(std::move(marksChanged));
  scope.showRun(search, &Settings::duplicatesSearchWindowPos, [&search] { search.close(); });
  return search.listChanged();
}

bool showListComparison(MainUnit& main, QWidget* viewer) {
  OpenScope scope(main, SearchWindow::Compare, viewer);
  if (!scope.opened()) return false;
  CompareJob job;
  {
    TPreCompForm optionsWindow(main.settings());
    if (!scope.chooseOptions(optionsWindow, &Settings::comparisonOptionsWindowPos, SearchWindow::Duplicates))
      return false;
    job = optionsWindow.job();
  }
  TCompForm run(main, job);
  scope.showRun(run, &Settings::comparisonWindowPos, [&run] { run.stop(); });
  return run.listChanged();
}

}  // namespace sonalog::ui
