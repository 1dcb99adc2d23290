#include "viewer/ViewUnit.h"

#include <algorithm>

#include "core/Sorting.h"
#include "platform/Files.h"
#include "viewer/FindUnit.h"
#include "viewer/ViewTempFile.h"

namespace sonalog {

namespace {

constexpr char kPrepareUndoFailed[] = "Error trying to prepare undo.\r\nCan't write temporary file.";
constexpr char kUndoReadFailed[] = "Unexpected error reading temporary file!\r\nUndo failed.";
constexpr char kFilteredUndoMismatch[] =
    "Error performing filtered undo.\r\nTemporary file parameters don't match current.";
constexpr char kInternalUndoError[] = "Unexpected internal error. Can't undo.";

// The header-click question's key names, by sort key.
constexpr const char* kSortQuestionNames[] = {"FILENAME", "TIME",         "KBPS", "SIZE",
                                              "STEREO MODE", "FREQUENCY", "DATE CREATED",
                                              "PATH",     "DATE ADDED",   "VOLUME"};

// Colour schemes: fixed rows, cells, text (red in the low byte).
constexpr Colour rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }
constexpr Colour kLightFixed = rgb(224, 212, 200);
constexpr Colour kDarkFixed = rgb(80, 88, 96);
constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kBlack = 0;

// Extra pixels of an automatic width beyond the widest text.
constexpr int kAutoWidthMargin = 4;
// The first column leaves this much of the grid for the others.
constexpr int kFirstColumnReserve = 32;

}  // namespace

ViewUnit::ViewUnit(InternalList& list, Settings& settings, UserInterface& ui)
    : list_(list), settings_(settings), ui_(ui) {}

std::string ViewUnit::filterPath() const { return viewerTempPath(kFilterFileName); }
std::string ViewUnit::undoPath() const { return viewerTempPath(kUndoFileName); }

void ViewUnit::open() {
  undo_ = UndoSlot{};
  filter_ = FilterState{};
  countAtOpen_ = list_.itemCount();
  settings_.viewerFont.size = static_cast<uint8_t>(
      std::clamp<int>(settings_.viewerFont.size, kMinViewerFontSize, kMaxViewerFontSize));
  rebuild();
  if (grid_.tooLarge()) ui_.warning(kTooLargeText);
}

void ViewUnit::rebuild() {
  busy_ = true;
  ui_.setBusy(true);
  grid_.rebuild(list_.items, settings_,
                settings_.viewerManualWidths ? TextWidth{} : textWidth_);
  ui_.setBusy(false);
  busy_ = false;
}

std::string ViewUnit::caption() const {
  return grid_.caption(settings_.viewerTotalTimeStyle, filter_.active, totalCount());
}

uint64_t ViewUnit::totalCount() const {
  if (!filter_.active) return list_.itemCount();
  return uint64_t{filter_.fullCount} + list_.itemCount() - filter_.filteredAtFilter;
}

// ---- Panel and looks ----

bool ViewUnit::resortEnabled() const {
  return !filter_.active && list_.sortCode != settings_.mainSortCode();
}

std::string ViewUnit::resortHint() const {
  return "Re-sort by " + sortKeyName(settings_.mainSortCode() & kSortKeyMask) + " (main option)";
}

PanelTexts ViewUnit::panelTexts() const {
  if (filter_.active)
    return {"UNF&ILTER", "Unf&ilter  (Alt+I)", "&Make primary  (Alt+R)", "&Find  (Ctrl+F)", false,
            true};
  return {"&Insert", "&Insert  (Alt+I)", "&Re-sort  (Alt+R)", "&Find or filter  (Ctrl+F)", true,
          false};
}

GridColours ViewUnit::colours() const {
  GridColours c;
  switch (settings_.viewerColourScheme) {
    case 1: c = {false, kLightFixed, kWhite, kBlack, false}; break;
    case 2: c = {false, kDarkFixed, kBlack, kWhite, false}; break;
    default: c = {true, 0, 0, 0, false}; break;
  }
  if (filter_.active && settings_.ChkInversion) {
    std::swap(c.cells, c.text);
    c.inverted = true;
  }
  return c;
}

std::array<std::string, 3> ViewUnit::colourMenuTexts() const {
  if (colours().inverted)
    return {"&Windows (now inverted)", "&Light (now inverted)", "&Dark (now inverted)"};
  return {"&Windows", "&Light", "&Dark"};
}

