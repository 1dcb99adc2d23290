#include <gtest/gtest.h>

#include "compare/PreCompUnit.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog::testing {
namespace {

class PreCompUnitTest : public ::testing::Test {
 protected:
  TempHome home;
  Settings settings;
  FakeUi ui;
  PreCompUnit unit{settings, ui};

  std::string file(const std::string& name) {
    home.writeFile(name, "x");
    return home.path(name);
  }
};

TEST_F(PreCompUnitTest, OpeningNormalisesTheStoredValues) {
  settings.compareWith = 3;
  settings.compareAction = 13;
  settings.actionMode = 4;
  settings.matchThreshold = 40;
  settings.timeLimitSec = 150;
  settings.sizeLimitKB = 10000;
  settings.threadPriority = 7;
  ASSERT_TRUE(unit.open(false));
  EXPECT_EQ(settings.compareWith, 1);
  EXPECT_EQ(settings.compareAction, 3);
  EXPECT_EQ(settings.actionMode, 1);
  EXPECT_EQ(settings.matchThreshold, 99);
  EXPECT_EQ(settings.timeLimitSec, 20);
  EXPECT_EQ(settings.sizeLimitKB, 400);
  EXPECT_EQ(settings.threadPriority, 1);
  EXPECT_TRUE(unit.relaxed);
  EXPECT_FALSE(unit.goEnabled);
  EXPECT_FALSE(unit.lastButtonEnabled);

  EXPECT_FALSE(unit.open(true));
  EXPECT_EQ(ui.texts().back(), "Close duplicates search window first.");
}

TEST_F(PreCompUnitTest, InputAcceptanceFollowsTheKindOfList) {
  settings.compareWith = 0;
  settings.compareAction = 4;
  unit.open(false);
  unit.acceptInput(file("old.SNLG"));
  EXPECT_EQ(unit.inputMark, FileMark::Green);
  EXPECT_TRUE(unit.goEnabled);  // types 4 and 9 need no output
  EXPECT_EQ(unit.inputHint, "Input file: old.SNLG");
  unit.acceptInput(file("old.txt"));
  EXPECT_EQ(unit.inputMark, FileMark::Red);
  EXPECT_FALSE(unit.goEnabled);
  unit.withChanged(1);  // any text list is fine
  EXPECT_TRUE(unit.goEnabled);
  EXPECT_TRUE(unit.relaxed);

  // A missing name gets the default extension before it is looked for.
  file("list.txt");
  unit.acceptInput(home.path("list"));
  EXPECT_EQ(unit.inputPath, home.path("list.txt"));
  unit.acceptInput(home.path("missing"));
  EXPECT_EQ(ui.texts().back(), "File doesn't exist, or can't be read.");
}

TEST_F(PreCompUnitTest, OutputNamesGetTheirExtensionAndMustSuitTheType) {
  settings.compareWith = 1;
  settings.compareAction = 1;
  unit.open(false);
  unit.acceptInput(file("ext.txt"));
  unit.acceptOutput(home.path("result"), 0, true);
  EXPECT_EQ(unit.outputPath, home.path("result.snlg"));
  EXPECT_EQ(unit.outputMark, FileMark::Green);
  EXPECT_TRUE(unit.goEnabled);

  unit.actionChanged(0);
  unit.acceptOutput(home.path("result"), 1, true);
  EXPECT_EQ(unit.outputPath, home.path("result.log"));

  unit.acceptOutput(file("result.txt"), 0, true);
  EXPECT_EQ(unit.outputMark, FileMark::Yellow);  // exists: will be replaced
  EXPECT_TRUE(unit.goEnabled);
  unit.actionChanged(1);  // a text name for a list type
  EXPECT_EQ(unit.outputMark, FileMark::Red);
  EXPECT_FALSE(unit.goEnabled);

  // A list name chosen for a text type, with "all files": red, GO disabled, no message.
  unit.actionChanged(0);
  const size_t boxes = ui.shown.size();
  unit.acceptOutput(home.path("other.snlg"), 2, true);
  EXPECT_EQ(unit.outputMark, FileMark::Red);
  EXPECT_FALSE(unit.goEnabled);
  EXPECT_EQ(ui.shown.size(), boxes);

  // The longer name exists: the replace question; No abandons the choice.
  file("taken.txt");
  ui.answers = {Answer::No};
  unit.acceptOutput(home.path("taken"), 0, true);
  EXPECT_EQ(ui.shown.back().text, home.path("taken.txt") + " already exists.\r\nDo you want to replace it?");
  EXPECT_EQ(unit.outputPath, home.path("other.snlg"));
}

TEST_F(PreCompUnitTest, RelaxedNoteOnceAndEditsKeepTheirLastValidValue) {
  settings.compareWith = 0;
  unit.open(false);
  EXPECT_FALSE(unit.relaxed);
  unit.relaxedClicked(true);
  unit.relaxedClicked(false);
  unit.relaxedClicked(true);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text,
            "Please note that this option is not permanent.\r\nWhen you change the type of file to "
            "compare to,\r\nthis switch changes to corresponding default.");
  unit.sizeEditChanged("abc");
  EXPECT_EQ(settings.sizeLimitKB, 500);
  unit.sizeEditChanged("9999");
  EXPECT_EQ(settings.sizeLimitKB, 9999);
  unit.timeEditChanged("");
  unit.timeEditChanged("100");
  EXPECT_EQ(settings.timeLimitSec, 30);
}

