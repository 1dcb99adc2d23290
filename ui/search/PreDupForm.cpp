#include "ui/search/PreDupForm.h"

#include <QVBoxLayout>

#include "ui/search/SearchWindowParts.h"
#include "ui/widgets/QtText.h"

namespace sonalog::ui {

namespace {

const MatchControlsTexts kDuplicatesTexts = {
    "TrackBar1",
    "HighCheck",
    "No&rmal priority",
    {"Recommended if the list is large,\nwith other applications running",
     "Use if other applications don't\nconsume much resources",
     "Certainly NOT recommended in\na multi-tasking environment"},
    "Compar&e only titles starting with",
    "the same letter (less precise, but increases the speed a lot)",
};

}  // namespace

TPreDupForm::TPreDupForm(Settings& settings, QWidget* parent)
    : SearchOptionsWindow(settings, settings.duplicatesOptionsWindowPos, "TPreDupForm", " Duplicates search options",
                          kDuplicatesTexts, parent) {
  MatchOptionsControls& c = *controls_;

  auto* auncheck = new QCheckBox(QStringLiteral("Allow match if size/time/kbps &not specified"), this);
  auncheck->setObjectName("auncheck");
  setHint(auncheck, "Recommended");
  connect(auncheck, &QCheckBox::toggled, this, [this](bool on) { settings_.allowUnspecified = on; });

  auto* unchecked = new QLabel(QStringLiteral("(if unchecked, size & time may differ infinitely)"), this);
  auto* note = new QLabel(
      QStringLiteral("NOTE: duplicates search may take a while, depending on the size of your list"), this);
  note->setObjectName("LabNote");
  note->setWordWrap(true);
  setHint(note, "Time is proportional to squared number of items in the list");
  goBut_ = commandButton(this, "GoBut", "&GO", &TPreDupForm::GoButClick);
  setHint(goBut_, "Click to start the search now");

  // Enter in the edits moves on (size, time, GO) and goes no further.
  connect(c.sizeEdit, &QLineEdit::returnPressed, c.timeEdit, [&c] { c.timeEdit->setFocus(); });
  connect(c.timeEdit, &QLineEdit::returnPressed, goBut_, [this] { goBut_->setFocus(); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(c.thresholdLabel);
  layout->addWidget(c.trackRow);
  layout->addWidget(c.trackScale);
  layout->addWidget(c.highCheck);
  layout->addWidget(auncheck);
  layout->addLayout(c.limitsLayout());
  layout->addWidget(unchecked);
  layout->addWidget(c.bitCheck);
  c.addLowerPart(layout, note, goBut_);
}

void TPreDupForm::showOptions() {
  controls_->showSettings();
  findChild<QCheckBox*>("auncheck")->setChecked(settings_.allowUnspecified);
}

void TPreDupForm::GoButClick() {
  options_ = session_.go(settings_);
  close();
}

}  // namespace sonalog::ui