void ViewUnit::setColourScheme(uint8_t scheme) { settings_.viewerColourScheme = scheme > 2 ? 0 : scheme; }

void ViewUnit::setTotalTimeStyle(uint8_t style) { settings_.viewerTotalTimeStyle = style & 3; }

void ViewUnit::setSplit(bool split) {
  settings_.viewerSplitArtistTitle = split;
  rebuild();
}

void ViewUnit::setManualWidths(bool manual) {
  const bool was = settings_.viewerManualWidths;
  settings_.viewerManualWidths = manual;
  if (was && !manual) rebuild();  // automatic widths need the widest texts
}

void ViewUnit::setFontSize(int size) {
  settings_.viewerFont.size =
      static_cast<uint8_t>(std::clamp(size, kMinViewerFontSize, kMaxViewerFontSize));
  rebuild();
}

std::vector<int> ViewUnit::columnWidths(int gridWidth) const {
  std::vector<int> widths;
  for (int c = 0; c < grid_.columnCount(); ++c) {
    if (settings_.viewerManualWidths) {
      const auto field = static_cast<size_t>(grid_.column(c).field);
      widths.push_back(std::max(0, settings_.viewerColumnWidths[field]));
    } else {
      widths.push_back(grid_.textWidth(c) + kAutoWidthMargin);
    }
  }
  if (!widths.empty() && gridWidth > kFirstColumnReserve)
    widths[0] = std::min(widths[0], gridWidth - kFirstColumnReserve);
  return widths;
}

void ViewUnit::storeManualWidth(int column, int width) {
  if (!settings_.viewerManualWidths || column < 0 || column >= grid_.columnCount()) return;
  settings_.viewerColumnWidths[static_cast<size_t>(grid_.column(column).field)] = width;
}

int ViewUnit::initialColumnWidth(int clientWidth) {
  constexpr int kColumns = 11;
  return std::max(4, (clientWidth - 16) / kColumns - 5);
}

// ---- Sorting ----

void ViewUnit::sortBy(uint8_t sortCode) {
  list_.sortCode = sortCode;
  sortItems(list_.items, sortOrderOf(sortCode));
}

bool ViewUnit::headerClick(int column, GridPosition& /*pos: the rows keep their numbers*/) {
  if (busy_ || column < 0 || column >= grid_.columnCount() || grid_.tooLarge()) return false;
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
  ui_.setBusy(true);
  sortBy(code);
  // The rows of a kept undo would point at other items now.
  undo_ = UndoSlot{};
  list_.unsaved = true;
  ui_.setBusy(false);  // a new order changes no text, length or width: the picture holds
  return true;
}

bool ViewUnit::resort(GridPosition& pos) {
  if (busy_ || filter_.active || grid_.tooLarge()) return false;
  ui_.setBusy(true);
  record(UndoKind::Resort, pos);
  snapshotWholeList(" disk error");  // a failure leaves the slot empty: the sort goes on
  sortBy(settings_.mainSortCode());
  list_.unsaved = true;
  ui_.setBusy(false);  // a new order changes no text, length or width: the picture holds
  return true;
}

// ---- Undo slot and files ----

void ViewUnit::record(UndoKind kind, const GridPosition& pos) {
  undo_ = UndoSlot{};
  undo_.kind = kind;
  undo_.pos = pos;
  undo_.unsaved = list_.unsaved;
  undo_.sortCode = list_.sortCode;
  undo_.count = list_.itemCount();
}

bool ViewUnit::snapshotWholeList(const char* caption) {
  TempWriter out(undoPath());
  out.items(list_.items, 0, list_.items.size());
  if (out.finish()) return true;
  ui_.message(kPrepareUndoFailed, caption, Icon::Error);
  undo_ = UndoSlot{};
  return false;
}

bool ViewUnit::readWholeList(uint32_t count, std::vector<ListItem>& out) {
  TempReader in(undoPath());
  if (!in.isOpen()) return false;
  out.clear();
  out.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    ListItem it;
    if (!in.item(it)) return false;
    out.push_back(std::move(it));
  }
  return in.atEnd();
}

void ViewUnit::undoReadFailed() {
  ui_.message(kUndoReadFailed, "error", Icon::Error);
  undo_ = UndoSlot{};
}

