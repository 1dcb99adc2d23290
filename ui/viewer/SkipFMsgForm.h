#pragma once
// The note shown after filtering (TSkipFMsgForm): accepted with O&K, rejected with "cancel".

#include <QDialog>

class QCheckBox;

namespace sonalog::ui {

class TSkipFMsgForm : public QDialog {
  Q_OBJECT
 public:
  explicit TSkipFMsgForm(QWidget* parent = nullptr);
  bool dontShowAgain() const;

 private:
  QCheckBox* check_ = nullptr;
};

}  // namespace sonalog::ui
