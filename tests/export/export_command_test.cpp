#include "export/ExportCommand.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Files.h"
#include "tests/support/ExportFixtures.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::exportItem;
using testing::FakeUi;

class ExportCommandTest : public ::testing::Test {
 protected:
  ExportCommandTest() {
    settings.exportFolder = home.path();
    for (int i = 0; i < 3; ++i) list.items.push_back(exportItem("Song " + std::to_string(i + 1)));
    list.sortCode = 0;
  }

  ExportCommandResult run(const std::string& chosenPath) {
    ui.dialogResults.push_back(FileDialogResult{chosenPath, 0});
    ExportContext context{list, settings, ui, memory, askCaption, "3 files"};
    return runExport(context);
  }

  std::vector<std::string> filesInHome() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(home.path()))
      if (e.path().filename() != "home") names.push_back(e.path().filename());  // the working folder
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempHome home;
  InternalList list;
  Settings settings;
  FakeUi ui;
  ExportMemory memory;
  CaptionAsker askCaption;
};

TEST_F(ExportCommandTest, EmptyListIsRefusedBeforeAnyDialog) {
  list.items.clear();
  ExportContext context{list, settings, ui, memory, askCaption, ""};
  EXPECT_EQ(runExport(context), ExportCommandResult::NothingToExport);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"No items to export!"});
  EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(ExportCommandTest, WritesTheFileAndRemembersFolderNameAndViewTarget) {
  memory.lastFileName = "previous.txt";
  const std::string path = home.path("out/list.txt");
  std::filesystem::create_directories(home.path("out"));
  EXPECT_EQ(run(path), ExportCommandResult::Written);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  const FileDialog& d = ui.dialogs[0];
  EXPECT_EQ(d.title, " - EXPORT THE LIST AS - ");
  EXPECT_EQ(d.folder, home.path());
  EXPECT_EQ(d.fileName, "previous.txt");
  EXPECT_EQ(d.filterIndex, 0);
  EXPECT_EQ(d.defaultExtension, "txt");
  ASSERT_EQ(d.filters.size(), 5u);
  EXPECT_EQ(d.filters[1].patterns, (std::vector<std::string>{"*.html", "*.htm"}));
  EXPECT_EQ(d.filters[3].description, "mp3 URL files (m3u)");

  EXPECT_EQ(home.readFile("out/list.txt"),
            "Song 1, 4:05, 128 kbps, 3835 K\r\nSong 2, 4:05, 128 kbps, 3835 K\r\nSong 3, 4:05, 128 kbps, 3835 K");
  EXPECT_EQ(settings.exportFolder, home.path("out"));
  EXPECT_EQ(memory.lastFileName, "list.txt");
  EXPECT_EQ(memory.viewTarget, path);
  EXPECT_EQ(ui.statuses, (std::vector<std::string>{"Exporting...", "3 files"}));
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ExportCommandTest, DialogFollowsTheConfiguredType) {
  const std::pair<uint8_t, std::pair<int, const char*>> cases[] = {
      {1, {1, "html"}}, {2, {1, "html"}}, {3, {2, "xls"}}, {4, {3, "m3u"}}};
  for (const auto& [type, expected] : cases) {
    settings.ooptcombo = type;
    ui.dialogResults.push_back(std::nullopt);
    ExportContext context{list, settings, ui, memory, askCaption, ""};
    EXPECT_EQ(runExport(context), ExportCommandResult::Abandoned);
    EXPECT_EQ(ui.dialogs.back().filterIndex, expected.first);
    EXPECT_EQ(ui.dialogs.back().defaultExtension, expected.second);
  }
  EXPECT_TRUE(filesInHome().empty());
}