bool ViewUnit::undo(GridPosition& pos) {
  if (busy_ || undo_.kind == UndoKind::None) return false;
  bool done = false;
  switch (undo_.kind) {
    case UndoKind::None: break;
    case UndoKind::Delete: done = undoDelete(); break;
    case UndoKind::Edit:
      if (undo_.first >= list_.itemCount()) {
        ui_.warning(kInternalUndoError);
        undo_ = UndoSlot{};
        return false;
      }
      list_.items[undo_.first] = undo_.item;
      list_.sortCode = undo_.sortCode;
      done = true;
      break;
    case UndoKind::Insert: done = undoInsert(); break;
    case UndoKind::Filter: done = undoFilter(); break;
    case UndoKind::Resort:
    case UndoKind::InsertResort:
    case UndoKind::EditResort: {
      std::vector<ListItem> items;
      if (!readWholeList(undo_.count, items)) {
        // The list is read aside, so a damaged file leaves it as it is.
        undoReadFailed();
        return false;
      }
      list_.items = std::move(items);
      list_.sortCode = undo_.sortCode;
      done = true;
      break;
    }
    case UndoKind::Unfilter: done = undoUnfilter(); break;
  }
  if (!done) return false;
  list_.unsaved = undo_.unsaved;
  pos = undo_.pos;
  undo_ = UndoSlot{};
  rebuild();
  return true;
}

bool ViewUnit::undoDelete() {
  const uint32_t n = undo_.count;
  if (n == 0 || undo_.first > list_.itemCount()) {
    ui_.warning(kInternalUndoError);
    undo_ = UndoSlot{};
    return false;
  }
  TempReader in(undoPath());
  if (!in.isOpen()) {
    undoReadFailed();
    return false;
  }
  std::vector<ListItem> items(n);
  for (ListItem& it : items)
    if (!in.item(it)) {
      undoReadFailed();
      return false;
    }
  std::vector<uint8_t> deleted;
  std::vector<uint32_t> map;
  if (filter_.active) {
    uint32_t fullCount = 0, mapLength = 0;
    if (!in.u32(fullCount)) {
      undoReadFailed();
      return false;
    }
    if (fullCount != filter_.fullCount) {
      ui_.warning(kFilteredUndoMismatch);
      undo_ = UndoSlot{};
      return false;
    }
    if (!in.bytes(deleted, fullCount) || !in.u32(mapLength) || !in.u32s(map, mapLength) ||
        mapLength != list_.itemCount() + n) {
      undoReadFailed();
      return false;
    }
  }
  if (!in.atEnd()) {
    undoReadFailed();
    return false;
  }
  list_.items.insert(list_.items.begin() + undo_.first, std::make_move_iterator(items.begin()),
                     std::make_move_iterator(items.end()));
  if (filter_.active) {
    filter_.deleted = std::move(deleted);
    filter_.map = std::move(map);
  }
  return true;
}

bool ViewUnit::undoInsert() {
  if (filter_.active) {
    ui_.warning(kFilteredUndoMismatch);
    undo_ = UndoSlot{};
    return false;
  }
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
  list_.items.erase(list_.items.begin() + static_cast<std::ptrdiff_t>(last));
  return true;
}

bool ViewUnit::undoFilter() {
  if (!filter_.active || filter_.fullCount <= 1 || filter_.fullCount < list_.itemCount()) {
    ui_.warning(kInternalUndoError);
    undo_ = UndoSlot{};
    return false;
  }
  TempReader in(filterPath());
  std::vector<ListItem> items;
  items.reserve(filter_.fullCount);
  for (uint32_t i = 0; in.isOpen() && i < filter_.fullCount; ++i) {
    ListItem it;
    if (!in.item(it)) break;
    items.push_back(std::move(it));
  }
  if (items.size() != filter_.fullCount) {
    undoReadFailed();
    return false;
  }
  list_.items = std::move(items);
  filter_.active = false;
  filter_.map.clear();
  filter_.deleted.clear();
  return true;
}

