#include "viewer/ViewSelection.h"

#include <algorithm>

namespace sonalog {

uint32_t ViewSelection::clampRow(int64_t row) const {
  return static_cast<uint32_t>(std::clamp<int64_t>(row, 0, lastRow()));
}

void ViewSelection::setVisibleRows(uint32_t rows) {
  visible_ = std::max<uint32_t>(1, rows);
  top_ = std::min(top_, maxTop());
}

void ViewSelection::setRowCount(uint32_t rows) {
  rows_ = rows;
  current_ = clampRow(current_);
  anchor_ = clampRow(anchor_);
  top_ = std::min(top_, maxTop());
}

RowRange ViewSelection::range() const {
  return {std::min(current_, anchor_), std::max(current_, anchor_)};
}

void ViewSelection::click(uint32_t row, bool shift, bool ctrl) {
  if (rows_ == 0) return;
  row = clampRow(row);
  const bool restart = !shift && (!ctrl || range().contains(row));
  current_ = row;
  if (restart) anchor_ = row;
  showCurrent();
}

void ViewSelection::dragTo(uint32_t row) {
  if (rows_ == 0) return;
  current_ = clampRow(row);
  showCurrent();
}

void ViewSelection::move(RowMove move, bool extend) {
  if (rows_ == 0) return;
  const int64_t page = visible_;
  switch (move) {
    case RowMove::Up: current_ = clampRow(int64_t{current_} - 1); break;
    case RowMove::Down: current_ = clampRow(int64_t{current_} + 1); break;
    case RowMove::PageUp:
      top_ = static_cast<uint32_t>(std::max<int64_t>(0, int64_t{top_} - page));
      current_ = clampRow(int64_t{current_} - page);
      break;
    case RowMove::PageDown:
      top_ = static_cast<uint32_t>(std::min<int64_t>(maxTop(), int64_t{top_} + page));
      current_ = clampRow(int64_t{current_} + page);
      break;
    case RowMove::First: current_ = 0; break;
    case RowMove::Last: current_ = lastRow(); break;
  }
  if (!extend) anchor_ = current_;
  showCurrent();
}

void ViewSelection::scrolled(uint32_t top) {
  if (rows_ == 0) return;
  top_ = std::min(top, maxTop());
  const uint32_t bottom = std::min(lastRow(), top_ + visible_ - 1);
  if (current_ >= top_ && current_ <= bottom) return;
  current_ = std::clamp(current_, top_, bottom);
  anchor_ = current_;
}

void ViewSelection::place(const GridPosition& pos) {
  current_ = anchor_ = clampRow(pos.current);
  top_ = std::min(pos.top, maxTop());
  showCurrent();
}

void ViewSelection::select(RowRange range) {
  if (rows_ == 0) return;
  anchor_ = clampRow(std::min(range.first, range.last));
  current_ = clampRow(std::max(range.first, range.last));
  showCurrent();
}

void ViewSelection::showCurrent() {
  if (current_ < top_)
    top_ = current_;
  else if (current_ >= top_ + visible_)
    top_ = current_ - visible_ + 1;
  top_ = std::min(top_, maxTop());
}

}  // namespace sonalog
