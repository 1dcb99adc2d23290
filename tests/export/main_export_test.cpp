#include "export/MainExport.h"

#include <gtest/gtest.h>

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
  MainExport buttons(main, ui);

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

}  // namespace
}  // namespace sonalog