bool ViewUnit::undoUnfilter() {
  TempReader in(undoPath());
  if (!in.isOpen()) {
    undoReadFailed();
    return false;
  }
  uint32_t count = 0;
  if (!in.u32(count)) {
    undoReadFailed();
    return false;
  }
  if (count != unfilteredFrom_) {
    ui_.warning(kInternalUndoError);
    undo_ = UndoSlot{};
    return false;
  }
  std::vector<ListItem> items(count);
  for (ListItem& it : items)
    if (!in.item(it)) {
      undoReadFailed();
      return false;
    }
  uint32_t mapLength = 0, flagCount = 0, fullCount = 0;
  std::vector<uint32_t> map;
  std::vector<uint8_t> deleted;
  if (!in.u32(mapLength) || !in.u32s(map, mapLength) || !in.u32(flagCount) ||
      !in.bytes(deleted, flagCount) || !in.u32(fullCount) || !in.atEnd() ||
      mapLength != count || flagCount != fullCount || fullCount != filter_.offsets.size()) {
    undoReadFailed();
    return false;
  }
  list_.items = std::move(items);
  filter_.map = std::move(map);
  filter_.deleted = std::move(deleted);
  filter_.fullCount = fullCount;
  filter_.active = true;
  return true;
}

// ---- Filter ----

bool ViewUnit::filter(std::string_view text, bool matchCase, GridPosition& pos) {
  if (busy_ || filter_.active || text.empty() || grid_.tooLarge()) return false;
  ui_.setBusy(true);
  std::vector<uint64_t> offsets(list_.items.size());
  {
    TempWriter out(filterPath());
    for (size_t i = 0; i < list_.items.size(); ++i) {
      offsets[i] = out.position();
      out.item(list_.items[i]);
    }
    if (!out.finish()) {
      ui_.setBusy(false);
      ui_.warning("Disk error writing temporary file!");
      return false;
    }
  }
  const NameMatcher matches(text, matchCase);
  std::vector<uint32_t> map;
  for (uint32_t i = 0; i < list_.itemCount(); ++i)
    if (matches(list_.items[i].fileName)) map.push_back(i);
  if (map.empty()) {
    platform::removeFile(filterPath());
    ui_.setBusy(false);
    ui_.warning("No matches found. Not filtering.");
    return false;
  }
  record(UndoKind::Filter, pos);
  filter_.fullCount = list_.itemCount();
  for (uint32_t k = 0; k < map.size(); ++k)
    if (map[k] != k) list_.items[k] = std::move(list_.items[map[k]]);
  list_.items.resize(map.size());
  filter_.offsets = std::move(offsets);
  filter_.map = std::move(map);
  filter_.deleted.assign(filter_.fullCount, 0);
  filter_.filteredAtFilter = list_.itemCount();
  filter_.active = true;
  pos = GridPosition{};
  list_.unsaved = true;
  rebuild();
  return true;
}

bool ViewUnit::unfilter(GridPosition& pos, bool closing) {
  if (!filter_.active) return false;
  TempReader in(filterPath());
  std::vector<ListItem> others;  // the full list's items that were not shown, in order
  bool readable = in.isOpen() && filter_.fullCount > 1 && filter_.fullCount >= list_.itemCount();
  if (readable) {
    size_t next = 0;
    for (uint32_t i = 0; i < filter_.fullCount && readable; ++i) {
      if (next < filter_.map.size() && filter_.map[next] == i) {
        ++next;
        continue;
      }
      if (filter_.deleted[i]) continue;
      ListItem it;
      readable = in.seek(filter_.offsets[i]) && in.item(it);
      others.push_back(std::move(it));
    }
  }
  if (!readable) {
    ui_.message("Can't read temporary backup file!", " disk error", Icon::Error);
    return false;
  }
  ui_.setBusy(true);
  const GridPosition before = pos;
  record(UndoKind::Unfilter, before);
  {
    TempWriter out(undoPath());
    out.u32(list_.itemCount());
    out.items(list_.items, 0, list_.items.size());
    out.u32(static_cast<uint32_t>(filter_.map.size()));
    out.u32s(filter_.map);
    out.u32(static_cast<uint32_t>(filter_.deleted.size()));
    out.bytes(filter_.deleted);
    out.u32(filter_.fullCount);
    if (!out.finish()) {
      ui_.message(kPrepareUndoFailed, "disk error", Icon::Error);
      undo_ = UndoSlot{};
    }
  }
  unfilteredFrom_ = list_.itemCount();
  std::vector<ListItem> full;
  full.reserve(others.size() + list_.items.size());
  size_t next = 0, other = 0;
  for (uint32_t i = 0; i < filter_.fullCount; ++i) {
    if (next < filter_.map.size() && filter_.map[next] == i)
      full.push_back(std::move(list_.items[next++]));
    else if (!filter_.deleted[i])
      full.push_back(std::move(others[other++]));
  }
  list_.items = std::move(full);
  filter_.active = false;
  filter_.map.clear();
  filter_.deleted.clear();
  pos = GridPosition{};
  if (!closing) rebuild();
  ui_.setBusy(false);
  return true;
}

