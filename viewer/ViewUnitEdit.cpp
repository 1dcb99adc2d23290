#include "viewer/ViewUnit.h"

#include <algorithm>

#include "viewer/ViewMessages.h"

// The viewer's changes to single items: Edit, Insert and Delete.

namespace sonalog {

// ---- Editing ----

bool ViewUnit::edit(uint32_t index, const ListItem& rec, uint8_t choice, GridPosition& pos) {
  if (busy() || index >= list_.itemCount() || rec == list_.items[index]) return false;
  if (filter_.active) choice = 0;
  record(UndoKind::EditResort, pos);
  const bool resorting = choice == 2 || choice == 3;
  if (resorting) {
    snapshotWholeList(" disk error");
  } else {
    undo_.kind = UndoKind::Edit;
    undo_.first = index;
  }
  undo_.item = list_.items[index];
  const BusyGuard guard(*this);
  grid_.forget(list_.items[index]);
  list_.items[index].copyFrom(rec);
  grid_.learn(list_.items[index]);
  if (resorting) undo_.edited = list_.items[index];
  if (!resorting)
    list_.sortCode = kSortUnsorted;
  else
    sortBy(choice == 2 ? list_.sortCode : settings_.mainSortCode());
  list_.unsaved = true;
  refreshGrid();
  return true;
}

bool ViewUnit::insert(uint32_t selected, const ListItem& rec, uint8_t choice, GridPosition& pos) {
  if (busy() || filter_.active || grid_.tooLarge()) return false;
  selected = std::min(selected, list_.itemCount());
  record(UndoKind::InsertResort, pos);
  const bool resorting = choice == 2 || choice == 3;
  if (resorting)
    snapshotWholeList(" disk error");
  else
    undo_.kind = UndoKind::Insert;
  undo_.item = rec;
  const BusyGuard guard(*this);
  list_.unsaved = true;
  uint32_t at = selected;
  if (choice == 1 && list_.itemCount() > 0) at = selected + 1;
  if (resorting) {
    list_.items.push_back(rec);
    sortBy(choice == 2 ? list_.sortCode : settings_.mainSortCode());
    const auto found = std::find(list_.items.begin(), list_.items.end(), rec);
    at = found == list_.items.end() ? 0 : static_cast<uint32_t>(found - list_.items.begin());
  } else {
    list_.items.insert(list_.items.begin() + at, rec);
  }
  grid_.learn(rec);
  pos.current = at;
  if (pos.top > pos.current) pos.top = pos.current;
  refreshGrid();
  return true;
}

ViewUnit::DeleteResult ViewUnit::deleteRows(uint32_t first, uint32_t last, GridPosition& pos) {
  if (busy() || deleting_ || first > last || last >= list_.itemCount() || grid_.tooLarge())
    return DeleteResult::Refused;
  deleting_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{deleting_};
  const uint32_t n = last - first + 1;
  const bool emptied = n == list_.itemCount();
  if (!emptied) {
    const FilterTables tables = filterTables();
    std::string reason;
    if (!writeUndo(first, n, filter_.active ? &tables : nullptr, reason)) {
      ui_.warning(withReason("Fatal disk error writing temporary file!\r\nCan't erase!", reason));
      undo_ = UndoSlot{};
      return DeleteResult::Refused;
    }
    record(UndoKind::Delete, pos);
    undo_.first = first;
    undo_.count = n;
  } else {
    if (ui_.ask(filter_.active ? "DELETE AND UNFILTER?" : "DELETE AND CLOSE?", " List to be cleared",
                Buttons::OkCancel, Icon::Exclamation) != Answer::Ok)
      return DeleteResult::Cancelled;
    undo_ = UndoSlot{};
  }
  for (uint32_t k = first; k <= last; ++k) grid_.forget(list_.items[k]);
  list_.items.erase(list_.items.begin() + first, list_.items.begin() + last + 1);
  list_.unsaved = true;
  if (filter_.active) {
    for (uint32_t k = first; k <= last; ++k) filter_.deleted[filter_.map[k]] = 1;
    filter_.map.erase(filter_.map.begin() + first, filter_.map.begin() + last + 1);
  }
  if (!emptied) {
    refreshGrid();
    while (pos.current >= list_.itemCount() && pos.current > 0) {
      --pos.current;
      if (pos.top > 0) --pos.top;
    }
    return DeleteResult::Deleted;
  }
  if (!filter_.active) {
    list_.clear();
    return DeleteResult::CloseViewer;
  }
  deleting_ = false;
  if (!unfilter(pos)) return DeleteResult::Deleted;
  undo_ = UndoSlot{};
  pos = GridPosition{};
  return DeleteResult::Unfiltered;
}

}  // namespace sonalog
