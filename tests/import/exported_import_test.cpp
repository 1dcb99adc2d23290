#include "import/ImportCommand.h"
#include "import/TextListImport.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "platform/Dates.h"
#include "platform/Files.h"
#include "tests/support/FakeUi.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::FakeUi;
using testing::TempHome;

class ExportedImportTest : public ::testing::Test {
 protected:
  TempHome home;
  FakeUi ui;
  InternalList list;
  ImportSettings settings;

  ExportedImportTest() {
    // Main options equal to the lists below, so no options question by default.
    settings.shown = ShownFields{ShownField::Playtime, ShownField::Bitrate, ShownField::Size};
  }

  // Joins lines with CR LF, the last one without a line end, as the text export writes.
  static std::string lines(const std::vector<std::string>& l) {
    std::string out;
    for (size_t i = 0; i < l.size(); ++i) out += (i ? "\r\n" : "") + l[i];
    return out;
  }
  // n lines of "Artist i - Song, m:ss, 128 kbps, size K" padded past 512 bytes.
  static std::vector<std::string> commaLines(int n) {
    std::vector<std::string> l;
    for (int i = 1; i <= n; ++i)
      l.push_back("Artist " + std::to_string(i) + " - Song, " + std::to_string(i % 9) + ":0" +
                  std::to_string(i % 10) + ", 128 kbps, " + std::to_string(1000 + i) + " K");
    return l;
  }
  bool importText(const std::string& text, const std::string& name = "list.txt") {
    home.writeFile(name, text);
    ImportCommand cmd(list, settings, ui);
    cmd.setVolumeSource([] { return std::vector<platform::Volume>{}; });
    return cmd.importFile(home.path(name));
  }
  void preload(int n) {
    for (int i = 0; i < n; ++i) {
      ListItem it;
      it.fileName = "old " + std::to_string(i);
      it.folder = "/old";
      it.frames = 100 + i;
      list.items.push_back(it);
    }
    list.sortCode = 7;
  }
  std::string dump() const {
    std::string out;
    for (const auto& t : ui.texts()) out += "[" + t + "] ";
    return out + " status: " + ui.lastStatus();
  }
  const MessageBox* boxWith(std::string_view part) const {
    for (const auto& b : ui.shown)
      if (b.text.find(part) != std::string::npos) return &b;
    return nullptr;
  }
};

// An import started while another lets events run (as two runs at once would) keeps its own
// temporary files: with shared fixed names the second rewrote and then removed the first one's.
TEST_F(ExportedImportTest, AnImportStartedDuringAnotherKeepsItsOwnFiles) {
  home.writeFile("big.txt", lines(commaLines(500)));
  home.writeFile("small.txt", lines(commaLines(30)));
  struct NestedUi : FakeUi {
    std::function<void()> during;
    bool processEvents() override {
      if (auto f = std::exchange(during, nullptr)) f();
      return FakeUi::processEvents();
    }
  } nested;
  InternalList other;
  ImportSettings otherSettings = settings;
  FakeUi otherUi;
  bool secondOk = false;
  nested.during = [&] { secondOk = ImportCommand(other, otherSettings, otherUi).importFile(home.path("small.txt")); };
  ImportCommand first(list, settings, nested);
  EXPECT_TRUE(first.importFile(home.path("big.txt"))) << (nested.shown.empty() ? "" : nested.shown[0].text);
  EXPECT_TRUE(secondOk);
  EXPECT_EQ(list.items.size(), 500u);
  EXPECT_EQ(other.items.size(), 30u);
}

TEST_F(ExportedImportTest, EntryChecksRefuseSmallFilesAndXls) {
  EXPECT_FALSE(importText(std::string(511, 'a')));
  EXPECT_EQ(ui.texts().back(), "Can't import files smaller than 512 bytes!");
  EXPECT_FALSE(importText(lines(commaLines(20)), "list.xls"));
  EXPECT_EQ(ui.texts().back(), "Sorry, XLS files can not be imported.");
  // Capitals pass the extension test.
  EXPECT_TRUE(importText(lines(commaLines(20)), "list.XLS"));
  EXPECT_EQ(list.items.size(), 20u);
  EXPECT_EQ(settings.lastImportFolder, home.path());
}

