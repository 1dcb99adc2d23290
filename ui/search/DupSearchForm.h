#pragma once
// The duplicates search window (TDupSearchForm): starts the search on the internal list, shows
// what the worker publishes (progress, prompts, the deletion log, the finish), sends the user's
// answers, and at the end performs or undoes the queued deletions. The list itself changes only
// after the worker has ended.

#include <QLabel>
#include <QPushButton>

#include <functional>
#include <memory>
#include <vector>

#include "core/MainUnit.h"
#include "duplicates/DupSearchUnit.h"
#include "ui/search/SearchWindowParts.h"

namespace sonalog::ui {

class TDupSearchForm : public RunWindow {
  Q_OBJECT
 public:
  // main: the internal list (unchanged until the deletions), the settings (log folder, window
  // position) and the status line.
  TDupSearchForm(MainUnit& main, DupSearchOptions options);
  ~TDupSearchForm() override;

  // Called with the deletion marks (0 = queued) whenever more items were queued, while the run
  // goes on, so that the viewer can show them.
  void setMarksObserver(std::function<void(const std::vector<uint8_t>&)> observer);
  // After the window closed: true when the internal list lost items.
  bool listChanged() const { return listChanged_; }
  // The run, for tests and the viewer; null before the first tick.
  DupSearchRun* run() { return run_.get(); }

  void Del1ButClick();
  void Del2ButClick();
  void LeaveButClick();
  void AbortButClick();
  void CloseButClick();
  void SaveLogButClick();
  void ViewLogButClick();

 private:
  void prepareRun() override;
  void startRun() override;
  void poll() override;
  void endRun() override;
  void applyEvents();
  void applyVisibility();

  MainUnit& main_;
  DupSearchOptions options_;
  std::unique_ptr<DupSearchRun> run_;
  std::function<void(const std::vector<uint8_t>&)> marksObserver_;
  uint32_t marksShown_ = 0;  // duplicates count the observer last saw

  QPushButton* del1But_;
  QPushButton* del2But_;
  QPushButton* leaveBut_;
  QPushButton* abortBut_;
  QPushButton* saveLogBut_;
  QPushButton* viewLogBut_;
  QPushButton* closeBut_;

  bool asking_ = false;    // an Ask event was shown and its AskEnd not yet
  bool finished_ = false;  // the Finished event was shown
  bool listChanged_ = false;
};

}  // namespace sonalog::ui
