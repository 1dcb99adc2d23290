// The main window's controls: built one group at a time, laid out, and the folder side connected.
#include "ui/main/MainForm.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/widgets/QtSettings.h"
#include "ui/widgets/QtText.h"

namespace sonalog::ui {

namespace {

struct SizeEntry {
  const char* caption;
  int size;
};
constexpr SizeEntry kPopMainSizes[] = {{"size=&6", 6},  {"size=&8", 8},   {"size=&9", 9},  {"size=1&0 (default)", 10},
                                       {"size=1&1", 11}, {"size=1&2", 12}, {"si&ze=16", 16}};

QPushButton* button(const char* name, const char* caption, const char* hint) {
  auto* b = new QPushButton(caption);
  b->setObjectName(name);
  setHint(b, hint);
  return b;
}

}  // namespace

void TMainForm::buildControls() {
  buildFolderControls();
  buildCommandButtons();
  buildMenus();
  buildStatusLine();
  layOutControls();
  connectFolderControls();
}

void TMainForm::buildFolderControls() {
  drive1_ = new QComboBox;
  drive1_->setObjectName("Drive1");
  setHint(drive1_, "The drive to scan");
  folders_ = new QFileSystemModel(this);
  folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  folders_->setReadOnly(true);
  folders_->setRootPath("/");
  editFolder_ = new QLineEdit;
  editFolder_->setObjectName("EditFolder");
  setHint(editFolder_, "The folder to scan: type or paste a path and press Enter");
  dir1_ = new QTreeView;
  dir1_->setObjectName("Dir1");
  dir1_->setModel(folders_);
  for (int column = 1; column < folders_->columnCount(); ++column) dir1_->hideColumn(column);
  dir1_->header()->hide();
  dir1_->setContextMenuPolicy(Qt::CustomContextMenu);
  setHint(dir1_, "The folder to scan; right-click for the font");

  sadcheck_ = new QCheckBox("Search all &drives");
  sadcheck_->setObjectName("sadcheck");
  setHint(sadcheck_, "Scan every mounted drive instead of one folder");
  incbox_ = new QCheckBox("&Include subfolders");
  incbox_->setObjectName("Incbox");
  setHint(incbox_, "Scan the folders below the chosen one too");
  updn1_ = new QSpinBox;
  updn1_->setObjectName("updn1");
  updn1_->setRange(kMinFolderFontSize, kMaxFolderFontSize);
  setHint(updn1_, "Font size of the folder list (+ and - keys)");
  butFont_ = button("ButFont", "F", "Choose the font of the folder list");
  butFont_->setFixedWidth(butFont_->fontMetrics().horizontalAdvance("WW") + 12);
}

void TMainForm::buildCommandButtons() {
  struct Command {
    QPushButton* TMainForm::*button;
    const char* name;
    const char* caption;
    const char* hint;
    std::function<void(TMainForm&)> click;
  };
  const Command commands[] = {
      {&TMainForm::startBut_, "StartBut", "&NEW", "Scan into a new list", &TMainForm::StartButClick},
      {&TMainForm::apbut_, "apbut", "A&PPEND", "Scan and add to the list", &TMainForm::apbutClick},
      {&TMainForm::cancelbutton_, "Cancelbutton", "CANCEL", "Stop the scan (Esc)", &TMainForm::CancelbuttonClick},
      {&TMainForm::loadBut_, "LoadBut", "&Load", "Load a saved list (hold Ctrl to see the load options again)",
       [](TMainForm& f) { f.LoadButClick(QApplication::keyboardModifiers() & Qt::ControlModifier); }},
      {&TMainForm::saveBut_, "SaveBut", "&Save as", "Save the list to a file", &TMainForm::SaveButClick},
      {&TMainForm::importBut_, "ImportBut", "I&mport", "Read an exported text or html list, or a playlist, back",
       &TMainForm::ImportButClick},
      {&TMainForm::exportBut_, "ExportBut", "E&xport", "Export the list in the type chosen in the options",
       &TMainForm::ExportButClick},
      {&TMainForm::butBatch_, "ButBatch", "Batc&h", "Export one list per folder",
       [](TMainForm& f) { f.pmenuRecur_->popup(f.butBatch_->mapToGlobal(QPoint(0, f.butBatch_->height()))); }},
      {&TMainForm::viewBut_, "ViewBut", "&View", "View, sort, find and edit the list", &TMainForm::ViewButClick},
      {&TMainForm::extViewBut_, "ExtViewBut", "Vie&w ext.", "Open the last exported file", &TMainForm::ExtViewButClick},
      {&TMainForm::optBut_, "OptBut", "&Options", "Settings of the scan, the exports and the windows",
       &TMainForm::OptButClick},
      {&TMainForm::aboutBut_, "AboutBut", "A&bout", "About this program", &TMainForm::AboutButClick},
  };
  for (const Command& c : commands) {
    QPushButton* b = button(c.name, c.caption, c.hint);
    this->*c.button = b;
    connect(b, &QPushButton::clicked, this, [this, click = c.click] { click(*this); });
  }
}

void TMainForm::buildMenus() {
  pmenuRecur_ = new QMenu(this);
  pmenuRecur_->setObjectName("PmenuRecur");
  for (const BatchMenuItem& item : kBatchMenu) {
    QAction* a = pmenuRecur_->addAction(item.caption);
    a->setObjectName(item.name);
    const BatchStyle style = item.style;
    connect(a, &QAction::triggered, this, [this, style] { batchClick(style); });
  }
  popMain_ = new QMenu(this);
  popMain_->setObjectName("PopMain");
  QAction* chooseFont = popMain_->addAction("Choose &font");
  connect(chooseFont, &QAction::triggered, this, [this] { butFont_->click(); });
  popMain_->addSeparator();
  auto* sizes = new QActionGroup(popMain_);
  for (const SizeEntry& e : kPopMainSizes) {
    QAction* a = popMain_->addAction(e.caption);
    a->setCheckable(true);
    a->setData(e.size);
    sizes->addAction(a);
    const int size = e.size;
    connect(a, &QAction::triggered, this, [this, size] { setFolderFontSize(size); });
  }
}

void TMainForm::buildStatusLine() {
  label1_ = new QLabel("Ready.");
  label1_->setObjectName("Label1");
  label1_->setFrameShape(QFrame::StyledPanel);
  label1_->setFrameShadow(QFrame::Sunken);
  label1_->setMinimumWidth(100);
  label1_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  label1_->installEventFilter(this);
  setHint(label1_, "Double-click to read the whole text");
  timerve_ = new QTimer(this);
  timerve_->setObjectName("timerve");
  timerve_->setSingleShot(true);
  timerve_->setInterval(MainUnit::kViewExternalRestMs);
  connect(timerve_, &QTimer::timeout, this, [this] {
    main_.viewExternalTimer();
    updateCommands();
  });
}

void TMainForm::layOutControls() {
  // Left: where to scan. Right: the commands, grouped by what they work on.
  auto* left = new QVBoxLayout;
  left->addWidget(drive1_);
  left->addWidget(editFolder_);
  left->addWidget(dir1_, 1);
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(sadcheck_);
  fontRow->addStretch();
  fontRow->addWidget(updn1_);
  fontRow->addWidget(butFont_);
  left->addLayout(fontRow);
  left->addWidget(incbox_);

  auto* right = new QVBoxLayout;
  const auto row = [right](std::initializer_list<QWidget*> widgets) {
    auto* r = new QHBoxLayout;
    for (QWidget* w : widgets) r->addWidget(w);
    right->addLayout(r);
  };
  row({startBut_, apbut_, cancelbutton_});
  right->addSpacing(10);
  auto* files = new QGridLayout;
  files->addWidget(loadBut_, 0, 0);
  files->addWidget(saveBut_, 0, 1);
  files->addWidget(importBut_, 1, 0);
  files->addWidget(exportBut_, 1, 1);
  files->addWidget(butBatch_, 2, 1);
  right->addLayout(files);
  right->addSpacing(10);
  row({viewBut_, extViewBut_});
  right->addStretch();
  row({optBut_, aboutBut_});

  auto* top = new QHBoxLayout;
  top->addLayout(left, 3);
  top->addLayout(right, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(label1_);
}

void TMainForm::connectFolderControls() {
  connect(sadcheck_, &QCheckBox::toggled, this, [this](bool on) {
    main_.setSearchAllDrives(on);
    updateCommands();
  });
  connect(incbox_, &QCheckBox::toggled, this, [this](bool on) { main_.setIncludeSubfolders(on); });
  connect(updn1_, &QSpinBox::valueChanged, this, [this](int size) { setFolderFontSize(size); });
  connect(butFont_, &QPushButton::clicked, this, [this] {
    FontSetting& f = main_.settings().folderTreeFont;
    const std::optional<FontSetting> chosen = chooseFontSetting(f, this);
    if (!chosen) return;
    f.name = chosen->name;
    f.style = chosen->style;
    setFolderFontSize(chosen->size);
  });
  connect(dir1_, &QTreeView::customContextMenuRequested, this,
          [this](const QPoint& at) { popMain_->popup(dir1_->viewport()->mapToGlobal(at)); });
  connect(editFolder_, &QLineEdit::returnPressed, this, [this] { folderTyped(); });
  connect(drive1_, &QComboBox::activated, this, [this](int index) { driveChanged(index); });
  connect(dir1_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { folderChosen(); });
  // The model reads folders in the background: the folder shown by the program is brought into
  // view again as its parents arrive, until the user picks another one.
  connect(folders_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
    if (revealFolder_.isEmpty() || !revealFolder_.startsWith(loaded)) return;
    const QModelIndex index = folders_->index(revealFolder_);
    if (!index.isValid()) return;
    showingFolder_ = true;
    dir1_->setCurrentIndex(index);
    dir1_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    showingFolder_ = false;
  });
}

}  // namespace sonalog::ui