TEST_F(ExportedImportTest, CommaListWithCommasInTitles) {
  auto l = commaLines(20);
  l[3] = "Artist, with, commas - Song, 7:16, 128 kbps, 5000 KB";
  ASSERT_TRUE(importText(lines(l))) << dump();
  ASSERT_EQ(list.items.size(), 20u);
  const ListItem& it = list.items[3];
  EXPECT_EQ(it.fileName, "Artist, with, commas - Song");
  EXPECT_EQ(it.frames, 16691);
  EXPECT_EQ(it.bitrateCode, 9);
  EXPECT_EQ(it.sizeKB, 5000);
  EXPECT_EQ(it.stereoMode, 4);
  EXPECT_EQ(it.fileDate, -1);
  EXPECT_EQ(it.dateAdded, -1);  // daRadio: leave blank
  EXPECT_EQ(list.sortCode, kSortUnsorted);
  EXPECT_TRUE(list.unsaved);
  EXPECT_EQ(ui.lastStatus(), "Imported 20 items.");
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_FALSE(platform::fileExists(home.home() + "importing.(file).tmp"));
  EXPECT_FALSE(platform::fileExists(home.home() + "backup.(file).tmp"));
}

TEST_F(ExportedImportTest, TabListWithVariableTabsFailsAndKeepsTheList) {
  preload(3);
  std::vector<std::string> l;
  for (int i = 0; i < 20; ++i) l.push_back("Some artist - song " + std::to_string(i) + "\t3:0" + std::to_string(i % 10) + "\t128 kbps");
  l[5] += "\textra";
  EXPECT_FALSE(importText(lines(l)));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "ERROR!\r\n\nVariable number of tabs per line.\r\n\nImport as other (non-SNLG) type text file?");
  EXPECT_EQ(ui.shown[0].caption, "import failed");
  ASSERT_EQ(list.items.size(), 3u);
  EXPECT_EQ(list.items[0].fileName, "old 0");
  EXPECT_EQ(list.sortCode, 7);
  EXPECT_EQ(ui.lastStatus(), "Import cancelled. 3 items.");
}

TEST_F(ExportedImportTest, FailureQuestionYesImportsAsOtherText) {
  preload(2);
  settings.ImapCheck = true;
  std::vector<std::string> l;
  for (int i = 0; i < 30; ++i) l.push_back("Song number " + std::to_string(i) + ".mp3 3:00 128kbps 4.1MB");
  ui.answers.push_back(Answer::Yes);
  EXPECT_TRUE(importText(lines(l)));
  ASSERT_EQ(list.items.size(), 32u);
  EXPECT_EQ(list.items[0].fileName, "old 0");
  EXPECT_EQ(list.items[2].fileName, "Song number 0");
  EXPECT_EQ(list.items[2].sizeKB, 4198);
  EXPECT_EQ(list.sortCode, kSortUnsorted);
  EXPECT_EQ(ui.lastStatus(), "Read 30, imported 30, total 32 items.");
}

