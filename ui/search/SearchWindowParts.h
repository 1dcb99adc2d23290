#pragma once
// Pieces shared by the duplicates search window and the comparison window: the run-window base
// (gradient background, the start and poll timers, closing), the log list (a model, so 30 000
// lines cost no widgets), the progress bar that blinks while a match waits for an answer, and
// the file lines fitted to their label.

#include <QAbstractListModel>
#include <QColor>
#include <QLabel>
#include <QListView>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/UserInterface.h"
#include "settings/Settings.h"
#include "ui/widgets/QtUserInterface.h"
#include "ui/widgets/SmallWindow.h"

namespace sonalog::ui {

// The lines of a run's log list. Appending keeps the selection rule of the list: line 0 is
// selected while there are fewer than 2 lines; after that the selection follows the new last
// line only when the line before it was selected, so the user stops the scrolling by selecting
// another line and resumes it by selecting the last one.
class LogListModel : public QAbstractListModel {
 public:
  explicit LogListModel(QObject* parent = nullptr) : QAbstractListModel(parent) {}
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  void clear();
  // Appends lines (already limited by the run) and moves view's current row by the rule above.
  void append(const std::vector<std::string>& lines, QListView* view);
  const std::vector<QString>& lines() const { return lines_; }

 private:
  std::vector<QString> lines_;
};

// The list view of a log list, with its hint.
QListView* makeLogList(LogListModel* model, QWidget* parent);

// The progress bar (range 0..1000) and its blinking: every 250 ms the bar shows 0 when it is
// not at 0, else the progress, while a match waits for an answer.
class BlinkingProgress {
 public:
  explicit BlinkingProgress(QProgressBar* bar);
  void setProgress(int value);  // shown unless blinking
  void startBlinking();
  void stopBlinking();          // the bar shows the progress again
  bool blinking() const { return timer_.isActive(); }

 private:
  QProgressBar* bar_;
  QTimer timer_;
  int progress_ = 0;
};

// A prompt's file line cut with "..." to the label's width in the label's own font.
QString fittedFileLine(const QLabel* label, const std::string& line);

// "&VIEW LOG": opens the file with the desktop's application and disables the button for 2 s.
// reportFailures: show the failure warnings (the duplicates log); the comparison opens silently.
void viewLogFile(QWidget* button, UserInterface& ui, const std::string& path, bool reportFailures);

// A control named as the program names it.
QPushButton* namedButton(const char* name, const char* caption, QWidget* parent);
QLabel* namedLabel(const char* name, QWidget* parent);

// A named button whose click calls window's handler.
template <class Window>
QPushButton* commandButton(Window* window, const char* name, const char* caption, void (Window::*click)()) {
  QPushButton* b = namedButton(name, caption, window);
  QObject::connect(b, &QPushButton::clicked, window, click);
  return b;
}

// The controls that both run windows have, created as window's children with their names.
struct RunWindowControls {
  explicit RunWindowControls(QWidget* window, const char* barName);
  QLabel* labprog;       // "Progress:", or the prompt
  QProgressBar* pbar;
  QLabel* invisilab;     // the finish label, in the bar's place
  QLabel* labfile1;      // the prompt's file lines (and the loading texts of a comparison)
  QLabel* labfile2;
  LogListModel* logModel;
  QListView* logList;
};

// What both run windows do alike, driven by what their run publishes and never by what a
// control shows. Showing the window after newRun() clears it and starts the run 50 ms later;
// from then on poll() applies what the run published every 20 ms. The polling pauses while the
// window's own thread waits in a question or a dialog, so no answer is read twice. Escape asks
// to close, as the title bar would; the run decides whether it may.
class RunWindow : public SmallWindow {
  Q_OBJECT
 public:
  static constexpr int kPollMs = 20;

  // Marks the window for a new run: showing it starts the run.
  void newRun() { newRun_ = true; }
  QtUserInterface& ui() { return ui_; }
  LogListModel& logModel() { return *c_.logModel; }
  // Prompts shown so far (each waits for one answer).
  size_t promptsShown() const { return prompts_; }

 Q_SIGNALS:
  void closed();

 protected:
  // position: where the window was last, kept in the settings.
  RunWindow(QColor top, QColor bottom, const char* name, const char* barName, WindowPosition& position);
  // Lays the window out once the derived window made its controls: "Progress:", the bar or the
  // finish label, the file labels, the log's header, the log list and a centred row of buttons
  // (hidden ones take no room). It starts at its design size or larger, where it was last.
  void layOut(QLayout* logHeader, std::initializer_list<QPushButton*> buttons);

  // A new run is shown: the derived window resets its own controls (the shared ones are reset).
  virtual void prepareRun() = 0;
  virtual void startRun() = 0;
  virtual void poll() = 0;
  // Whether closing must wait (the run goes on and cannot be stopped from here).
  virtual bool closeRefused() const { return false; }
  // The window closes: stop the run and take its results.
  virtual void endRun() = 0;

  // Runs ask with the polling paused.
  template <typename Ask>
  auto whilePaused(Ask ask) {
    PollPause pause(*this);
    return ask();
  }
  bool closing() const { return closing_; }

  const RunWindowControls c_;
  BlinkingProgress blink_;
  QtUserInterface ui_;
  size_t prompts_ = 0;

  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  class PollPause {
   public:
    explicit PollPause(RunWindow& w) : w_(w), active_(w.pollTimer_.isActive()) { w_.pollTimer_.stop(); }
    ~PollPause() {
      if (active_ && !w_.closing_) w_.pollTimer_.start();
    }
    PollPause(const PollPause&) = delete;
    PollPause& operator=(const PollPause&) = delete;

   private:
    RunWindow& w_;
    bool active_;
  };

  QColor top_, bottom_;
  QTimer startTimer_;
  QTimer pollTimer_;
  bool newRun_ = false;
  bool closing_ = false;
};

}  // namespace sonalog::ui
