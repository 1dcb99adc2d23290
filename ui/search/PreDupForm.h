#pragma once
// The duplicates options window (TPreDupForm): the matching options, the action mode and the
// priority of the search. GO starts the search; any other close (Escape, losing the focus) is a
// cancel that puts the options back as they were when the window opened.

#include <QPushButton>
#include <QWidget>

#include <memory>

#include "duplicates/PreDupUnit.h"
#include "ui/search/MatchOptionsControls.h"
#include "ui/widgets/QtUserInterface.h"
#include "ui/widgets/SmallWindow.h"

namespace sonalog::ui {

class TPreDupForm : public SmallWindow {
  Q_OBJECT
 public:
  TPreDupForm(Settings& settings, QWidget* parent = nullptr);
  ~TPreDupForm() override;

  // Each opening, before show(): false, after "Close compare window first.", when the comparison
  // or its options window is open (the window is not shown then).
  bool open(bool compareOpen);
  // After the window closed: whether GO was pressed, and the search's options then.
  bool started() const { return session_.started(); }
  const DupSearchOptions& options() const { return options_; }

  QtUserInterface& ui() { return ui_; }
  MatchOptionsControls& controls() { return *controls_; }

  void GoButClick();

 Q_SIGNALS:
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Another window taking the focus is a cancel, as Escape is.
  bool cancelsOnFocusLoss() const override { return true; }

 private:
  Settings& settings_;
  QtUserInterface ui_;
  PreDupSession session_;
  DupSearchOptions options_;
  MatchOptionsControls* controls_;
  QPushButton* goBut_;
  bool open_ = false;  // between open() and the close: a close is a cancel unless GO was pressed
};

}  // namespace sonalog::ui
