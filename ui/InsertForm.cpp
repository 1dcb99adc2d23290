#include "ui/InsertForm.h"

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
#include "ui/QtText.h"
#include "ui/WindowPlacement.h"

namespace sonalog::ui {

namespace {

constexpr int kStepRepeatMs = 220;
const QDate kDayZero(1899, 12, 30);

QDate dateOf(int32_t day) { return kDayZero.addDays(day); }
int32_t dayOf(const QDate& d) { return static_cast<int32_t>(kDayZero.daysTo(d)); }

QLineEdit* lineEdit(QWidget* parent, const char* name, const std::string& text, int maxLength,
                    const char* hint) {
  auto* e = new QLineEdit(qt(text), parent);
  e->setObjectName(name);
  e->setMaxLength(maxLength);
  setHint(e, hint);
  return e;
}

QComboBox* combo(QWidget* parent, const char* name, const auto& items, int current) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  for (const char* item : items) c->addItem(QString::fromUtf8(item));
  c->setCurrentIndex(current);
  return c;
}

}  // namespace

TInsertForm::TInsertForm(InsertUnit& editor, Settings& settings, QWidget* parent)
    : QDialog(parent), editor_(editor), settings_(settings) {
  setObjectName("TInsertForm");
  setWindowTitle(QStringLiteral(" Editor"));
  const ListItem& rec = editor.record();
  grid_ = new QGridLayout;
  int row = 0;
  auto label = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };

  auto* naziv = lineEdit(this, "NazivEdit", rec.fileName, static_cast<int>(kMaxEditFileName),
                         "title (filename)");
  grid_->addWidget(label("Title:"), row, 0);
  grid_->addWidget(naziv, row++, 1, 1, 3);
  connect(naziv, &QLineEdit::textEdited, this, [this](const QString& t) {
    editor_.setFileName(toStd(t));
    refresh();
  });

  frameEdit_ = lineEdit(this, "FrameEdit", editor.framesText(), static_cast<int>(kMaxFramesText),
                        "number of frames");
  auto* cmsb1 = new QPushButton(QStringLiteral("+"), this);
  cmsb1->setObjectName("cmsb1");
  auto* cmsb3 = new QPushButton(QStringLiteral("-"), this);
  cmsb3->setObjectName("cmsb3");
  grid_->addWidget(label("Frames:"), row, 0);
  grid_->addWidget(frameEdit_, row, 1);
  grid_->addWidget(cmsb1, row, 2);
  grid_->addWidget(cmsb3, row++, 3);
  connect(frameEdit_, &QLineEdit::textEdited, this, [this](const QString& t) {
    editor_.setFramesText(toStd(t));
    refresh();
  });

  auto* comboFreq = combo(this, "ComboFreq", kFrequencyChoices, editor.frequencyChoice());
  grid_->addWidget(label("Frequency:"), row, 0);
  grid_->addWidget(comboFreq, row++, 1);
  connect(comboFreq, &QComboBox::activated, this, [this](int i) {
    editor_.setFrequencyChoice(i);
    refresh();
  });

  labMinSec_ = new QLabel(this);
  labMinSec_->setObjectName("LabMinSec");
  setHint(labMinSec_, "Playtime -> you must edit number of frames or frequency to set it");
  auto* cmsb2 = new QPushButton(QStringLiteral("+1s"), this);
  cmsb2->setObjectName("cmsb2");
  auto* cmsb4 = new QPushButton(QStringLiteral("-1s"), this);
  cmsb4->setObjectName("cmsb4");
  grid_->addWidget(label("Playtime:"), row, 0);
  grid_->addWidget(labMinSec_, row, 1);
  grid_->addWidget(cmsb2, row, 2);
  grid_->addWidget(cmsb4, row++, 3);
  struct Step {
    QPushButton* button;
    bool seconds;
    int direction;
  };
  for (const Step& s : {Step{cmsb1, false, 1}, Step{cmsb3, false, -1}, Step{cmsb2, true, 1},
                        Step{cmsb4, true, -1}}) {
    s.button->setAutoRepeat(true);
    s.button->setAutoRepeatInterval(kStepRepeatMs);
    s.button->setAutoDefault(false);
    connect(s.button, &QPushButton::clicked, this, [this, s] {
      if (s.seconds)
        editor_.stepSeconds(s.direction);
      else
        editor_.stepFrames(s.direction);
      frameEdit_->setText(qt(editor_.framesText()));
      refresh();
    });
  }

  auto* kbps = combo(this, "KbpsCombo", kBitrateChoices, editor.bitrateChoice());
  grid_->addWidget(label("Bitrate:"), row, 0);
  grid_->addWidget(kbps, row++, 1);
  connect(kbps, &QComboBox::activated, this, [this](int i) {
    editor_.setBitrateChoice(i);
    refresh();
  });

  auto* stereo = combo(this, "StereoCombo", kStereoChoices, editor.stereoChoice());
  setHint(stereo, "S = stereo\r\nJS = joint stereo\r\nDC = dual channel\r\nM = mono");
  grid_->addWidget(label("Mode:"), row, 0);
  grid_->addWidget(stereo, row++, 1);
  connect(stereo, &QComboBox::activated, this, [this](int i) {
    editor_.setStereoChoice(i);
    refresh();
  });

  auto* kb = lineEdit(this, "KbEdit", editor.sizeText(), static_cast<int>(kMaxSizeText),
                      "size in kilobytes");
  grid_->addWidget(label("Size [KB]:"), row, 0);
  grid_->addWidget(kb, row++, 1);
  connect(kb, &QLineEdit::textEdited, this, [this](const QString& t) {
    editor_.setSizeText(toStd(t));
    refresh();
  });

  buildDate(row++, "CreatedPicker", "CreatedLabel", rec.fileDate, true);
  buildDate(row++, "AddedPicker", "AddedLabel", rec.dateAdded, false);

  labEdit_ = lineEdit(this, "LabEdit", rec.volumeLabel, static_cast<int>(kMaxVolumeLabelBytes),
                      "enter label as text");
  diskCombo_ = new QComboBox(this);
  diskCombo_->setObjectName("DiskCombo");
  diskCombo_->hide();
  auto* diskBut = new QPushButton(QStringLiteral("..."), this);
  diskBut->setObjectName("DiskBut");
  diskBut->setAutoDefault(false);
  grid_->addWidget(label("Label:"), row, 0);
  grid_->addWidget(labEdit_, row, 1);
  grid_->addWidget(diskCombo_, row, 1);
  grid_->addWidget(diskBut, row++, 2);
  connect(labEdit_, &QLineEdit::textEdited, this, [this](const QString& t) {
    editor_.setVolumeLabel(toStd(t));
    refresh();
  });
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

  dirEdit_ = lineEdit(this, "DirEdit", rec.folder, static_cast<int>(kMaxEditFolder),
                      "enter path as text");
  auto* dirBut = new QPushButton(QStringLiteral("..."), this);
  dirBut->setObjectName("DirBut");
  dirBut->setAutoDefault(false);
  grid_->addWidget(label("Path:"), row, 0);
  grid_->addWidget(dirEdit_, row, 1, 1, 2);
  grid_->addWidget(dirBut, row++, 3);
  connect(dirEdit_, &QLineEdit::textEdited, this, [this](const QString& t) {
    editor_.setFolder(toStd(t));
    refresh();
  });
  connect(dirBut, &QPushButton::clicked, this, &TInsertForm::chooseFolder);

  auto* placement = new QGroupBox(this);
  placement->setObjectName("PlacementGroup");
  setHint(placement, "set re-sorting mode after altering or adding this entry");
  auto* pl = new QVBoxLayout(placement);
  const auto choices = editor.placementChoices();
  for (int i = 0; i < 4; ++i) {
    rbut_[i] = new QRadioButton(qt(choices[static_cast<size_t>(i)].caption), placement);
    rbut_[i]->setObjectName(QStringLiteral("rbut%1").arg(i + 1));
    rbut_[i]->setEnabled(choices[static_cast<size_t>(i)].enabled);
    rbut_[i]->setChecked(i == editor.initialChoice());
    pl->addWidget(rbut_[i]);
  }

  okBut_ = new QPushButton(QString::fromUtf8(editor.okCaption()), this);
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

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid_);
  layout->addWidget(placement);
  layout->addLayout(buttons);

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
  grid_->addWidget(new QLabel(created ? QStringLiteral("Date created:") : QStringLiteral("Date added:"), this),
                   row, 0);
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
