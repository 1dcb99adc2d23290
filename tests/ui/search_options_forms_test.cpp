#include <gtest/gtest.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include "core/MainUnit.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"
#include "tests/ui/SearchWindowTesting.h"
#include "ui/search/PreCompForm.h"
#include "ui/search/PreDupForm.h"
#include "ui/search/SearchWindows.h"

namespace sonalog::testing {
namespace {

using namespace sonalog::ui;

void pressEscape(QWidget& window) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &press);
}

TEST(PreDupFormTest, OpeningShowsTheCorrectedValuesAndTheEditsFollowTheirChecks) {
  TempHome home;
  Settings settings;
  settings.matchThreshold = 40;
  settings.timeLimitSec = 150;
  settings.sizeCheck = false;
  settings.actionMode = 2;
  settings.threadPriority = 9;
  TPreDupForm form(settings);
  form.ui().script({});
  ASSERT_TRUE(form.open(false));
  form.show();
  EXPECT_EQ(toStd(form.windowTitle()), " Duplicates search options");
  EXPECT_EQ(control<QSlider>(form, "TrackBar1")->value(), 99);
  EXPECT_EQ(control<QLineEdit>(form, "TimeEdit")->text(), "20");
  EXPECT_FALSE(control<QLineEdit>(form, "SizeEdit")->isEnabled());
  EXPECT_TRUE(control<QRadioButton>(form, "rbut3")->isChecked());
  EXPECT_TRUE(control<QRadioButton>(form, "NormalPriorityCheck")->isChecked());
  EXPECT_EQ(settings.threadPriority, 1);
  EXPECT_EQ(control<QLabel>(form, "LabNote")->toolTip(), "Time is proportional to squared number of items in the list");

  click(form, "sizedifcheck");
  EXPECT_TRUE(settings.sizeCheck);
  auto* size = control<QLineEdit>(form, "SizeEdit");
  EXPECT_TRUE(size->isEnabled());
  EXPECT_EQ(size->maxLength(), 4);
  size->setText("abc");
  EXPECT_EQ(settings.sizeLimitKB, 500);
  size->setText("9999");
  EXPECT_EQ(settings.sizeLimitKB, 9999);
  control<QLineEdit>(form, "TimeEdit")->setText("");
  EXPECT_EQ(settings.timeLimitSec, 20);
  control<QSlider>(form, "TrackBar1")->setValue(85);
  EXPECT_EQ(settings.matchThreshold, 85);
  click(form, "rbut1");
  EXPECT_EQ(settings.actionMode, 0);
  Q_EMIT control<ClickableLabel>(form, "LetterLab")->clicked();
  EXPECT_TRUE(settings.firstLetterCheck);
  click(form, "HighPriorityCheck");
  EXPECT_EQ(settings.threadPriority, 2);

  click(form, "GoBut");
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(form.started());
  EXPECT_EQ(form.options().match.matchThreshold, 85);
  EXPECT_DOUBLE_EQ(form.options().match.partThreshold, 0.85 * 0.85);
  EXPECT_EQ(form.options().actionMode, 0);
  EXPECT_EQ(settings.matchThreshold, 85);  // GO keeps the changes
}

TEST(PreDupFormTest, EscapeAndLosingTheFocusCancel) {
  TempHome home;
  for (const bool escape : {true, false}) {
    Settings settings;
    settings.matchThreshold = 150;  // restored as stored, not as corrected
    const Settings before = settings;
    TPreDupForm form(settings);
    form.ui().script({});
    ASSERT_TRUE(form.open(false));
    form.show();
    control<QSlider>(form, "TrackBar1")->setValue(60);
    click(form, "Bitcheck");
    if (escape) pressEscape(form);
    else form.focusLost();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.started());
    Settings expected = before;
    expected.duplicatesOptionsWindowPos = settings.duplicatesOptionsWindowPos;
    EXPECT_EQ(settings, expected);
  }
  Settings settings;
  TPreDupForm form(settings);
  form.ui().script({});
  EXPECT_FALSE(form.open(true));
  ASSERT_EQ(form.ui().shown.size(), 1u);
  EXPECT_EQ(form.ui().shown[0].text, "Close compare window first.");
}

class PreCompFormTest : public ::testing::Test {
 protected:
  TempHome home;
  Settings settings;

  std::string file(const std::string& name) {
    home.writeFile(name, "x");
    return home.path(name);
  }
  std::string mark(QWidget& form, const char* button) {
    return control<QPushButton>(form, button)->property("mark").toString().toStdString();
  }
};

