#pragma once
// The caption input window (TInputCaptionForm, "Input the caption") asked by an HTML table export
// before its file dialog. It stays on top without system buttons; OK or Enter accepts the request,
// cancel or Esc abandons the export.

#include "export/CaptionRequest.h"
#include "settings/Settings.h"
#include "ui/widgets/SmallWindow.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace sonalog::ui {

class TInputCaptionForm : public SmallWindow {
  Q_OBJECT

 public:
  // position is read when the window opens and written when it closes; it must outlive the form.
  explicit TInputCaptionForm(WindowPosition& position);

  // Opens the window for request, waits for it to close (caller disabled meanwhile): true when OK
  // was pressed (the request was then accepted with the window's text and remember box).
  bool ask(CaptionRequest& request, QWidget* caller);

  void ButOkClick();
  void ButCancelClick();

 protected:
  void cancel() override { ButCancelClick(); }

 private:
  QLabel* labelct_;
  QLineEdit* editCap_;
  QCheckBox* checkRem_;
  QPushButton* butOk_;
  QPushButton* butCancel_;
  CaptionRequest* request_ = nullptr;
  bool okPressed_ = false;
};

}  // namespace sonalog::ui
