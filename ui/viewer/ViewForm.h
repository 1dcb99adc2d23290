#pragma once
// The internal viewer window (TViewForm): the grid over the internal list, the button panel, the
// pop-up menu and the keyboard. Every command is the viewer logic's (viewer/ViewUnit); this window
// shows what it says.
//
// Entry point for the main window ("&View"):
//   void runViewerWindow(MainUnit& main, QtUserInterface& ui, QWidget* caller,
//                        std::function<void()> saveAs, std::function<void()> exportList);
// which builds a TViewForm(InternalList&, Settings&, UserInterface&), fills its Hooks (Save as,
// Export, Options, Duplicates, Compare, closed, cleared), opens it with openViewer() and returns
// when it has closed.

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

#include "core/ListItem.h"
#include "core/MainUnit.h"
#include "platform/UserInterface.h"
#include "settings/Settings.h"
#include "ui/viewer/ViewFormGrid.h"
#include "viewer/FindUnit.h"
#include "viewer/Play.h"
#include "viewer/ViewUnit.h"

class QCheckBox;
class QHeaderView;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QVBoxLayout;
class QSpinBox;
class QTableView;
class QAction;

namespace sonalog::ui {

class Fader;
class QtUserInterface;
class ViewModel;
class ViewFormGrid;

class TViewForm : public QWidget {
  Q_OBJECT
 public:
  // What the viewer starts in other windows. Each may be empty (its button is then disabled).
  struct Hooks {
    std::function<void()> saveAs;      // the main window's Save as
    std::function<void()> exportList;  // the main window's Export
    // The options window; true when it was confirmed (display settings may have changed).
    std::function<bool()> options;
    // The duplicates options and search, the compare options and run, from the viewer: true when
    // the list changed. They copy their options block first and put it back on cancel.
    std::function<bool()> duplicates;
    std::function<bool()> compare;
    // FormClose: changed tells whether the list changed while the viewer was open; the main
    // window then shows "Altered, N items." and marks the list unsaved.
    std::function<void(bool changed)> closed;
    // The viewer emptied the list (every row deleted, or a comparison removed everything):
    // the main window resets itself to its empty state.
    std::function<void()> listCleared;
  };

  TViewForm(InternalList& list, Settings& settings, UserInterface& ui, QWidget* parent = nullptr);
  ~TViewForm() override;

  void setHooks(Hooks hooks);
  // Builds the grid from the list and shows the window where it was last.
  void openViewer();
  // The list changed under the viewer (a search or comparison run elsewhere): a new picture.
  void listChanged();
  // The main window cleared the list: close without questions.
  void closeForCleared();
  // The program is ending: asks the viewer's closing question first (a filtered list: Yes puts
  // the full list back, No keeps the filtered items as the list, Cancel keeps the viewer open)
  // and closes the viewer. False when the viewer stays open: the program must not end then.
  bool closeForExit();

  // Runs a secondary window (find, editor, note) and returns its result. Tests replace it to
  // answer those windows without showing them.
  std::function<int(QDialog&)> runDialog;

  ViewUnit& unit() { return unit_; }
  FindUnit& finder() { return find_; }
  QTableView* grid() const { return grid_; }
  ViewModel* model() const { return model_; }
  // The grid's current and top rows.
  GridPosition position() const;

  // ---- Commands (buttons, menu entries and keys lead here) ----
  void EditButClick();
  void InsertButClick();
  void DeleteButClick();
  void UndoButClick();
  void FindButClick();
  void FindNextKey();
  void ResortButClick();
  void ButPrimaryClick();
  void ButPlayClick();
  void FontButClick();
  void SG1HeaderClick(int column);
  // The find window closed with mode and text (Find First, Find Next or Filter).
  void findClosed(FindMode mode, const QString& text);

 signals:
  // The window closed (after the closing questions).
  void viewerClosed();
  // A button, menu entry or key ran one of the logic's commands (it was enabled).
  void commandRun(sonalog::ViewAction action);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Pixels Qt's item delegate keeps free beside a cell's text.
  static constexpr int kCellMargin = 6;