TEST_F(PreCompUnitTest, GoRemembersTheFilesAndLastFilesRestoreThem) {
  settings.compareWith = 0;
  settings.compareAction = 7;
  settings.matchThreshold = 80;
  unit.open(false);
  unit.acceptInput(file("a.snlg"));
  unit.acceptOutput(home.path("log.txt"), 0, true);
  ASSERT_TRUE(unit.goEnabled);
  unit.go();
  EXPECT_TRUE(unit.started);
  EXPECT_EQ(settings.lastExternalList, home.path("a.snlg"));
  EXPECT_EQ(settings.lastOutputFile, home.path("log.txt"));
  EXPECT_DOUBLE_EQ(unit.job().partThreshold, 0.64);
  EXPECT_FALSE(unit.job().relaxedSwitch);

  PreCompUnit again(settings, ui);
  again.open(false);
  EXPECT_TRUE(again.lastButtonEnabled);
  again.useLastFiles();
  EXPECT_EQ(again.inputPath, home.path("a.snlg"));
  EXPECT_EQ(again.outputPath, home.path("log.txt"));
  EXPECT_TRUE(again.goEnabled);
}

TEST_F(PreCompUnitTest, CancelPutsTheOptionsBackButKeepsTheChosenFolders) {
  settings.compareWith = 0;
  settings.compareAction = 12;  // stored out of range: normalised on opening, restored on cancel
  const Settings before = settings;
  ASSERT_TRUE(unit.open(false));
  unit.withChanged(1);
  unit.actionChanged(5);
  unit.sizeEditChanged("77");
  settings.examineBangLines = true;
  settings.matchThreshold = 60;
  unit.acceptInput(file("ext.txt"));
  unit.cancel();
  EXPECT_FALSE(unit.started);
  EXPECT_EQ(settings.compareInputFolder, home.path());
  Settings expected = before;
  expected.compareInputFolder = settings.compareInputFolder;
  EXPECT_EQ(settings, expected);
  EXPECT_TRUE(settings.lastExternalList.empty());
}

TEST(PreCompPathTest, LongPathsShowTheirEnd) {
  auto width = [](std::string_view s) { return static_cast<int>(s.size()); };
  EXPECT_EQ(shortenPath("/a/b.txt", 20, width), "/a/b.txt");
  EXPECT_EQ(shortenPath("/home/user/music/lists/old.txt", 12, width), "...s/old.txt");
  EXPECT_EQ(shortenPath("/home/user/x.txt", 2, width), "...t");
}

}  // namespace
}  // namespace sonalog::testing
