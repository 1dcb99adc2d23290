#include "viewer/ViewGrid.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/NameGen.h"
#include "tests/viewer/ViewerFixture.h"

namespace sonalog {
namespace {

using testing::viewerItem;
using testing::ViewerTest;

TEST(ViewGridText, TotalTimeInEveryStyle) {
  EXPECT_EQ(totalTimeText(3725, 0), ", 01:02:05");
  EXPECT_EQ(totalTimeText(3725, 1), ", 1:02:05");
  EXPECT_EQ(totalTimeText(3725, 2), ", 1 hour 2 minutes 5 seconds ");
  EXPECT_EQ(totalTimeText(3725, 3), ", 1 hour 2 minutes 5 seconds ");
  // Days, and the words that appear only when needed.
  const int64_t t = 2 * 86400 + 3 * 3600 + 60;  // 2 days 3 hours 1 minute
  EXPECT_EQ(totalTimeText(t, 0), ", 2.03:01:00");
  EXPECT_EQ(totalTimeText(t, 1), ", 51:01:00");
  EXPECT_EQ(totalTimeText(t, 2), ", 2 days 3 hours 1 minute ");
  EXPECT_EQ(totalTimeText(t, 3), ", 51 hours 1 minute ");
  EXPECT_EQ(totalTimeText(86400, 2), ", 1 day 0 hours 0 minutes ");
  EXPECT_EQ(totalTimeText(0, 0), ", 00:00");
  EXPECT_EQ(totalTimeText(0, 2), ", 0 seconds ");
  EXPECT_EQ(totalTimeText(1, 3), ", 1 second ");
  EXPECT_EQ(totalTimeText(120, 3), ", 2 minutes ");
}

TEST(ViewGridText, SortLabels) {
  EXPECT_EQ(sortLabelText(0), "filename");
  EXPECT_EQ(sortLabelText(0 | 64), "filename/c");
  EXPECT_EQ(sortLabelText(1 | 64 | 128), "-time");  // case only matters for text keys
  EXPECT_EQ(sortLabelText(9 | 64 | 128), "-label/c");
  EXPECT_EQ(sortLabelText(63), "not sorted");
  EXPECT_EQ(sortLabelText(63 | 128), "not sorted");
}

TEST_F(ViewerTest, ColumnsFollowTheSettings) {
  settings.CheckTime = settings.CheckKbps = settings.CheckSize = false;
  openWith({"a", "b"});
  ASSERT_EQ(view.grid().columnCount(), 1);
  EXPECT_EQ(view.grid().column(0).header, "filename");

  settings.CheckEnum = settings.CheckTime = settings.CheckKbps = settings.CheckSize = true;
  settings.CheckStereo = settings.CheckFreq = settings.CheckDate = settings.CheckPath = true;
  settings.addedcheck = settings.CheckVl = true;
  settings.viewerSplitArtistTitle = true;
  view.rebuild();
  std::vector<std::string> headers;
  for (int c = 0; c < view.grid().columnCount(); ++c) headers.push_back(view.grid().column(c).header);
  EXPECT_EQ(headers, (std::vector<std::string>{"no", "artist", "title", "time", "kbps", "size", "m.",
                                               "freq.", "filedate", "path", "listdate", "volume"}));
  EXPECT_EQ(view.grid().columnOf(ViewField::FileName), -1);
  EXPECT_EQ(view.grid().columnOf(ViewField::Path), 9);
  settings.ComboStereo = 1;
  view.rebuild();
  EXPECT_EQ(view.grid().column(6).header, "mode");
}

TEST_F(ViewerTest, CellTextsArePaddedAndRightAligned) {
  settings.CheckEnum = settings.CheckFreq = settings.CheckVl = true;
  settings.ComboStyle = 1;
  settings.CheckDate = true;
  fill({"Artist - Song", "x"});
  for (int i = 0; i < 9; ++i) list.items.push_back(viewerItem("n" + std::to_string(i)));
  list.items[0].frames = 16744;  // 7:17
  list.items[1].frames = -1;
  list.items[1].sizeKB = 123456;
  list.items[1].frequencyCode = 255;
  list.items[0].volumeLabel = "DATA";
  view.open();
  const ViewGrid& g = view.grid();
  auto cell = [&](uint32_t r, ViewField f) { return view.cellText(r, g.columnOf(f)); };
  EXPECT_EQ(cell(0, ViewField::Enumeration), "  1. ");
  EXPECT_EQ(cell(10, ViewField::Enumeration), " 11. ");
  EXPECT_EQ(cell(0, ViewField::FileName), " Artist - Song ");
  EXPECT_EQ(cell(0, ViewField::Time), "  7:17 ");
  EXPECT_EQ(cell(1, ViewField::Time), " ??:?? ");
  EXPECT_EQ(cell(2, ViewField::Time), "  0:26 ");  // padded on the left to the longest
  EXPECT_EQ(cell(0, ViewField::Kbps), " 128 ");
  EXPECT_EQ(cell(0, ViewField::Size), "   4013 K ");
  EXPECT_EQ(cell(1, ViewField::Size), " 123456 K ");
  EXPECT_EQ(cell(0, ViewField::Frequency), " 44.1 ");
  EXPECT_EQ(cell(1, ViewField::Frequency), "    ? ");  // " ? " padded to six characters
  EXPECT_EQ(cell(0, ViewField::FileDate), " 25.12.2003. ");
  EXPECT_EQ(cell(0, ViewField::Volume), " DATA ");
  EXPECT_EQ(cell(1, ViewField::Volume), "  ");
  EXPECT_EQ(view.cellText(99, 0), "");  // past the end: nothing, never a crash

  settings.viewerSplitArtistTitle = true;
  view.rebuild();
  EXPECT_EQ(view.cellText(0, g.columnOf(ViewField::Artist)), " Artist ");
  EXPECT_EQ(view.cellText(0, g.columnOf(ViewField::Title)), " Song ");
  EXPECT_EQ(view.cellText(1, g.columnOf(ViewField::Artist)), "  ");
  EXPECT_EQ(view.cellText(1, g.columnOf(ViewField::Title)), " x ");
}

TEST_F(ViewerTest, CaptionAndTotal) {
  fill({"a", "b", "c"});
  // 3725 s at 48 kHz is 155208.33 frames; 155208 frames give 3724.99 s.
  list.items[0].frames = 155208;
  list.items[0].frequencyCode = 1;
  list.items[1].frames = 0;
  list.items[2].frames = 0;
  view.open();
  EXPECT_EQ(view.caption(), " Internal List Viewer (3 items), 01:02:05");
  settings.viewerTotalTimeStyle = 3;
  EXPECT_EQ(view.caption(), " Internal List Viewer (3 items), 1 hour 2 minutes 5 seconds ");

  // Negative frames lower the total; a total that goes negative is not shown.
  list.items[1].frames = -55208;
  list.items[1].frequencyCode = 1;
  view.rebuild();
  EXPECT_EQ(view.caption(), " Internal List Viewer (3 items), 40 minutes ");
  list.items.resize(1);
  list.items[0].frames = -1;
  view.rebuild();
  EXPECT_EQ(view.caption(), " Internal List Viewer (1 item)");
}

TEST_F(ViewerTest, LimitOfTheGrid) {
  list.items.assign(kMaxViewerItems, viewerItem("song"));
  view.open();
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(view.grid().rowCount(), kMaxViewerItems);
  EXPECT_TRUE(view.fontEnabled());

  list.items.push_back(viewerItem("one more"));
  view.open();
  ASSERT_EQ(ui.texts(), std::vector<std::string>{kTooLargeText});
  view.rebuild();  // once per opening
  EXPECT_EQ(ui.shown.size(), 1u);
  EXPECT_TRUE(view.grid().tooLarge());
  EXPECT_EQ(view.grid().rowCount(), 1u);
  EXPECT_EQ(view.cellText(0, 0), "");
  EXPECT_FALSE(view.fontEnabled());
}

TEST_F(ViewerTest, AutomaticAndManualWidths) {
  fill({"abc", "abcdefgh"});
  view.setTextWidth([](std::string_view s) { return static_cast<int>(s.size()) * 7; });
  view.open();
  // " abcdefgh " is 10 characters; time " 0:26 " is 6, but its header "time" is shorter.
  std::vector<int> w = view.columnWidths(1000);
  ASSERT_EQ(w.size(), 4u);
  EXPECT_EQ(w[0], 10 * 7 + 4);
  EXPECT_EQ(w[1], 6 * 7 + 4);
  EXPECT_EQ(view.columnWidths(60)[0], 60 - 32);  // the first column leaves room for the rest

  view.setManualWidths(true);
  view.storeManualWidth(1, 99);
  EXPECT_EQ(settings.viewerColumnWidths[static_cast<size_t>(ViewField::Time)], 99);
  w = view.columnWidths(1000);
  EXPECT_EQ(w[0], 10 * 7 + 4);  // manual widths start from the automatic ones
  EXPECT_EQ(w[1], 99);
  EXPECT_EQ(ViewUnit::initialColumnWidth(700), 57);
  EXPECT_EQ(ViewUnit::initialColumnWidth(10), 4);
}

// The picture kept up by counting the rows that come, go and change is the one a pass over the
// whole list gives: the same padding, and each column as wide as its widest shown text, whatever
// the order of changes. Size 8 advances ASCII unevenly; 9 and 10 evenly, the other bytes not.
TEST_F(ViewerTest, CountedPictureEqualsAFullPass) {
  settings.CheckEnum = settings.CheckStereo = settings.CheckFreq = settings.CheckDate = true;
  settings.CheckPath = settings.CheckVl = settings.skipFilteredNote = true;
  auto widthFor = [](const FontSetting& font) {
    return TextWidth([size = font.size](std::string_view s) {
      int w = 0;
      for (unsigned char c : s) w += (c < 128 && size != 8 ? 0 : c % 5) + size - 6;
      return w;
    });
  };
  view.setTextWidth(widthFor);
  std::mt19937 rng(19);
  auto pick = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  auto item = [&] {
    ListItem it = viewerItem(std::string(1 + pick(12), static_cast<char>('a' + pick(4))) + " - x" +
                             std::string(pick(3), 'w') + (pick(4) == 0 ? "\xC3\xA9" : ""),
                             static_cast<int32_t>(pick(90000)) - 500);
    it.sizeKB = static_cast<int32_t>(pick(3) == 0 ? pick(2000000) : pick(90));
    it.stereoMode = static_cast<uint8_t>(pick(6));
    it.frequencyCode = static_cast<uint8_t>(pick(4));
    it.fileDate = static_cast<int32_t>(pick(3) == 0 ? 0 : 30000 + pick(9000));
    it.folder += std::string(pick(8), pick(5) == 0 ? '\x7F' : 'f');
    return it;
  };
  for (int i = 0; i < 30; ++i) list.items.push_back(item());
  view.open();
  for (int step = 0; step < 1500; ++step) {
    const uint32_t n = list.itemCount(), row = pick(n);
    ui.answers = {Answer::Yes};
    const uint32_t op = pick(9);
    switch (op) {
      case 0: view.deleteRows(row, std::min(n - 2, row + pick(3)), pos); break;
      case 1: view.undo(pos); break;
      case 2: view.edit(row, item(), static_cast<uint8_t>(pick(4)), pos); break;
      case 3: view.insert(row, item(), static_cast<uint8_t>(pick(4)), pos); break;
      case 4: view.filter(std::string(1, static_cast<char>('a' + pick(4))), false, pos); break;
      case 5: view.unfilter(pos); break;
      case 6: view.setFontSize(8 + static_cast<int>(pick(3))); break;
      case 7: view.setSplit(pick(2) == 0); break;
      default: view.resort(pos); break;
    }
    ViewGrid full;
    full.rebuild(list.items, settings);
    const ViewGrid& counted = view.grid();
    const TextWidth width = widthFor(settings.viewerFont);
    ASSERT_EQ(counted.columnCount(), full.columnCount());
    for (int c = 0; c < full.columnCount(); ++c) {
      int widest = width(full.column(c).header);
      for (uint32_t r = 0; r < list.itemCount(); ++r) {
        const std::string text = full.cellText(list.items, r, c);
        ASSERT_EQ(counted.cellText(list.items, r, c), text) << "step " << step;
        widest = std::max(widest, width(text));
      }
      ASSERT_EQ(counted.textWidth(c), widest) << "step " << step << " op " << op << " column " << c;
    }
  }
}

// A long pass shared by two threads counts what one thread would, the upper half's rows included.
TEST_F(ViewerTest, TwoThreadsMeasureAsOne) {
  settings.CheckEnum = settings.CheckPath = settings.CheckDate = true;
  list.items = testing::generateCatalogue(20000, 3);
  list.items[19000].fileName = std::string(200, 'w');
  list.items[19001].sizeKB = 2000000000;
  const TextWidth width = [](std::string_view s) {
    int w = 0;
    for (unsigned char c : s) w += c % 5 + 3;
    return w;
  };
  ViewGrid one, two;
  one.rebuild(list.items, settings, width, 1);
  two.rebuild(list.items, settings, width, 1, [&] { return width; });
  for (int c = 0; c < one.columnCount(); ++c) {
    EXPECT_EQ(two.textWidth(c), one.textWidth(c));
    EXPECT_EQ(two.cellText(list.items, 5, c), one.cellText(list.items, 5, c));
  }
}

TEST_F(ViewerTest, SortLabelResortAndColours) {
  openWith({"b", "a"});
  list.sortCode = 7 | 64 | 128;
  EXPECT_EQ(view.sortLabel(), "-path/c");
  EXPECT_TRUE(view.sortLabelEnabled());
  EXPECT_TRUE(view.resortEnabled());
  EXPECT_EQ(view.resortHint(), "Re-sort by filename (main option)");
  list.sortCode = settings.mainSortCode();
  EXPECT_FALSE(view.resortEnabled());
  list.sortCode = 63;
  EXPECT_FALSE(view.sortLabelEnabled());

  settings.viewerColourScheme = 2;
  GridColours c = view.colours();
  EXPECT_FALSE(c.system);
  EXPECT_EQ(c.fixed, 80u | (88u << 8) | (96u << 16));
  EXPECT_EQ(c.cells, 0u);
  EXPECT_EQ(c.text, 0xFFFFFFu);
  EXPECT_EQ(view.colourMenuTexts()[2], "&Dark");
  ASSERT_TRUE(view.filter("a", false, pos));
  c = view.colours();
  EXPECT_TRUE(c.inverted);
  EXPECT_EQ(c.cells, 0xFFFFFFu);
  EXPECT_EQ(c.text, 0u);
  EXPECT_EQ(view.colourMenuTexts()[0], "&Windows (now inverted)");
  settings.ChkInversion = false;
  EXPECT_FALSE(view.colours().inverted);
}

}  // namespace
}  // namespace sonalog
