#pragma once
// The main window (TMainForm, " mp3 Sonalog"): the folder to scan, NEW / APPEND / CANCEL, Save as,
// Load, Export, Batch, Import, Options, View, "Vie&w ext." and About, and the status line. Every
// handler passes the click to MainUnit (or the export and import bindings) and then shows what
// MainUnit says is enabled.

#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/MainUnit.h"
#include "export/MainExport.h"
#include "import/MainImport.h"
#include "platform/Volumes.h"

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QTimer;
class QTreeView;

namespace sonalog::ui {

class Fader;
class QtUserInterface;
class TAboutForm;
class TImportForm;
class TInputCaptionForm;
class TLoadMergeForm;

class TMainForm : public QWidget {
  Q_OBJECT

 public:
  // main and ui must outlive the window; main has started up. The window becomes ui's parent and
  // its status label.
  TMainForm(MainUnit& main, QtUserInterface& ui);
  ~TMainForm() override;

  // The first activation: the folder list, the check boxes, the font, the start-up list from the
  // arguments or the options; then shows the window, fading it in when the options ask for it.
  void activate(const std::vector<std::string>& arguments);

  // The windows of other parts of the program: "&Options" and "&View" open them and return when
  // their window has closed. Options is bound to the options window from the start.
  void setOptionsWindow(std::function<void()> open) { openOptions_ = std::move(open); }
  void setViewerWindow(std::function<void()> open) { openViewer_ = std::move(open); }
  // The volumes Drive1 lists (default: the mounted volumes).
  void setVolumes(std::vector<platform::Volume> volumes);

  // Shows the enabled state and the visible buttons that MainUnit gives now.
  void updateCommands();
  // Brings the window to the front (a second start asks for it).
  void bringToFront();

  // The handlers, also driven by tests.
  void StartButClick();
  void apbutClick();
  void CancelbuttonClick();
  void SaveButClick();
  void LoadButClick(bool ctrlHeld);
  void ExportButClick();
  void batchClick(BatchStyle style);
  void ImportButClick();
  void OptButClick();
  void ViewButClick();
  void ExtViewButClick();
  void AboutButClick();
  void Label1DblClick();
  // The user guide (About's link and Help, F1 in any window).
  void openHelp();
  void setFolderFontSize(int size);

  TLoadMergeForm& loadMergeForm() { return *loadMergeForm_; }
  TInputCaptionForm& inputCaptionForm() { return *inputCaptionForm_; }
  TImportForm& importForm() { return *importForm_; }
  TAboutForm& aboutForm() { return *aboutForm_; }
  QString currentFolder() const;

 signals:
  // The window has closed for good (after its questions and the fade-out).
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The controls, one group at a time, then the layout and the folder side's connections.
  void buildControls();
  void buildFolderControls();
  void buildCommandButtons();
  void buildMenus();
  void buildStatusLine();
  void layOutControls();
  void connectFolderControls();
  void fillDrives();
  void showFolder(const std::string& folder);
  void applyFont();
  void applyColour();
  // Shows the settings the window reflects: the scan switches, the folder, the font, the colour.
  void applySettings();
  void driveChanged(int index);
  void folderChosen();
  void folderTyped();
  void afterListChange();
  bool keyPressed(int key);
  void savePosition();

  MainUnit& main_;
  QtUserInterface& ui_;
  MainExport export_;
  MainImport import_;
  std::vector<platform::Volume> volumes_;
  std::function<void()> openOptions_;
  std::function<void()> openViewer_;
  std::unique_ptr<TLoadMergeForm> loadMergeForm_;
  std::unique_ptr<TInputCaptionForm> inputCaptionForm_;
  std::unique_ptr<TImportForm> importForm_;
  std::unique_ptr<TAboutForm> aboutForm_;
  std::unique_ptr<Fader> fader_;
  CaptionAsker askCaption_;
  bool closing_ = false;        // the closing questions were answered
  bool closeAfterRun_ = false;  // closing waits for the running operation to stop
  bool showingFolder_ = false;  // Dir1 is moved by the program, not the user
  QString revealFolder_;        // the folder the program showed, kept in view while it loads
  QElapsedTimer dirTyping_;     // since the last key typed into the folder list's search

  QPushButton* saveBut_;
  QPushButton* exportBut_;
  QPushButton* butBatch_;
  QMenu* pmenuRecur_;
  QPushButton* loadBut_;
  QPushButton* importBut_;
  QPushButton* startBut_;
  QPushButton* apbut_;
  QPushButton* cancelbutton_;
  QCheckBox* sadcheck_;
  QComboBox* drive1_;
  QTreeView* dir1_;
  QLineEdit* editFolder_;  // the location line: the folder NEW scans, typed or pasted
  QFileSystemModel* folders_;
  QCheckBox* incbox_;
  QPushButton* optBut_;
  QPushButton* viewBut_;
  QPushButton* extViewBut_;
  QPushButton* aboutBut_;
  QLabel* label1_;
  QSpinBox* updn1_;
  QPushButton* butFont_;
  QMenu* popMain_;
  QTimer* timerve_;
};

}  // namespace sonalog::ui
