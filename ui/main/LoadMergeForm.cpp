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
#include "ui/widgets/WindowPlacement.h"
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

  Rb1 = new QRadioButton("&NEW LIST (OVERWRITE)");
  Rb1->setObjectName("Rb1");
  Rb2 = new QRadioButton("&APPEND (MERGE)");
  Rb2->setObjectName("Rb2");
  Rg1 = new QGroupBox(" if you append: ");
  Rg1->setObjectName("Rg1");
  auto* groupLayout = new QVBoxLayout(Rg1);
  for (int i = 0; i < 4; ++i) {
    sortItems_[i] = new QRadioButton(kAppendSortCaptions[i]);
    sortItems_[i]->setObjectName(QString("Rg1_%1").arg(i));
    groupLayout->addWidget(sortItems_[i]);
  }
  DontShowCheck = new QCheckBox("Don't show this &window again!");
  DontShowCheck->setObjectName("DontShowCheck");
  auto* bugging = new QLabel("(I never append, stop bugging me)");
  bugging->setObjectName("Label1");
  GoBut = new QPushButton("&GO");
  GoBut->setObjectName("GoBut");
  GoBut->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Rb1);
  layout->addWidget(Rb2);
  layout->addWidget(Rg1);
  auto* dontShow = new QHBoxLayout;
  dontShow->addWidget(DontShowCheck);
  dontShow->addWidget(bugging);
  dontShow->addStretch();
  layout->addLayout(dontShow);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(GoBut);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(Rb1, &QRadioButton::toggled, this, [this] { enableAppendChoices(); });
  connect(Rb2, &QRadioButton::toggled, this, [this] { enableAppendChoices(); });
  connect(GoBut, &QPushButton::clicked, this, [this] { GoButClick(); });
}

void TLoadMergeForm::open(const LoadMergeChoice& initial) {
  goPressed_ = false;
  (initial.merge ? Rb2 : Rb1)->setChecked(true);
  const int item = static_cast<int>(initial.appendSort);
  sortItems_[item >= 0 && item < 4 ? item : static_cast<int>(AppendSort::MainOption)]->setChecked(true);
  DontShowCheck->setChecked(initial.dontShow);
  enableAppendChoices();
  placeAtRememberedPosition();
  GoBut->setFocus();
}

std::optional<LoadMergeChoice> TLoadMergeForm::ask(const LoadMergeChoice& initial, QWidget* caller) {
  open(initial);
  showAndWait(*this, caller);
  if (!goPressed_) return std::nullopt;
  return choice();
}

LoadMergeChoice TLoadMergeForm::choice() const {
  LoadMergeChoice c;
  c.merge = Rb2->isChecked();
  for (int i = 0; i < 4; ++i)
    if (sortItems_[i]->isChecked()) c.appendSort = static_cast<AppendSort>(i);
  c.dontShow = DontShowCheck->isChecked();
  return c;
}

void TLoadMergeForm::enableAppendChoices() { Rg1->setEnabled(Rb2->isChecked()); }

void TLoadMergeForm::GoButClick() {
  goPressed_ = true;
  close();
}

}  // namespace sonalog::ui