TEST_F(ExportedImportTest, EnumeratedTabListDropsTheEnumeration) {
  std::vector<std::string> l;
  for (int i = 1; i <= 30; ++i)
    l.push_back((i < 10 ? " " : "") + std::to_string(i) + ".\tSong " + std::to_string(i) + "\t4:05\t" +
                std::to_string(3000 + i) + " KB");
  settings.shown.set(ShownField::Bitrate, false);
  settings.shown.set(ShownField::Enumeration);
  ASSERT_TRUE(importText(lines(l))) << dump();
  ASSERT_EQ(list.items.size(), 30u);
  EXPECT_EQ(list.items[6].fileName, "Song 7");
  EXPECT_EQ(list.items[6].frames, framesFromSeconds(245, 0));
  EXPECT_EQ(list.items[6].sizeKB, 3007);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ExportedImportTest, ClassificationFailures) {
  struct Case {
    std::vector<std::string> lines;
    std::string error;
  };
  std::vector<std::string> dates, twoFields, header, oneRate;
  for (int i = 1; i <= 30; ++i) {
    const std::string d = "0" + std::to_string(i % 9 + 1) + ".0" + std::to_string(i % 9 + 1) + ".2004.";
    dates.push_back("Title " + std::to_string(i) + ", " + d + ", " + d + ", " + d + ", 3:33");
    twoFields.push_back("Some title number " + std::to_string(i) + ", 3:33");
    header.push_back(" " + std::to_string(i) + ".\tTitle number " + std::to_string(i) + "\t3:33\t128 kbps");
    oneRate.push_back("Title number " + std::to_string(i) + ", 3:33, " + (i == 3 ? "128 kbps" : "? kbps") + ", Label");
  }
  header.insert(header.begin(), "No.\tFilename\tTime\tBitrate");
  std::vector<Case> cases = {
      {dates, "4 free formatted columns found (must be 1 or 2, for title/label)."},
      {twoFields, "Not a SNLG file, or unable to import text file."},
      {header, "3 free formatted columns found (must be 1 or 2, for title/label)."},
      {oneRate, "3 free formatted columns found (must be 1 or 2, for title/label)."},
  };
  // Two columns for a rule that takes one ("#" is the line's number); read from the line's start,
  // a long stereo column after a short one is a second one.
  const std::pair<std::string, std::string> twice[] = {
      {"C:\\a, C:\\b", "More than one field with backslash found."},
      {"JS, M", "More than one field with short stereo info found."},
      {"S, mono", "More than one field with long stereo info found."},
      {"44.1 KHz, 48.0 KHz", "More than one field with frequency info found."},
      {"128 kbps, 64 kbps", "More than one field with kbps info found."},
      {"3:33, 4:44", "More than one field with semicolon (min:sec) found."},
      {"#., #.", "More than one number with period found (invalid enumeration)."}};
  for (const auto& [columns, error] : twice) {
    Case c{{}, error};
    for (int i = 1; i <= 30; ++i) {
      std::string line = "Title number # of many, " + columns;
      for (size_t at; (at = line.find('#')) != std::string::npos;) line.replace(at, 1, std::to_string(i));
      c.lines.push_back(line);
    }
    cases.push_back(c);
  }
  for (const Case& c : cases) {
    ui.shown.clear();
    EXPECT_FALSE(importText(lines(c.lines))) << c.error;
    ASSERT_EQ(ui.shown.size(), 1u) << c.error;
    EXPECT_EQ(ui.shown[0].text, "ERROR!\r\n\n" + c.error + "\r\n\nImport as other (non-SNLG) type text file?");
  }
}

TEST_F(ExportedImportTest, FieldFailuresNameTheLine) {
  struct Case {
    std::string bad;
    std::string error;
  };
  const Case cases[] = {
      {"Bad song, 1024:00, 128 kbps, 100 K", "Can't read minutes (line 1050). Displaying [some of] it:\r\n1024"},
      {"Bad song, 3:60, 128 kbps, 100 K", "Can't read seconds (line 1050). Displaying [some of] it:\r\n60"},
      {"Bad song, 3:00, 128 kbps, x K", "Can't read filesize (line 1050). Displaying [some of] it:\r\nx K"},
      {"Bad song, 3:00, 128 kbps, ?? K", "Can't read filesize (line 1050). Displaying [some of] it:\r\n?? K"},
      {"ab", "Too short line found. Content:\r\nab"},
  };
  for (const Case& c : cases) {
    ui.shown.clear();
    // Beyond the first pass, which would refuse a line without delimiters itself.
    auto l = commaLines(1100);
    l.front() = "Bad song, 3:00, 128 kbps, 100 K";
    l[1049] = c.bad;
    EXPECT_FALSE(importText(lines(l)));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "ERROR!\r\n\n" + c.error + "\r\n\nImport as other (non-SNLG) type text file?");
    EXPECT_TRUE(list.items.empty());
  }
}

