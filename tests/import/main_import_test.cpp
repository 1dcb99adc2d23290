#include "import/MainImport.h"

#include <gtest/gtest.h>

#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;

// Looks at the main window whenever the import shows its progress.
class ProbeUi : public FakeUi {
 public:
  std::function<void()> during;
  void setStatus(std::string_view text) override {
    if (during) during();
    FakeUi::setStatus(text);
  }
};

TEST(MainImportTest, OptionsWindowThenDialogThenImportWhileMarkedRunning) {
  testing::TempHome home;
  home.writeFile("play.m3u", "#EXTM3U\r\n#EXTINF:215,Song\r\n/music/Song.mp3\r\n");
  ProbeUi ui;
  MainUnit main(ui);
  MainImport button(main);
  button.setVolumeSource([] { return std::vector<platform::Volume>{}; });
  main.settings().ImapCheck = true;  // stored, but an empty list cannot be appended to

  // Cancel: the options go back, no dialog opens.
  bool appendShown = true;
  const auto cancelling = [&](ImportForm& form, const ImportSettings&) {
    appendShown = form.checked(ImportForm::Check::Append) || form.enabled(ImportForm::Check::Append);
    form.fileTypeClick(ImportFileType::M3u);
    form.cancel();
  };
  EXPECT_EQ(button.ImportButClick(cancelling), std::optional<bool>(false));
  EXPECT_FALSE(appendShown);
  EXPECT_EQ(main.settings().importFileType, 0);
  EXPECT_TRUE(ui.dialogs.empty());

  // GO on m3u: the dialog opens in the last import folder and the playlist is read.
  main.settings().importFolder = home.path();
  const auto going = [&](ImportForm& form, const ImportSettings& options) {
    EXPECT_EQ(options.fileType, ImportFileType::ExportedList);
    form.fileTypeClick(ImportFileType::M3u);
    form.go();
  };
  std::vector<MainCommands> seen;
  ui.during = [&] { seen.push_back(main.commands()); };
  ui.dialogResults.push_back(FileDialogResult{home.path("play.m3u"), 0});
  EXPECT_EQ(button.ImportButClick(going), std::optional<bool>(true));
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].folder, home.path());
  ASSERT_EQ(main.list().itemCount(), 1u);
  EXPECT_EQ(main.list().items[0].fileName, "Song");
  EXPECT_EQ(main.settings().importFileType, 2);
  EXPECT_EQ(main.status(), ui.lastStatus());
  ASSERT_FALSE(seen.empty());
  MainCommands busy;  // everything waits but About; NEW and APPEND stay in place
  EXPECT_EQ(seen[0], busy);
  EXPECT_EQ(main.activity(), MainActivity::Idle);

  // While another operation runs the click is ignored.
  const MainUnit::ActivityGuard running(main, MainActivity::Export);
  EXPECT_FALSE(button.ImportButClick(going));
}

}  // namespace
}  // namespace sonalog
