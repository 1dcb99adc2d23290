#include "ui/viewer/SkipFMsgForm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/widgets/QtText.h"
#include "viewer/SkipFmsg.h"

namespace sonalog::ui {

namespace {
// Multi-line captions lose their carriage returns on this system.
QString lines(const char* text) { return qt(text).remove(QLatin1Char('\r')); }
}  // namespace

TSkipFMsgForm::TSkipFMsgForm(QWidget* parent) : QDialog(parent) {
  setObjectName("TSkipFMsgForm");
  setWindowTitle(QString::fromUtf8(kSkipFmsgCaption));
  auto* layout = new QVBoxLayout(this);
  int n = 1;
  for (const char* text : kSkipFmsgLines) {
    auto* label = new QLabel(lines(text), this);
    label->setObjectName(QStringLiteral("Label%1").arg(n++));
    layout->addWidget(label);
    layout->addSpacing(6);
  }
  check_ = new QCheckBox(QString::fromUtf8(kSkipFmsgCheck), this);
  check_->setObjectName("CheckBox1");
  layout->addWidget(check_);
  auto* row = new QHBoxLayout;
  auto* cancel = new QPushButton(QStringLiteral("cancel"), this);
  cancel->setObjectName("CancelBut");
  auto* ok = new QPushButton(QStringLiteral("O&K"), this);
  ok->setObjectName("OkBut");
  ok->setDefault(true);
  row->addWidget(cancel);
  row->addWidget(ok);
  layout->addLayout(row);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

bool TSkipFMsgForm::dontShowAgain() const { return check_->isChecked(); }

}  // namespace sonalog::ui
