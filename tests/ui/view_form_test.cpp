#include "ui/viewer/ViewForm.h"

#include <gtest/gtest.h>

#include <tuple>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include "core/MainUnit.h"
#include "core/Sorting.h"
#include "tests/support/Items.h"
#include "tests/support/TempHome.h"
#include "ui/viewer/FindForm.h"
#include "ui/viewer/GridTextWidth.h"
#include "ui/viewer/InsertForm.h"
#include "ui/viewer/SkipFMsgForm.h"
#include "ui/viewer/ViewModel.h"
#include "ui/widgets/QtSettings.h"
#include "ui/widgets/QtText.h"
#include "ui/widgets/QtUserInterface.h"

namespace sonalog::ui {
namespace {

using sonalog::testing::TempHome;
using Names = std::vector<std::string>;

ListItem song(int i) {
  return testing::ItemBuilder("Artist " + std::to_string(i % 7) + " - Song " + std::to_string(i))
      .folder("/music/a" + std::to_string(i % 3))
      .bitrate(static_cast<uint8_t>(1 + i % 14))
      .sizeKB(1000 + 37 * i)
      .frames(5000 + 101 * i)
      .frequency(static_cast<uint8_t>(i % 3))
      .fileDate(37000 + i)
      .dateAdded(45000);
}

class ViewFormTest : public ::testing::Test {
 protected:
  ViewFormTest() {
    ui.script();
    for (int i = 0; i < 40; ++i) list.items.push_back(song(i));
    settings.viewerMaximized = false;
    settings.viewerSize = {900, 500};
    TViewForm::Hooks hooks;
    hooks.closed = [this](bool changed) { closedChanged = changed; };
    form.setHooks(hooks);
    form.openViewer();
  }

