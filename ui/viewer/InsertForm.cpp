#include "ui/viewer/InsertForm.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "platform/Dates.h"
#include "platform/Paths.h"
#include "platform/Volumes.h"
#include "ui/widgets/QtText.h"
#include "ui/widgets/WindowPlacement.h"

namespace sonalog::ui {

namespace {

constexpr int kStepRepeatMs = 220;
const QDate kDayZero(1899, 12, 30);

QDate dateOf(int32_t day) { return kDayZero.addDays(day); }
int32_t dayOf(const QDate& d) { return static_cast<int32_t>(kDayZero.daysTo(d)); }

}  // namespace

TInsertForm::TInsertForm(InsertUnit& editor, Settings& settings, QWidget* parent)
    : QDialog(parent), editor_(editor), settings_(settings) {
  setObjectName("TInsertForm");
  setWindowTitle(QStringLiteral(" Editor"));
  const ListItem& rec = editor.record();
  grid_ = new QGridLayout;
  int row = 0;
  addText(row++, "Title:", "NazivEdit", rec.fileName, kMaxEditFileName, "title (filename)",
          &InsertUnit::setFileName, 3);
  buildFrames(row++);
  addCombo(row++, "Frequency:", "ComboFreq", kFrequencyChoices, editor.frequencyChoice(),
           &InsertUnit::setFrequencyChoice);
  buildPlaytime(row++);
  addCombo(row++, "Bitrate:", "KbpsCombo", kBitrateChoices, editor.bitrateChoice(),
           &InsertUnit::setBitrateChoice);
  setHint(addCombo(row++, "Mode:", "StereoCombo", kStereoChoices, editor.stereoChoice(),
                   &InsertUnit::setStereoChoice),
          "S = stereo\r\nJS = joint stereo\r\nDC = dual channel\r\nM = mono");
  addText(row++, "Size [KB]:", "KbEdit", editor.sizeText(), kMaxSizeText, "size in kilobytes",
          &InsertUnit::setSizeText);
  buildDate(row++, "CreatedPicker", "CreatedLabel", rec.fileDate, true);
  buildDate(row++, "AddedPicker", "AddedLabel", rec.dateAdded, false);
  buildLabel(row++);
  buildFolder(row++);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid_);
  layout->addWidget(buildPlacement());
  layout->addLayout(buildButtons());

  // Enter moves on through the fields in their order.
  for (QWidget* w : findChildren<QLineEdit*>()) w->installEventFilter(this);
  for (QWidget* w : findChildren<QComboBox*>()) w->installEventFilter(this);
  for (QWidget* w : findChildren<QDateEdit*>()) w->installEventFilter(this);
  refresh();
  sonalog::ui::restoreGeometry(this, settings.insertEditWindowPos.left, settings.insertEditWindowPos.top, 0, 0);
  connect(this, &QDialog::finished, this, [this] {
    settings_.insertEditWindowPos = {geometry().x(), geometry().y()};
  });
}

QLabel* TInsertForm::addLabel(int row, const char* text) {
  auto* label = new QLabel(QString::fromUtf8(text), this);
  grid_->addWidget(label, row, 0);
  return label;
}

QLineEdit* TInsertForm::addText(int row, const char* label, const char* name, const std::string& text,
                                size_t maxLength, const char* hint,
                                void (InsertUnit::*set)(std::string_view), int span) {
  auto* edit = new QLineEdit(qt(text), this);
  edit->setObjectName(name);
  edit->setMaxLength(static_cast<int>(maxLength));
  setHint(edit, hint);
  addLabel(row, label);
  grid_->addWidget(edit, row, 1, 1, span);
  connect(edit, &QLineEdit::textEdited, this, [this, set](const QString& t) {
    (editor_.*set)(toStd(t));
    refresh();
  });
  return edit;
}

template <size_t N>
QComboBox* TInsertForm::addCombo(int row, const char* label, const char* name,
                                 const std::array<const char*, N>& items, int current,
                                 void (InsertUnit::*set)(int)) {
  auto* box = new QComboBox(this);
  box->setObjectName(name);
  for (const char* item : items) box->addItem(QString::fromUtf8(item));
  box->setCurrentIndex(current);
  addLabel(row, label);
  grid_->addWidget(box, row, 1);
  connect(box, &QComboBox::activated, this, [this, set](int i) {
    (editor_.*set)(i);
    refresh();
  });
  return box;
}

QPushButton* TInsertForm::addStep(int row, int column, const char* name, const char* caption,
                                  bool seconds, int direction) {
  auto* button = new QPushButton(QString::fromUtf8(caption), this);
  button->setObjectName(name);
  button->setAutoRepeat(true);
  button->setAutoRepeatInterval(kStepRepeatMs);
  button->setAutoDefault(false);
  grid_->addWidget(button, row, column);
  connect(button, &QPushButton::clicked, this, [this, seconds, direction] {
    if (seconds)
      editor_.stepSeconds(direction);
    else
      editor_.stepFrames(direction);
    frameEdit_->setText(qt(editor_.framesText()));
    refresh();
  });
  return button;
}

void TInsertForm::buildFrames(int row) {
  frameEdit_ = addText(row, "Frames:", "FrameEdit", editor_.framesText(), kMaxFramesText,
                       "number of frames", &InsertUnit::setFramesText);
  addStep(row, 2, "cmsb1", "+", false, 1);
  addStep(row, 3, "cmsb3", "-", false, -1);
}

void TInsertForm::buildPlaytime(int row) {
  labMinSec_ = new QLabel(this);
  labMinSec_->setObjectName("LabMinSec");
  setHint(labMinSec_, "Playtime -> you must edit number of frames or frequency to set it");
  addLabel(row, "Playtime:");
  grid_->addWidget(labMinSec_, row, 1);
  addStep(row, 2, "cmsb2", "+1s", true, 1);
  addStep(row, 3, "cmsb4", "-1s", true, -1);
}

