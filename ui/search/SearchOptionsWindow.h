#pragma once
// What the duplicates options window and the compare options window share: the settings they
// edit, the matching controls, the GO button, and a close that is a cancel unless GO was pressed.

#include <QPushButton>

#include "settings/Settings.h"
#include "ui/search/MatchOptionsControls.h"
#include "ui/widgets/QtUserInterface.h"
#include "ui/widgets/SmallWindow.h"

namespace sonalog::ui {

class SearchOptionsWindow : public SmallWindow {
  Q_OBJECT
 public:
  // Each opening, before show(): false, after telling the user to close it first, when the other
  // search or its options window is open (the window is not shown then). Otherwise the controls
  // show the settings and the window goes where it was last.
  bool open(bool otherSearchOpen);
  // After the window closed: whether GO was pressed.
  virtual bool started() const = 0;

  QtUserInterface& ui() { return ui_; }

 Q_SIGNALS:
  void closed();

 protected:
  // Creates the matching controls first, so they come first in the focus order. position: where
  // the window was last, in settings.
  SearchOptionsWindow(Settings& settings, WindowPosition& position, const char* name, const char* title,
                      const MatchControlsTexts& texts, QWidget* parent);

  // The first step of open(): the search's own check that the other search is closed, which
  // also notes the options to restore on a cancel. False: the window stays hidden.
  virtual bool openSearch(bool otherSearchOpen) = 0;
  // The controls show the settings as they are at this opening.
  virtual void showOptions() = 0;
  // The window closed without GO: the options go back to what they were when it opened.
  virtual void restoreOptions() = 0;

  void closeEvent(QCloseEvent* event) override;
  // Another window taking the focus is a cancel, as Escape is.
  bool cancelsOnFocusLoss() const override { return true; }

  Settings& settings_;
  QtUserInterface ui_;
  MatchOptionsControls* controls_;
  QPushButton* goBut_ = nullptr;

 private:
  bool open_ = false;  // between a successful open() and the close
};

}  // namespace sonalog::ui
