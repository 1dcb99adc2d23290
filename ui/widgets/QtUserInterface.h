#pragma once
// The desktop program's side of UserInterface: message boxes, file dialogs, the status line,
// the busy cursor, pending events and the desktop's "open". Scripted (tests, benchmarks, the
// program's --scripted start), its boxes, dialogs and desktop opens are the silent interface's:
// answered from queues and recorded, and no modal window ever appears.

#include <QElapsedTimer>
#include <QPointer>
#include <QSize>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/SilentUi.h"

class QLabel;
class QWidget;

namespace sonalog::ui {

class QtUserInterface : public SilentUi {
 public:
  explicit QtUserInterface(QWidget* parent = nullptr);
  ~QtUserInterface() override;

  // Boxes and dialogs are modal to this window (null: to the application).
  void setParentWidget(QWidget* window) { parent_ = window; }
  // setStatus writes here; null shows nothing.
  void setStatusLabel(QLabel* label) { statusLabel_ = label; }
  // Shows a status text held back because it came within a few milliseconds of the last one
  // (it would show by itself a moment later).
  void flushStatus();
  // The size the user gives Qt's file dialogs is kept in file (read now, written after each
  // dialog), so that the next run of the program opens them at that size too.
  void keepFileDialogSize(const std::string& file);
  QSize fileDialogSize() const { return fileDialogSize_; }
  // CANCEL or Escape: the next processEvents() returns true.
  void requestCancel() { cancelRequested_ = true; }

  // From here on boxes, file dialogs and desktop opens are the silent interface's: questions
  // are answered from `answers`, then by their safe default, dialogs from `files`, then as
  // cancelled, and nothing is shown.
  void script(std::deque<Answer> answers = {},
              std::deque<std::optional<FileDialogResult>> files = {});
  bool scripted() const { return scripted_; }

  Answer show(const MessageBox& box) override;
  void setStatus(std::string_view text) override;
  void setBusy(bool busy) override;
  // Runs pending events when kEventPumpMs have passed since they last ran, or at every
  // kCallsPerPump-th call: a scan asks after every file, and pumping the event loop that often
  // costs more than the analysis of a cached file. CANCEL and Escape are events too, so they
  // are seen within that interval (or those few files).
  bool processEvents() override;
  std::optional<FileDialogResult> openFile(const FileDialog& dialog) override;
  std::optional<FileDialogResult> saveFile(const FileDialog& dialog) override;
  bool statusFits(std::string_view text) const override;
  OpenResult openDocument(const std::string& path, bool edit = false) override;

 private:
  std::optional<FileDialogResult> fileDialog(const FileDialog& dialog, bool save);

  QPointer<QWidget> parent_;
  QPointer<QLabel> statusLabel_;
  bool cancelRequested_ = false;
  bool scripted_ = false;
  int busyDepth_ = 0;
  QElapsedTimer sinceStatus_;  // since the status label last changed
  std::string pendingStatus_;  // the latest status text; not shown yet while statusPending_
  bool statusPending_ = false;
  void showPendingStatus();
  QSize fileDialogSize_{900, 560};  // the file dialogs' size, as the user last left it
  QString fileDialogSizeFile_;      // where it is kept between runs; empty: for this run only
  QElapsedTimer lastPump_;
  int callsSincePump_ = 0;
};

inline constexpr int kEventPumpMs = 10;
inline constexpr int kCallsPerPump = 16;

// A file dialog's filter list in Qt's form ("List files (*.snlg);;All files (*)"); "*.*"
// becomes "*", the pattern that matches every name on this system.
QString qtFilters(const std::vector<FileFilter>& filters);

}  // namespace sonalog::ui
