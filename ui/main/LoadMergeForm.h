#pragma once
// The Load options window (TLoadMergeForm, " Load options"): replace or merge, how a merged list
// is ordered, and whether the window shows at all. GO returns the choices; Escape, the close
// button or the window losing the focus cancel the load.

#include <optional>

#include "core/ListFile.h"

#include "settings/Settings.h"
#include "ui/widgets/SmallWindow.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace sonalog::ui {

class TLoadMergeForm : public SmallWindow {
  Q_OBJECT

 public:
  // position is read when the window opens and written when it closes; it must outlive the form.
  explicit TLoadMergeForm(WindowPosition& position);

  // Opens the window with initial, waits for it to close (caller disabled meanwhile) and returns
  // the choices when GO was pressed.
  std::optional<LoadMergeChoice> ask(const LoadMergeChoice& initial, QWidget* caller);

  // The window as it stands: used while it is open.
  LoadMergeChoice choice() const;
  void GoButClick();

 protected:
  // Losing the focus before GO cancels the load.
  bool cancelsOnFocusLoss() const override { return !goPressed_; }

 private:
  void open(const LoadMergeChoice& initial);
  void enableAppendChoices();

  QRadioButton* rb1_;
  QRadioButton* rb2_;
  QGroupBox* rg1_;
  QRadioButton* sortItems_[4];
  QCheckBox* dontShowCheck_;
  QPushButton* goBut_;
  bool goPressed_ = false;
};

}  // namespace sonalog::ui
