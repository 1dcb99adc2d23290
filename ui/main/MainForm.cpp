#include "ui/main/MainForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeView>

#include "core/ApiUnit.h"
#include "platform/Paths.h"
#include "ui/main/AboutForm.h"
#include "ui/main/ImportForm.h"
#include "ui/main/InputCaptionForm.h"
#include "ui/main/LoadMergeForm.h"
#include "ui/options/OptionsForm.h"
#include "ui/viewer/ViewForm.h"
#include "ui/widgets/Fader.h"
#include "ui/widgets/QtSettings.h"
#include "ui/widgets/QtText.h"
#include "ui/widgets/QtUserInterface.h"
#include "ui/widgets/WindowPlacement.h"

// The window icon lives in the ui library's resources; a static library registers them itself.
static void initUiResources() { Q_INIT_RESOURCE(resources); }

namespace sonalog::ui {

namespace {

// The drive box's text never grows above this height, whatever the folder list's font.
constexpr int kMaxDriveTextHeight = 16;
constexpr int kDefaultWidth = 600;
constexpr int kDefaultHeight = 460;
// What only the desktop program remembers between runs, beside the configuration.
constexpr char kDesktopStateFile[] = "sonalog-gui.ini";

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
    const OptionsResult r = runOptionsWindow(this, main_.settings(), main_.ui(), [this] { applyColour(); },
                                             main_.atResetPosition(&Settings::optionsWindowPos));
    if (r.mainWindowChanged) applyColour();
    if (r.otherSettingsChanged) applySettings();
  };
  buildControls();
  ui_.setParentWidget(this);
  if (!main_.workingFolder().empty())
    ui_.keepFileDialogSize(platform::joinPath(main_.workingFolder(), kDesktopStateFile));
  ui_.setStatusLabel(label1_);
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

void TMainForm::setVolumes(std::vector<platform::Volume> volumes) {
  volumes_ = std::move(volumes);
  // Without any block-device volume (a container, say) the root still lets the user choose.
  if (volumes_.empty()) volumes_.push_back(platform::Volume{"/", "", "", ""});
  fillDrives();
}

void TMainForm::fillDrives() {
  drive1_->clear();
  for (const platform::Volume& v : volumes_) {
    QString text = fromNative(v.mountPoint);
    if (!v.label.empty()) text += "  [" + qt(v.label) + "]";
    drive1_->addItem(text, fromNative(v.mountPoint));
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
    const QSignalBlocker a(sadcheck_), b(incbox_);
    sadcheck_->setChecked(s.sadcheck);
    incbox_->setChecked(s.Incbox);
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
  label1_->setText(qt(main_.status()));
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
  const int drive = drive1_->findData(fromNative(root));
  showingFolder_ = true;
  if (drive >= 0) drive1_->setCurrentIndex(drive);
  dir1_->setRootIndex(folders_->index(fromNative(root)));
  revealFolder_ = fromNative(folder);
  editFolder_->setText(revealFolder_);
  const QModelIndex index = folders_->index(revealFolder_);
  if (index.isValid()) {
    dir1_->setCurrentIndex(index);
    dir1_->scrollTo(index, QAbstractItemView::PositionAtCenter);
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
  const QModelIndex index = dir1_->currentIndex();
  if (!index.isValid()) return;
  main_.setFolder(nativePath(folders_->filePath(index)));
  editFolder_->setText(fromNative(main_.folder()));
}

void TMainForm::folderTyped() {
  if (main_.goToFolder(nativePath(editFolder_->text())))
    showFolder(main_.folder());
  else
    editFolder_->setText(fromNative(main_.folder()));
}

void TMainForm::applyFont() {
  const FontSetting& setting = main_.settings().folderTreeFont;
  const QFont font = qtFont(setting);
  dir1_->setFont(font);
  QFont drive = font;
  while (drive.pointSize() > kMinFolderFontSize && QFontMetrics(drive).height() > kMaxDriveTextHeight)
    drive.setPointSize(drive.pointSize() - 1);
  drive1_->setFont(drive);
  {
    const QSignalBlocker block(updn1_);
    updn1_->setValue(setting.size);
  }
  for (QAction* a : popMain_->actions())
    if (a->isCheckable()) a->setChecked(a->data().toInt() == setting.size);
}

void TMainForm::setFolderFontSize(int size) {
  main_.setFontSize(size);
  applyFont();
}

void TMainForm::updateCommands() {
  ui_.flushStatus();
  const MainCommands c = main_.commands();
  saveBut_->setEnabled(c.saveAs);
  exportBut_->setEnabled(c.exportList);
  butBatch_->setEnabled(c.batch);
  loadBut_->setEnabled(c.load);
  importBut_->setEnabled(c.import);
  startBut_->setEnabled(c.newScan);
  apbut_->setEnabled(c.append);
  startBut_->setVisible(c.newAppendVisible);
  apbut_->setVisible(c.newAppendVisible);
  cancelbutton_->setVisible(c.cancelVisible);
  sadcheck_->setEnabled(c.searchAllDrives);
  drive1_->setEnabled(c.folderChoice);
  editFolder_->setEnabled(c.folderChoice);
  dir1_->setEnabled(c.folderChoice);
  incbox_->setEnabled(c.includeSubfolders);
  optBut_->setEnabled(c.options && openOptions_ != nullptr);
  viewBut_->setEnabled(c.view && openViewer_ != nullptr);
  extViewBut_->setEnabled(c.viewExternal);
  aboutBut_->setEnabled(c.about);
  updn1_->setEnabled(c.font);
  butFont_->setEnabled(c.font);
  popMain_->setEnabled(c.font);
}

void TMainForm::afterListChange() {
  // A scan may have moved the folder list (all drives) and changed what can be used.
  if (!main_.busy() && main_.folder() != nativePath(folders_->filePath(dir1_->currentIndex())))
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
  timerve_->start();
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
  if (watched == label1_ && event->type() == QEvent::MouseButtonDblClick) {
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
    for (QWidget* own : std::initializer_list<QWidget*>{updn1_, editFolder_})
      if (w == own || own->isAncestorOf(static_cast<QWidget*>(w))) return true;
    if (w != dir1_ && w != dir1_->viewport()) return false;
    const bool typing = dirTyping_.isValid() && dirTyping_.elapsed() < QApplication::keyboardInputInterval();
    const bool sign = key->key() == Qt::Key_Plus || key->key() == Qt::Key_Minus;
    if ((typing || !sign) && !key->text().isEmpty() && key->text().at(0).isPrint()) dirTyping_.restart();
    return sign && typing;
  };
  // A right click opens the folder list's menu without moving the folder to scan.
  if (watched == dir1_->viewport() && event->type() == QEvent::MouseButtonPress &&
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

void TMainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // A window manager holds the window to the layout's minimum; without one (or one that ignores
  // the hint) it could be shrunk until the captions are cut, so it grows back by itself.
  if (width() < minimumWidth() || height() < minimumHeight())
    QTimer::singleShot(0, this, [this] { resize(size().expandedTo(minimumSize())); });
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
