#include <gtest/gtest.h>

#include "export/M3uWriter.h"
#include "export/XlsWriter.h"
#include "tests/support/ExportFixtures.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::exportedText;
using testing::exportItem;

struct Label {
  uint16_t row, column;
  std::string text;
};

uint16_t u16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}

// Reads the sheet back: checks BOF and EOF framing and every LABEL record's lengths.
std::vector<Label> readSheet(const std::string& b) {
  std::vector<Label> labels;
  EXPECT_EQ(b.substr(0, 12), std::string("\x09\x08\x08\x00\x00\x00\x10\x00\x00\x00\x00\x00", 12));
  EXPECT_EQ(b.substr(b.size() - 4), std::string("\x0A\x00\x00\x00", 4));
  for (size_t at = 12; at + 4 < b.size();) {
    EXPECT_EQ(u16(b, at), 0x0204);
    const uint16_t length = u16(b, at + 2);
    const uint16_t textLength = u16(b, at + 10);
    EXPECT_EQ(length, textLength + 8);
    EXPECT_EQ(u16(b, at + 8), 0);  // format index
    labels.push_back({u16(b, at + 4), u16(b, at + 6), b.substr(at + 12, textLength)});
    at += 4 + length;
  }
  return labels;
}

ExportOptions xlsOptions(ShownFields fields) {
  ExportOptions o;
  o.type = ExportType::Xls;
  o.fields = fields;
  return o;
}

TEST(XlsWriterTest, NameColumnOnlyIsOneLabelPerItem) {
  ListItem empty = exportItem("");
  const std::string b = exportedText({exportItem("A"), empty}, xlsOptions({}));
  EXPECT_EQ(b, std::string("\x09\x08\x08\x00\x00\x00\x10\x00\x00\x00\x00\x00"
                           "\x04\x02\x09\x00\x00\x00\x00\x00\x00\x00\x01\x00" "A"
                           "\x04\x02\x08\x00\x01\x00\x00\x00\x00\x00\x00\x00"
                           "\x0A\x00\x00\x00", 12 + 13 + 12 + 4));
}

TEST(XlsWriterTest, ColumnsComeOneAfterAnotherWithTheirCellTexts) {
  ListItem a = exportItem("A");
  ListItem b = exportItem("B");
  b.sizeKB = -1;
  b.frames = -1;
  b.folder = " ";
  b.volumeLabel = " ";
  b.bitrateCode = 5;
  b.frequencyCode = 7;
  ExportOptions o = xlsOptions(ShownFields::all());
  o.style.dateStyle = 1;
  o.style.hours = true;
  const std::vector<Label> cells = readSheet(exportedText({a, b}, o));
  ASSERT_EQ(cells.size(), 20u);
  const char* expected[] = {"A",           "B",           "0:04:05",     "?:??:??", "128",         " 64",
                            "3835",        "-1",          "JS",          "JS",      "44.1",        "?",
                            "25.12.2003.", "25.12.2003.", "/music/rock", "",        "14.01.2004.", "14.01.2004.",
                            "MUSIC",       ""};
  for (size_t i = 0; i < cells.size(); ++i) {
    EXPECT_EQ(cells[i].column, i / 2) << i;
    EXPECT_EQ(cells[i].row, i % 2) << i;
    EXPECT_EQ(cells[i].text, expected[i]) << i;
  }
}

TEST(XlsWriterTest, TimeAndSizeAloneAreColumnsOneAndTwo) {
  const std::vector<Label> cells =
      readSheet(exportedText({exportItem("A")}, xlsOptions({ShownField::Playtime, ShownField::Size})));
  ASSERT_EQ(cells.size(), 3u);
  EXPECT_EQ(cells[1].column, 1);
  EXPECT_EQ(cells[1].text, "4:05");
  EXPECT_EQ(cells[2].column, 2);
  EXPECT_EQ(cells[2].text, "3835");
}

