#include "ui/main/InputCaptionForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/Settings.h"
#include "ui/widgets/QtText.h"
#include "ui/widgets/WindowWait.h"

namespace sonalog::ui {

TInputCaptionForm::TInputCaptionForm(WindowPosition& position) : SmallWindow(position, false) {
  setObjectName("InputCaptionForm");
  setWindowTitle(kCaptionWindowTitle);

  labelct_ = new QLabel("&Caption text (leave empty for no caption):");
  labelct_->setObjectName("Labelct");
  editCap_ = new QLineEdit;
  editCap_->setObjectName("EditCap");
  editCap_->setMaxLength(static_cast<int>(kMaxCaptionInput));
  editCap_->setMinimumWidth(editCap_->fontMetrics().averageCharWidth() * 48);
  setHint(editCap_, "Type the caption text here");
  labelct_->setBuddy(editCap_);
  checkRem_ = new QCheckBox("&Remember");
  checkRem_->setObjectName("CheckRem");
  setHint(checkRem_, "Offer the same caption next time");
  butOk_ = new QPushButton("O&K");
  butOk_->setObjectName("ButOk");
  setHint(butOk_, "Start the export");
  butOk_->setDefault(true);
  butCancel_ = new QPushButton("cancel");
  butCancel_->setObjectName("ButCancel");
  setHint(butCancel_, "Or press ESC key");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(labelct_);
  layout->addWidget(editCap_);
  auto* row = new QHBoxLayout;
  row->addWidget(checkRem_);
  row->addStretch();
  row->addWidget(butOk_);
  row->addWidget(butCancel_);
  layout->addLayout(row);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(butOk_, &QPushButton::clicked, this, [this] { ButOkClick(); });
  connect(butCancel_, &QPushButton::clicked, this, [this] { ButCancelClick(); });
  connect(editCap_, &QLineEdit::returnPressed, this, [this] { ButOkClick(); });
}

bool TInputCaptionForm::ask(CaptionRequest& request, QWidget* caller) {
  request_ = &request;
  okPressed_ = false;
  checkRem_->setChecked(request.rememberChecked());
  editCap_->setText(qt(request.presetText()));
  placeAtRememberedPosition();
  editCap_->setFocus();
  showAndWait(*this, caller);
  request_ = nullptr;
  return okPressed_;
}

void TInputCaptionForm::ButOkClick() {
  if (!request_) return;
  okPressed_ = true;
  request_->accept(toStd(editCap_->text()), checkRem_->isChecked());
  close();
}

void TInputCaptionForm::ButCancelClick() {
  okPressed_ = false;
  close();
}

}  // namespace sonalog::ui