TEST_F(ExportedImportTest, UnknownMarksOfTheExportComeBackUnknown) {
  auto l = commaLines(20);
  l[9] = "Unknown song, ??:??, ? kbps, ? K";
  ASSERT_TRUE(importText(lines(l))) << dump();
  EXPECT_EQ(list.items[9].frames, -1);
  EXPECT_EQ(list.items[9].bitrateCode, 255);
  EXPECT_EQ(list.items[9].sizeKB, -1);
}

TEST_F(ExportedImportTest, DatesTakeTheirOrderFromDaysAbove12) {
  settings.shown.set(ShownField::DateCreated);
  std::vector<std::string> l;
  for (int i = 1; i <= 40; ++i) l.push_back("Song " + std::to_string(i) + ", 3:00, 01.02.2004.");
  l[4] = "Song 5, 3:00, 25.12.2003.";
  settings.shown.set(ShownField::Bitrate, false);
  settings.shown.set(ShownField::Size, false);
  ui.answers.push_back(Answer::Yes);  // "Is it CREATED?"
  ASSERT_TRUE(importText(lines(l))) << dump();
  EXPECT_EQ(ui.shown[0].caption, "text import");
  EXPECT_EQ(list.items[4].fileDate, platform::dayNumberFromDate(2003, 12, 25));
  EXPECT_EQ(list.items[0].fileDate, platform::dayNumberFromDate(2004, 2, 1));

  // American order.
  list.items.clear();
  ui.shown.clear();
  for (auto& s : l) s.replace(s.size() - 11, 11, "02.01.2004.");
  l[4] = "Song 5, 3:00, 12.25.2003.";
  ui.answers.push_back(Answer::Yes);
  ASSERT_TRUE(importText(lines(l))) << dump();
  EXPECT_EQ(list.items[4].fileDate, platform::dayNumberFromDate(2003, 12, 25));
  EXPECT_EQ(list.items[0].fileDate, platform::dayNumberFromDate(2004, 2, 1));
}

TEST_F(ExportedImportTest, UndecidedDatesFollowThePrompt) {
  settings.shown.set(ShownField::DateCreated);
  settings.shown.set(ShownField::Bitrate, false);
  settings.shown.set(ShownField::Size, false);
  settings.dsRadio = 1;
  std::vector<std::string> l;
  for (int i = 1; i <= 40; ++i) l.push_back("Song " + std::to_string(i) + ", 3:00, 01.02.2004.");
  ui.answers = {Answer::Yes, Answer::Yes};  // created; day before month
  ASSERT_TRUE(importText(lines(l))) << dump();
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[1].text, "Two fields in your date(s) can't be resolved.\r\nDoes day go before month?\r\n(press No if opposite)");
  EXPECT_EQ(list.items[0].fileDate, platform::dayNumberFromDate(2004, 2, 1));

  // Main options' style 0 cannot decide: warning, then the prompt; the option switches.
  list.items.clear();
  ui.shown.clear();
  settings.dsRadio = 0;
  settings.ComboStyle = 0;
  ui.answers = {Answer::No, Answer::No};  // added; month before day
  ASSERT_TRUE(importText(lines(l))) << dump();
  EXPECT_EQ(settings.dsRadio, 1);
  EXPECT_EQ(ui.shown[1].caption, "Warning");
  EXPECT_EQ(list.items[0].dateAdded, platform::dayNumberFromDate(2004, 1, 2));
  EXPECT_EQ(list.items[0].fileDate, -1);
}