void ViewUnit::dropFilter(bool deleteFile) {
  if (deleteFile) platform::removeFile(filterPath());
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

// ---- Editing ----

bool ViewUnit::edit(uint32_t index, const ListItem& rec, uint8_t choice, GridPosition& pos) {
  if (busy_ || index >= list_.itemCount() || rec == list_.items[index]) return false;
  if (filter_.active) choice = 0;
  record(UndoKind::EditResort, pos);
  const bool resorting = choice == 2 || choice == 3;
  if (resorting) {
    snapshotWholeList(" disk error");
  } else {
    undo_.kind = UndoKind::Edit;
    undo_.first = index;
    undo_.item = list_.items[index];
  }
  ui_.setBusy(true);
  list_.items[index].copyFrom(rec);
  if (!resorting)
    list_.sortCode = kSortUnsorted;
  else
    sortBy(choice == 2 ? list_.sortCode : settings_.mainSortCode());
  list_.unsaved = true;
  rebuild();
  return true;
}

bool ViewUnit::insert(uint32_t selected, const ListItem& rec, uint8_t choice, GridPosition& pos) {
  if (busy_ || filter_.active || grid_.tooLarge()) return false;
  selected = std::min(selected, list_.itemCount());
  record(UndoKind::InsertResort, pos);
  const bool resorting = choice == 2 || choice == 3;
  if (resorting)
    snapshotWholeList(" disk error");
  else
    undo_.kind = UndoKind::Insert;
  undo_.item = rec;
  ui_.setBusy(true);
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
  pos.current = at;
  if (pos.top > pos.current) pos.top = pos.current;
  rebuild();
  return true;
}

ViewUnit::DeleteResult ViewUnit::deleteRows(uint32_t first, uint32_t last, GridPosition& pos) {
  if (busy_ || deleting_ || first > last || last >= list_.itemCount() || grid_.tooLarge())
    return DeleteResult::Refused;
  deleting_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{deleting_};
  const uint32_t n = last - first + 1;
  const bool emptied = n == list_.itemCount();
  if (!emptied) {
    TempWriter out(undoPath());
    out.items(list_.items, first, n);
    if (filter_.active) {
      out.u32(filter_.fullCount);
      out.bytes(filter_.deleted);
      out.u32(static_cast<uint32_t>(filter_.map.size()));
      out.u32s(filter_.map);
    }
    if (!out.finish()) {
      ui_.warning("Fatal disk error writing temporary file!\r\nCan't erase!");
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
  list_.items.erase(list_.items.begin() + first, list_.items.begin() + last + 1);
  list_.unsaved = true;
  if (filter_.active) {
    for (uint32_t k = first; k <= last; ++k) filter_.deleted[filter_.map[k]] = 1;
    filter_.map.erase(filter_.map.begin() + first, filter_.map.begin() + last + 1);
  }
  if (!emptied) {
    rebuild();
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

// ---- Closing ----

bool ViewUnit::closeQuery() {
  if (!filter_.active) return true;
  const Answer a = ui_.ask(
      "Do you want to revert to the unfiltered list?\r\n\n(NO will irreversibly make this list "
      "primary)",
      "prompt", Buttons::YesNoCancel, Icon::Question);
  if (a == Answer::Yes) {
    GridPosition pos;
    // A full list that cannot be read back keeps the viewer open rather than lose it.
    return unfilter(pos, true);
  }
  if (a == Answer::No) {
    undo_ = UndoSlot{};
    dropFilter(true);
    return true;
  }
  return false;
}

bool ViewUnit::closed() {
  const bool changed = list_.itemCount() != countAtOpen_ || list_.unsaved;
  if (changed) list_.unsaved = true;
  return changed;
}

}  // namespace sonalog
