#include "ui/MainForm.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/ApiUnit.h"
#include "platform/Paths.h"
#include "ui/AboutUnit.h"
#include "ui/Fader.h"
#include "ui/ImportOptionsForm.h"
#include "ui/InputCaption.h"
#include "ui/LoadMergeUnit.h"
#include "ui/OptionsForm.h"
#include "ui/QtSettings.h"
#include "ui/QtText.h"
#include "ui/QtUserInterface.h"
#include "ui/ViewForm.h"
#include "ui/WindowPlacement.h"

// The window icon lives in the ui library's resources; a static library registers them itself.
static void initUiResources() { Q_INIT_RESOURCE(resources); }

namespace sonalog::ui {

namespace {

// The drive box's text never grows above this height, whatever the folder list's font.
constexpr int kMaxDriveTextHeight = 16;
constexpr int kDefaultWidth = 600;
constexpr int kDefaultHeight = 460;

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

// Native path bytes of a folder the model shows.
std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString fromNative(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace

TMainForm::TMainForm(MainUnit& main, QtUserInterface& ui)
    : QWidget(nullptr), main_(main), ui_(ui), export_(main), import_(main) {
  initUiResources();
  setObjectName("MainForm");
  setWindowTitle(" mp3 Sonalog");
  setWindowIcon(QIcon(":/sonalog.png"));
  Settings& s = main_.settings();
  loadMergeForm_ = std::make_unique<TLoadMergeForm>(s.loadMergeWindowPos);
  inputCaptionForm_ = std::make_unique<TInputCaptionForm>(s.captionInputWindowPos);
  importForm_ = std::make_unique<TImportForm>(s.importWindowPos,
                                              [this] { return exportHeaderOrFooterSet(main_.settings()); });
  aboutForm_ = std::make_unique<TAboutForm>(s.aboutWindowPos, main_.workingFolder(), [this] { openHelp(); });
  for (const auto& [form, field] : std::initializer_list<std::pair<SmallWindow*, WindowPosition Settings::*>>{
           {loadMergeForm_.get(), &Settings::loadMergeWindowPos},
           {inputCaptionForm_.get(), &Settings::captionInputWindowPos},
           {importForm_.get(), &Settings::importWindowPos},
           {aboutForm_.get(), &Settings::aboutWindowPos}})
    if (main_.atResetPosition(field)) form->centreOnNextShow();
  fader_ = std::make_unique<Fader>(this);
  askCaption_ = [this](CaptionRequest& request) { return inputCaptionForm_->ask(request, this); };
  openOptions_ = [this] {
    const OptionsResult r = runOptionsWindow(this, main_.settings(), main_.ui(), [this] { applyColour(); });
    if (r.mainWindowChanged) applyColour();
    if (r.otherSettingsChanged) applySettings();
  };
  buildControls();
  ui_.setParentWidget(this);
  ui_.setStatusLabel(Label1);
  main_.setActivityChanged([this] {
    updateCommands();
    // A close asked for during the run happens once the run has stopped.
    if (!main_.busy() && closeAfterRun_) {
      closeAfterRun_ = false;
      closing_ = true;
      QTimer::singleShot(0, this, [this] { close(); });
    }
  });
  // The viewer closes with its own question before the main window asks anything (a filtered
  // list must be settled while its temporary file is still there).
  main_.setViewerExit([] { return closeViewerForExit(); });
  qApp->installEventFilter(this);
  setVolumes(platform::mountedVolumes());
}

TMainForm::~TMainForm() {
  qApp->removeEventFilter(this);
  main_.setActivityChanged(nullptr);
  main_.setViewerExit(nullptr);
  ui_.setStatusLabel(nullptr);
  ui_.setParentWidget(nullptr);
}

void TMainForm::buildControls() {
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

  StartBut = button("StartBut", "&NEW", "Scan into a new list");
  apbut = button("apbut", "A&PPEND", "Scan and add to the list");
  Cancelbutton = button("Cancelbutton", "CANCEL", "Stop the scan (Esc)");
  LoadBut = button("LoadBut", "&Load", "Load a saved list (hold Ctrl to see the load options again)");
  SaveBut = button("SaveBut", "&Save as", "Save the list to a file");
  ImportBut = button("ImportBut", "I&mport", "Read an exported text or html list, or a playlist, back");
  ExportBut = button("ExportBut", "E&xport", "Export the list in the type chosen in the options");
  ButBatch = button("ButBatch", "Batc&h", "Export one list per folder");
  ViewBut = button("ViewBut", "&View", "View, sort, find and edit the list");
  ExtViewBut = button("ExtViewBut", "Vie&w ext.", "Open the last exported file");
  OptBut = button("OptBut", "&Options", "Settings of the scan, the exports and the windows");
  AboutBut = button("AboutBut", "A&bout", "About this program");

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
  auto* scan = new QHBoxLayout;
  scan->addWidget(StartBut);
  scan->addWidget(apbut);
  scan->addWidget(Cancelbutton);
  right->addLayout(scan);
  right->addSpacing(10);
  auto* files = new QGridLayout;
  files->addWidget(LoadBut, 0, 0);
  files->addWidget(SaveBut, 0, 1);
  files->addWidget(ImportBut, 1, 0);
  files->addWidget(ExportBut, 1, 1);
  files->addWidget(ButBatch, 2, 1);
  right->addLayout(files);
  right->addSpacing(10);
  auto* view = new QHBoxLayout;
  view->addWidget(ViewBut);
  view->addWidget(ExtViewBut);
  right->addLayout(view);
  right->addStretch();
  auto* misc = new QHBoxLayout;
  misc->addWidget(OptBut);
  misc->addWidget(AboutBut);
  right->addLayout(misc);

  auto* top = new QHBoxLayout;
  top->addLayout(left, 3);
  top->addLayout(right, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(Label1);

  connect(StartBut, &QPushButton::clicked, this, [this] { StartButClick(); });
  connect(apbut, &QPushButton::clicked, this, [this] { apbutClick(); });
  connect(Cancelbutton, &QPushButton::clicked, this, [this] { CancelbuttonClick(); });
  connect(SaveBut, &QPushButton::clicked, this, [this] { SaveButClick(); });
  connect(LoadBut, &QPushButton::clicked, this,
          [this] { LoadButClick(QApplication::keyboardModifiers() & Qt::ControlModifier); });
  connect(ExportBut, &QPushButton::clicked, this, [this] { ExportButClick(); });
  connect(ButBatch, &QPushButton::clicked, this,
          [this] { PmenuRecur->popup(ButBatch->mapToGlobal(QPoint(0, ButBatch->height()))); });
  connect(ImportBut, &QPushButton::clicked, this, [this] { ImportButClick(); });
  connect(OptBut, &QPushButton::clicked, this, [this] { OptButClick(); });
  connect(ViewBut, &QPushButton::clicked, this, [this] { ViewButClick(); });
  connect(ExtViewBut, &QPushButton::clicked, this, [this] { ExtViewButClick(); });
  connect(AboutBut, &QPushButton::clicked, this, [this] { AboutButClick(); });
  connect(timerve, &QTimer::timeout, this, [this] {
    main_.viewExternalTimer();
    updateCommands();
  });
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

void TMainForm::setVolumes(std::vector<platform::Volume> volumes) {
  volumes_ = std::move(volumes);
  // Without any block-device volume (a container, say) the root still lets the user choose.
  if (volumes_.empty()) volumes_.push_back(platform::Volume{"/", "", "", ""});
  fillDrives();
}

void TMainForm::fillDrives() {
  Drive1->clear();
  for (const platform::Volume& v : volumes_) {
    QString text = fromNative(v.mountPoint);
    if (!v.label.empty()) text += "  [" + qt(v.label) + "]";
    Drive1->addItem(text, fromNative(v.mountPoint));
  }
}

void TMainForm::applyColour() {
  // Stored as 0x00BBGGRR.
  QPalette p = palette();
  p.setColor(QPalette::Window, qtColour(main_.settings().mainWindowColour));
  setPalette(p);
  setAutoFillBackground(true);
}

void TMainForm::applySettings() {
  const Settings& s = main_.settings();
  {
    const QSignalBlocker a(sadcheck), b(Incbox);
    sadcheck->setChecked(s.sadcheck);
    Incbox->setChecked(s.Incbox);
  }
  if (!s.mainFolder.empty() && s.mainFolder != main_.folder()) main_.setFolder(s.mainFolder);
  showFolder(main_.folder());
  applyFont();
  applyColour();
  updateCommands();
}

void TMainForm::activate(const std::vector<std::string>& arguments) {
  main_.activate(arguments);
  const Settings& s = main_.settings();
  applySettings();
  Label1->setText(qt(main_.status()));
  if (main_.mainWindowAtResetPosition()) {
    // The reset position centres a smaller window on a screen of an assumed size: centre this
    // one, as it is, on the screen it opens on.
    resize(kDefaultWidth, kDefaultHeight);
    ui::centreOnScreen(this);
  } else {
    ui::restoreGeometry(this, s.mainWindowPos.left, s.mainWindowPos.top, kDefaultWidth, kDefaultHeight);
  }
  const bool fade = s.fadeMainWindow != 0;
  if (fade) setWindowOpacity(0.0);
  show();
  if (fade) fader_->fadeIn();
}

void TMainForm::showFolder(const std::string& folder) {
  const platform::Volume* volume = platform::volumeForPath(volumes_, folder);
  const std::string root = volume ? volume->mountPoint : "/";
  const int drive = Drive1->findData(fromNative(root));
  showingFolder_ = true;
  if (drive >= 0) Drive1->setCurrentIndex(drive);
  Dir1->setRootIndex(folders_->index(fromNative(root)));
  revealFolder_ = fromNative(folder);
  EditFolder->setText(revealFolder_);
  const QModelIndex index = folders_->index(revealFolder_);
  if (index.isValid()) {
    Dir1->setCurrentIndex(index);
    Dir1->scrollTo(index, QAbstractItemView::PositionAtCenter);
  }
  showingFolder_ = false;
}

QString TMainForm::currentFolder() const { return fromNative(main_.folder()); }

void TMainForm::driveChanged(int index) {
  if (index < 0 || index >= static_cast<int>(volumes_.size())) return;
  const std::string& root = volumes_[static_cast<size_t>(index)].mountPoint;
  main_.setFolder(root);
  showFolder(root);
}

void TMainForm::folderChosen() {
  if (showingFolder_) return;
  revealFolder_.clear();
  const QModelIndex index = Dir1->currentIndex();
  if (!index.isValid()) return;
  main_.setFolder(nativePath(folders_->filePath(index)));
  EditFolder->setText(fromNative(main_.folder()));
}

void TMainForm::folderTyped() {
  if (main_.goToFolder(nativePath(EditFolder->text())))
    showFolder(main_.folder());
  else
    EditFolder->setText(fromNative(main_.folder()));
}

void TMainForm::applyFont() {
  const FontSetting& setting = main_.settings().folderTreeFont;
  const QFont font = qtFont(setting);
  Dir1->setFont(font);
  QFont drive = font;
  while (drive.pointSize() > kMinFolderFontSize && QFontMetrics(drive).height() > kMaxDriveTextHeight)
    drive.setPointSize(drive.pointSize() - 1);
  Drive1->setFont(drive);
  {
    const QSignalBlocker block(updn1);
    updn1->setValue(setting.size);
  }
  for (QAction* a : PopMain->actions())
    if (a->isCheckable()) a->setChecked(a->data().toInt() == setting.size);
}

void TMainForm::setFolderFontSize(int size) {
  main_.setFontSize(size);
  applyFont();
}

void TMainForm::updateCommands() {
  ui_.flushStatus();
  const MainCommands c = main_.commands();
  SaveBut->setEnabled(c.saveAs);
  ExportBut->setEnabled(c.exportList);
  ButBatch->setEnabled(c.batch);
  LoadBut->setEnabled(c.load);
  ImportBut->setEnabled(c.import);
  StartBut->setEnabled(c.newScan);
  apbut->setEnabled(c.append);
  StartBut->setVisible(c.newAppendVisible);
  apbut->setVisible(c.newAppendVisible);
  Cancelbutton->setVisible(c.cancelVisible);
  sadcheck->setEnabled(c.searchAllDrives);
  Drive1->setEnabled(c.folderChoice);
  EditFolder->setEnabled(c.folderChoice);
  Dir1->setEnabled(c.folderChoice);
  Incbox->setEnabled(c.includeSubfolders);
  OptBut->setEnabled(c.options && openOptions_ != nullptr);
  ViewBut->setEnabled(c.view && openViewer_ != nullptr);
  ExtViewBut->setEnabled(c.viewExternal);
  AboutBut->setEnabled(c.about);
  updn1->setEnabled(c.font);
  ButFont->setEnabled(c.font);
  PopMain->setEnabled(c.font);
}

void TMainForm::afterListChange() {
  // A scan may have moved the folder list (all drives) and changed what can be used.
  if (!main_.busy() && main_.folder() != nativePath(folders_->filePath(Dir1->currentIndex())))
    showFolder(main_.folder());
  updateCommands();
}

void TMainForm::StartButClick() {
  main_.newScan();
  afterListChange();
}

void TMainForm::apbutClick() {
  main_.appendScan();
  afterListChange();
}

void TMainForm::CancelbuttonClick() {
  if (main_.busy()) ui_.requestCancel();
}

void TMainForm::SaveButClick() {
  main_.saveAsClick();
  updateCommands();
}

void TMainForm::LoadButClick(bool ctrlHeld) {
  main_.loadClick([this](const LoadMergeChoice& initial) { return loadMergeForm_->ask(initial, this); },
                  ctrlHeld);
  afterListChange();
}

void TMainForm::ExportButClick() {
  export_.ExportButClick(askCaption_);
  updateCommands();
}

void TMainForm::batchClick(BatchStyle style) {
  export_.batchMenuClick(style, askCaption_);
  updateCommands();
}

void TMainForm::ImportButClick() {
  import_.ImportButClick(
      [this](ImportForm& form, const ImportSettings& options) { importForm_->ask(form, options, this); });
  afterListChange();
}

void TMainForm::OptButClick() {
  if (main_.busy() || main_.secondaryRunOpen() || !openOptions_) return;
  openOptions_();
  updateCommands();
}

void TMainForm::ViewButClick() {
  if (!openViewer_ || !main_.canView()) return;
  openViewer_();
  afterListChange();
}

void TMainForm::ExtViewButClick() {
  if (!main_.viewExternalClick()) return;
  updateCommands();
  timerve->start();
}

void TMainForm::AboutButClick() { aboutForm_->showAbout(); }

void TMainForm::Label1DblClick() {
  main_.ui().message(main_.status(), "mp3 Sonalog", Icon::Information);
}

void TMainForm::bringToFront() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

bool TMainForm::keyPressed(int key) {
  switch (key) {
    case Qt::Key_Escape:
      if (!main_.busy()) return false;
      ui_.requestCancel();
      return true;
    case Qt::Key_Plus:
      if (!main_.commands().font) return false;
      main_.changeFontSize(1);
      applyFont();
      return true;
    case Qt::Key_Minus:
      if (!main_.commands().font) return false;
      main_.changeFontSize(-1);
      applyFont();
      return true;
    default:
      return false;
  }
}

void TMainForm::openHelp() { openHelpPage(main_.ui(), platform::programFolder()); }

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label1 && event->type() == QEvent::MouseButtonDblClick) {
    Label1DblClick();
    return true;
  }
  // F1 opens the user guide from every window of the program.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 && static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
    openHelp();
    return true;
  }
  // The window's keys work whichever of its controls has the focus. Typing in the location line or the spin box keeps its own keys, and so does the folder
  // list while a name is being typed into its search ("-" within a name does not shrink the font).
  const auto typesText = [this](QObject* w, const QKeyEvent* key) {
    for (QWidget* own : std::initializer_list<QWidget*>{updn1, EditFolder})
      if (w == own || own->isAncestorOf(static_cast<QWidget*>(w))) return true;
    if (w != Dir1 && w != Dir1->viewport()) return false;
    const bool typing = dirTyping_.isValid() && dirTyping_.elapsed() < QApplication::keyboardInputInterval();
    const bool sign = key->key() == Qt::Key_Plus || key->key() == Qt::Key_Minus;
    if ((typing || !sign) && !key->text().isEmpty() && key->text().at(0).isPrint()) dirTyping_.restart();
    return sign && typing;
  };
  // A right click opens the folder list's menu without moving the folder to scan.
  if (watched == Dir1->viewport() && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
    return true;
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this && !typesText(watched, static_cast<QKeyEvent*>(event))) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) == Qt::NoModifier && keyPressed(key->key()))
      return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TMainForm::savePosition() {
  main_.settings().mainWindowPos.left = x();
  main_.settings().mainWindowPos.top = y();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    if (!main_.closeQuery()) {
      event->ignore();
      return;
    }
    if (main_.busy()) {
      // Stop the run first; its end closes the window.
      closeAfterRun_ = true;
      ui_.requestCancel();
      event->ignore();
      return;
    }
    closing_ = true;
    if (main_.settings().fadeMainWindow && isVisible()) {
      setEnabled(false);
      fader_->fadeOut([this] { close(); });
      event->ignore();
      return;
    }
  }
  savePosition();
  for (QWidget* w : std::initializer_list<QWidget*>{loadMergeForm_.get(), inputCaptionForm_.get(),
                                                    importForm_.get(), aboutForm_.get()})
    w->close();
  main_.close();
  event->accept();
  emit closed();
}

}  // namespace sonalog::ui
