#pragma once
// The import options window (TImportForm): the file type, which options apply to it, and GO, the
// first step of the Import command. It shows what the logic's ImportForm says and passes every
// click to it; it keeps no rule of its own.

#include <functional>

#include "import/ImportUnit.h"

#include "settings/Settings.h"
#include "ui/widgets/SmallWindow.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimer;

namespace sonalog::ui {

class TImportForm : public SmallWindow {
  Q_OBJECT

 public:
  // position is read when the window opens and written when it closes; headerOrFooter tells the
  // timer whether the text export has a header or footer file now. Both must outlive the form.
  TImportForm(WindowPosition& position, std::function<bool()> headerOrFooter);

  // Shows the window over an opened form and returns when it has closed (caller disabled
  // meanwhile); form.goPressed() then tells whether the import goes on.
  void ask(ImportForm& form, const ImportSettings& options, QWidget* caller);

  void GobutClick();
  void ButCancelClick();
  void Timer1Timer();

 protected:
  void cancel() override { ButCancelClick(); }
  // Another window taking the focus cancels, as the cancel button does.
  bool cancelsOnFocusLoss() const override { return form_ && !form_->closed(); }
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  struct CheckRow {
    ImportForm::Check check;
    QCheckBox* box;
    std::vector<QLabel*> labels;
  };
  // The controls, one group at a time, then the layout.
  void buildFileTypes();
  void buildChecks();
  void buildDateChoices();
  void buildNotesAndButtons();
  void layOut();
  QCheckBox* addCheck(const char* name, ImportForm::Check check, std::vector<QLabel*> labels);
  void refresh();
  void checkClick(ImportForm::Check check);

  std::function<bool()> headerOrFooter_;
  ImportForm* form_ = nullptr;
  const ImportSettings* options_ = nullptr;

  QGroupBox* imacFrame_;
  QRadioButton* rimcb_[3];
  QGroupBox* daradio_;
  QRadioButton* daItems_[2];
  QGroupBox* dsradio_;
  QRadioButton* dsItems_[2];
  QLabel* label5_;
  QLabel* image1_;
  QLabel* image2_;
  QLabel* labDnote_;
  QPushButton* gobut_;
  QPushButton* butCancel_;
  QTimer* timer1_;
  std::vector<CheckRow> checks_;
};

}  // namespace sonalog::ui