TEST_F(ExportCommandTest, ExtensionOfAnotherTypeAsksAndNoSwitchesType) {
  settings.ooptcombo = 3;  // XLS
  ui.answers.push_back(Answer::No);
  EXPECT_EQ(run(home.path("a.TXT")), ExportCommandResult::Written);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text,
            "You chose to save an excel file under txt filename.\r\n\nYES = that's what I want to do\r\n"
            "NO = save as text (recommended)");
  EXPECT_EQ(ui.shown[0].caption, "Warning!");
  EXPECT_EQ(ui.shown[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(ui.shown[0].defaultAnswer, Answer::No);
  EXPECT_EQ(home.readFile("a.TXT").substr(0, 6), "Song 1");

  // Escape is Cancel, never the preselected No that would write the file.
  EXPECT_EQ(run(home.path("c.txt")), ExportCommandResult::Abandoned);
  EXPECT_FALSE(platform::fileExists(home.path("c.txt")));

  ui.answers.push_back(Answer::Yes);
  EXPECT_EQ(run(home.path("b.txt")), ExportCommandResult::Written);
  EXPECT_EQ(home.readFile("b.txt").substr(0, 4), std::string("\x09\x08\x08\x00", 4));

  ui.answers.push_back(Answer::Cancel);
  EXPECT_EQ(run(home.path("c.txt")), ExportCommandResult::Abandoned);
  EXPECT_FALSE(std::filesystem::exists(home.path("c.txt")));
}

TEST_F(ExportCommandTest, EveryExtensionQuestionAndItsSwitch) {
  struct Case {
    uint8_t configured;
    const char* file;
    const char* text;
    const char* start;  // what the written file starts with after No
  };
  const Case cases[] = {
      {0, "x.htm", "You chose to save a text file under html filename.\r\n\nYES = that's what I want to do\r\n"
                   "NO = save as html table (recommended)", "<HTmL>"},
      {1, "x.xls", "You chose to save an html file under xls filename.\r\n\nYES = that's what I want to do\r\n"
                   "NO = save as xls (recommended)", "\x09\x08"},
      {2, "x.m3u", "You chose to save an html file under m3u filename.\r\n\nYES = that's what I want to do\r\n"
                   "NO = save as m3u (recommended)", "#EXTM3U"},
      {4, "x.txt", "You chose to save an m3u file under txt filename.\r\n\nYES = that's what I want to do\r\n"
                   "NO = save as text (recommended)", "Song 1"},
  };
  for (const Case& c : cases) {
    settings.ooptcombo = c.configured;
    ui.shown.clear();
    ui.answers.push_back(Answer::No);
    EXPECT_EQ(run(home.path(c.file)), ExportCommandResult::Written) << c.file;
    ASSERT_EQ(ui.shown.size(), 1u) << c.file;
    EXPECT_EQ(ui.shown[0].text, c.text);
    EXPECT_EQ(home.readFile(c.file).substr(0, std::string(c.start).size()), c.start);
  }
  // Extensions that fit the type, or belong to no type, ask nothing.
  settings.ooptcombo = 1;
  ui.shown.clear();
  EXPECT_EQ(run(home.path("y.htm")), ExportCommandResult::Written);
  EXPECT_EQ(run(home.path("y.lst")), ExportCommandResult::Written);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ExportCommandTest, CaptionWindowBeforeTheDialogForTypedCaptions) {
  settings.ooptcombo = 2;  // HTML table
  settings.ComboCap = kCaptionAlwaysInput;
  settings.lastCaption = "old";
  settings.CheckRem = true;
  std::string preset;
  askCaption = [&](CaptionRequest& request) {
    preset = request.presetText();
    request.accept("  My hits \t", false);
    return true;
  };
  EXPECT_EQ(run(home.path("t.html")), ExportCommandResult::Written);
  EXPECT_EQ(preset, "old");
  EXPECT_EQ(settings.lastCaption, "My hits");
  EXPECT_FALSE(settings.CheckRem);
  EXPECT_NE(home.readFile("t.html").find("mp3SCS=2><NOBR><em>My hits</em>"), std::string::npos);

  askCaption = [](CaptionRequest&) { return false; };
  const size_t dialogs = ui.dialogs.size();
  ExportContext context{list, settings, ui, memory, askCaption, ""};
  EXPECT_EQ(runExport(context), ExportCommandResult::Abandoned);
  EXPECT_EQ(ui.dialogs.size(), dialogs);  // no dialog after a cancelled caption
}

TEST_F(ExportCommandTest, CaptionFromTheListNeedsNoWindowAndEmptyCaptionMeansNone) {
  settings.ooptcombo = 2;
  settings.ComboCap = kCaptionFromListElseInput;
  bool asked = false;
  askCaption = [&](CaptionRequest& request) {
    asked = true;
    request.accept("   ", true);
    return true;
  };
  list.sortCode = 7;  // by path: captions come from the list
  EXPECT_EQ(run(home.path("p.html")), ExportCommandResult::Written);
  EXPECT_FALSE(asked);
  EXPECT_NE(home.readFile("p.html").find("mp3SCS=7"), std::string::npos);

  list.sortCode = 0;  // by name: the caption is typed, and an empty one means no caption
  EXPECT_EQ(run(home.path("n.html")), ExportCommandResult::Written);
  EXPECT_TRUE(asked);
  EXPECT_EQ(home.readFile("n.html").find("mp3SCS"), std::string::npos);
}

TEST_F(ExportCommandTest, CaptionRequestPresetFollowsTheRememberSetting) {
  settings.lastCaption = "Before";
  settings.CheckRem = false;
  CaptionRequest request(settings);
  EXPECT_FALSE(request.rememberChecked());
  EXPECT_EQ(request.presetText(), "");
  request.accept(std::string(300, 'x') + "  ", true);
  EXPECT_EQ(settings.lastCaption, std::string(255, 'x'));
  EXPECT_TRUE(CaptionRequest(settings).rememberChecked());
  EXPECT_EQ(CaptionRequest(settings).presetText(), std::string(255, 'x'));
}

TEST_F(ExportCommandTest, CancelledExportLeavesTheEarlierFileAndSaysSo) {
  home.writeFile("keep.txt", "earlier export");
  list.items.assign(300, exportItem("x"));
  // Replacing it is asked first; No (or Escape) writes nothing.
  EXPECT_EQ(run(home.path("keep.txt")), ExportCommandResult::Abandoned);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{home.path("keep.txt") + " already exists.\r\nDo you want to replace it?"});
  ui.shown.clear();
  ui.answers = {Answer::Yes};
  ui.cancelAfterEvents = 2;
  EXPECT_EQ(run(home.path("keep.txt")), ExportCommandResult::Cancelled);
  EXPECT_EQ(home.readFile("keep.txt"), "earlier export");
  EXPECT_EQ(ui.texts().back(), "Export cancelled; the file was not written.");
  EXPECT_EQ(filesInHome(), std::vector<std::string>{"keep.txt"});  // no temporary file left
  EXPECT_TRUE(memory.viewTarget.empty());
}

