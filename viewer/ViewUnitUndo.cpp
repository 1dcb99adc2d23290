#include "viewer/ViewUnit.h"

#include <algorithm>

#include "viewer/ViewMessages.h"
#include "viewer/ViewTempFile.h"

// The viewer's undo slot: what each change records and how it is reversed.

namespace sonalog {

// ---- Undo slot and files ----

void ViewUnit::record(UndoKind kind, const GridPosition& pos) {
  undo_ = UndoSlot{};
  undo_.kind = kind;
  undo_.pos = pos;
  undo_.unsaved = list_.unsaved;
  undo_.sortCode = list_.sortCode;
  undo_.count = list_.itemCount();
}

bool ViewUnit::writeUndo(size_t first, size_t count, const FilterTables* tables,
                         std::string& reason) {
  return writeTempFile(undoFile_, [&](const std::string& path, std::string& why) {
    return writeUndoSnapshot(path, list_.items, first, count, tables, why);
  }, reason);
}

bool ViewUnit::snapshotWholeList(const char* caption) {
  std::string reason;
  if (writeUndo(0, list_.items.size(), nullptr, reason)) return true;
  ui_.message(withReason(kPrepareUndoFailed, reason), caption, Icon::Error);
  undo_ = UndoSlot{};
  return false;
}

bool ViewUnit::refuseUndo(UndoRefusal why) {
  switch (why) {
    case UndoRefusal::Internal: ui_.warning(kInternalUndoError); break;
    case UndoRefusal::Unreadable: ui_.message(kUndoReadFailed, "error", Icon::Error); break;
    case UndoRefusal::FilterMismatch: ui_.warning(kFilteredUndoMismatch); break;
  }
  undo_ = UndoSlot{};
  return false;
}

std::optional<UndoSnapshot> ViewUnit::readUndo() const { return readUndoSnapshot(undoFile_.path()); }

bool ViewUnit::undo(GridPosition& pos) {
  if (busy() || undo_.kind == UndoKind::None) return false;
  const BusyGuard guard(*this);
  bool done = false;
  switch (undo_.kind) {
    case UndoKind::None: break;
    case UndoKind::Delete: done = undoDelete(); break;
    case UndoKind::Edit:
      if (undo_.first >= list_.itemCount()) return refuseUndo(UndoRefusal::Internal);
      grid_.forget(list_.items[undo_.first]);
      list_.items[undo_.first] = undo_.item;
      grid_.learn(undo_.item);
      list_.sortCode = undo_.sortCode;
      done = true;
      break;
    case UndoKind::Insert: done = undoInsert(); break;
    case UndoKind::Filter: done = undoFilter(); break;
    case UndoKind::Resort:
    case UndoKind::InsertResort:
    case UndoKind::EditResort: {
      // The list is read aside, so a damaged file leaves it as it is.
      std::optional<UndoSnapshot> snap = readUndo();
      if (!snap || snap->tables || snap->items.size() != undo_.count)
        return refuseUndo(UndoRefusal::Unreadable);
      replaceItems(std::move(snap->items));
      list_.sortCode = undo_.sortCode;
      // The list before a re-sort had the same rows; before an insert, all but the inserted one;
      // before an edit, the edited one as it was.
      if (undo_.kind == UndoKind::InsertResort) {
        grid_.forget(undo_.item);
      } else if (undo_.kind == UndoKind::EditResort) {
        grid_.forget(undo_.edited);
        grid_.learn(undo_.item);
      }
      done = true;
      break;
    }
    case UndoKind::Unfilter: done = undoUnfilter(); break;
  }
  if (!done) return false;
  // These put back a whole list in another order: the kept keys no longer sit at their places.
  const bool listReplaced = undo_.kind == UndoKind::Filter || undo_.kind == UndoKind::Resort ||
                            undo_.kind == UndoKind::InsertResort || undo_.kind == UndoKind::EditResort;
  list_.unsaved = undo_.unsaved;
  pos = undo_.pos;
  undo_ = UndoSlot{};
  refreshGrid();
  if (listReplaced) prepareSortKeys();
  return true;
}

bool ViewUnit::undoDelete() {
  const uint32_t n = undo_.count;
  if (n == 0 || undo_.first > list_.itemCount()) return refuseUndo(UndoRefusal::Internal);
  std::optional<UndoSnapshot> snap = readUndo();
  if (!snap || snap->items.size() != n || snap->tables.has_value() != filter_.active)
    return refuseUndo(UndoRefusal::Unreadable);
  if (filter_.active) {
    if (snap->tables->fullCount != filter_.fullCount)
      return refuseUndo(UndoRefusal::FilterMismatch);
    if (snap->tables->map.size() != size_t{list_.itemCount()} + n)
      return refuseUndo(UndoRefusal::Unreadable);
  }
  for (const ListItem& it : snap->items) grid_.learn(it);
  list_.items.insert(list_.items.begin() + undo_.first, std::make_move_iterator(snap->items.begin()),
                     std::make_move_iterator(snap->items.end()));
  if (filter_.active) {
    filter_.deleted = std::move(snap->tables->deleted);
    filter_.map = std::move(snap->tables->map);
  }
  return true;
}

bool ViewUnit::undoInsert() {
  if (filter_.active) return refuseUndo(UndoRefusal::FilterMismatch);
  size_t found = 0, last = 0;
  for (size_t i = 0; i < list_.items.size(); ++i)
    if (list_.items[i] == undo_.item) {
      ++found;
      last = i;
    }
  if (found == 0) {
    ui_.message("Inserted item not found!", "internal error", Icon::Error);
    undo_ = UndoSlot{};
    return false;
  }
  if (found > 1) {
    const std::string question =
        "This operation can be undone only if there's\r\na single item in the list with all the "
        "same parameters.\r\nUnfortunately you have at least 2 items identical to the inserted "
        "one.\r\n\nDo you wish to remove the last found one (line no. " +
        std::to_string(last + 1) + ") ?\r\n(note: sorting will NOT be restored, if it was changed)";
    if (ui_.ask(question, "WARNING - READ CAREFULLY", Buttons::YesNo, Icon::Exclamation) !=
        Answer::Yes)
      return false;
  }
  grid_.forget(list_.items[last]);
  list_.items.erase(list_.items.begin() + static_cast<std::ptrdiff_t>(last));
  return true;
}

void ViewUnit::replaceItems(std::vector<ListItem>&& items) {
  list_.items.swap(items);
  released_.release(std::move(items));
}

bool ViewUnit::undoFilter() {
  if (!filter_.active || filter_.fullCount <= 1 || filter_.fullCount < list_.itemCount())
    return refuseUndo(UndoRefusal::Internal);
  std::vector<ListItem> items;
  if (!readItemRecords(filterFile_->path(), 0, filter_.middle, filter_.fullCount, items))
    return refuseUndo(UndoRefusal::Unreadable);
  replaceItems(std::move(items));
  grid_.setMeasures(filter_.fullMeasures);
  filter_.active = false;
  filter_.map.clear();
  filter_.deleted.clear();
  return true;
}

bool ViewUnit::undoUnfilter() {
  std::optional<UndoSnapshot> snap = readUndo();
  if (!snap || !snap->tables) return refuseUndo(UndoRefusal::Unreadable);
  if (snap->items.size() != unfilteredFrom_) return refuseUndo(UndoRefusal::Internal);
  FilterTables& t = *snap->tables;
  if (t.map.size() != snap->items.size() || t.deleted.size() != t.fullCount ||
      t.fullCount != filter_.fullCount)
    return refuseUndo(UndoRefusal::Unreadable);
  replaceItems(std::move(snap->items));
  grid_.setMeasures(unfilteredMeasures_);
  filter_.map = std::move(t.map);
  filter_.deleted = std::move(t.deleted);
  filter_.fullCount = t.fullCount;
  filter_.active = true;
  return true;
}

}  // namespace sonalog
