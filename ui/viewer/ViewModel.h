#pragma once
// The viewer's grid as a Qt model: every cell's text is asked of the viewer's logic when the view
// paints it, so nothing is stored per cell.

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>

#include <string>

#include "viewer/ViewUnit.h"

namespace sonalog::ui {

class ViewModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit ViewModel(ViewUnit& unit, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // After the logic took a new picture of the list.
  void refresh();
  // After the rows changed order only: same rows, columns and widths.
  void refreshCells();
  // Colours for cells (invalid colours: the palette's).
  void setColours(QColor cells, QColor text);

 private:
  ViewUnit& unit_;
  QColor cells_;
  QColor text_;
  mutable std::string buffer_;
};

}  // namespace sonalog::ui