void TInsertForm::buildLabel(int row) {
  labEdit_ = addText(row, "Label:", "LabEdit", editor_.record().volumeLabel, kMaxVolumeLabelBytes,
                     "enter label as text", &InsertUnit::setVolumeLabel);
  diskCombo_ = new QComboBox(this);
  diskCombo_->setObjectName("DiskCombo");
  diskCombo_->hide();
  grid_->addWidget(diskCombo_, row, 1);
  auto* diskBut = new QPushButton(QStringLiteral("..."), this);
  diskBut->setObjectName("DiskBut");
  diskBut->setAutoDefault(false);
  grid_->addWidget(diskBut, row, 2);
  connect(diskBut, &QPushButton::clicked, this, [this] {
    diskCombo_->clear();
    for (const platform::Volume& v : platform::mountedVolumes())
      diskCombo_->addItem(qt(v.mountPoint + (v.label.empty() ? "" : "  [" + v.label + "]")),
                          qt(v.label));
    labEdit_->hide();
    diskCombo_->show();
    diskCombo_->showPopup();
  });
  connect(diskCombo_, &QComboBox::activated, this, [this](int i) {
    const QString chosen = diskCombo_->itemData(i).toString();
    editor_.setVolumeLabel(toStd(chosen));
    labEdit_->setText(chosen);
    diskCombo_->hide();
    labEdit_->show();
    refresh();
  });
}

void TInsertForm::buildFolder(int row) {
  dirEdit_ = addText(row, "Path:", "DirEdit", editor_.record().folder, kMaxEditFolder,
                     "enter path as text", &InsertUnit::setFolder, 2);
  auto* dirBut = new QPushButton(QStringLiteral("..."), this);
  dirBut->setObjectName("DirBut");
  dirBut->setAutoDefault(false);
  grid_->addWidget(dirBut, row, 3);
  connect(dirBut, &QPushButton::clicked, this, &TInsertForm::chooseFolder);
}

QGroupBox* TInsertForm::buildPlacement() {
  auto* placement = new QGroupBox(this);
  placement->setObjectName("PlacementGroup");
  setHint(placement, "set re-sorting mode after altering or adding this entry");
  auto* pl = new QVBoxLayout(placement);
  const auto choices = editor_.placementChoices();
  for (int i = 0; i < 4; ++i) {
    rbut_[i] = new QRadioButton(qt(choices[static_cast<size_t>(i)].caption), placement);
    rbut_[i]->setObjectName(QStringLiteral("rbut%1").arg(i + 1));
    rbut_[i]->setEnabled(choices[static_cast<size_t>(i)].enabled);
    rbut_[i]->setChecked(i == editor_.initialChoice());
    pl->addWidget(rbut_[i]);
  }
  return placement;
}

QHBoxLayout* TInsertForm::buildButtons() {
  okBut_ = new QPushButton(QString::fromUtf8(editor_.okCaption()), this);
  okBut_->setObjectName("OkBut");
  okBut_->setDefault(false);
  okBut_->setAutoDefault(false);
  auto* cancel = new QPushButton(QStringLiteral("cancel"), this);
  cancel->setObjectName("CancelBut");
  cancel->setAutoDefault(false);
  connect(okBut_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(okBut_);
  buttons->addWidget(cancel);
  return buttons;
}

void TInsertForm::buildDate(int row, const char* name, const char* labelName, int32_t day,
                            bool created) {
  auto* stack = new QStackedWidget(this);
  auto* unset = new QPushButton(QStringLiteral("- click to set -"), stack);
  unset->setObjectName(labelName);
  unset->setFlat(true);
  unset->setAutoDefault(false);
  auto* picker = new QDateEdit(stack);
  picker->setObjectName(name);
  picker->setCalendarPopup(true);
  picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  picker->setDate(InsertUnit::dateUnset(day) ? dateOf(platform::today()) : dateOf(day));
  stack->addWidget(unset);
  stack->addWidget(picker);
  stack->setCurrentIndex(InsertUnit::dateUnset(day) ? 0 : 1);
  auto set = [this, created](int32_t d) {
    if (created)
      editor_.setFileDate(d);
    else
      editor_.setDateAdded(d);
    refresh();
  };
  connect(unset, &QPushButton::clicked, this, [stack, picker, set] {
    stack->setCurrentIndex(1);
    set(dayOf(picker->date()));
    picker->setFocus();
  });
  connect(picker, &QDateEdit::dateChanged, this, [set](const QDate& d) { set(dayOf(d)); });
  addLabel(row, created ? "Date created:" : "Date added:");
  grid_->addWidget(stack, row, 1);
}

int TInsertForm::choice() const {
  for (int i = 0; i < 4; ++i)
    if (rbut_[i]->isChecked()) return i;
  return -1;
}

void TInsertForm::refresh() {
  labMinSec_->setText(qt(editor_.playtimeLabel()));
  okBut_->setEnabled(editor_.okEnabled());
}

void TInsertForm::chooseFolder() {
  QString start = qt(settings_.insertEditFolder);
  if (start.isEmpty()) start = qt(platform::homeFolder());
  const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Path"), start);
  if (folder.isEmpty()) return;
  const std::string chosen = platform::stripTrailingSeparator(toStd(folder));
  settings_.insertEditFolder = chosen;
  editor_.setFolder(chosen);
  dirEdit_->setText(qt(chosen));
  refresh();
}

bool TInsertForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      focusNextChild();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace sonalog::ui
