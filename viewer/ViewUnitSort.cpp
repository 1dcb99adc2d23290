#include "viewer/ViewUnit.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "core/Sorting.h"
#include "platform/Threads.h"
#include "viewer/FindUnit.h"
#include "viewer/ViewMessages.h"
#include "viewer/ViewTempFile.h"

// The viewer's sorting (header click, Re-sort) and its filter (Filter, Unfilter, Make primary).

namespace sonalog {

namespace {

// The header-click question's key names, by sort key.
constexpr const char* kSortQuestionNames[] = {"FILENAME", "TIME",         "KBPS", "SIZE",
                                              "STEREO MODE", "FREQUENCY", "DATE CREATED",
                                              "PATH",     "DATE ADDED",   "VOLUME"};

}  // namespace

// ---- Sorting ----

void ViewUnit::prepareSortKeys() {
  if (grid_.tooLarge()) return;  // such a list is never sorted here
  // A header click keeps the case rule of the list's own order or sorts without it.
  const bool sorted = (list_.sortCode & kSortKeyMask) <= kLastSortKey;
  backgroundKeys_.start(list_.items, sorted && (list_.sortCode & kSortCaseSensitive) != 0);
}

void ViewUnit::sortBy(uint8_t sortCode) {
  backgroundKeys_.takeInto(sortKeys_);
  list_.sortCode = sortCode;
  sortItems(list_.items, sortOrderOf(sortCode), &sortKeys_);
}

bool ViewUnit::headerClick(int column, GridPosition& /*pos: the rows keep their numbers*/) {
  if (busy() || column < 0 || column >= grid_.columnCount() || grid_.tooLarge()) return false;
  if (filter_.active) {
    ui_.warning("You can't sort the filtered list.");
    return false;
  }
  uint8_t key = grid_.column(column).sortKey;
  if (key == kNoSortKey) {
    ui_.warning("You can't sort by numbers.");
    return false;
  }
  bool confirmed = false;
  if (key == kArtistTitleSortKey) {
    if (ui_.ask("You can't sort by artist or title.\r\nDo you want to sort by filename?\r\n\n"
                "(this won't affect main sorting option)",
                "", Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
      return false;
    key = kSortByFileName;
    confirmed = true;
  }
  const uint8_t code = (list_.sortCode & kSortKeyMask) == key
                           ? static_cast<uint8_t>(list_.sortCode ^ kSortDescending)
                           : key;
  if (!confirmed) {
    std::string question = "SORT THE LIST BY ";
    question += kSortQuestionNames[key];
    if (code & kSortDescending) question += " (REVERSE ORDER) ";
    question += "?\r\n\n(this won't affect main sorting option)";
    if (ui_.ask(question, "sorting", Buttons::YesNo, Icon::Question) != Answer::Yes) return false;
  }
  const BusyGuard guard(*this);
  sortBy(code);
  // The rows of a kept undo would point at other items now.
  undo_ = UndoSlot{};
  list_.unsaved = true;
  return true;  // a new order changes no text, length or width: the picture holds
}

bool ViewUnit::resort(GridPosition& pos) {
  if (busy() || filter_.active || grid_.tooLarge()) return false;
  const BusyGuard guard(*this);
  record(UndoKind::Resort, pos);
  snapshotWholeList(" disk error");  // a failure leaves the slot empty: the sort goes on
  sortBy(settings_.mainSortCode());
  list_.unsaved = true;
  return true;  // a new order changes no text, length or width: the picture holds
}

// ---- Filter ----

bool ViewUnit::filter(std::string_view text, bool matchCase, GridPosition& pos) {
  if (busy() || filter_.active || text.empty()) return false;
  // Dropped before a message, so that the box does not show the busy cursor.
  std::optional<BusyGuard> guard(std::in_place, *this);
  // The copy of the full list is written while the names are matched; it takes the place of the
  // filter file only when something matched (an unfilter's undo may still need the old one).
  auto copy = std::make_unique<platform::TempFile>();
  std::string reason;
  bool written = false;
  uint64_t middle = 0;
  std::vector<uint32_t> map;
  auto match = [&] {
    const NameMatcher matches(text, matchCase);
    for (uint32_t i = 0; i < list_.itemCount(); ++i)
      if (matches(list_.items[i].fileName)) map.push_back(i);
  };
  platform::runAlongside(match, [&] {
    written = writeTempFile(*copy, [&](const std::string& path, std::string& why) {
      TempWriter out(path);
      middle = out.items(list_.items, 0, list_.items.size());
      const bool done = out.finish();
      why = out.error();
      return done;
    }, reason);
  });
  if (map.empty()) {
    guard.reset();
    ui_.warning("No matches found. Not filtering.");
    return false;
  }
  if (!written) {
    guard.reset();
    ui_.warning(withReason("Disk error writing temporary file!", reason));
    return false;
  }
  filterFile_ = std::move(copy);
  record(UndoKind::Filter, pos);
  // The grid counts whichever is fewer: the rows kept, or the rows that go.
  filter_.fullMeasures = grid_.measures();
  if (map.size() < list_.items.size() - map.size()) {
    grid_.invalidate();
  } else {
    for (uint32_t i = 0, next = 0; i < list_.itemCount(); ++i)
      if (next < map.size() && map[next] == i) ++next;
      else grid_.forget(list_.items[i]);
  }
  filter_.fullCount = list_.itemCount();
  for (uint32_t k = 0; k < map.size(); ++k)
    if (map[k] != k) list_.items[k] = std::move(list_.items[map[k]]);
  list_.items.resize(map.size());
  filter_.middle = middle;
  filter_.map = std::move(map);
  filter_.deleted.assign(filter_.fullCount, 0);
  filter_.filteredAtFilter = list_.itemCount();
  filter_.active = true;
  pos = GridPosition{};
  list_.unsaved = true;
  refreshGrid();
  filter_.filteredMeasures = grid_.measures();
  return true;
}

bool ViewUnit::unfilter(GridPosition& pos, bool closing) {
  if (!filter_.active) return false;
  // The whole file is read, then the deleted items are dropped from it; the shown items take
  // their places only once all of it could be read, so a damaged file leaves the list as it is.
  std::vector<ListItem> full;
  std::vector<size_t> shownAt;  // the place of each shown item in full
  const bool readable = filter_.fullCount > 1 && filter_.fullCount >= list_.itemCount() &&
                        filter_.map.size() == list_.items.size() &&
                        readItemRecords(filterFile_->path(), 0, filter_.middle, filter_.fullCount, full);
  if (readable) {
    shownAt.reserve(filter_.map.size());
    size_t kept = 0, next = 0;
    for (uint32_t i = 0; i < filter_.fullCount; ++i) {
      if (next < filter_.map.size() && filter_.map[next] == i) {
        shownAt.push_back(kept);
        ++next;
      } else if (filter_.deleted[i]) {
        continue;
      }
      if (kept != i) full[kept] = std::move(full[i]);
      ++kept;
    }
    full.resize(kept);
  }
  if (!readable) {
    ui_.message("Can't read temporary backup file!", " disk error", Icon::Error);
    return false;
  }
  const BusyGuard guard(*this);
  const GridPosition before = pos;
  record(UndoKind::Unfilter, before);
  const FilterTables tables = filterTables();
  if (std::string reason; !writeUndo(0, list_.items.size(), &tables, reason)) {
    ui_.message(withReason(kPrepareUndoFailed, reason), "disk error", Icon::Error);
    undo_ = UndoSlot{};
  }
  unfilteredFrom_ = list_.itemCount();
  for (size_t k = 0; k < shownAt.size(); ++k) full[shownAt[k]] = std::move(list_.items[k]);
  list_.items = std::move(full);
  // The full list's counts: those from before the filter, with the shown rows as they are now.
  unfilteredMeasures_ = grid_.measures();
  GridMeasures counts = filter_.fullMeasures;
  counts.merge(filter_.filteredMeasures, -1);
  counts.merge(unfilteredMeasures_, 1);
  grid_.setMeasures(std::move(counts));
  filter_.active = false;
  filter_.map.clear();
  filter_.deleted.clear();
  pos = GridPosition{};
  if (!closing) {
    refreshGrid();
    prepareSortKeys();
  }
  return true;
}

void ViewUnit::dropFilter(bool deleteFile) {
  if (deleteFile) filterFile_->remove();
  filter_ = FilterState{};
}

bool ViewUnit::makePrimary() {
  if (!filter_.active) return false;
  if (ui_.ask("Are you certain?\r\n\nYou can't undo this operation.", "make this your list",
              Buttons::YesNo, Icon::Question) != Answer::Yes)
    return false;
  undo_ = UndoSlot{};
  dropFilter(true);
  return true;
}

}  // namespace sonalog
