#include "ui/main/MainForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/ApiUnit.h"
#include "core/ListFile.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "settings/Settings.h"
#include "tests/support/Items.h"
#include "tests/support/Mp3Builder.h"
#include "tests/support/TempHome.h"
#include "ui/main/AboutForm.h"
#include "ui/main/ImportForm.h"
#include "ui/main/InputCaptionForm.h"
#include "ui/main/LoadMergeForm.h"
#include "ui/widgets/QtUserInterface.h"

namespace sonalog::ui {
namespace {

using testing::TempHome;

ListItem item(const std::string& name, const std::string& folder = "/music") {
  return testing::ItemBuilder(name).folder(folder).sizeKB(3835).frames(9379);
}

// Runs check once the event loop runs next: inside the scan, or inside a window the click opened.
void whenEventsRun(std::function<void()> check) { QTimer::singleShot(0, qApp, std::move(check)); }

void pressKey(QWidget* target, int key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
}

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() {
    ui.script({});
    EXPECT_TRUE(main.startUp({}, home.path("program")));
    main.settings().fadeMainWindow = 0;
  }
  ~MainFormTest() override {
    if (form) form->hide();
  }

  void open(const std::vector<std::string>& arguments = {}) {
    form = std::make_unique<TMainForm>(main, ui);
    form->setVolumes({platform::Volume{"/", "", "", ""}});
    form->activate(arguments);
  }
  std::string writeList(const std::string& name, size_t count, const std::string& folder = "/music") {
    std::vector<ListItem> items;
    for (size_t i = 0; i < count; ++i) items.push_back(item(name + " song " + std::to_string(i), folder));
    const std::string path = home.path(name + ".snlg");
    EXPECT_TRUE(writeListFile(path, items, 0));
    return path;
  }
  template <class T>
  T* child(const char* name) {
    T* w = form->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QPushButton* button(const char* name) { return child<QPushButton>(name); }

  TempHome home;
  QtUserInterface ui;
  MainUnit main{ui};
  std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, EveryControlWithItsCaptionAndTheEnablingOfAnEmptyAndAFullList) {
  open();
  EXPECT_EQ(form->windowTitle(), " mp3 Sonalog");
  const std::pair<const char*, const char*> captions[] = {
      {"SaveBut", "&Save as"}, {"ExportBut", "E&xport"},   {"ButBatch", "Batc&h"},  {"LoadBut", "&Load"},
      {"ImportBut", "I&mport"}, {"StartBut", "&NEW"},     {"apbut", "A&PPEND"},    {"Cancelbutton", "CANCEL"},
      {"OptBut", "&Options"},   {"ViewBut", "&View"},      {"ExtViewBut", "Vie&w ext."}, {"AboutBut", "A&bout"},
      {"ButFont", "F"}};
  for (const auto& [name, caption] : captions) {
    QPushButton* b = button(name);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->text(), caption) << name;
    EXPECT_FALSE(b->toolTip().isEmpty()) << name;
  }
  EXPECT_EQ(child<QCheckBox>("sadcheck")->text(), "Search all &drives");
  EXPECT_EQ(child<QCheckBox>("Incbox")->text(), "&Include subfolders");
  EXPECT_TRUE(child<QCheckBox>("Incbox")->isChecked());
  EXPECT_EQ(child<QLabel>("Label1")->text(), "Ready.");
  ASSERT_NE(child<QComboBox>("Drive1"), nullptr);
  EXPECT_EQ(child<QComboBox>("Drive1")->currentText(), "/");
  ASSERT_NE(child<QTreeView>("Dir1"), nullptr);
  EXPECT_EQ(child<QSpinBox>("updn1")->value(), 10);

  QStringList batch;
  for (QAction* a : child<QMenu>("PmenuRecur")->actions()) batch << a->text();
  EXPECT_EQ(batch, QStringList({"Create a list in each subfolder (prompts for single filename)",
                                "Create a file for each subfolder (in the root folder, short style, no prompt)",
                                "Create a file for each subfolder (in the root folder, long style, no prompt)"}));
  QStringList pop;
  QString checked;
  for (QAction* a : child<QMenu>("PopMain")->actions()) {
    if (a->isSeparator()) continue;
    pop << a->text();
    if (a->isChecked()) checked = a->text();
  }
  EXPECT_EQ(pop, QStringList({"Choose &font", "size=&6", "size=&8", "size=&9", "size=1&0 (default)", "size=1&1",
                              "size=1&2", "si&ze=16"}));
  EXPECT_EQ(checked, "size=1&0 (default)");