  QString cell(int row, int column) const {
    return form.model()->data(form.model()->index(row, column), Qt::DisplayRole).toString();
  }
  // Every shown cell agrees with the logic's text.
  void expectCellsMatchLogic() {
    ASSERT_EQ(form.model()->rowCount(), static_cast<int>(list.items.size()));
    ASSERT_EQ(form.model()->columnCount(), form.unit().grid().columnCount());
    for (int r = 0; r < form.model()->rowCount(); ++r)
      for (int c = 0; c < form.model()->columnCount(); ++c)
        ASSERT_EQ(cell(r, c), qt(form.unit().cellText(static_cast<uint32_t>(r), c))) << r << "," << c;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const ListItem& it : list.items) out.push_back(it.fileName);
    return out;
  }
  void select(uint32_t first, uint32_t last) {
    form.unit().selection().select({first, last});
    form.listChanged();
  }
  template <class T>
  T* child(const char* name) const {
    T* w = form.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  TempHome home;
  QtUserInterface ui;
  InternalList list;
  Settings settings;
  TViewForm form{list, settings, ui};
  std::optional<bool> closedChanged;
};

TEST_F(ViewFormTest, OpensWithTheLogicsTextsWidthsAndCaption) {
  expectCellsMatchLogic();
  EXPECT_EQ(form.windowTitle(), qt(form.unit().caption()));
  EXPECT_TRUE(form.windowTitle().startsWith(" Internal List Viewer (40 items), "));
  EXPECT_EQ(form.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "filename");
  EXPECT_EQ(child<QLabel>("sortlab")->text(), "not sorted");
  EXPECT_FALSE(child<QLabel>("sblab")->isEnabled());
  // Automatic widths: the widest text of each column fits its column.
  const QFontMetrics fm(form.grid()->font());
  for (int c = 0; c < form.model()->columnCount(); ++c) {
    int widest = 0;
    for (int r = 0; r < form.model()->rowCount(); ++r) widest = std::max(widest, fm.horizontalAdvance(cell(r, c)));
    EXPECT_GE(form.grid()->columnWidth(c), widest) << c;
  }
  EXPECT_FALSE(child<QPushButton>("UndoBut")->isEnabled());
}

TEST_F(ViewFormTest, HeaderClickSortsAfterTheQuestion) {
  list.sortCode = 63;
  ui.answers = {Answer::Yes};
  const int sizeColumn = form.unit().grid().columnOf(ViewField::Size);
  emit form.grid()->horizontalHeader()->sectionClicked(sizeColumn);
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown.back().caption, "sorting");
  EXPECT_EQ(list.sortCode, kSortByFileSize);
  EXPECT_EQ(child<QLabel>("sortlab")->text(), "size");
  for (size_t i = 1; i < list.items.size(); ++i) EXPECT_LE(list.items[i - 1].sizeKB, list.items[i].sizeKB);
  expectCellsMatchLogic();
}

// The header of the sort column is never cut by its sort mark, even over short texts.
TEST_F(ViewFormTest, TheSortMarkFitsItsHeader) {
  ui.answers = {Answer::Yes};
  const int kbps = form.unit().grid().columnOf(ViewField::Kbps);
  QHeaderView* header = form.grid()->horizontalHeader();
  emit header->sectionClicked(kbps);
  ASSERT_EQ(header->sortIndicatorSection(), kbps);
  EXPECT_GE(header->sectionSize(kbps), header->sectionSizeHint(kbps));
}

TEST_F(ViewFormTest, FindThroughTheFindWindow) {
  form.runDialog = [](QDialog& d) {
    auto* f = dynamic_cast<TFindForm*>(&d);
    EXPECT_NE(f, nullptr);
    EXPECT_EQ(d.windowTitle(), " Type text to find:");
    d.findChild<QLineEdit*>("Edit1")->setText("Song 17");
    d.findChild<QPushButton*>("FindFirstBut")->click();
    return d.result();
  };
  form.FindButClick();
  EXPECT_EQ(form.grid()->currentIndex().row(), 17);
  EXPECT_EQ(form.finder().text(), "Song 17");
  // F3 from there: "Song 17" has no later match; the offer to wrap is declined.
  ui.answers = {Answer::No};
  form.FindNextKey();
  EXPECT_EQ(ui.shown.back().text, "Not found");
}

TEST_F(ViewFormTest, FilterShowsTheNoteAndUnfilterBringsTheListBack) {
  const Names before = names();
  int dialogs = 0;
  form.runDialog = [&dialogs](QDialog& d) {
    ++dialogs;
    if (auto* f = dynamic_cast<TFindForm*>(&d)) {
      f->findChild<QLineEdit*>("Edit1")->setText("artist 3");
      f->findChild<QPushButton*>("FilterBut")->click();
      return f->result();
    }
    EXPECT_NE(dynamic_cast<TSkipFMsgForm*>(&d), nullptr);
    EXPECT_EQ(d.windowTitle(), " IMPORTANT NOTE:");
    d.findChild<QCheckBox*>("CheckBox1")->setChecked(true);
    d.findChild<QPushButton*>("OkBut")->click();
    return d.result();
  };
  form.FindButClick();
  EXPECT_EQ(dialogs, 2);
  EXPECT_TRUE(form.unit().filtered());
  EXPECT_TRUE(settings.skipFilteredNote);
  EXPECT_EQ(list.items.size(), 6u);  // songs 3, 10, 17, 24, 31, 38
  EXPECT_TRUE(form.windowTitle().startsWith(" Internal List Viewer (6 of 40 items total), "));
  EXPECT_EQ(child<QPushButton>("InsertBut")->text(), "UNF&ILTER");
  EXPECT_FALSE(child<QPushButton>("ButPrimary")->isHidden());
  EXPECT_TRUE(child<QPushButton>("ResortBut")->isHidden());
  // Inverted colours: the cells take the text colour.
  const QPalette p = form.grid()->palette();
  EXPECT_EQ(p.color(QPalette::Base), QApplication::palette(form.grid()).color(QPalette::Text));
  expectCellsMatchLogic();

  child<QPushButton>("InsertBut")->click();
  EXPECT_FALSE(form.unit().filtered());
  EXPECT_EQ(names(), before);
  EXPECT_EQ(child<QPushButton>("InsertBut")->text(), "&Insert");
  expectCellsMatchLogic();
}

TEST_F(ViewFormTest, EditAndUndo) {
  list.sortCode = kSortByFileName;
  select(5, 5);
  form.runDialog = [](QDialog& d) {
    auto* f = dynamic_cast<TInsertForm*>(&d);
    EXPECT_NE(f, nullptr);
    EXPECT_EQ(d.windowTitle(), " Editor");
    auto* ok = d.findChild<QPushButton*>("OkBut");
    EXPECT_EQ(ok->text(), "O&K");
    EXPECT_FALSE(ok->isEnabled());  // nothing changed yet
    auto* name = d.findChild<QLineEdit*>("NazivEdit");
    name->setText("Renamed");
    emit name->textEdited(name->text());
    EXPECT_TRUE(ok->isEnabled());
    d.findChild<QRadioButton*>("rbut1")->setChecked(true);  // no re-sorting
    ok->click();
    return d.result();
  };
  form.EditButClick();
  EXPECT_EQ(list.items[5].fileName, "Renamed");
  EXPECT_EQ(child<QLabel>("sortlab")->text(), "not sorted");
  EXPECT_EQ(cell(5, 0), " Renamed ");
  ASSERT_TRUE(child<QPushButton>("UndoBut")->isEnabled());
  child<QPushButton>("UndoBut")->click();
  EXPECT_EQ(list.items[5].fileName, song(5).fileName);
  EXPECT_EQ(list.sortCode, kSortByFileName);
  EXPECT_EQ(child<QLabel>("sortlab")->text(), "filename");
  expectCellsMatchLogic();
}

TEST_F(ViewFormTest, DeleteAndUndoThenClose) {
  select(2, 4);
  child<QPushButton>("DeleteBut")->click();
  EXPECT_EQ(list.items.size(), 37u);  // rows 2 to 4
  EXPECT_EQ(form.model()->rowCount(), 37);
  EXPECT_TRUE(form.windowTitle().startsWith(" Internal List Viewer (37 items)"));
  child<QPushButton>("UndoBut")->click();
  EXPECT_EQ(list.items.size(), 40u);
  EXPECT_EQ(list.items[3].fileName, song(3).fileName);
  expectCellsMatchLogic();

  select(0, 0);
  child<QPushButton>("DeleteBut")->click();
  form.close();
  ASSERT_TRUE(closedChanged.has_value());
  EXPECT_TRUE(*closedChanged);
  EXPECT_TRUE(list.unsaved);
  EXPECT_EQ(settings.viewerSize.left, form.width());
}

TEST_F(ViewFormTest, ColourSchemesAndSplit) {
  child<QRadioButton>("rbdark")->click();
  EXPECT_EQ(settings.viewerColourScheme, 2);
  EXPECT_EQ(form.grid()->palette().color(QPalette::Base), QColor(0, 0, 0));
  EXPECT_EQ(form.grid()->palette().color(QPalette::Text), QColor(255, 255, 255));
  child<QRadioButton>("rblight")->click();
  EXPECT_EQ(form.grid()->palette().color(QPalette::Base), QColor(255, 255, 255));
  child<QCheckBox>("CheckSplit")->click();
  EXPECT_TRUE(settings.viewerSplitArtistTitle);
  EXPECT_EQ(form.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "title");
  EXPECT_EQ(cell(0, 0), " Artist 0 ");
  expectCellsMatchLogic();
}

TEST_F(ViewFormTest, PlayHandsTheSelectionToTheDesktop) {
  select(1, 1);
  child<QPushButton>("ButPlay")->click();
  ASSERT_EQ(ui.shown.size(), 1u);  // the file does not exist
  EXPECT_EQ(ui.shown[0].text, "The file doesn't exist.");
  select(1, 2);
  child<QPushButton>("ButPlay")->click();
  ASSERT_EQ(ui.opened.size(), 1u);
  EXPECT_EQ(ui.opened[0].first, home.home() + "mp3snlg.m3u");
}

TEST_F(ViewFormTest, ClosingForTheProgramsEndAsksAboutAFilteredList) {
  GridPosition pos;
  ASSERT_TRUE(form.unit().filter("Song 1", false, pos));
  ui.answers = {Answer::Cancel};
  EXPECT_FALSE(form.closeForExit());
  EXPECT_TRUE(form.isVisible());
  ui.answers = {Answer::Yes};
  EXPECT_TRUE(form.closeForExit());
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(list.items.size(), 40u);
  EXPECT_EQ(ui.shown.size(), 2u);  // asked once each time, never again by the close itself
}

// A family that is not installed (the stored default is a Windows font) gives a fixed-width
// font, so that the padded numeric columns stay aligned.
TEST(ViewGridFontTest, AMissingFamilyFallsBackToAFixedWidthFont) {
  const QFont font = installedFont({11, 1, "No Such Family Sonalog", kFontBold});
  EXPECT_TRUE(QFontInfo(font).fixedPitch());
  EXPECT_EQ(font.pointSize(), 11);
  EXPECT_TRUE(font.bold());
}

// The font dialog is shown the family's own name for the font's style, so that its OK alone
// changes nothing (a style name the family lacks made it start on its first style, an oblique).
TEST(ViewGridFontTest, TheFontDialogStartsOnTheFontsOwnSlant) {
  for (const QString& family : QFontDatabase::families()) {
    for (const bool italic : {false, true}) {
      QFont font(family, 10);
      font.setItalic(italic);
      const QFont shown = forFontDialog(font);
      if (shown.styleName().isEmpty()) continue;  // the family has no style of that slant
      const QFont start = QFontDatabase::font(shown.family(), shown.styleName(), 10);
      EXPECT_EQ(start.style() != QFont::StyleNormal, italic) << family.toStdString();
    }
  }
}

// Every button and menu entry of the viewer, used once: the command the window then runs, or
// for the controls that only change how the list looks or open another window, what changed.
TEST_F(ViewFormTest, EveryButtonAndMenuEntryReachesItsCommand) {
  int saves = 0, exports = 0, options = 0;
  TViewForm::Hooks hooks;
  hooks.saveAs = [&] { ++saves; };
  hooks.exportList = [&] { ++exports; };
  hooks.options = [&] { return ++options, false; };
  hooks.duplicates = [] { return false; };
  hooks.compare = [] { return false; };
  hooks.closed = [this](bool changed) { closedChanged = changed; };
  form.setHooks(hooks);
  form.runDialog = [](QDialog&) { return int(QDialog::Rejected); };
  std::vector<ViewAction> ran;
  QObject::connect(&form, &TViewForm::commandRun, [&](ViewAction a) { ran.push_back(a); });
  auto use = [&](const char* name) {
    if (auto* b = form.findChild<QAbstractButton*>(name))
      b->click();
    else if (auto* a = form.findChild<QAction*>(name))
      a->trigger();
    else
      ADD_FAILURE() << name;
  };
  list.sortCode = kSortUnsorted;  // Re-sort enabled
  form.listChanged();
  const std::pair<const char*, ViewAction> commands[] = {
      {"EditBut", ViewAction::Edit},         {"MenuEdit", ViewAction::Edit},
      {"InsertBut", ViewAction::Insert},     {"MenuInsert", ViewAction::Insert},
      {"FindBut", ViewAction::Find},         {"MenuFind", ViewAction::Find},
      {"ButPlay", ViewAction::Play},         {"MenuPlay", ViewAction::Play},
      {"FontBut", ViewAction::Font},         {"MenuFont", ViewAction::Font},
      {"DupBut", ViewAction::Duplicates},    {"CompBut", ViewAction::Compare},
      {"MenuResort", ViewAction::Resort},    {"UndoBut", ViewAction::Undo},
      {"ResortBut", ViewAction::Resort},     {"MenuUndo", ViewAction::Undo},
      {"DeleteBut", ViewAction::Delete},     {"MenuDelete", ViewAction::Delete},
      {"ButPrimary", ViewAction::MakePrimary}, {"MenuResort", ViewAction::MakePrimary},
      {"InsertBut", ViewAction::Unfilter},   {"MenuInsert", ViewAction::Unfilter}};
  for (const auto& [name, action] : commands) {
    if (action == ViewAction::MakePrimary || (action == ViewAction::Unfilter && !form.unit().filtered())) {
      GridPosition pos;
      if (!form.unit().filtered()) {
        ASSERT_TRUE(form.unit().filter("Song", false, pos));
      }
      form.listChanged();
      ui.answers = {Answer::No};  // not made primary: still filtered
    }
    ran.clear();
    use(name);
    EXPECT_EQ(ran, std::vector<ViewAction>{action}) << name;
  }
  // The looks and the other windows.
  use("rbdark");
  EXPECT_EQ(settings.viewerColourScheme, 2);
  use("MenuColors1");
  EXPECT_EQ(settings.viewerColourScheme, 1);
  use("MenuTime3");
  EXPECT_EQ(settings.viewerTotalTimeStyle, 3);
  use("MenuCwManual");
  EXPECT_TRUE(settings.viewerManualWidths);
  use("acwcheck");
  EXPECT_FALSE(settings.viewerManualWidths);
  use("CheckSplit");
  EXPECT_TRUE(settings.viewerSplitArtistTitle);
  child<QSpinBox>("UpDown1")->setValue(14);
  EXPECT_EQ(settings.viewerFont.size, 14);
  for (const char* name : {"SaveBut", "ExportBut", "OptBut"}) use(name);
  EXPECT_EQ(std::tuple(saves, exports, options), std::tuple(1, 1, 1));
  use("CloseBut");
  EXPECT_TRUE(closedChanged.has_value());
}

TEST_F(ViewFormTest, ButtonsShowTheLogicsCommands) {
  const ViewCommands c = form.unit().commands();
  const std::pair<const char*, ViewCommand> table[] = {
      {"EditBut", c.edit},     {"InsertBut", c.insert},   {"DeleteBut", c.remove},
      {"UndoBut", c.undo},     {"FindBut", c.find},       {"ResortBut", c.resort},
      {"ButPrimary", c.primary}, {"ButPlay", c.play},     {"FontBut", c.font}};
  for (const auto& [name, command] : table) {
    EXPECT_EQ(child<QPushButton>(name)->isEnabled(), command.enabled) << name;
    EXPECT_EQ(!child<QPushButton>(name)->isHidden(), command.visible) << name;
  }
}

TEST_F(ViewFormTest, GridKeysAndClicksReachTheLogic) {
  auto key = [&](int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent e(QEvent::KeyPress, k, mods, text);
    QApplication::sendEvent(form.grid(), &e);
  };
  auto click = [&](int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const QPointF at = form.grid()->visualRect(form.model()->index(row, 0)).center();
    QMouseEvent e(QEvent::MouseButtonPress, at, form.grid()->viewport()->mapToGlobal(at),
                  Qt::LeftButton, Qt::LeftButton, mods);
    QApplication::sendEvent(form.grid()->viewport(), &e);
  };
  const ViewSelection& sel = form.unit().selection();
  key(Qt::Key_End);
  EXPECT_EQ(sel.range(), (RowRange{39, 39}));
  EXPECT_EQ(form.grid()->currentIndex().row(), 39);
  key(Qt::Key_Home);
  click(2);
  click(6, Qt::ControlModifier);
  EXPECT_EQ(sel.range(), (RowRange{2, 6}));
  EXPECT_EQ(form.grid()->selectionModel()->selectedRows().size(), 5);
  key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text().count('\n'), 5);
  key(Qt::Key_A, Qt::NoModifier, "a");  // every name begins with "Artist": the next row
  EXPECT_EQ(sel.range(), (RowRange{7, 7}));
  key(Qt::Key_Delete);
  EXPECT_EQ(names().size(), 39u);
  EXPECT_EQ(names()[7], song(8).fileName);
  int editors = 0;
  form.runDialog = [&](QDialog& d) {
    editors += dynamic_cast<TInsertForm*>(&d) != nullptr;
    return int(QDialog::Rejected);
  };
  key(Qt::Key_Return);
  EXPECT_EQ(editors, 1);
}

}  // namespace
}  // namespace sonalog::ui

namespace sonalog::ui {
namespace {

// "&View" from the main window: the viewer runs until it closes, then the main window's status
// tells that the list changed.
TEST(ViewerWindowTest, RunsUntilClosedAndReportsTheChange) {
  TempHome home;
  QtUserInterface ui;
  ui.script({});
  MainUnit main(ui);
  ASSERT_TRUE(main.startUp({}, home.path("program")));
  for (int i = 0; i < 5; ++i) main.list().items.push_back(song(i));
  main.settings().viewerMaximized = false;
  QWidget caller;
  bool callerDisabled = false;
  QTimer::singleShot(0, [&] {
    callerDisabled = !caller.isEnabled();
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* form = qobject_cast<TViewForm*>(w); form && form->isVisible()) {
        form->grid()->selectRow(0);
        form->DeleteButClick();
        form->close();
      }
  });
  runViewerWindow(main, ui, &caller, {}, {});
  EXPECT_TRUE(callerDisabled);
  EXPECT_TRUE(caller.isEnabled());
  EXPECT_EQ(main.list().items.size(), 4u);
  EXPECT_EQ(main.status(), "Altered, 4 items.");
  EXPECT_TRUE(main.list().unsaved);
}

}  // namespace
}  // namespace sonalog::ui
