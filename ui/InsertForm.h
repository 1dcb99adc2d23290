#pragma once
// The editor window (TInsertForm) for insert and edit: one control per field of the editing
// record, the step buttons, the placement choices. The rules are the editor logic's
// (viewer/InsertUnit); this window shows the record and passes on what the user changes.

#include <QDialog>

#include "settings/Settings.h"
#include "viewer/InsertUnit.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QGridLayout;

namespace sonalog::ui {

class TInsertForm : public QDialog {
  Q_OBJECT
 public:
  TInsertForm(InsertUnit& editor, Settings& settings, QWidget* parent = nullptr);

  // The placement checked (0..3), or -1 when none is (a filtered list).
  int choice() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildDate(int row, const char* name, const char* labelName, int32_t day, bool created);
  // Shows the record: the playtime label, the frames text after a step, the OK button.
  void refresh();
  void chooseFolder();

  InsertUnit& editor_;
  Settings& settings_;
  QLineEdit* frameEdit_ = nullptr;
  QLabel* labMinSec_ = nullptr;
  QPushButton* okBut_ = nullptr;
  QRadioButton* rbut_[4] = {};
  QComboBox* diskCombo_ = nullptr;
  QLineEdit* labEdit_ = nullptr;
  QLineEdit* dirEdit_ = nullptr;
  QGridLayout* grid_ = nullptr;
};

}  // namespace sonalog::ui
