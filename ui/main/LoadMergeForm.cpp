#include "ui/main/LoadMergeForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "settings/Settings.h"
#include "ui/widgets/WindowWait.h"

namespace sonalog::ui {

namespace {
// The " if you append: " items, in the order of AppendSort.
constexpr const char* kAppendSortCaptions[] = {"sort like &primary list", "sort like &secondary list",
                                              "sort by &main option", "&don't sort, simply append"};
}  // namespace

TLoadMergeForm::TLoadMergeForm(WindowPosition& position) : SmallWindow(position, true) {
  setObjectName("LoadMergeForm");
  setWindowTitle(" Load options");

  rb1_ = new QRadioButton("&NEW LIST (OVERWRITE)");
  rb1_->setObjectName("Rb1");
  rb2_ = new QRadioButton("&APPEND (MERGE)");
  rb2_->setObjectName("Rb2");
  rg1_ = new QGroupBox(" if you append: ");
  rg1_->setObjectName("Rg1");
  auto* groupLayout = new QVBoxLayout(rg1_);
  for (int i = 0; i < 4; ++i) {
    sortItems_[i] = new QRadioButton(kAppendSortCaptions[i]);
    sortItems_[i]->setObjectName(QString("Rg1_%1").arg(i));
    groupLayout->addWidget(sortItems_[i]);
  }
  dontShowCheck_ = new QCheckBox("Don't show this &window again!");
  dontShowCheck_->setObjectName("DontShowCheck");
  auto* bugging = new QLabel("(I never append, stop bugging me)");
  bugging->setObjectName("Label1");
  goBut_ = new QPushButton("&GO");
  goBut_->setObjectName("GoBut");
  goBut_->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(rb1_);
  layout->addWidget(rb2_);
  layout->addWidget(rg1_);
  auto* dontShow = new QHBoxLayout;
  dontShow->addWidget(dontShowCheck_);
  dontShow->addWidget(bugging);
  dontShow->addStretch();
  layout->addLayout(dontShow);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(goBut_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(rb1_, &QRadioButton::toggled, this, [this] { enableAppendChoices(); });
  connect(rb2_, &QRadioButton::toggled, this, [this] { enableAppendChoices(); });
  connect(goBut_, &QPushButton::clicked, this, [this] { GoButClick(); });
}

void TLoadMergeForm::open(const LoadMergeChoice& initial) {
  goPressed_ = false;
  (initial.merge ? rb2_ : rb1_)->setChecked(true);
  const int item = static_cast<int>(initial.appendSort);
  sortItems_[item >= 0 && item < 4 ? item : static_cast<int>(AppendSort::MainOption)]->setChecked(true);
  dontShowCheck_->setChecked(initial.dontShow);
  enableAppendChoices();
  placeAtRememberedPosition();
  goBut_->setFocus();
}

std::optional<LoadMergeChoice> TLoadMergeForm::ask(const LoadMergeChoice& initial, QWidget* caller) {
  open(initial);
  showAndWait(*this, caller);
  if (!goPressed_) return std::nullopt;
  return choice();
}

LoadMergeChoice TLoadMergeForm::choice() const {
  LoadMergeChoice c;
  c.merge = rb2_->isChecked();
  for (int i = 0; i < 4; ++i)
    if (sortItems_[i]->isChecked()) c.appendSort = static_cast<AppendSort>(i);
  c.dontShow = dontShowCheck_->isChecked();
  return c;
}

void TLoadMergeForm::enableAppendChoices() { rg1_->setEnabled(rb2_->isChecked()); }

void TLoadMergeForm::GoButClick() {
  goPressed_ = true;
  close();
}

}  // namespace sonalog::ui
