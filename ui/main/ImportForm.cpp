#include "ui/main/ImportForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QStyle>
#include <QVBoxLayout>

#include "settings/Settings.h"
#include "ui/widgets/ClickableLabel.h"
#include "ui/widgets/QtText.h"
#include "ui/widgets/WindowWait.h"
#include "ui/widgets/WrappedLabel.h"

namespace sonalog::ui {

namespace {

constexpr int kStripRuleIntervalMs = 987;
constexpr int kNoteWidth = 540;  // pixels: the reading note's width, which sets the window's
const QColor kGrey(128, 128, 128);

// The reading note: "\r\t" starts an indented entry of the list of files that cannot be read.
constexpr const char* kReadingNote =
    "READ CAREFULLY: Not all mp3SNLG exported files can be imported. Most of html files are easily "
    "imported due to use of mp3SNLG specific html tags. The following types of files can't be "
    "imported:\r\tany files that contain delimiters in string fields other than filename (path, label "
    "or dates)\r\tplain html or text files with spaces as delimiters (including plain html lists with "
    "pseudo-tabs as delimiters)\r\tfiles too short or too long\r\tfiles that contain only filename and "
    "no other info (enumeration is irrelevant)\r\ttext files with header or footer messages that don't "
    "match current selection in the main options; if they do match, you have to check the checkbox "
    "below in order to import successfully";

QString readingNoteHtml() {
  QString html;
  const QStringList parts = QString(kReadingNote).split("\r\t");
  html += "<p>" + parts.front().toHtmlEscaped() + "</p><ul style=\"margin-left:-20px\">";
  for (qsizetype i = 1; i < parts.size(); ++i) html += "<li>" + parts[i].toHtmlEscaped() + "</li>";
  return html + "</ul>";
}

// The small calendar drawn beside the date-style note, black while the note applies, else grey.
QPixmap datePicture(const QColor& colour) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(colour);
  p.drawRect(1, 2, 13, 12);
  p.fillRect(1, 2, 14, 3, colour);
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) p.fillRect(3 + col * 3, 7 + row * 2, 2, 1, colour);
  return pixmap;
}

void setGrey(QWidget* w, bool grey) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, grey ? kGrey : w->style()->standardPalette().color(QPalette::WindowText));
  p.setColor(QPalette::ButtonText, grey ? kGrey : w->style()->standardPalette().color(QPalette::ButtonText));
  w->setPalette(p);
}

}  // namespace

TImportForm::TImportForm(WindowPosition& position, std::function<bool()> headerOrFooter)
    : SmallWindow(position, true), headerOrFooter_(std::move(headerOrFooter)) {
  setObjectName("ImportForm");
  setWindowTitle(" Import options");
  buildFileTypes();
  buildChecks();
  buildDateChoices();
  buildNotesAndButtons();
  layOut();
}

void TImportForm::buildFileTypes() {
  imacFrame_ = new QGroupBox(" File type ");
  imacFrame_->setObjectName("ImacFrame");
  auto* typeLayout = new QHBoxLayout(imacFrame_);
  const char* typeCaptions[] = {"text/html &exported by mp3SNLG", "&other type text list", "m3u"};
  for (int i = 0; i < 3; ++i) {
    rimcb_[i] = new QRadioButton(typeCaptions[i]);
    rimcb_[i]->setObjectName(QString("Rimcb%1").arg(i + 1));
    typeLayout->addWidget(rimcb_[i]);
    connect(rimcb_[i], &QRadioButton::clicked, this, [this, i] {
      if (!form_) return;
      form_->fileTypeClick(static_cast<ImportFileType>(i));
      refresh();
    });
  }
  typeLayout->addStretch();
}

