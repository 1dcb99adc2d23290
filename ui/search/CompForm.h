#pragma once
// The comparison window (TCompForm): starts the compare run, applies what it publishes (texts,
// visibility, the action log, warnings and questions), sends the user's answers, and closes when
// the run has ended. It refuses to close while the matching runs or while the run waits for the
// user, unless the program forces it (stop()).

#include <QLabel>
#include <QPushButton>

#include <memory>

#include "compare/CompUnit.h"
#include "core/MainUnit.h"
#include "ui/search/SearchWindowParts.h"

namespace sonalog::ui {

class TCompForm : public RunWindow {
  Q_OBJECT
 public:
  TCompForm(MainUnit& main, CompareJob job);
  ~TCompForm() override;

  // Ends a run in any state without output and closes the window (the viewer or the program is
  // closing).
  void stop();
  // After the window closed: true when the internal list may have changed.
  bool listChanged() const { return listChanged_; }
  TMyThread* run() { return run_.get(); }

  void MatchButClick();
  void DontMatchButClick();
  void DeleteButClick();
  void AbortButClick();
  void ViewLogButClick();

 private:
  void prepareRun() override;
  void startRun() override;
  void poll() override;
  bool closeRefused() const override;
  void endRun() override;
  void apply(const CompEvent& event, std::vector<std::string>& logLines);
  void setLogLabelsColour(const QColor& colour);
  QWidget* control(CompControl c);

  MainUnit& main_;
  CompareJob job_;
  std::unique_ptr<TMyThread> run_;

  QLabel* labactlog_;
  QLabel* actionTypeLab_;
  QPushButton* matchBut_;
  QPushButton* dontMatchBut_;
  QPushButton* viewLogBut_;
  QPushButton* deleteBut_;
  QPushButton* abortBut_;
  std::vector<CompEvent> events_;

  bool forced_ = false;      // stop(): close in any state
  bool listChanged_ = false;
  size_t countAtStart_ = 0;  // items of the internal list when the run started
};

}  // namespace sonalog::ui
