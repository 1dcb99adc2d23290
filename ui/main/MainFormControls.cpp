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
  Drive1 = new QComboBox;
  Drive1->setObjectName("Drive1");
  setHint(Drive1, "The drive to scan");
  folders_ = new QFileSystemModel(this);
  folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  folders_->setReadOnly(true);
  folders_->setRootPath("/");
  EditFolder = new QLineEdit;
  EditFolder->setObjectName("EditFolder");
  setHint(EditFolder, "The folder to scan: type or paste a path and press Enter");
  Dir1 = new QTreeView;
  Dir1->setObjectName("Dir1");
  Dir1->setModel(folders_);
  for (int column = 1; column < folders_->columnCount(); ++column) Dir1->hideColumn(column);
  Dir1->header()->hide();
  Dir1->setContextMenuPolicy(Qt::CustomContextMenu);
  setHint(Dir1, "The folder to scan; right-click for the font");

  sadcheck = new QCheckBox("Search all &drives");
  sadcheck->setObjectName("sadcheck");
  setHint(sadcheck, "Scan every mounted drive instead of one folder");
  Incbox = new QCheckBox("&Include subfolders");
  Incbox->setObjectName("Incbox");
  setHint(Incbox, "Scan the folders below the chosen one too");
  updn1 = new QSpinBox;
  updn1->setObjectName("updn1");
  updn1->setRange(kMinFolderFontSize, kMaxFolderFontSize);
  setHint(updn1, "Font size of the folder list (+ and - keys)");
  ButFont = button("ButFont", "F", "Choose the font of the folder list");
  ButFont->setFixedWidth(ButFont->fontMetrics().horizontalAdvance("WW") + 12);
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
      {&TMainForm::StartBut, "StartBut", "&NEW", "Scan into a new list", &TMainForm::StartButClick},
      {&TMainForm::apbut, "apbut", "A&PPEND", "Scan and add to the list", &TMainForm::apbutClick},
      {&TMainForm::Cancelbutton, "Cancelbutton", "CANCEL", "Stop the scan (Esc)", &TMainForm::CancelbuttonClick},
      {&TMainForm::LoadBut, "LoadBut", "&Load", "Load a saved list (hold Ctrl to see the load options again)",
       [](TMainForm& f) { f.LoadButClick(QApplication::keyboardModifiers() & Qt::ControlModifier); }},
      {&TMainForm::SaveBut, "SaveBut", "&Save as", "Save the list to a file", &TMainForm::SaveButClick},
      {&TMainForm::ImportBut, "ImportBut", "I&mport", "Read an exported text or html list, or a playlist, back",
       &TMainForm::ImportButClick},
      {&TMainForm::ExportBut, "ExportBut", "E&xport", "Export the list in the type chosen in the options",
       &TMainForm::ExportButClick},
      {&TMainForm::ButBatch, "ButBatch", "Batc&h", "Export one list per folder",
       [](TMainForm& f) { f.PmenuRecur->popup(f.ButBatch->mapToGlobal(QPoint(0, f.ButBatch->height()))); }},
      {&TMainForm::ViewBut, "ViewBut", "&View", "View, sort, find and edit the list", &TMainForm::ViewButClick},
      {&TMainForm::ExtViewBut, "ExtViewBut", "Vie&w ext.", "Open the last exported file", &TMainForm::ExtViewButClick},
      {&TMainForm::OptBut, "OptBut", "&Options", "Settings of the scan, the exports and the windows",
       &TMainForm::OptButClick},
      {&TMainForm::AboutBut, "AboutBut", "A&bout", "About this program", &TMainForm::AboutButClick},
  };
  for (const Command& c : commands) {
    QPushButton* b = button(c.name, c.caption, c.hint);
    this->*c.button = b;
    connect(b, &QPushButton::clicked, this, [this, click = c.click] { click(*this); });
  }
}

void TMainForm::buildMenus() {
  PmenuRecur = new QMenu(this);
  PmenuRecur->setObjectName("PmenuRecur");
  for (const BatchMenuItem& item : kBatchMenu) {
    QAction* a = PmenuRecur->addAction(item.caption);
    a->setObjectName(item.name);
    const BatchStyle style = item.style;
    connect(a, &QAction::triggered, this, [this, style] { batchClick(style); });
  }
  PopMain = new QMenu(this);
  PopMain->setObjectName("PopMain");
  QAction* chooseFont = PopMain->addAction("Choose &font");
  connect(chooseFont, &QAction::triggered, this, [this] { ButFont->click(); });
  PopMain->addSeparator();
  auto* sizes = new QActionGroup(PopMain);
  for (const SizeEntry& e : kPopMainSizes) {
    QAction* a = PopMain->addAction(e.caption);
    a->setCheckable(true);
    a->setData(e.size);
    sizes->addAction(a);
    const int size = e.size;
    connect(a, &QAction::triggered, this, [this, size] { setFolderFontSize(size); });
  }
}