void TImportForm::buildChecks() {
  auto label = [this](const char* name, const char* text, ImportForm::Check check) {
    auto* l = new ClickableLabel(QString::fromUtf8(text));
    l->setObjectName(name);
    connect(l, &ClickableLabel::clicked, this, [this, check] { checkClick(check); });
    return static_cast<QLabel*>(l);
  };
  QLabel* apLab = label("ApLab", "&Append (merge) to existing list", ImportForm::Check::Append);
  QCheckBox* imapCheck = addCheck("ImapCheck", ImportForm::Check::Append, {apLab});
  QLabel* mircLab = label("MircLab", "E&xamine only \"!user...\" lines (other type text lists)", ImportForm::Check::Mirc);
  QCheckBox* mircCheck = addCheck("MircCheck", ImportForm::Check::Mirc, {mircLab});
  QLabel* cmflab1 = label("cmflab1", "&Calculate missing size or time", ImportForm::Check::CalculateMissing);
  QLabel* cmflab2 = label("cmflab2", "for fixed bitrate mp3's", ImportForm::Check::CalculateMissing);
  QCheckBox* cmfcheck = addCheck("cmfcheck", ImportForm::Check::CalculateMissing, {cmflab1, cmflab2});
  QLabel* clablab1 = label("clablab1", "If path is present and &vol. label", ImportForm::Check::ReadLabels);
  QLabel* clablab2 = label("clablab2", "missing, read current vol. label", ImportForm::Check::ReadLabels);
  QLabel* clablab3 = label("clablab3", "for fixed (hard) disks only", ImportForm::Check::ReadLabels);
  QCheckBox* clabcheck = addCheck("clabcheck", ImportForm::Check::ReadLabels, {clablab1, clablab2, clablab3});
  QLabel* striplab1 =
      label("striplab1", "Strip current &header && footer files if they compare OK", ImportForm::Check::Strip);
  setHint(striplab1,
          "SNLG can only strip header and footer if they are known!\r\nIf this checkbox is disabled (gray), it "
          "means they are not specified.");
  QCheckBox* stripcheck = addCheck("stripcheck", ImportForm::Check::Strip, {striplab1});
  apLab->setBuddy(imapCheck);
  mircLab->setBuddy(mircCheck);
  cmflab1->setBuddy(cmfcheck);
  clablab1->setBuddy(clabcheck);
  striplab1->setBuddy(stripcheck);
}

void TImportForm::buildDateChoices() {
  daradio_ = new QGroupBox(" If date added not found, write: ");
  daradio_->setObjectName("daradio");
  auto* daLayout = new QVBoxLayout(daradio_);
  const char* daCaptions[] = {"Current &date", "&Leave blank (error info)"};
  dsradio_ = new QGroupBox(" If date style can't be determined:");
  dsradio_->setObjectName("dsradio");
  auto* dsLayout = new QVBoxLayout(dsradio_);
  const char* dsCaptions[] = {"Assume &style from main options", "&Prompt"};
  for (int i = 0; i < 2; ++i) {
    daItems_[i] = new QRadioButton(daCaptions[i]);
    daItems_[i]->setObjectName(QString("daradio_%1").arg(i));
    daLayout->addWidget(daItems_[i]);
    connect(daItems_[i], &QRadioButton::clicked, this, [this, i] {
      if (form_) form_->daRadioClick(static_cast<uint8_t>(i));
    });
    dsItems_[i] = new QRadioButton(dsCaptions[i]);
    dsItems_[i]->setObjectName(QString("dsradio_%1").arg(i));
    dsLayout->addWidget(dsItems_[i]);
    connect(dsItems_[i], &QRadioButton::clicked, this, [this, i] {
      if (form_) form_->dsRadioClick(static_cast<uint8_t>(i));
    });
  }
}

