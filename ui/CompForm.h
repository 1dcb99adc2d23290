#pragma once
// The comparison window (TCompForm): starts the compare run, applies what it publishes (texts,
// visibility, the action log, warnings and questions), sends the user's answers, and closes when
// the run has ended. It refuses to close while the matching runs or while the run waits for the
// user, unless the program forces it (stop()).

#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <memory>

#include "compare/CompUnit.h"
#include "core/MainUnit.h"
#include "ui/QtUserInterface.h"
#include "ui/SearchWindowParts.h"

namespace sonalog::ui {

class TCompForm : public GradientWindow {
  Q_OBJECT
 public:
  TCompForm(MainUnit& main, CompareJob job, QWidget* parent = nullptr);
  ~TCompForm() override;

  // Marks the window for a new run: showing it starts the run 50 ms later.
  void newRun();
  // Ends a run in any state without output and closes the window (the viewer or the program is
  // closing).
  void stop();
  // After the window closed: true when the internal list may have changed.
  bool listChanged() const { return listChanged_; }
  TMyThread* run() { return run_.get(); }
  QtUserInterface& ui() { return ui_; }
  LogListModel& logModel() { return *logModel_; }
  // Confirmations shown so far (each waits for "&MATCH" or "&DIFFER").
  size_t promptsShown() const { return prompts_; }
  static constexpr int kPollMs = 20;

  void MatchButClick();
  void DontMatchButClick();
  void DeleteButClick();
  void AbortButClick();
  void ViewLogButClick();

 Q_SIGNALS:
  void closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void startWorker();
  void poll();
  void apply(const CompEvent& event, std::vector<std::string>& logLines);
  QWidget* control(CompControl c);

  MainUnit& main_;
  CompareJob job_;
  QtUserInterface ui_;
  std::unique_ptr<TMyThread> run_;

  QLabel* labprog_;
  QProgressBar* pbar_;
  std::unique_ptr<BlinkingProgress> blink_;
  QLabel* invisilab_;
  QLabel* labfile1_;
  QLabel* labfile2_;
  QLabel* labactlog_;
  QLabel* actionTypeLab_;
  LogListModel* logModel_;
  QListView* logList_;
  QPushButton* matchBut_;
  QPushButton* dontMatchBut_;
  QPushButton* viewLogBut_;
  QPushButton* deleteBut_;
  QPushButton* abortBut_;
  QTimer startTimer_;
  QTimer pollTimer_;
  std::vector<CompEvent> events_;

  size_t prompts_ = 0;
  bool newRun_ = false;
  bool forced_ = false;   // stop(): close in any state
  bool closed_ = false;
  bool listChanged_ = false;
  size_t countAtStart_ = 0;  // items of the internal list when the run started
};

}  // namespace sonalog::ui
