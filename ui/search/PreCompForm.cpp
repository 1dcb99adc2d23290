#include "ui/search/PreCompForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>

#include "compare/CompareAction.h"
#include "ui/search/SearchWindowParts.h"
#include "ui/widgets/QtText.h"

namespace sonalog::ui {

namespace {

const MatchControlsTexts kCompareTexts = {
    "comptrack",
    "HighCharCheck",
    "&Normal priority",
    {"Recommended if comparing large\nlists with other applications running",
     "Use if other applications don't\nconsume much resources",
     "Certainly NOT recommended\nin a multi-tasking environment"},
    "Compar&e only titles starting with the same",
    "letter (less precise, increases speed a lot)",
};

constexpr int kPathLabelWidth = 220;  // pixels; the labels show the end of a longer path
constexpr int kMarkSize = 10;

QIcon markIcon(FileMark mark) {
  QPixmap pixmap(kMarkSize, kMarkSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour = mark == FileMark::Green ? QColor(0, 176, 0)
                        : mark == FileMark::Yellow ? QColor(240, 200, 0)
                                                   : QColor(220, 0, 0);
  painter.setBrush(colour);
  painter.setPen(colour.darker());
  painter.drawEllipse(1, 1, kMarkSize - 2, kMarkSize - 2);
  return QIcon(pixmap);
}

void setMark(QPushButton* button, FileMark mark) {
  if (button->property("mark").toString() == markName(mark)) return;
  button->setProperty("mark", markName(mark));
  button->setIcon(markIcon(mark));
}

}  // namespace

const char* markName(FileMark mark) {
  switch (mark) {
    case FileMark::Green: return "green";
    case FileMark::Yellow: return "yellow";
    case FileMark::Red: break;
  }
  return "red";
}

TPreCompForm::TPreCompForm(Settings& settings, QWidget* parent)
    : SearchOptionsWindow(settings, settings.comparisonOptionsWindowPos, "TPreCompForm", " Compare options",
                          kCompareTexts, parent),
      unit_(settings, ui_,
            [this](std::string_view text) { return fontMetrics().horizontalAdvance(qt(text)); },
            kPathLabelWidth) {
  MatchOptionsControls& c = *controls_;

  withCombo_ = new QComboBox(this);
  withCombo_->setObjectName("WithCombo");
  withCombo_->addItems({QStringLiteral(" another SNLG list"), QStringLiteral(" other type text list")});
  actionCombo_ = new QComboBox(this);
  actionCombo_->setObjectName("ActionCombo");
  for (int type = 0; type < kCompareActionCount; ++type) actionCombo_->addItem(qt(actionComboItem(type)));

  loadBut_ = commandButton(this, "ButLoadFile", "&Choose external list...", &TPreCompForm::ButLoadFileClick);
  saveBut_ = commandButton(this, "ButSaveFile", "&Output file...", &TPreCompForm::ButSaveFileClick);
  lastBut_ = commandButton(this, "ButLast", "Last &known files", &TPreCompForm::ButLastClick);
  setHint(lastBut_, "Use last known filenames");
  auto* lastPlus = new QShortcut(QKeySequence(QKeyCombination(Qt::AltModifier | Qt::KeypadModifier, Qt::Key_Plus)), this);
  connect(lastPlus, &QShortcut::activated, lastBut_, &QPushButton::animateClick);
  for (QLabel** label : {&inputLabel_, &outputLabel_}) {
    auto* clickable = new ClickableLabel(this);
    clickable->setTextFormat(Qt::PlainText);
    clickable->setFixedWidth(kPathLabelWidth);
    *label = clickable;
  }
  inputLabel_->setObjectName("LabInpFile");
  outputLabel_->setObjectName("LabOutFile");
  connect(static_cast<ClickableLabel*>(inputLabel_), &ClickableLabel::doubleClicked, this, [this] {
    if (!unit_.inputPath.empty()) ui_.message(unit_.inputPath, "input file", Icon::Information);
  });
  connect(static_cast<ClickableLabel*>(outputLabel_), &ClickableLabel::doubleClicked, this, [this] {
    if (!unit_.outputPath.empty()) ui_.message(unit_.outputPath, "output file", Icon::Information);
  });

  ignoreCheck_ = new QCheckBox(QStringLiteral("E&xamine only ext. lines like !"), this);
  ignoreCheck_->setObjectName("IgnoreCheck");
  const char* const ignoreTexts[2] = {"user file", ".mp3..."};
  for (int i = 0; i < 2; ++i) {
    auto* label = new ClickableLabel(QString::fromUtf8(ignoreTexts[i]), this);
    label->setTextFormat(Qt::PlainText);
    connect(label, &ClickableLabel::clicked, ignoreCheck_, [this] {
      if (ignoreCheck_->isEnabled()) ignoreCheck_->toggle();
    });
    ignoreLabels_[i] = label;
  }
  relaxCheck_ = new QCheckBox(QStringLiteral("Use &relaxed matching conditions"), this);
  relaxCheck_->setObjectName("relaxcheck");
  auto* relaxNote = new QLabel(
      QStringLiteral("(recommended for accuracy, and not for speed; ignore extra substrings and more)"), this);
  relaxNote->setWordWrap(true);
  auto* note = new QLabel(
      QStringLiteral("NOTE: comparison may take a while, depending on the number of items in your lists"), this);
  note->setWordWrap(true);
  goBut_ = commandButton(this, "GoBut", "&GO", &TPreCompForm::GoButClick);

  connect(withCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (showing_) return;
    unit_.withChanged(index);
    refresh();
  });
  connect(actionCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (showing_) return;
    unit_.actionChanged(index);
    refresh();
  });
  connect(ignoreCheck_, &QCheckBox::toggled, this, [this](bool on) {
    if (!showing_) settings_.examineBangLines = on;
  });
  connect(relaxCheck_, &QCheckBox::clicked, this, [this](bool on) {
    unit_.relaxedClicked(on);
    refresh();
  });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(withCombo_);
  auto* files = new QGridLayout;
  files->addWidget(loadBut_, 0, 0);
  files->addWidget(inputLabel_, 0, 1);
  files->addWidget(actionCombo_, 1, 0, 1, 2);
  files->addWidget(saveBut_, 2, 0);
  files->addWidget(outputLabel_, 2, 1);
  files->addWidget(lastBut_, 3, 0);
  layout->addLayout(files);
  layout->addWidget(c.thresholdLabel);
  layout->addWidget(c.trackRow);
  layout->addWidget(c.trackScale);
  layout->addWidget(c.highCheck);
  auto* ignore = new QHBoxLayout;
  ignore->addWidget(ignoreCheck_);
  ignore->addWidget(ignoreLabels_[0]);
  ignore->addWidget(ignoreLabels_[1]);
  ignore->addStretch();
  layout->addLayout(ignore);
  layout->addWidget(relaxCheck_);
  relaxNote->setIndent(22);
  layout->addWidget(relaxNote);
  layout->addLayout(c.limitsLayout());
  layout->addWidget(c.bitCheck);
  c.addLowerPart(layout, note, goBut_);
}

