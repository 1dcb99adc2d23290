#include "export/MainExport.h"

#include <gtest/gtest.h>

#include "core/ListFile.h"
#include "tests/support/ExportFixtures.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::exportItem;
using testing::FakeUi;

TEST(MainExportTest, ExportBecomesTheViewTargetAndBatchWritesIntoTheMainFolder) {
  testing::TempHome home;
  FakeUi ui;
  MainUnit main(ui);
  main.setFolder(home.path());
  main.setStatus("2 files");
  main.list().items = {exportItem("a", "/x/rock"), exportItem("b", "/x/pop")};
  MainExport buttons(main);

  ui.dialogResults.push_back(FileDialogResult{home.path("list.txt"), 0});
  EXPECT_EQ(buttons.ExportButClick({}), ExportCommandResult::Written);
  EXPECT_TRUE(main.commands().viewExternal);
  EXPECT_TRUE(main.confirmViewExternal());
  EXPECT_EQ(ui.lastStatus(), "2 files");

  // The next dialog proposes the name just written.
  ui.dialogResults.push_back(std::nullopt);
  EXPECT_EQ(buttons.ExportButClick({}), ExportCommandResult::Abandoned);
  EXPECT_EQ(ui.dialogs.back().fileName, "list.txt");

  const std::optional<BatchSummary> batch = buttons.batchMenuClick(BatchStyle::ShortNames, {});
  ASSERT_TRUE(batch);
  EXPECT_EQ(batch->created, 2u);
  EXPECT_EQ(home.readFile("rock.txt"), "a, 4:05, 128 kbps, 3835 K");
}

TEST(MainExportTest, AnExportPutsBackTheStatusTheUserSawAndMarksItselfRunning) {
  testing::TempHome home;
  FakeUi ui;
  MainUnit main(ui);
  main.list().items = {exportItem("a", "/x/rock")};
  ASSERT_TRUE(writeListFile(home.path("one.snlg"), main.list().items, 0));
  main.list().clear();
  // Load writes its status through the unit's interface, as every command does.
  ui.dialogResults.push_back(FileDialogResult{home.path("one.snlg"), 0});
  ASSERT_EQ(main.loadClick({}, false), CommandResult::Done);
  ASSERT_EQ(main.status(), "Loaded 1 item.");

  MainExport buttons(main);
  bool askedWhileRunning = false;
  const CaptionAsker caption = [&](CaptionRequest& request) {
    askedWhileRunning = main.activity() == MainActivity::Export && !main.commands().load;
    request.accept("title", false);
    return true;
  };
  main.settings().ooptcombo = 2;  // HTML table
  main.settings().ComboCap = 3;   // always ask for the caption
  ui.dialogResults.push_back(FileDialogResult{home.path("list.html"), 0});
  EXPECT_EQ(buttons.ExportButClick(caption), ExportCommandResult::Written);
  EXPECT_TRUE(askedWhileRunning);
  EXPECT_EQ(ui.lastStatus(), "Loaded 1 item.");
  EXPECT_EQ(main.status(), "Loaded 1 item.");
  EXPECT_EQ(main.activity(), MainActivity::Idle);

  // A second command is ignored while one runs.
  const MainUnit::ActivityGuard scanning(main, MainActivity::Import);
  EXPECT_FALSE(buttons.ExportButClick(caption));
  EXPECT_FALSE(buttons.batchMenuClick(BatchStyle::LongNames, caption));
}

}  // namespace
}  // namespace sonalog
