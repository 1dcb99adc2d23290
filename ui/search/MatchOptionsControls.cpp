#include "ui/search/MatchOptionsControls.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QIntValidator>
#include <QMouseEvent>

#include "duplicates/PreDupUnit.h"
#include "duplicates/TitleMatch.h"
#include "ui/widgets/QtText.h"

namespace sonalog::ui {

namespace {

constexpr int kTrackStep = 5;  // page size and tick interval of the threshold track bar

QLabel* plainLabel(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

MatchOptionsControls::MatchOptionsControls(Settings& settings, const MatchControlsTexts& texts,
                                           QWidget* parent)
    : QObject(parent), settings_(settings) {
  buildThreshold(texts.trackName, parent);
  highCheck = boundCheck(texts.highName, "Use &high characters matching (e=\xC3\xA8 etc)",
                         "Match characters with ASCII codes above 127 with common letters", &Settings::highChars, parent);
  buildLimits(parent);
  bitCheck = boundCheck("Bitcheck", "&Bitrate (kbps) must match", "Do you want bitrate (kbps) to be compared?",
                        &Settings::bitrateCheck, parent);
  buildModes(texts, parent);
  letterCheck = boundCheck("LetterCheck", texts.letterCheck, "\"_title\" and \"title\" won't match then",
                           &Settings::firstLetterCheck, parent);
  letterLab = new ClickableLabel(QString::fromUtf8(texts.letterLab), parent);
  letterLab->setObjectName("LetterLab");
  letterLab->setTextFormat(Qt::PlainText);
  connect(letterLab, &ClickableLabel::clicked, this, [this] {
    letterCheck->toggle();
    letterCheck->setFocus();
  });
}

// Every control stores its setting at once, unless showSettings is filling it.
QCheckBox* MatchOptionsControls::boundCheck(const char* name, const char* caption, const char* hint,
                                            bool Settings::*setting, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setObjectName(name);
  setHint(box, hint);
  connect(box, &QCheckBox::toggled, this, [this, setting](bool on) {
    if (!showing_) settings_.*setting = on;
  });
  return box;
}

QLineEdit* MatchOptionsControls::limitEdit(const char* name, int digits, const char* hint,
                                           bool (*changed)(Settings&, std::string_view), QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setMaxLength(digits);
  setHint(edit, hint);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(digits + 2, QChar('0'))) + 8);
  connect(edit, &QLineEdit::textChanged, this, [this, changed](const QString& text) {
    if (!showing_) changed(settings_, toStd(text));
  });
  return edit;
}

void MatchOptionsControls::buildThreshold(const char* trackName, QWidget* parent) {
  thresholdLabel = new QLabel(QStringLiteral("Speci&fy threshold similarity in relative units:"), parent);
  thresholdLabel->setObjectName("LabSpecPlease");
  track = new QSlider(Qt::Horizontal, parent);
  track->setObjectName(trackName);
  track->setRange(kThresholdMin, kThresholdExact);
  track->setPageStep(kTrackStep);
  track->setTickInterval(kTrackStep);
  track->setTickPosition(QSlider::TicksBelow);
  setHint(track, "100=exact match; 99=letters match; recommended: 80-99");
  thresholdLabel->setBuddy(track);
  thresholdValue = new QLabel(parent);
  thresholdValue->setObjectName("LabThreshold");
  thresholdValue->setMinimumWidth(thresholdValue->fontMetrics().horizontalAdvance(QStringLiteral("100 %")));
  thresholdValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  trackRow = new QWidget(parent);
  auto* row = new QHBoxLayout(trackRow);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(track, 1);
  row->addWidget(thresholdValue);
  trackScale = new QWidget(parent);
  auto* scale = new QHBoxLayout(trackScale);
  // The marks stand under the track bar only, not under its number.
  constexpr int kNumberGap = 6;  // pixels between the track bar and its number
  row->setSpacing(kNumberGap);
  scale->setContentsMargins(0, 0, thresholdValue->minimumWidth() + kNumberGap, 0);
  for (int value = kThresholdMin; value <= kThresholdExact; value += kTrackStep) {
    auto* mark = new QLabel(value == kThresholdExact ? QStringLiteral("100 %") : QString::number(value), trackScale);
    QFont small = mark->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    mark->setFont(small);
    scale->addWidget(mark);
    if (value < kThresholdExact) scale->addStretch();
  }

  connect(track, &QSlider::valueChanged, this, [this](int v) {
    thresholdValue->setText(QString::number(v));
    if (!showing_) settings_.matchThreshold = static_cast<uint8_t>(v);
  });
}

void MatchOptionsControls::buildLimits(QWidget* parent) {
  sizeCheck = boundCheck("sizedifcheck", "&Size may differ up to", "Do you want the size to be compared?",
                         &Settings::sizeCheck, parent);
  sizeEdit = limitEdit("SizeEdit", 4, "Type value in kilobytes here", &sizeEditChanged, parent);
  sizeUnit = plainLabel("KB", parent);
  timeCheck = boundCheck("timedifcheck", "&Time may differ up to", "Do you want time to be compared?",
                         &Settings::timeCheck, parent);
  timeEdit = limitEdit("TimeEdit", 2, "Type value in seconds here", &timeEditChanged, parent);
  timeUnit = plainLabel("sec", parent);
  connect(sizeCheck, &QCheckBox::toggled, sizeEdit, &QLineEdit::setEnabled);
  connect(timeCheck, &QCheckBox::toggled, timeEdit, &QLineEdit::setEnabled);
}

void MatchOptionsControls::buildModes(const MatchControlsTexts& texts, QWidget* parent) {
  static const char* const kActionNames[3] = {"rbut1", "rbut2", "rbut3"};
  static const char* const kActionCaptions[3] = {"&Automatic action - no prompting",
                                                 "A&utomatic only for 99-100% matches",
                                                 "&Manual action - confirm each match"};
  static const char* const kActionHints[3] = {
      "Note that you *will* be asked if you really want all matches deleted at the end",
      "Recommended", "Boring, but safe"};
  auto* actions = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    actionButtons[i] = new QRadioButton(QString::fromUtf8(kActionCaptions[i]), parent);
    actionButtons[i]->setObjectName(kActionNames[i]);
    setHint(actionButtons[i], kActionHints[i]);
    actions->addButton(actionButtons[i], i);
  }

