#include "export/TextWriter.h"

#include <gtest/gtest.h>

#include "tests/support/ExportFixtures.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::exportedText;
using testing::exportItem;
using testing::FakeUi;

ExportOptions nameOnly() {
  ExportOptions o;
  o.fields = ShownFields{};
  return o;
}

std::vector<ListItem> names(size_t n) {
  std::vector<ListItem> items;
  for (size_t i = 0; i < n; ++i) items.push_back(exportItem("Song " + std::to_string(i + 1)));
  return items;
}

TEST(TextWriterTest, ParenthesesExampleWithNumberingAndFields) {
  ExportOptions o;
  o.delimiter = kDelimiterParentheses;
  o.fields.set(ShownField::Enumeration);  // time, bitrate and size are on by default
  std::vector<ListItem> items = names(12);
  items[6].fileName = "Artist - Song";
  const std::string text = exportedText(items, o);
  EXPECT_NE(text.find("\r\n 7. (Artist - Song) (4:05) (128 kbps) (3835 K)\r\n"), std::string::npos);
  EXPECT_EQ(text.substr(0, 5), " 1. (");
  EXPECT_EQ(text.substr(text.size() - 40), "12. (Song 12) (4:05) (128 kbps) (3835 K)");
}

TEST(TextWriterTest, OneItemHasNoLineEndAndCommaDelimiterHasNoOuterCommas) {
  const std::string text = exportedText({exportItem("A - B")}, ExportOptions{});
  EXPECT_EQ(text, "A - B, 4:05, 128 kbps, 3835 K");
}

TEST(TextWriterTest, EveryFieldInOrderWithTabsAndTitleRow) {
  ExportOptions o;
  o.headerRow = true;
  o.delimiter = kDelimiterBrackets;  // the title row forces tabs
  o.fields = ShownFields::all();
  o.style.dateStyle = 1;
  o.useHeaderFile = true;  // ignored: the title row takes its place
  o.textHeaderFile = "/nonexistent/header.txt";
  FakeUi ui;
  const std::string text = exportedText({exportItem("A"), exportItem("B")}, o, {}, &ui);
  EXPECT_EQ(text,
            "No.\tFilename\tTime\tBitrate\tSize\tMode\tFrequency\tDate created\tPath\tDate added\tVolume label\r\n"
            "1.\tA\t4:05\t128 kbps\t3835 K\tJS\t44.1 KHz\t25.12.2003.\t/music/rock\t14.01.2004.\tMUSIC\r\n"
            "2.\tB\t4:05\t128 kbps\t3835 K\tJS\t44.1 KHz\t25.12.2003.\t/music/rock\t14.01.2004.\tMUSIC");
  EXPECT_TRUE(ui.shown.empty());
}

TEST(TextWriterTest, NumberingWidthFollowsTheItemCount) {
  ExportOptions o = nameOnly();
  o.fields.set(ShownField::Enumeration);
  o.delimiter = kDelimiterSpaces;
  const std::string text = exportedText(names(10), o);
  EXPECT_EQ(text.substr(0, 10), " 1. Song 1");
  EXPECT_NE(text.find("\r\n10. Song 10"), std::string::npos);
}

TEST(TextWriterTest, PaddingCountsEntitiesAndNeverCuts) {
  ExportOptions o;
  o.fields = ShownFields{ShownField::Playtime};
  o.delimiter = kDelimiterBraces;
  o.padLength = 8;
  const std::string text = exportedText({exportItem("Tom&amp;J"), exportItem("A much longer name")}, o);
  EXPECT_EQ(text, "{Tom&amp;J   } {4:05}\r\n{A much longer name} {4:05}");
}

TEST(TextWriterTest, HeaderAndFooterFilesFrameTheItems) {
  testing::TempHome home;
  home.writeFile("head.txt", "My list\r\nline two\rthree\n");
  home.writeFile("foot.txt", "end\n\nbye");
  ExportOptions o = nameOnly();
  o.useHeaderFile = o.useFooterFile = true;
  o.textHeaderFile = home.path("head.txt");
  o.textFooterFile = home.path("foot.txt");
  EXPECT_EQ(exportedText({exportItem("A"), exportItem("B")}, o),
            "My list\r\nline two\r\nthree\r\nA\r\nB\r\nend\r\n\r\nbye");
}

TEST(TextWriterTest, MissingOrEmptyMessageFilesAreWarnedAboutAndSkipped) {
  testing::TempHome home;
  home.writeFile("empty.txt", "");
  ExportOptions o = nameOnly();
  o.useHeaderFile = o.useFooterFile = true;
  o.textHeaderFile = home.path("empty.txt");
  o.textFooterFile = home.path("missing.txt");
  FakeUi ui;
  EXPECT_EQ(exportedText({exportItem("A")}, o, {}, &ui), "A");
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, std::string(kHeaderMissingText).substr(0, 254));
  EXPECT_EQ(ui.shown[0].caption, "Warning");
  EXPECT_EQ(ui.shown[1].text, kFooterMissingText);
}

TEST(TextWriterTest, CancelIsCheckedEvery64ItemsAndReported) {
  const std::vector<ListItem> items = names(200);
  FakeUi ui;
  ui.cancelAfterEvents = 1;  // the second look at pending events cancels
  StringSink out;
  {
    ExportRun run(ui, "3 files");
    const WriteResult r = writeTextList(out, ItemView(items), nameOnly(), run);
    EXPECT_EQ(r.status, WriteStatus::Cancelled);
    EXPECT_EQ(r.itemsWritten, 128u);
  }
  EXPECT_EQ(ui.eventCalls, 2);
  ASSERT_EQ(ui.statuses.size(), 2u);
  EXPECT_EQ(ui.statuses[0], "Exporting...");
  EXPECT_EQ(ui.statuses[1], "3 files");
}

class FailingSink final : public ExportSink {
 public:
  explicit FailingSink(size_t okWrites) : left_(okWrites) {}
  bool write(std::string_view) override { return left_-- > 0; }

 private:
  size_t left_;
};

TEST(TextWriterTest, AWriteErrorFailsTheExport) {
  const std::vector<ListItem> items = names(3);
  FakeUi ui;
  ExportRun run(ui, "");
  FailingSink sink(1);
  EXPECT_EQ(writeTextList(sink, ItemView(items), nameOnly(), run).status, WriteStatus::Failed);
}

}  // namespace
}  // namespace sonalog