void TMainForm::buildStatusLine() {
  Label1 = new QLabel("Ready.");
  Label1->setObjectName("Label1");
  Label1->setFrameShape(QFrame::StyledPanel);
  Label1->setFrameShadow(QFrame::Sunken);
  Label1->setMinimumWidth(100);
  Label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  Label1->installEventFilter(this);
  setHint(Label1, "Double-click to read the whole text");
  timerve = new QTimer(this);
  timerve->setObjectName("timerve");
  timerve->setSingleShot(true);
  timerve->setInterval(MainUnit::kViewExternalRestMs);
  connect(timerve, &QTimer::timeout, this, [this] {
    main_.viewExternalTimer();
    updateCommands();
  });
}

void TMainForm::layOutControls() {
  // Left: where to scan. Right: the commands, grouped by what they work on.
  auto* left = new QVBoxLayout;
  left->addWidget(Drive1);
  left->addWidget(EditFolder);
  left->addWidget(Dir1, 1);
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(sadcheck);
  fontRow->addStretch();
  fontRow->addWidget(updn1);
  fontRow->addWidget(ButFont);
  left->addLayout(fontRow);
  left->addWidget(Incbox);

  auto* right = new QVBoxLayout;
  const auto row = [right](std::initializer_list<QWidget*> widgets) {
    auto* r = new QHBoxLayout;
    for (QWidget* w : widgets) r->addWidget(w);
    right->addLayout(r);
  };
  row({StartBut, apbut, Cancelbutton});
  right->addSpacing(10);
  auto* files = new QGridLayout;
  files->addWidget(LoadBut, 0, 0);
  files->addWidget(SaveBut, 0, 1);
  files->addWidget(ImportBut, 1, 0);
  files->addWidget(ExportBut, 1, 1);
  files->addWidget(ButBatch, 2, 1);
  right->addLayout(files);
  right->addSpacing(10);
  row({ViewBut, ExtViewBut});
  right->addStretch();
  row({OptBut, AboutBut});

  auto* top = new QHBoxLayout;
  top->addLayout(left, 3);
  top->addLayout(right, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(Label1);
}

void TMainForm::connectFolderControls() {
  connect(sadcheck, &QCheckBox::toggled, this, [this](bool on) {
    main_.setSearchAllDrives(on);
    updateCommands();
  });
  connect(Incbox, &QCheckBox::toggled, this, [this](bool on) { main_.setIncludeSubfolders(on); });
  connect(updn1, &QSpinBox::valueChanged, this, [this](int size) { setFolderFontSize(size); });
  connect(ButFont, &QPushButton::clicked, this, [this] {
    FontSetting& f = main_.settings().folderTreeFont;
    const std::optional<FontSetting> chosen = chooseFontSetting(f, this);
    if (!chosen) return;
    f.name = chosen->name;
    f.style = chosen->style;
    setFolderFontSize(chosen->size);
  });
  connect(Dir1, &QTreeView::customContextMenuRequested, this,
          [this](const QPoint& at) { PopMain->popup(Dir1->viewport()->mapToGlobal(at)); });
  connect(EditFolder, &QLineEdit::returnPressed, this, [this] { folderTyped(); });
  connect(Drive1, &QComboBox::activated, this, [this](int index) { driveChanged(index); });
  connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { folderChosen(); });
  // The model reads folders in the background: the folder shown by the program is brought into
  // view again as its parents arrive, until the user picks another one.
  connect(folders_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
    if (revealFolder_.isEmpty() || !revealFolder_.startsWith(loaded)) return;
    const QModelIndex index = folders_->index(revealFolder_);
    if (!index.isValid()) return;
    showingFolder_ = true;
    Dir1->setCurrentIndex(index);
    Dir1->scrollTo(index, QAbstractItemView::PositionAtCenter);
    showingFolder_ = false;
  });
}

}  // namespace sonalog::ui