  priorityGroup = new QGroupBox(QStringLiteral(" Process priority (speed) "), parent);
  static const char* const kPriorityNames[3] = {"LowPriorityCheck", "NormalPriorityCheck", "HighPriorityCheck"};
  const char* const priorityCaptions[3] = {"&Low priority", texts.normalPriority, "H&igh priority"};
  static const char* const kPriorityHints[3] = {
      "RECOMMENDED", "Don't use it if you want other applications to work normally",
      "Are you really sure you want to use it?"};
  auto* priorities = new QButtonGroup(this);
  for (int i = 0; i < 3; ++i) {
    priorityButtons[i] = new QRadioButton(QString::fromUtf8(priorityCaptions[i]), priorityGroup);
    priorityButtons[i]->setObjectName(kPriorityNames[i]);
    setHint(priorityButtons[i], kPriorityHints[i]);
    priorities->addButton(priorityButtons[i], i);
    priorityNotes[i] = plainLabel(texts.priorityNotes[i], priorityGroup);
  }

  connect(actions, &QButtonGroup::idClicked, this,
          [this](int id) { settings_.actionMode = static_cast<uint8_t>(id); });
  connect(priorities, &QButtonGroup::idClicked, this,
          [this](int id) { settings_.threadPriority = static_cast<uint8_t>(id); });
}

QLayout* MatchOptionsControls::limitsLayout() {
  auto* limits = new QGridLayout;
  limits->addWidget(sizeCheck, 0, 0);
  limits->addWidget(sizeEdit, 0, 1);
  limits->addWidget(sizeUnit, 0, 2);
  limits->addWidget(timeCheck, 1, 0);
  limits->addWidget(timeEdit, 1, 1);
  limits->addWidget(timeUnit, 1, 2);
  limits->setColumnStretch(3, 1);
  return limits;
}

QLayout* MatchOptionsControls::modeLayout() {
  auto* priorities = new QGridLayout(priorityGroup);
  for (int i = 0; i < 3; ++i) {
    priorities->addWidget(priorityButtons[i], i, 0, Qt::AlignTop);
    priorities->addWidget(priorityNotes[i], i, 1, Qt::AlignTop);
  }
  auto* actions = new QVBoxLayout;
  for (QRadioButton* b : actionButtons) actions->addWidget(b);
  actions->addStretch();
  auto* row = new QHBoxLayout;
  row->addLayout(actions);
  row->addWidget(priorityGroup, 1);
  return row;
}

void MatchOptionsControls::addLowerPart(QBoxLayout* layout, QLabel* note, QPushButton* go) {
  layout->addLayout(modeLayout());
  layout->addWidget(letterCheck);
  letterLab->setIndent(22);  // under the check box's text
  layout->addWidget(letterLab);
  layout->addWidget(note);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(go);
  row->addStretch();
  layout->addLayout(row);
}

void MatchOptionsControls::showSettings() {
  showing_ = true;
  const Settings& s = settings_;
  track->setValue(s.matchThreshold);
  thresholdValue->setText(QString::number(track->value()));
  highCheck->setChecked(s.highChars);
  sizeCheck->setChecked(s.sizeCheck);
  sizeEdit->setText(QString::number(s.sizeLimitKB));
  sizeEdit->setEnabled(s.sizeCheck);
  timeCheck->setChecked(s.timeCheck);
  timeEdit->setText(QString::number(s.timeLimitSec));
  timeEdit->setEnabled(s.timeCheck);
  bitCheck->setChecked(s.bitrateCheck);
  actionButtons[s.actionMode % 3]->setChecked(true);
  priorityButtons[s.threadPriority == 0 ? 0 : s.threadPriority == 2 ? 2 : 1]->setChecked(true);
  letterCheck->setChecked(s.firstLetterCheck);
  showing_ = false;
}

}  // namespace sonalog::ui
