#pragma once
// The editor window (TInsertForm) for insert and edit: one control per field of the editing
// record, the step buttons, the placement choices. The rules are the editor logic's
// (viewer/InsertUnit); this window shows the record and passes on what the user changes.

#include <QDialog>

#include <array>
#include <string>
#include <string_view>

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
class QGroupBox;
class QHBoxLayout;

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
  // One row of the field grid each: a caption in the first column, the field after it; a field
  // the user edits passes its text or choice to the editor through set.
  QLabel* addLabel(int row, const char* text);
  QLineEdit* addText(int row, const char* label, const char* name, const std::string& text,
                     size_t maxLength, const char* hint, void (InsertUnit::*set)(std::string_view),
                     int span = 1);
  template <size_t N>
  QComboBox* addCombo(int row, const char* label, const char* name,
                      const std::array<const char*, N>& items, int current,
                      void (InsertUnit::*set)(int));
  // A step button (+/- one frame or one second) that repeats while held.
  QPushButton* addStep(int row, int column, const char* name, const char* caption, bool seconds,
                       int direction);
  void buildFrames(int row);
  void buildPlaytime(int row);
  void buildLabel(int row);
  void buildFolder(int row);
  QGroupBox* buildPlacement();
  QHBoxLayout* buildButtons();
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