TEST_F(PreCompFormTest, MarksAndGoFollowTheChosenFilesAndTheAction) {
  settings.compareWith = 0;
  settings.compareAction = 0;
  TPreCompForm form(settings);
  ASSERT_TRUE(form.open(false));
  form.show();
  EXPECT_EQ(toStd(form.windowTitle()), " Compare options");
  EXPECT_FALSE(control<QCheckBox>(form, "IgnoreCheck")->isEnabled());
  EXPECT_FALSE(control<QCheckBox>(form, "relaxcheck")->isChecked());
  EXPECT_FALSE(control<QPushButton>(form, "GoBut")->isEnabled());
  EXPECT_FALSE(control<QPushButton>(form, "ButLast")->isEnabled());
  EXPECT_EQ(mark(form, "ButLoadFile"), "red");
  EXPECT_EQ(control<QPushButton>(form, "ButLoadFile")->toolTip(), "Choose external list to compare with");

  form.ui().script({}, {FileDialogResult{file("old.SNLG"), 0}, FileDialogResult{home.path("result"), 1}});
  click(form, "ButLoadFile");
  EXPECT_EQ(mark(form, "ButLoadFile"), "green");
  EXPECT_EQ(control<QLabel>(form, "LabInpFile")->toolTip(), "Input file: old.SNLG");
  EXPECT_FALSE(control<QPushButton>(form, "GoBut")->isEnabled());
  click(form, "ButSaveFile");  // "log files": ".log" is appended
  EXPECT_EQ(form.unit().outputPath, home.path("result.log"));
  EXPECT_EQ(mark(form, "ButSaveFile"), "green");
  EXPECT_TRUE(control<QPushButton>(form, "GoBut")->isEnabled());

  // A list type needs a ".snlg" output: red, GO disabled.
  control<QComboBox>(form, "ActionCombo")->setCurrentIndex(1);
  EXPECT_EQ(settings.compareAction, 1);
  EXPECT_EQ(mark(form, "ButSaveFile"), "red");
  EXPECT_FALSE(control<QPushButton>(form, "GoBut")->isEnabled());
  // The removal types need no output file.
  control<QComboBox>(form, "ActionCombo")->setCurrentIndex(4);
  EXPECT_FALSE(control<QPushButton>(form, "ButSaveFile")->isEnabled());
  EXPECT_TRUE(control<QPushButton>(form, "GoBut")->isEnabled());
  // A text list: any file is acceptable, IgnoreCheck and the relaxed switch go on.
  control<QComboBox>(form, "WithCombo")->setCurrentIndex(1);
  EXPECT_TRUE(control<QCheckBox>(form, "IgnoreCheck")->isEnabled());
  EXPECT_TRUE(control<QCheckBox>(form, "relaxcheck")->isChecked());
  click(form, "relaxcheck");  // off for a text list: the note, once
  click(form, "relaxcheck");
  click(form, "relaxcheck");
  ASSERT_EQ(form.ui().shown.size(), 1u);
  EXPECT_EQ(form.ui().shown[0].text.rfind("Please note that this option is not permanent.", 0), 0u);

  click(form, "GoBut");
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(form.started());
  EXPECT_EQ(form.job().inputPath, home.path("old.SNLG"));
  EXPECT_FALSE(form.job().relaxedSwitch);
  EXPECT_EQ(settings.lastExternalList, home.path("old.SNLG"));
  EXPECT_EQ(settings.compareWith, 1);
}

TEST_F(PreCompFormTest, CancelRestoresTheOptionsAndTheOtherSubsystemExcludesIt) {
  settings.compareAction = 2;
  const Settings before = settings;
  TPreCompForm form(settings);
  form.ui().script({});
  ASSERT_TRUE(form.open(false));
  form.show();
  control<QComboBox>(form, "ActionCombo")->setCurrentIndex(9);
  control<QComboBox>(form, "WithCombo")->setCurrentIndex(0);
  control<QSlider>(form, "comptrack")->setValue(70);
  control<QLineEdit>(form, "TimeEdit")->setText("5");
  pressEscape(form);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.started());
  Settings expected = before;
  expected.comparisonOptionsWindowPos = settings.comparisonOptionsWindowPos;
  EXPECT_EQ(settings, expected);

  TPreCompForm other(settings);
  other.ui().script({});
  EXPECT_FALSE(other.open(true));
  ASSERT_EQ(other.ui().shown.size(), 1u);
  EXPECT_EQ(other.ui().shown[0].text, "Close duplicates search window first.");
}

TEST(SearchWindowsTest, TheButtonsBlockTheMainCommandsUntilTheirWindowsClose) {
  TempHome home;
  FakeUi ui;
  MainUnit main(ui);
  main.list().items.resize(3);
  for (auto& item : main.list().items) item.fileName = "x";
  bool sawOpen = false;
  QTimer::singleShot(50, [&] {
    sawOpen = main.searchWindowOpen(SearchWindow::Duplicates) && !main.searchWindowOpen(SearchWindow::Compare) &&
              main.newScan().outcome == ScanOutcome::Declined;
    main.closeSearchWindows();  // the options window: a cancel
  });
  EXPECT_FALSE(showDuplicatesSearch(main, nullptr));
  EXPECT_TRUE(sawOpen);
  EXPECT_FALSE(main.secondaryRunOpen());
  EXPECT_EQ(main.list().itemCount(), 3u);

  QTimer::singleShot(50, [&] {
    sawOpen = main.searchWindowOpen(SearchWindow::Compare) && !main.searchWindowOpen(SearchWindow::Duplicates);
    main.closeSearchWindows();
  });
  EXPECT_FALSE(showListComparison(main, nullptr));
  EXPECT_TRUE(sawOpen);
  EXPECT_FALSE(main.secondaryRunOpen());
}

}  // namespace
}  // namespace sonalog::testing
