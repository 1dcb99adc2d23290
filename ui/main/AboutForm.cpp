#include "ui/main/AboutForm.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPixmap>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/Settings.h"
#include "ui/widgets/QtText.h"
#include "ui/widgets/WrappedLabel.h"

namespace sonalog::ui {

namespace {
constexpr int kTextWidth = 400;  // pixels
}  // namespace

TAboutForm::TAboutForm(WindowPosition& position, const std::string& workingFolder, std::function<void()> openHelp)
    : SmallWindow(position, true) {
  setObjectName("AboutForm");
  setWindowTitle(" About mp3 Sonalog");

  auto* icon = new QLabel;
  icon->setObjectName("Image1");
  icon->setPixmap(QPixmap(":/sonalog.png"));
  auto* name = new QLabel("mp3 Sonalog");
  name->setObjectName("LabName");
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  name->setFont(big);
  auto* version = new QLabel(QString("version %1").arg(SONALOG_VERSION));
  version->setObjectName("LabVersion");
  auto* what = new QLabel(
      "Catalogues mp3 collections: scans folders for mp3 files, reads their playtime, bitrate and "
      "mode, and keeps, views, exports, imports and compares the lists.");
  what->setObjectName("LabWhat");
  auto* folder = new QLabel("Settings and temporary files:\n" + qt(workingFolder));
  folder->setObjectName("LabFolder");
  folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* licence = new QLabel("Licence: not chosen yet; all rights reserved by the authors.");
  licence->setObjectName("LabLicence");
  auto* link = new QLabel("<a href=\"guide\">mp3 Sonalog home page: the user guide</a>");
  link->setObjectName("LabLink");
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  auto* help = new QPushButton("&Help");
  help->setObjectName("ButHelp");
  auto* ok = new QPushButton("OK");
  ok->setObjectName("ButOk");
  ok->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  auto* titles = new QVBoxLayout;
  titles->addWidget(name);
  titles->addWidget(version);
  top->addLayout(titles, 1);
  layout->addLayout(top);
  layout->addWidget(what);
  layout->addWidget(folder);
  layout->addWidget(licence);
  layout->addWidget(link);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(help);
  buttons->addStretch();
  buttons->addWidget(ok);
  layout->addLayout(buttons);
  for (QLabel* l : {what, folder, licence}) fixWrappedLabel(l, kTextWidth);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(ok, &QPushButton::clicked, this, &QWidget::close);
  connect(help, &QPushButton::clicked, this, [openHelp] {
    if (openHelp) openHelp();
  });
  connect(link, &QLabel::linkActivated, this, [openHelp] {
    if (openHelp) openHelp();
  });
}

void TAboutForm::showAbout() {
  placeAtRememberedPosition();
  show();
  raise();
  activateWindow();
}

}  // namespace sonalog::ui