TEST(XlsWriterTest, RowLimitAndEmptyList) {
  const ExportOptions o = xlsOptions({});
  std::vector<ListItem> items(kMaxXlsRows, exportItem("x"));
  StringSink out;
  const WriteResult ok = writeXls(out, ItemView(items), o);
  EXPECT_TRUE(ok.ok());
  EXPECT_EQ(u16(out.text, out.text.size() - 4 - 13 + 4), 65534);  // last row

  items.push_back(exportItem("y"));
  StringSink refused;
  const WriteResult tooMany = writeXls(refused, ItemView(items), o);
  EXPECT_EQ(tooMany.status, WriteStatus::Failed);
  EXPECT_EQ(tooMany.message, "Lists larger than 64K titles can't be exported to XLS format.");
  EXPECT_TRUE(refused.text.empty());

  const std::vector<ListItem> none;
  EXPECT_EQ(writeXls(refused, ItemView(none), o).message, "Empty list, can't export.");
}

TEST(M3uWriterTest, InfoLinesPathsAndSkippedItems) {
  ListItem known = exportItem("Song", "c:\\");
  ListItem unknown = exportItem("Other", "/music");
  unknown.frames = -1;
  ListItem zero = exportItem("Zero", "d:\\music");
  zero.frames = 0;
  ListItem huge = exportItem("Huge", "/");
  huge.frames = 40000000;  // 1 044 898 s
  ListItem noFolder = exportItem("Lost", "");
  ListItem noName = exportItem("", "/music");
  const std::vector<ListItem> items = {known, unknown, zero, huge, noFolder, noName};
  StringSink out;
  const WriteResult r = writeM3u(out, ItemView(items));
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.itemsWritten, 4u);
  EXPECT_EQ(out.text,
            "#EXTM3U\r\n"
            "#EXTINF:245,Song\r\nc:\\\\Song.mp3\r\n"
            "/music/Other.mp3\r\n"
            "#EXTINF:0,Zero\r\nd:\\music\\Zero.mp3\r\n"
            "/Huge.mp3\r\n");
  EXPECT_EQ(m3uSkippedText(3), "3 files had no path or filename.\r\nThese files weren't included in the m3u list!");
}

// A line break in a name or folder would end the entry early and make the rest another entry:
// such items are left out rather than written.
TEST(M3uWriterTest, LineBreaksInNamesCannotInjectEntries) {
  const std::vector<ListItem> items = {exportItem("Good", "/music"),
                                       exportItem("Evil\r\n/etc/passwd\r\n#EXTINF:1,x", "/music"),
                                       exportItem("Split\nname", "/music"), exportItem("Fine", "/a\nb")};
  StringSink out;
  const WriteResult r = writeM3u(out, ItemView(items));
  EXPECT_EQ(r.itemsWritten, 1u);
  EXPECT_EQ(out.text, "#EXTM3U\r\n#EXTINF:245,Good\r\n/music/Good.mp3\r\n");
  EXPECT_TRUE(breaksM3uLines(items[1]));
  EXPECT_FALSE(breaksM3uLines(items[0]));
  EXPECT_EQ(m3uLineBreakText(3),
            "3 files had a line break in their path or filename.\r\nThese files weren't included in the m3u list!");
}

// The list keeps no extension; where letter case matters the entry must name the file that exists.
TEST(M3uWriterTest, PathsKeepTheExtensionSpellingOnDisk) {
  testing::TempHome home;
  home.writeFile("upper/Loud.MP3", "x");
  home.writeFile("mixed/Odd.Mp3", "x");
  home.writeFile("both/Twin.mp3", "x");
  home.writeFile("both/Twin.MP3", "x");
  EXPECT_EQ(m3uPath(exportItem("Loud", home.path("upper"))), home.path("upper/Loud.MP3"));
  EXPECT_EQ(m3uPath(exportItem("Odd", home.path("mixed"))), home.path("mixed/Odd.Mp3"));
  EXPECT_EQ(m3uPath(exportItem("Twin", home.path("both"))), home.path("both/Twin.mp3"));
  EXPECT_EQ(m3uPath(exportItem("Gone", home.path("upper"))), home.path("upper/Gone.mp3"));
  EXPECT_EQ(m3uPath(exportItem("Loud", "c:\\music")), "c:\\music\\Loud.mp3");
}

TEST(M3uWriterTest, AListWithoutFoldersHoldsOnlyTheHeader) {
  std::vector<ListItem> items(3, exportItem("x", ""));
  StringSink out;
  EXPECT_EQ(writeM3u(out, ItemView(items)).itemsWritten, 0u);
  EXPECT_EQ(out.text, "#EXTM3U\r\n");
}

}  // namespace
}  // namespace sonalog
