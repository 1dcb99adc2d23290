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
#include "ui/widgets/WindowPlacement.h"
#include "ui/widgets/WindowWait.h"

namespace sonalog::ui {

TInputCaptionForm::TInputCaptionForm(WindowPosition& position) : SmallWindow(position, false) {
  setObjectName("InputCaptionForm");
  setWindowTitle(kCaptionWindowTitle);

  Labelct = new QLabel("&Caption text (leave empty for no caption):");
  Labelct->setObjectName("Labelct");
  EditCap = new QLineEdit;
  EditCap->setObjectName("EditCap");
  EditCap->setMaxLength(static_cast<int>(kMaxCaptionInput));
  EditCap->setMinimumWidth(EditCap->fontMetrics().averageCharWidth() * 48);
  setHint(EditCap, "Type the caption text here");
  Labelct->setBuddy(EditCap);
  CheckRem = new QCheckBox("&Remember");
  CheckRem->setObjectName("CheckRem");
  setHint(CheckRem, "Offer the same caption next time");
  ButOk = new QPushButton("O&K");
  ButOk->setObjectName("ButOk");
  setHint(ButOk, "Start the export");
  ButOk->setDefault(true);
  ButCancel = new QPushButton("cancel");
  ButCancel->setObjectName("ButCancel");
  setHint(ButCancel, "Or press ESC key");

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Labelct);
  layout->addWidget(EditCap);
  auto* row = new QHBoxLayout;
  row->addWidget(CheckRem);
  row->addStretch();
  row->addWidget(ButOk);
  row->addWidget(ButCancel);
  layout->addLayout(row);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(ButOk, &QPushButton::clicked, this, [this] { ButOkClick(); });
  connect(ButCancel, &QPushButton::clicked, this, [this] { ButCancelClick(); });
  connect(EditCap, &QLineEdit::returnPressed, this, [this] { ButOkClick(); });
}

bool TInputCaptionForm::ask(CaptionRequest& request, QWidget* caller) {
  request_ = &request;
  okPressed_ = false;
  CheckRem->setChecked(request.rememberChecked());
  EditCap->setText(qt(request.presetText()));
  placeAtRememberedPosition();
  EditCap->setFocus();
  showAndWait(*this, caller);
  request_ = nullptr;
  return okPressed_;
}

void TInputCaptionForm::ButOkClick() {
  if (!request_) return;
  okPressed_ = true;
  request_->accept(toStd(EditCap->text()), CheckRem->isChecked());
  close();
}

void TInputCaptionForm::ButCancelClick() {
  okPressed_ = false;
  close();
}

}  // namespace sonalog::ui
