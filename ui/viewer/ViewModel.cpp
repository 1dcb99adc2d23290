#include "ui/viewer/ViewModel.h"

#include "ui/widgets/QtText.h"

namespace sonalog::ui {

ViewModel::ViewModel(ViewUnit& unit, QObject* parent) : QAbstractTableModel(parent), unit_(unit) {}

int ViewModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || unit_.list().items.empty()) return 0;
  return static_cast<int>(unit_.grid().rowCount());
}

int ViewModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : unit_.grid().columnCount();
}

QVariant ViewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole:
      unit_.cellText(static_cast<uint32_t>(index.row()), index.column(), buffer_);
      return qt(buffer_);
    case Qt::TextAlignmentRole:
      // Numeric columns are right-aligned by their padding, so every cell starts at the left.
      return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
      return cells_.isValid() ? QVariant(cells_) : QVariant();
    case Qt::ForegroundRole:
      return text_.isValid() ? QVariant(text_) : QVariant();
    default:
      return {};
  }
}

QVariant ViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= unit_.grid().columnCount()) return {};
  return qt(unit_.grid().column(section).header);
}

void ViewModel::refresh() {
  beginResetModel();
  endResetModel();
}

void ViewModel::refreshCells() {
  if (rowCount() > 0 && columnCount() > 0)
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

void ViewModel::setColours(QColor cells, QColor text) {
  cells_ = cells;
  text_ = text;
  if (rowCount() > 0 && columnCount() > 0)
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                     {Qt::BackgroundRole, Qt::ForegroundRole});
}

}  // namespace sonalog::ui