  // An empty list: only what needs no list. View waits for the viewer to be bound.
  for (const char* name : {"SaveBut", "ExportBut", "ButBatch", "apbut", "ViewBut", "ExtViewBut"})
    EXPECT_FALSE(button(name)->isEnabled()) << name;
  for (const char* name : {"LoadBut", "ImportBut", "StartBut", "AboutBut", "OptBut"})
    EXPECT_TRUE(button(name)->isEnabled()) << name;
  EXPECT_TRUE(button("Cancelbutton")->isHidden());

  // Options opens the options window while the main window waits; its CANCEL returns.
  bool optionsShown = false, mainWaited = false;
  whenEventsRun([&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* cancel = w->findChild<QPushButton*>("CancelBut");
      if (!w->isVisible() || !cancel || !w->findChild<QPushButton*>("OkBut")) continue;
      optionsShown = true;
      mainWaited = !form->isEnabled();
      cancel->click();
    }
  });
  button("OptBut")->click();
  EXPECT_TRUE(optionsShown);
  EXPECT_TRUE(mainWaited);
  EXPECT_TRUE(form->isEnabled());

  // Search all drives disables the folder choice.
  child<QCheckBox>("sadcheck")->click();
  EXPECT_FALSE(child<QTreeView>("Dir1")->isEnabled());
  EXPECT_FALSE(child<QCheckBox>("Incbox")->isEnabled());
  EXPECT_TRUE(main.settings().sadcheck);
}

TEST_F(MainFormTest, StartUpListEnablesTheListCommands) {
  const std::string three = writeList("three", 3);
  open({three});
  EXPECT_EQ(child<QLabel>("Label1")->text(), "Loaded 3 items.");
  form->setViewerWindow([] {});
  form->updateCommands();
  for (const char* name : {"SaveBut", "ExportBut", "ButBatch", "apbut", "ViewBut"})
    EXPECT_TRUE(button(name)->isEnabled()) << name;
}

TEST_F(MainFormTest, NewScanShowsCancelAndStopsOnCancelOrEscape) {
  for (int i = 0; i < 60; ++i)
    ASSERT_TRUE(testing::writeBytes(home.path("music/f" + std::to_string(i) + ".mp3"),
                                    testing::Mp3Builder().frames(testing::mpeg1(9), 40).str()));
  main.settings().minsizetext = 1;
  main.setFolder(home.path("music"));
  open();
  bool newHidden = false, cancelShown = false, loadDisabled = false;
  whenEventsRun([&] {
    newHidden = button("StartBut")->isHidden() && button("apbut")->isHidden();
    cancelShown = button("Cancelbutton")->isVisible();
    loadDisabled = !button("LoadBut")->isEnabled() && !child<QTreeView>("Dir1")->isEnabled();
    button("Cancelbutton")->click();
  });
  button("StartBut")->click();
  EXPECT_TRUE(newHidden);
  EXPECT_TRUE(cancelShown);
  EXPECT_TRUE(loadDisabled);
  EXPECT_LT(main.list().itemCount(), 60u);
  EXPECT_FALSE(main.scanning());
  EXPECT_TRUE(button("StartBut")->isVisible());
  EXPECT_TRUE(button("Cancelbutton")->isHidden());
  EXPECT_EQ(child<QLabel>("Label1")->text().toStdString(), main.status());

  // Escape, wherever the focus is in the window, stops the scan as well.
  whenEventsRun([&] { pressKey(child<QTreeView>("Dir1"), Qt::Key_Escape); });
  button("StartBut")->click();
  EXPECT_LT(main.list().itemCount(), 60u);

  // Without a cancel the whole tree is scanned.
  button("StartBut")->click();
  EXPECT_EQ(main.list().itemCount(), 60u);
  EXPECT_TRUE(button("apbut")->isEnabled());
}

TEST_F(MainFormTest, LoadMergesThroughTheLoadOptionsWindow) {
  open({writeList("two", 2)});
  const std::string three = writeList("three", 3);
  ui.script({}, {FileDialogResult{three, 0}});
  bool appendChoicesFollowed = false;
  whenEventsRun([&] {
    TLoadMergeForm& w = form->loadMergeForm();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), " Load options");
    auto* rg1 = w.findChild<QGroupBox*>("Rg1");
    EXPECT_EQ(rg1->title(), " if you append: ");
    EXPECT_EQ(w.findChild<QCheckBox*>("DontShowCheck")->text(), "Don't show this &window again!");
    const bool disabledForNew = !rg1->isEnabled();
    w.findChild<QRadioButton*>("Rb2")->click();
    appendChoicesFollowed = disabledForNew && rg1->isEnabled();
    w.findChild<QRadioButton*>("Rg1_3")->click();
    w.findChild<QPushButton*>("GoBut")->click();
  });
  form->LoadButClick(false);
  EXPECT_TRUE(appendChoicesFollowed);
  EXPECT_EQ(main.list().itemCount(), 5u);
  EXPECT_EQ(child<QLabel>("Label1")->text(), "Loaded 3, total 5 items.");
  EXPECT_EQ(main.list().sortCode, kSortUnsorted);
  EXPECT_EQ(main.settings().loadMergeAppend, 1);
  EXPECT_EQ(main.settings().Rg1, 3);
  EXPECT_TRUE(form->isEnabled());

  // Escape closes the window as a cancel: no dialog, nothing loaded, the choices as they were.
  ui.script({}, {FileDialogResult{three, 0}});
  whenEventsRun([&] {
    form->loadMergeForm().findChild<QRadioButton*>("Rb1")->click();
    pressKey(&form->loadMergeForm(), Qt::Key_Escape);
  });
  form->LoadButClick(false);
  EXPECT_EQ(main.list().itemCount(), 5u);
  EXPECT_EQ(main.settings().loadMergeAppend, 1);
}

