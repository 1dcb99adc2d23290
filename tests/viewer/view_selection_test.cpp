#include "viewer/ViewSelection.h"

#include <gtest/gtest.h>

namespace sonalog {
namespace {

ViewSelection grid(uint32_t rows, uint32_t visible) {
  ViewSelection s;
  s.setVisibleRows(visible);
  s.setRowCount(rows);
  return s;
}

TEST(ViewSelectionTest, ClicksKeepOneRangeThatHoldsTheCurrentRow) {
  ViewSelection s = grid(13, 5);
  s.click(2, false, false);
  s.click(6, false, true);  // Ctrl+click grows the range: every row between is acted on
  EXPECT_EQ(s.range(), (RowRange{2, 6}));
  EXPECT_EQ(s.current(), 6u);
  s.click(4, false, true);  // inside the range: starts again there
  EXPECT_EQ(s.range(), (RowRange{4, 4}));
  s.click(1, true, false);
  EXPECT_EQ(s.range(), (RowRange{1, 4}));
  s.dragTo(9);
  EXPECT_EQ(s.range(), (RowRange{4, 9}));
  EXPECT_EQ(s.top(), 5u);  // the dragged-to row is visible
}

TEST(ViewSelectionTest, KeysMoveTheCurrentRowAndTheRangeTogether) {
  ViewSelection s = grid(262144, 20);
  s.move(RowMove::Last, false);
  EXPECT_EQ(s.current(), 262143u);
  EXPECT_EQ(s.range(), (RowRange{262143, 262143}));
  EXPECT_EQ(s.top(), 262124u);  // the last row is seen whole
  s.move(RowMove::First, false);
  EXPECT_EQ(s.position(), (GridPosition{0, 0}));

  // PgDn scrolls by one page and moves the current row with it; never past the end.
  s.move(RowMove::Down, false);
  s.move(RowMove::PageDown, false);
  EXPECT_EQ(s.position(), (GridPosition{21, 20}));
  s.move(RowMove::PageUp, true);
  EXPECT_EQ(s.position(), (GridPosition{1, 0}));
  EXPECT_EQ(s.range(), (RowRange{1, 21}));
  s.place({262140, 262124});
  s.move(RowMove::PageDown, false);
  EXPECT_EQ(s.position(), (GridPosition{262143, 262124}));
  s.move(RowMove::Down, true);
  EXPECT_EQ(s.current(), 262143u);
}

TEST(ViewSelectionTest, ScrollingAndNewPicturesKeepTheStateConsistent) {
  ViewSelection s = grid(100, 10);
  s.select({3, 7});
  s.scrolled(50);  // the current row left the view: it comes back inside, the range with it
  EXPECT_EQ(s.position(), (GridPosition{50, 50}));
  EXPECT_EQ(s.range(), (RowRange{50, 50}));
  s.scrolled(99);
  EXPECT_EQ(s.top(), 90u);

  s.select({40, 45});
  s.setVisibleRows(30);  // a smaller font: the range stays
  s.setRowCount(100);
  EXPECT_EQ(s.range(), (RowRange{40, 45}));
  s.setRowCount(42);  // fewer rows: pulled inside
  EXPECT_EQ(s.range(), (RowRange{40, 41}));
  EXPECT_EQ(s.top(), 12u);
  s.setRowCount(0);
  EXPECT_TRUE(s.empty());
  s.click(3, false, false);
  EXPECT_EQ(s.current(), 0u);
}

}  // namespace
}  // namespace sonalog
