#pragma once
// The find window (TFindForm): the text to find, Find First, Find Next, Filter and the two
// switches it keeps in the settings. It only collects the request; the viewer carries it out.

#include <QDialog>

#include "settings/Settings.h"
#include "viewer/FindUnit.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace sonalog::ui {

class TFindForm : public QDialog {
  Q_OBJECT
 public:
  // rowsShown: the viewer's grid shows the rows (Find First and Find Next can go to one).
  TFindForm(Settings& settings, bool filtered, bool rowsShown, const QString& text,
            QWidget* parent = nullptr);

  // How the window closed: None for Esc, closing, or an empty text.
  FindMode mode() const { return text().isEmpty() ? FindMode::None : mode_; }
  QString text() const;

 private:
  void finish(FindMode mode);
  void updateButtons();

  Settings& settings_;
  bool filtered_;
  bool rowsShown_;
  FindMode mode_ = FindMode::None;
  QLineEdit* edit1_ = nullptr;
  QPushButton* firstBut_ = nullptr;
  QPushButton* nextBut_ = nullptr;
  QPushButton* filterBut_ = nullptr;
  QCheckBox* chkInversion_ = nullptr;
};

}  // namespace sonalog::ui