TEST_F(MainFormTest, ImportOptionsWindowFollowsTheFileTypeAndCancelPutsTheOptionsBack) {
  home.writeFile("play.m3u", "#EXTM3U\r\n#EXTINF:215,Song\r\n/music/Song.mp3\r\n");
  main.settings().ImapCheck = true;
  main.settings().importFolder = home.path();
  open();
  struct Seen {
    bool appendOff = false, stripOff = false, m3uRules = false, otherRules = false, keyX = false;
  } seen;
  whenEventsRun([&] {
    TImportForm& w = form->importForm();
    auto box = [&](const char* name) { return w.findChild<QCheckBox*>(name); };
    seen.appendOff = !box("ImapCheck")->isEnabled() && !box("ImapCheck")->isChecked();
    seen.stripOff = !box("stripcheck")->isEnabled() && !box("stripcheck")->isChecked();
    w.findChild<QRadioButton*>("Rimcb3")->click();
    seen.m3uRules = !box("cmfcheck")->isEnabled() && box("cmfcheck")->isChecked() && box("clabcheck")->isEnabled() &&
                    !box("MircCheck")->isEnabled() && !w.findChild<QGroupBox*>("daradio")->isEnabled();
    w.findChild<QRadioButton*>("Rimcb2")->click();
    seen.otherRules = box("cmfcheck")->isEnabled() && !box("clabcheck")->isEnabled() && box("MircCheck")->isEnabled();
    pressKey(&w, Qt::Key_X, "x");
    seen.keyX = box("MircCheck")->isChecked();
    pressKey(&w, Qt::Key_Escape);
  });
  form->ImportButClick();
  EXPECT_TRUE(seen.appendOff);
  EXPECT_TRUE(seen.stripOff);
  EXPECT_TRUE(seen.m3uRules);
  EXPECT_TRUE(seen.otherRules);
  EXPECT_TRUE(seen.keyX);
  EXPECT_EQ(main.settings().importFileType, 0);
  EXPECT_FALSE(main.settings().examineBangLines);
  EXPECT_EQ(main.list().itemCount(), 0u);

  // GO on m3u reads the chosen playlist.
  ui.script({}, {FileDialogResult{home.path("play.m3u"), 0}});
  whenEventsRun([&] {
    form->importForm().findChild<QRadioButton*>("Rimcb3")->click();
    form->importForm().findChild<QPushButton*>("Gobut")->click();
  });
  form->ImportButClick();
  ASSERT_EQ(main.list().itemCount(), 1u);
  EXPECT_EQ(main.list().items[0].fileName, "Song");
  EXPECT_EQ(main.settings().importFileType, 2);
  EXPECT_TRUE(button("SaveBut")->isEnabled());
}