TEST_F(ExportedImportTest, ImpossibleDateRestoresTheListWithoutEndingTheProgram) {
  preload(4);
  settings.shown.set(ShownField::DateCreated);
  settings.shown.set(ShownField::Bitrate, false);
  settings.shown.set(ShownField::Size, false);
  std::vector<std::string> l;
  for (int i = 1; i <= 40; ++i) l.push_back("Song " + std::to_string(i) + ", 3:00, 25.12.2003.");
  l[20] = "Song 21, 3:00, 31.02.2003.";
  ui.answers.push_back(Answer::Yes);
  EXPECT_FALSE(importText(lines(l)));
  EXPECT_EQ(ui.texts().back(), "Unknown error. Import failed.\r\nProbably not a SNLG file.");
  EXPECT_EQ(ui.lastStatus(), "Import failed.");
  ASSERT_EQ(list.items.size(), 4u);
  EXPECT_EQ(list.items[3].fileName, "old 3");
  EXPECT_FALSE(platform::fileExists(home.home() + "backup.(file).tmp"));
}

TEST_F(ExportedImportTest, CancelDuringTheItemPassRestoresExactly) {
  preload(5);
  settings.ImapCheck = true;
  ui.cancelAfterEvents = 3;
  EXPECT_FALSE(importText(lines(commaLines(1000))));
  ASSERT_EQ(list.items.size(), 5u);
  EXPECT_EQ(list.items[4].frames, 104);
  EXPECT_EQ(ui.lastStatus(), "Import cancelled. 5 items.");
}

TEST_F(ExportedImportTest, OptionsQuestionAdjustsIncludeFlags) {
  settings.shown.set(ShownField::Size, false);
  settings.shown.set(ShownField::Path);
  ui.answers.push_back(Answer::Yes);
  ASSERT_TRUE(importText(lines(commaLines(20)))) << dump();
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].caption, "options");
  EXPECT_EQ(ui.shown[0].defaultAnswer, Answer::No);
  EXPECT_TRUE(settings.shown.has(ShownField::Size));
  EXPECT_FALSE(settings.shown.has(ShownField::Path));
}

TEST_F(ExportedImportTest, CalculatesMissingPlaytimeFromSize) {
  settings.shown.set(ShownField::Playtime, false);
  std::vector<std::string> l;
  for (int i = 1; i <= 40; ++i) l.push_back("Song " + std::to_string(i) + ", 128 kbps, 1600 K");
  ASSERT_TRUE(importText(lines(l))) << dump();
  EXPECT_EQ(list.items[0].frames, framesFromSeconds(100, 0));  // 1600 / 16 s
  EXPECT_EQ(ui.statuses[ui.statuses.size() - 2], "Calculating missing playtimes...");
}

TEST_F(ExportedImportTest, HeaderAndFooterAreStripped) {
  home.writeFile("head.txt", "My list\r\nof songs");
  home.writeFile("foot.txt", "the end");
  settings.CheckHead = settings.CheckFoot = true;
  settings.headerFile = home.path("head.txt");
  settings.footerFile = home.path("foot.txt");
  ASSERT_TRUE(importText("My list\r\nof songs\r\n\r\n" + lines(commaLines(20)) + "\r\nthe end")) << dump();
  EXPECT_EQ(list.items.size(), 20u);

  // A header right before the list text, without a line break, is accepted too.
  list.items.clear();
  home.writeFile("head.txt", "HEAD:");
  settings.CheckFoot = false;
  ASSERT_TRUE(importText("HEAD:" + lines(commaLines(20)))) << dump();
  EXPECT_EQ(list.items[0].fileName, "Artist 1 - Song");

  // A header longer than the list less 24 bytes: asked, Cancel ends the import.
  home.writeFile("head.txt", std::string(2000, 'h'));
  ui.shown.clear();
  EXPECT_FALSE(importText(lines(commaLines(20))));
  EXPECT_EQ(ui.shown[0].text, "Size ratio of header and list file invalid.\r\nPress OK to attempt to process without header file...");
  EXPECT_EQ(ui.shown[0].caption, "error");
}

}  // namespace
}  // namespace sonalog
