#pragma once
// The viewer's grid widget (SG1): a table view that paints the model and reports the user's
// clicks, drags and keys as requests. It never changes its own selection: the viewer's logic
// keeps the current row and the highlighted range, and the window shows what it says.

#include <QTableView>

#include "viewer/ViewSelection.h"

namespace sonalog::ui {

class ViewFormGrid : public QTableView {
  Q_OBJECT
 public:
  explicit ViewFormGrid(QWidget* parent = nullptr);

  // Whole rows the viewport shows at a time (at least 1).
  int wholeRows() const;

 signals:
  void rowClicked(int row, bool shift, bool ctrl);
  void rowDragged(int row);
  void moveRequested(sonalog::RowMove move, bool extend);
  // Enter or a double click: the editor on the current row.
  void editRequested();
  // Delete: what Ctrl+Del does.
  void deleteRequested();
  void copyRequested();
  // Letters typed into the grid, for the jump to a file name.
  void textTyped(const QString& text);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The row under a viewport point; points above or below the rows give the nearest row.
  int rowAtPoint(int y) const;
  bool dragging_ = false;
};

}  // namespace sonalog::ui
