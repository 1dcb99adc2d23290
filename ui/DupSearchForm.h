#pragma once
// The duplicates search window (TDupSearchForm): starts the search on the internal list, shows
// what the worker publishes (progress, prompts, the deletion log, the finish), sends the user's
// answers, and at the end performs or undoes the queued deletions. The list itself changes only
// after the worker has ended.

#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

#include "core/MainUnit.h"
#include "duplicates/DupSearchUnit.h"
#include "ui/QtUserInterface.h"
#include "ui/SearchWindowParts.h"

namespace sonalog::ui {

class TDupSearchForm : public GradientWindow {
  Q_OBJECT
 public:
  // main: the internal list (unchanged until the deletions), the settings (log folder, window
  // position) and the status line.
  TDupSearchForm(MainUnit& main, DupSearchOptions options, QWidget* parent = nullptr);
  ~TDupSearchForm() override;

  // Marks the window for a new run: showing it starts the search 50 ms later.
  void newRun();
  // Called with the deletion marks (0 = queued) whenever more items were queued, while the run
  // goes on, so that the viewer can show them.
  void setMarksObserver(std::function<void(const std::vector<uint8_t>&)> observer);
  // After the window closed: true when the internal list lost items.
  bool listChanged() const { return listChanged_; }
  // The run, for tests and the viewer; null before the first tick.
  DupSearchRun* run() { return run_.get(); }
  QtUserInterface& ui() { return ui_; }
  LogListModel& logModel() { return *logModel_; }
  // Prompts shown so far (each waits for one answer).
  size_t promptsShown() const { return prompts_; }
  // The interval of the timer that applies what the worker published.
  static constexpr int kPollMs = 20;

  void Del1ButClick();
  void Del2ButClick();
  void LeaveButClick();
  void AbortButClick();
  void CloseButClick();
  void SaveLogButClick();
  void ViewLogButClick();

 Q_SIGNALS:
  void closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void startWorker();
  void poll();
  void applyEvents();
  void applyVisibility();
  void pausePolling(bool paused);

  MainUnit& main_;
  DupSearchOptions options_;
  QtUserInterface ui_;
  std::unique_ptr<DupSearchRun> run_;
  std::function<void(const std::vector<uint8_t>&)> marksObserver_;
  uint32_t marksShown_ = 0;  // duplicates count the observer last saw

  QLabel* labprog_;
  QProgressBar* pbar_;
  std::unique_ptr<BlinkingProgress> blink_;
  QLabel* invisilab_;
  QLabel* labfile1_;
  QLabel* labfile2_;
  LogListModel* logModel_;
  QListView* logList_;
  QPushButton* del1But_;
  QPushButton* del2But_;
  QPushButton* leaveBut_;
  QPushButton* abortBut_;
  QPushButton* saveLogBut_;
  QPushButton* viewLogBut_;
  QPushButton* closeBut_;
  QTimer startTimer_;
  QTimer pollTimer_;

  size_t prompts_ = 0;
  bool newRun_ = false;
  bool asking_ = false;    // an Ask event was shown and its AskEnd not yet
  bool finished_ = false;  // the Finished event was shown
  bool closing_ = false;
  bool listChanged_ = false;
};

}  // namespace sonalog::ui
