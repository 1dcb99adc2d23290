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
    // A reset position was made for another screen or size: the window opens centred instead.
    if (main.atResetPosition(&Settings::duplicatesOptionsWindowPos)) optionsWindow.centreOnNextShow();
    if (!optionsWindow.open(main.searchWindowOpen(SearchWindow::Compare))) return false;
    scope.showAndWait(optionsWindow, [&optionsWindow] { optionsWindow.close(); });
    if (!optionsWindow.started()) return false;
    options = optionsWindow.options();
  }
  TDupSearchForm search(main, options);
  if (main.atResetPosition(&Settings::duplicatesSearchWindowPos)) centreOnScreen(&search);
  search.setMarksObserver(std::move(marksChanged));
  search.newRun();
  scope.showAndWait(search, [&search] { search.close(); });
  return search.listChanged();
}

bool showListComparison(MainUnit& main, QWidget* viewer) {
  OpenScope scope(main, SearchWindow::Compare, viewer);
  if (!scope.opened()) return false;
  CompareJob job;
  {
    TPreCompForm optionsWindow(main.settings());
    if (main.atResetPosition(&Settings::comparisonOptionsWindowPos)) optionsWindow.centreOnNextShow();
    if (!optionsWindow.open(main.searchWindowOpen(SearchWindow::Duplicates))) return false;
    scope.showAndWait(optionsWindow, [&optionsWindow] { optionsWindow.close(); });
    if (!optionsWindow.started()) return false;
    job = optionsWindow.job();
  }
  TCompForm run(main, job);
  if (main.atResetPosition(&Settings::comparisonWindowPos)) centreOnScreen(&run);
  run.newRun();
  scope.showAndWait(run, [&run] { run.stop(); });
  return run.listChanged();
}

}  // namespace sonalog::ui
