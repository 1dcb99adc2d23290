#pragma once
// Where the user stands in the viewer's grid: the current row, the highlighted rows and the top
// row, kept as one state. The highlighted rows are always one contiguous range that holds the
// current row, because every command works on a range from top to bottom and the undo slot keeps
// one range: nothing can look selected that a command would not act on. Rows are 0-based.

#include <cstdint>

namespace sonalog {

// The grid's current row and top row, as item rows.
struct GridPosition {
  uint32_t current = 0;
  uint32_t top = 0;
  bool operator==(const GridPosition&) const = default;
};

// Rows first..last, both included.
struct RowRange {
  uint32_t first = 0;
  uint32_t last = 0;
  uint32_t count() const { return last - first + 1; }
  bool contains(uint32_t row) const { return row >= first && row <= last; }
  bool operator==(const RowRange&) const = default;
};

// The navigation keys of the grid.
enum class RowMove : uint8_t { Up, Down, PageUp, PageDown, First, Last };

class ViewSelection {
 public:
  // The grid shows `rows` whole rows at a time (at least 1). The top row is pulled back so that
  // the last row can always be seen whole.
  void setVisibleRows(uint32_t rows);
  uint32_t visibleRows() const { return visible_; }

  // The grid has `rows` rows now. The current row, the range and the top row keep their row
  // numbers, pulled inside the rows; no rows leaves an empty selection at row 0.
  void setRowCount(uint32_t rows);
  uint32_t rowCount() const { return rows_; }
  bool empty() const { return rows_ == 0; }

  uint32_t current() const { return current_; }
  uint32_t top() const { return top_; }
  GridPosition position() const { return {current_, top_}; }
  // The highlighted rows; the current row is one of them.
  RowRange range() const;

  // A left click on a row. Alone: that row. With Shift: the range from the anchor to the row.
  // With Ctrl: the range grows to the row, or starts again at it when it is highlighted already.
  void click(uint32_t row, bool shift, bool ctrl);
  // The pointer moved to row with the button held: the range from the anchor to the row.
  void dragTo(uint32_t row);
  // A navigation key: the current row moves, the grid scrolls to keep it visible (PageUp and
  // PageDown scroll by one page, not past the ends). extend (Shift held) keeps the anchor, so
  // the range runs from it to the new current row; otherwise the range is the current row.
  void move(RowMove move, bool extend);
  // The user scrolled the grid so that top is its first row: a current row that left the visible
  // rows is moved back inside them, and the range collapses onto it.
  void scrolled(uint32_t top);
  // After a command: the current row and top row from pos (pulled inside the rows), the range
  // is the current row alone.
  void place(const GridPosition& pos);
  // Highlights rows first..last (pulled inside the rows) with the current row at last.
  void select(RowRange range);

 private:
  // Scrolls as little as possible so that the current row is visible.
  void showCurrent();
  uint32_t lastRow() const { return rows_ == 0 ? 0 : rows_ - 1; }
  uint32_t maxTop() const { return rows_ > visible_ ? rows_ - visible_ : 0; }
  uint32_t clampRow(int64_t row) const;

  uint32_t rows_ = 0;
  uint32_t visible_ = 1;
  uint32_t current_ = 0;
  uint32_t anchor_ = 0;  // the other end of the range
  uint32_t top_ = 0;
};

}  // namespace sonalog