  void buildControls();
  void buildGrid();
  void buildPanelButtons(QWidget* panel, QVBoxLayout* col);
  void buildPanelOptions(QWidget* panel, QVBoxLayout* col);
  void connectPanel();
  void buildMenu();
  void buildShortcuts();
  // Takes a new picture of the list and shows it: model, widths, heights, caption, panel.
  void rebuild(bool keepPosition = true);
  void showList();
  void applyPosition(const GridPosition& pos);
  void applyWidths();
  void applyFont();
  void applyColours();
  void updatePanel();
  void afterFilter();
  void afterForeignRun(bool changed);
  std::vector<uint32_t> selectedRows() const;
  bool ready() const;
  int visibleRows() const;
  // Runs what a control does now, when it can be used.
  void run(const ViewCommand& command);
  void editItem();
  void insertItem();
  void deleteRows();
  void findOrFilter();
  void findNext();
  void chooseFont();
  // Runs a command that may move the rows; when it did something, its position is shown with
  // the new picture. True when it did something.
  // reordered: the command only changed the order of the rows (a sort), so the picture holds.
  bool apply(const std::function<bool(GridPosition&)>& command, bool reordered = false);
  // Ctrl+C: the highlighted rows as text on the clipboard.
  void copyRows();
  // Letters typed in the grid: the jump to a file name.
  void typeAhead(const QString& text);
  // Shows the logic's current row, highlighted range and top row in the grid.
  void showSelection();
  // Up, Down, pages, Home and End from the grid or the panel's buttons.
  void moveSelection(RowMove move, bool extend);

  InternalList& list_;
  Settings& settings_;
  UserInterface& ui_;
  ViewUnit unit_;
  FindUnit find_;
  PlayUnit play_;
  Hooks hooks_;

  ViewFormGrid* grid_ = nullptr;
  ViewModel* model_ = nullptr;
  QMenu* menu_ = nullptr;
  QMenu* colourMenu_ = nullptr;
  QLabel* sblab_ = nullptr;
  QLabel* sortlab_ = nullptr;
  QPushButton* editBut_ = nullptr;
  QPushButton* insertBut_ = nullptr;
  QPushButton* deleteBut_ = nullptr;
  QPushButton* undoBut_ = nullptr;
  QPushButton* findBut_ = nullptr;
  QPushButton* resortBut_ = nullptr;
  QPushButton* primaryBut_ = nullptr;
  QPushButton* playBut_ = nullptr;
  QPushButton* dupBut_ = nullptr;
  QPushButton* compBut_ = nullptr;
  QPushButton* saveBut_ = nullptr;
  QPushButton* exportBut_ = nullptr;
  QPushButton* optBut_ = nullptr;
  QPushButton* fontBut_ = nullptr;
  QPushButton* closeBut_ = nullptr;
  QSpinBox* upDown1_ = nullptr;
  QCheckBox* checkSplit_ = nullptr;
  QCheckBox* mcwcheck_ = nullptr;
  QCheckBox* acwcheck_ = nullptr;
  QRadioButton* schemes_[3] = {};
  QAction* menuEdit_ = nullptr;
  QAction* menuInsert_ = nullptr;
  QAction* menuDelete_ = nullptr;
  QAction* menuUndo_ = nullptr;
  QAction* menuFind_ = nullptr;
  QAction* menuResort_ = nullptr;
  QAction* menuPlay_ = nullptr;
  QAction* menuFont_ = nullptr;
  QAction* menuColours_[3] = {};
  QAction* menuTime_[4] = {};
  QAction* menuCwManual_ = nullptr;
  QAction* menuCwAutomatic_ = nullptr;
  std::unique_ptr<Fader> fader_;
  bool settingWidths_ = false;
  bool closeAnswered_ = false;  // the closing question is not asked again
  bool updating_ = false;
  bool showingSelection_ = false;
  QString typed_;            // the type-ahead prefix
  QElapsedTimer typedTimer_;  // since its last letter
};

// The main window's "&View": opens the viewer over main's list and returns when it has closed
// (caller is disabled meanwhile). The viewer's Save as and Export are the main window's own
// (saveAs, exportList); its Options, Duplicates and Compare open those windows; closing tells
// main whether the list changed, and main closes the viewer when it clears the list.
void runViewerWindow(MainUnit& main, QtUserInterface& ui, QWidget* caller,
                     std::function<void()> saveAs, std::function<void()> exportList);

// For the main window's close: when runViewerWindow shows a viewer, its closeForExit(). True
// when no viewer is open or it has closed; false when the user chose to keep it (Cancel), and
// then the program keeps running with both windows open.
bool closeViewerForExit();

}  // namespace sonalog::ui