TEST_F(MainFormTest, ExportAsksTheCaptionThenWritesAndEnablesViewExternal) {
  open({writeList("one", 1)});
  main.settings().ooptcombo = 2;  // HTML table
  main.settings().ComboCap = 3;   // always ask
  const std::string out = home.path("list.html");

  // Cancel in the caption window abandons the export before its dialog.
  whenEventsRun([&] {
    TInputCaptionForm& w = form->inputCaptionForm();
    EXPECT_EQ(w.windowTitle(), "Input the caption");
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    w.findChild<QPushButton*>("ButCancel")->click();
  });
  form->ExportButClick();
  EXPECT_FALSE(platform::fileExists(out));
  EXPECT_FALSE(button("ExtViewBut")->isEnabled());

  ui.script({}, {FileDialogResult{out, 1}});
  whenEventsRun([&] {
    TInputCaptionForm& w = form->inputCaptionForm();
    w.findChild<QLineEdit*>("EditCap")->setText("  Best of  ");
    w.findChild<QCheckBox*>("CheckRem")->setChecked(true);
    w.findChild<QPushButton*>("ButOk")->click();
  });
  form->ExportButClick();
  EXPECT_TRUE(platform::fileExists(out));
  EXPECT_EQ(main.settings().lastCaption, "Best of");
  EXPECT_TRUE(main.settings().CheckRem);
  EXPECT_NE(home.readFile("list.html").find("Best of"), std::string::npos);
  EXPECT_TRUE(button("ExtViewBut")->isEnabled());
  EXPECT_EQ(child<QLabel>("Label1")->text(), "Loaded 1 item.");  // the status the export found

  // With remember on, the window opens with the last caption.
  QString preset;
  whenEventsRun([&] {
    preset = form->inputCaptionForm().findChild<QLineEdit*>("EditCap")->text();
    pressKey(&form->inputCaptionForm(), Qt::Key_Escape);
  });
  form->ExportButClick();
  EXPECT_EQ(preset, "Best of");
}

TEST_F(MainFormTest, FontKeysStatusBoxAndClosingQuestions) {
  open();
  QTreeView* dir = child<QTreeView>("Dir1");
  main.setFontSize(32);
  pressKey(dir, Qt::Key_Plus, "+");
  EXPECT_EQ(main.settings().folderTreeFont.size, 32);
  pressKey(dir, Qt::Key_Minus, "-");
  EXPECT_EQ(main.settings().folderTreeFont.size, 31);
  EXPECT_EQ(child<QSpinBox>("updn1")->value(), 31);
  EXPECT_EQ(dir->font().pointSize(), 31);
  EXPECT_LE(QFontMetrics(child<QComboBox>("Drive1")->font()).height(), 16);
  form->setFolderFontSize(4);
  pressKey(dir, Qt::Key_Minus, "-");
  EXPECT_EQ(main.settings().folderTreeFont.size, 4);
  for (QAction* a : child<QMenu>("PopMain")->actions())
    if (a->text() == "size=1&2") a->trigger();
  EXPECT_EQ(main.settings().folderTreeFont.size, 12);

  main.setStatus("Added: 1 of 1. Total: 1 item.");
  form->Label1DblClick();
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown.back().text, "Added: 1 of 1. Total: 1 item.");

  // An unsaved list of 500 items asks before closing; No keeps the window.
  main.list().items.assign(500, item("x"));
  main.list().unsaved = true;
  ui.script({Answer::No});
  EXPECT_FALSE(form->close());
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(ui.shown.back().text, "With unsaved list... are you sure?");
  form->move(40, 30);
  ui.script({Answer::Yes});
  EXPECT_TRUE(form->close());
  Settings saved;
  ASSERT_TRUE(loadSettings(home.home() + "mp3snlg.ini", saved));
  EXPECT_EQ(saved.folderTreeFont.size, 12);
  EXPECT_EQ(saved.mainWindowPos.left, form->x());
}

TEST_F(MainFormTest, HelpLocationLineAndUnshownWindowsKeepTheirPlaces) {
  main.settings().aboutWindowPos = {123, 45};
  main.settings().importWindowPos = {67, 89};
  open();
  pressKey(child<QTreeView>("Dir1"), Qt::Key_F1);
  form->aboutForm().findChild<QPushButton*>("ButHelp")->click();
  ASSERT_EQ(ui.opened.size(), 2u);
  EXPECT_EQ(ui.opened[1].first, helpPagePath(platform::programFolder()));

  QLineEdit* line = child<QLineEdit>("EditFolder");
  EXPECT_EQ(line->text(), form->currentFolder());
  std::filesystem::create_directories(home.path("music"));
  line->setText(QString::fromStdString(home.path("music")));
  pressKey(line, Qt::Key_Return);
  EXPECT_EQ(main.folder(), home.path("music"));
  const int size = main.settings().folderTreeFont.size;
  line->setText("/no/such/folder");
  pressKey(line, Qt::Key_Minus, "-");
  pressKey(line, Qt::Key_Return);
  EXPECT_EQ(line->text(), QString::fromStdString(home.path("music")));
  EXPECT_EQ(main.settings().folderTreeFont.size, size);

  EXPECT_TRUE(form->close());
  Settings saved;
  ASSERT_TRUE(loadSettings(home.home() + "mp3snlg.ini", saved));
  EXPECT_EQ(saved.aboutWindowPos, (WindowPosition{123, 45}));
  EXPECT_EQ(saved.importWindowPos, (WindowPosition{67, 89}));
  EXPECT_EQ(saved.mainFolder, home.path("music"));
}

}  // namespace
}  // namespace sonalog::ui
