#include "ui/viewer/ViewFormGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace sonalog::ui {

ViewFormGrid::ViewFormGrid(QWidget* parent) : QTableView(parent) {
  setObjectName("SG1");
  setSelectionBehavior(QAbstractItemView::SelectRows);
  // Only the logic's range is ever selected; Qt's own handlers never run on user input here.
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setTabKeyNavigation(false);
}

int ViewFormGrid::wholeRows() const {
  const int h = verticalHeader()->defaultSectionSize();
  return h > 0 ? std::max(1, viewport()->height() / h) : 1;
}

int ViewFormGrid::rowAtPoint(int y) const {
  const int rows = model() ? model()->rowCount() : 0;
  if (rows == 0) return -1;
  const int row = rowAt(y);
  if (row >= 0) return row;
  return y < 0 ? std::max(0, rowAt(0) - 1) : rows - 1;
}

void ViewFormGrid::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (event->button() != Qt::LeftButton) return;
  const int row = rowAt(static_cast<int>(event->position().y()));
  if (row < 0) return;
  dragging_ = true;
  const Qt::KeyboardModifiers mods = event->modifiers();
  emit rowClicked(row, mods.testFlag(Qt::ShiftModifier), mods.testFlag(Qt::ControlModifier));
}

void ViewFormGrid::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
  const int row = rowAtPoint(static_cast<int>(event->position().y()));
  if (row >= 0) emit rowDragged(row);
}

void ViewFormGrid::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void ViewFormGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rowAt(static_cast<int>(event->position().y())) >= 0)
    emit editRequested();
}

void ViewFormGrid::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool extend = mods.testFlag(Qt::ShiftModifier);
  const bool plain = mods == Qt::NoModifier || mods == Qt::KeypadModifier;
  auto move = [&](RowMove m) { emit moveRequested(m, extend); };
  if (event->matches(QKeySequence::Copy)) {
    emit copyRequested();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Up: move(RowMove::Up); return;
    case Qt::Key_Down: move(RowMove::Down); return;
    case Qt::Key_PageUp: move(RowMove::PageUp); return;
    case Qt::Key_PageDown: move(RowMove::PageDown); return;
    case Qt::Key_Home: move(RowMove::First); return;
    case Qt::Key_End: move(RowMove::Last); return;
    case Qt::Key_Left:
    case Qt::Key_Right: {
      QScrollBar* bar = horizontalScrollBar();
      bar->setValue(bar->value() + (event->key() == Qt::Key_Left ? -1 : 1) * bar->singleStep());
      return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (plain) emit editRequested();
      return;
    case Qt::Key_Delete:
      if (plain) {
        emit deleteRequested();
        return;
      }
      break;
    default: break;
  }
  const QString text = event->text();
  const bool command = mods.testFlag(Qt::ControlModifier) || mods.testFlag(Qt::AltModifier) ||
                       mods.testFlag(Qt::MetaModifier);
  if (!command && !text.isEmpty() && text.at(0).isPrint()) {
    emit textTyped(text);
    return;
  }
  event->ignore();  // the window's shortcuts and keys
}

}  // namespace sonalog::ui
