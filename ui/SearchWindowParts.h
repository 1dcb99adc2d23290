#pragma once
// Pieces shared by the duplicates search window and the comparison window: the gradient
// background, the log list (a model, so 30 000 lines cost no widgets), the progress bar that
// blinks while a match waits for an answer, and the file lines fitted to their label.

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

#include "core/ApiUnit.h"

namespace sonalog::ui {


// A top-level window painted with a vertical gradient, staying on top, without title-bar
// buttons.
class GradientWindow : public QWidget {
 public:
  GradientWindow(QColor top, QColor bottom, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor top_, bottom_;
};

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

// Window flags of the run windows: on top, a title without buttons.
void setRunWindowFlags(QWidget* window);

// A control named as the program names it.
QPushButton* namedButton(const char* name, const char* caption, QWidget* parent);
QLabel* namedLabel(const char* name, QWidget* parent);

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

// Lays out a run window: "Progress:", the bar or the finish label, the file labels, the log's
// header, the log list and a centred row of buttons (hidden ones take no room). The window
// starts at its design size or larger, where it was last.
void layOutRunWindow(QWidget* window, const RunWindowControls& c, QLayout* logHeader,
                     std::initializer_list<QPushButton*> buttons, int left, int top);

}  // namespace sonalog::ui
