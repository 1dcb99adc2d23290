#pragma once
// The compare options window (TPreCompForm): the external list, the action type, the output
// file and the matching options. GO starts the comparison; any other close is a cancel that puts
// the options back as they were when the window opened.

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QWidget>

#include "compare/PreCompUnit.h"
#include "ui/search/SearchOptionsWindow.h"

namespace sonalog::ui {

class TPreCompForm : public SearchOptionsWindow {
  Q_OBJECT
 public:
  TPreCompForm(Settings& settings, QWidget* parent = nullptr);

  // After the window closed: whether GO was pressed, and the run's job then.
  bool started() const override { return unit_.started; }
  CompareJob job() const { return unit_.job(); }

  PreCompUnit& unit() { return unit_; }

  void ButLoadFileClick();
  void ButSaveFileClick();
  void ButLastClick();
  void GoButClick();

 protected:
  // False, after "Close duplicates search window first.", when the duplicates search or its
  // options window is open.
  bool openSearch(bool duplicatesOpen) override { return unit_.open(duplicatesOpen); }
  void showOptions() override;
  void restoreOptions() override { unit_.cancel(); }

 private:
  // Shows the unit's state: marks, labels, hints, enabled controls.
  void refresh();

  PreCompUnit unit_;
  QComboBox* withCombo_;
  QComboBox* actionCombo_;
  QPushButton* loadBut_;
  QPushButton* saveBut_;
  QPushButton* lastBut_;
  QLabel* inputLabel_;
  QLabel* outputLabel_;
  QCheckBox* ignoreCheck_;
  QLabel* ignoreLabels_[2];
  QCheckBox* relaxCheck_;
  bool showing_ = false;
};

// The name of a file button's mark, also its "mark" property: "red", "green" or "yellow".
const char* markName(FileMark mark);

}  // namespace sonalog::ui
