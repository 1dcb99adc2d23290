#include "ui/viewer/FindForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "ui/widgets/QtText.h"
#include "ui/widgets/WindowPlacement.h"

namespace sonalog::ui {

TFindForm::TFindForm(Settings& settings, bool filtered, bool rowsShown, const QString& text,
                     QWidget* parent)
    : QDialog(parent), settings_(settings), filtered_(filtered), rowsShown_(rowsShown) {
  setObjectName("TFindForm");
  setWindowTitle(QStringLiteral(" Type text to find:"));
  edit1_ = new QLineEdit(text, this);
  edit1_->setObjectName("Edit1");
  edit1_->setMaxLength(static_cast<int>(kMaxFindText));
  edit1_->setPlaceholderText(QStringLiteral("Type the text to find here"));
  setHint(edit1_, "Type the text to find here");
  auto* first = firstBut_ = new QPushButton(QStringLiteral("Find &First"), this);
  first->setObjectName("FindFirstBut");
  first->setDefault(true);
  auto* next = nextBut_ = new QPushButton(QStringLiteral("Find &Next"), this);
  next->setObjectName("FindNextBut");
  filterBut_ = new QPushButton(QStringLiteral("Fi&lter"), this);
  filterBut_->setObjectName("FilterBut");
  setHint(filterBut_, "Make a filtered list from items that match the find string");
  auto* match = new QCheckBox(QStringLiteral("&Match case"), this);
  match->setObjectName("ChkMatch");
  match->setChecked(settings.ChkMatch);
  chkInversion_ = new QCheckBox(QStringLiteral("Use in&v. colors"), this);
  chkInversion_->setObjectName("ChkInversion");
  chkInversion_->setChecked(settings.ChkInversion);

  auto* grid = new QGridLayout(this);
  grid->addWidget(edit1_, 0, 0, 1, 3);
  grid->addWidget(first, 1, 0);
  grid->addWidget(next, 1, 1);
  grid->addWidget(filterBut_, 1, 2);
  grid->addWidget(match, 2, 0, 1, 2);
  grid->addWidget(chkInversion_, 3, 0, 1, 2);

  connect(first, &QPushButton::clicked, this, [this] { finish(FindMode::First); });
  connect(next, &QPushButton::clicked, this, [this] { finish(FindMode::Next); });
  connect(filterBut_, &QPushButton::clicked, this, [this] { finish(FindMode::Filter); });
  connect(edit1_, &QLineEdit::textChanged, this, &TFindForm::updateButtons);
  connect(match, &QCheckBox::toggled, this, [this](bool on) { settings_.ChkMatch = on; });
  connect(chkInversion_, &QCheckBox::toggled, this, [this](bool on) { settings_.ChkInversion = on; });
  updateButtons();
  edit1_->selectAll();
  sonalog::ui::restoreGeometry(this, settings.findWindowPos.left, settings.findWindowPos.top, 0, 0);
  connect(this, &QDialog::finished, this, [this] {
    settings_.findWindowPos = {geometry().x(), geometry().y()};
  });
}

QString TFindForm::text() const { return edit1_->text(); }

void TFindForm::finish(FindMode mode) {
  mode_ = mode;
  accept();
}

void TFindForm::updateButtons() {
  const FindWindowControls c = findWindowControls(filtered_, rowsShown_, edit1_->text().isEmpty());
  firstBut_->setEnabled(c.findFirst);
  nextBut_->setEnabled(c.findNext);
  filterBut_->setEnabled(c.filter);
  chkInversion_->setEnabled(c.inversion);
}

}  // namespace sonalog::ui