TEST_F(ExportCommandTest, UncreatableFileGivesEachTypesMessage) {
  const std::string bad = home.path("missing/folder/x");
  const std::pair<uint8_t, const char*> cases[] = {
      {0, "Disk error!"}, {2, "Disk error!"}, {3, "Error exporting xls file.\r\n(file in use? invalid filename?)"},
      {4, "Disk error!"}};
  for (const auto& [type, message] : cases) {
    settings.ooptcombo = type;
    ui.shown.clear();
    EXPECT_EQ(run(bad + "." + defaultExtension(static_cast<ExportType>(type))), ExportCommandResult::Failed);
    EXPECT_EQ(ui.texts(), std::vector<std::string>{message});
  }
}

TEST_F(ExportCommandTest, XlsRowLimitLeavesTheEarlierFile) {
  home.writeFile("big.xls", "old sheet");
  settings.ooptcombo = 3;
  list.items.assign(65536, exportItem("x"));
  ui.answers = {Answer::Yes};  // replace it
  EXPECT_EQ(run(home.path("big.xls")), ExportCommandResult::Failed);
  EXPECT_EQ(ui.texts().back(), std::string{"Lists larger than 64K titles can't be exported to XLS format."});
  EXPECT_EQ(home.readFile("big.xls"), "old sheet");
}

TEST_F(ExportCommandTest, M3uReportsItemsWithoutPath) {
  settings.ooptcombo = 4;
  list.items[1].folder.clear();
  EXPECT_EQ(run(home.path("p.m3u")), ExportCommandResult::Written);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{
                            "1 files had no path or filename.\r\nThese files weren't included in the m3u list!"});
}

TEST_F(ExportCommandTest, M3uReportsItemsWithLineBreaksApart) {
  settings.ooptcombo = 4;
  list.items[0].fileName = "two\nlines";
  list.items[1].folder.clear();
  EXPECT_EQ(run(home.path("p.m3u")), ExportCommandResult::Written);
  EXPECT_EQ(ui.texts(), (std::vector<std::string>{
                            "1 files had a line break in their path or filename.\r\nThese files weren't included in "
                            "the m3u list!",
                            "1 files had no path or filename.\r\nThese files weren't included in the m3u list!"}));
}

TEST_F(ExportCommandTest, TextLeavesItemsWithLineBreaksOutAndSaysSo) {
  list.items[0].fileName = "two\nlines";
  EXPECT_EQ(run(home.path("t.txt")), ExportCommandResult::Written);
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"1 files had a line break in their filename, path or volume "
                                                 "label.\r\nThese files weren't included in the text list!"});
  EXPECT_EQ(home.readFile("t.txt").find("two"), std::string::npos);
}

TEST_F(ExportCommandTest, TitleRowMakesTabsTheStoredDelimiter) {
  settings.AddHeaderCheck = true;
  settings.delimiter = 1;
  settings.ooptcombo = 1;  // an HTML export leaves the delimiter alone
  run(home.path("a.html"));
  EXPECT_EQ(settings.delimiter, 1);
  settings.ooptcombo = 0;
  run(home.path("a.txt"));
  EXPECT_EQ(settings.delimiter, kDelimiterTabs);
  EXPECT_EQ(home.readFile("a.txt").substr(0, 26), "Filename\tTime\tBitrate\tSize");
}

TEST_F(ExportCommandTest, HtmlExportStoresTheTableFontCorrection) {
  settings.ooptcombo = 2;
  settings.tableFont.name = "";
  settings.tableFont.size = 0;
  run(home.path("f.html"));
  EXPECT_EQ(settings.tableFont.name, "Courier New");
  EXPECT_EQ(settings.tableFont.size, 1);
  EXPECT_NE(home.readFile("f.html").find("font-family:'Courier New';\r\nfont-size:1pt;"), std::string::npos);
}

}  // namespace
}  // namespace sonalog