void TImportForm::buildNotesAndButtons() {
  label5_ = new QLabel("applies on both text and html lists with date style = \"windows default\"");
  label5_->setObjectName("Label5");
  label5_->setWordWrap(true);
  image1_ = new QLabel;
  image1_->setObjectName("Image1");
  image2_ = new QLabel(readingNoteHtml());
  image2_->setObjectName("Image2");
  image2_->setTextFormat(Qt::RichText);
  image2_->setFrameShape(QFrame::StyledPanel);
  image2_->setMargin(4);
  labDnote_ = new QLabel(
      "Note: mp3SNLG doesn't determine sorting type for text files.\nSorting for these files is set to \"not "
      "sorted\" in internal viewer.");
  labDnote_->setObjectName("LabDnote");
  gobut_ = new QPushButton("&GO");
  gobut_->setObjectName("Gobut");
  gobut_->setDefault(true);
  butCancel_ = new QPushButton("cancel");
  butCancel_->setObjectName("ButCancel");
  timer1_ = new QTimer(this);
  timer1_->setObjectName("Timer1");
  timer1_->setInterval(kStripRuleIntervalMs);
  connect(gobut_, &QPushButton::clicked, this, [this] { GobutClick(); });
  connect(butCancel_, &QPushButton::clicked, this, [this] { ButCancelClick(); });
  connect(timer1_, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

void TImportForm::layOut() {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(imacFrame_);
  auto* checks = new QGridLayout;
  int row = 0;
  for (const CheckRow& c : checks_) {
    checks->addWidget(c.box, row, 0, Qt::AlignTop);
    auto* labels = new QVBoxLayout;
    labels->setSpacing(0);
    for (QLabel* l : c.labels) labels->addWidget(l);
    checks->addLayout(labels, row++, 1);
  }
  checks->setColumnStretch(1, 1);
  layout->addLayout(checks);
  auto* dates = new QHBoxLayout;
  dates->addWidget(daradio_);
  dates->addWidget(dsradio_);
  layout->addLayout(dates);
  auto* note = new QHBoxLayout;
  note->addWidget(image1_, 0, Qt::AlignTop);
  note->addWidget(label5_, 1);
  layout->addLayout(note);
  layout->addWidget(image2_);
  layout->addWidget(labDnote_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(gobut_);
  buttons->addWidget(butCancel_);
  layout->addLayout(buttons);
  // The reading note takes the height its text needs; the window follows its contents.
  fixWrappedLabel(image2_, kNoteWidth);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

QCheckBox* TImportForm::addCheck(const char* name, ImportForm::Check check, std::vector<QLabel*> labels) {
  auto* box = new QCheckBox;
  box->setObjectName(name);
  connect(box, &QCheckBox::clicked, this, [this, check] { checkClick(check); });
  checks_.push_back(CheckRow{check, box, std::move(labels)});
  return box;
}

void TImportForm::checkClick(ImportForm::Check check) {
  if (!form_) return;
  form_->checkClick(check);
  refresh();
  for (const CheckRow& c : checks_)
    if (c.check == check && c.box->isEnabled()) c.box->setFocus();
}

void TImportForm::refresh() {
  if (!form_ || !options_) return;
  const int type = static_cast<int>(options_->fileType);
  for (int i = 0; i < 3; ++i) rimcb_[i]->setChecked(i == type);
  for (const CheckRow& c : checks_) {
    const bool on = form_->enabled(c.check);
    c.box->setEnabled(on);
    c.box->setChecked(form_->checked(c.check));
    for (QLabel* l : c.labels) l->setEnabled(on);
  }
  const bool dates = form_->dateOptionsEnabled();
  daradio_->setEnabled(dates);
  dsradio_->setEnabled(dates);
  daItems_[options_->daRadio & 1]->setChecked(true);
  dsItems_[options_->dsRadio & 1]->setChecked(true);
  for (QWidget* w : std::initializer_list<QWidget*>{daradio_, dsradio_, label5_}) setGrey(w, !dates);
  image1_->setPixmap(datePicture(dates ? QColor(Qt::black) : kGrey));
}

void TImportForm::ask(ImportForm& form, const ImportSettings& options, QWidget* caller) {
  form_ = &form;
  options_ = &options;
  refresh();
  placeAtRememberedPosition();
  gobut_->setFocus();
  timer1_->start();
  if (!form.closed()) showAndWait(*this, caller);
  timer1_->stop();
  form_ = nullptr;
  options_ = nullptr;
}

void TImportForm::GobutClick() {
  if (form_) form_->go();
  close();
}

void TImportForm::ButCancelClick() {
  if (form_) form_->cancel();
  close();
}

void TImportForm::Timer1Timer() {
  if (!form_) return;
  form_->timerTick(headerOrFooter_ && headerOrFooter_());
  refresh();
}

void TImportForm::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  if (form_ && text.size() == 1 && (event->modifiers() & ~Qt::ShiftModifier) == Qt::NoModifier) {
    const char key = static_cast<char>(text.at(0).toUpper().toLatin1());
    const std::pair<char, ImportForm::Check> keys[] = {{'H', ImportForm::Check::Strip},
                                                       {'C', ImportForm::Check::CalculateMissing},
                                                       {'V', ImportForm::Check::ReadLabels},
                                                       {'X', ImportForm::Check::Mirc}};
    for (const auto& [k, check] : keys) {
      if (k == key) {
        checkClick(check);
        return;
      }
    }
  }
  SmallWindow::keyPressEvent(event);
}

void TImportForm::closeEvent(QCloseEvent* event) {
  // The close button counts as cancel.
  if (form_ && !form_->closed()) form_->cancel();
  SmallWindow::closeEvent(event);
}

}  // namespace sonalog::ui