void TPreCompForm::showOptions() {
  setHint(loadBut_, "Choose external list to compare with");
  setHint(saveBut_, "Choose the file to save to (if applicable)");
  showing_ = true;
  withCombo_->setCurrentIndex(settings_.compareWith);
  actionCombo_->setCurrentIndex(settings_.compareAction);
  ignoreCheck_->setChecked(settings_.examineBangLines);
  showing_ = false;
  controls_->showSettings();
  refresh();
}

void TPreCompForm::refresh() {
  setMark(loadBut_, unit_.inputMark);
  setMark(saveBut_, unit_.outputMark);
  inputLabel_->setText(qt(unit_.inputLabel));
  inputLabel_->setToolTip(qt(unit_.inputHint));
  outputLabel_->setText(qt(unit_.outputLabel));
  outputLabel_->setToolTip(qt(unit_.outputHint));
  saveBut_->setEnabled(unit_.saveButtonEnabled);
  lastBut_->setEnabled(unit_.lastButtonEnabled);
  goBut_->setEnabled(unit_.goEnabled);
  ignoreCheck_->setEnabled(unit_.ignoreCheckEnabled);
  for (QLabel* label : ignoreLabels_) label->setEnabled(unit_.ignoreCheckEnabled);
  relaxCheck_->setChecked(unit_.relaxed);
}

void TPreCompForm::ButLoadFileClick() {
  unit_.chooseInput();
  refresh();
}

void TPreCompForm::ButSaveFileClick() {
  unit_.chooseOutput();
  refresh();
}

void TPreCompForm::ButLastClick() {
  unit_.useLastFiles();
  refresh();
}

void TPreCompForm::GoButClick() {
  if (!unit_.goEnabled) return;
  unit_.go();
  close();
}

}  // namespace sonalog::ui
