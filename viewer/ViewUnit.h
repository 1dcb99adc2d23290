#pragma once
// The internal viewer's logic: it works on the internal list in place and keeps the viewer's
// state (filtered or not, the undo slot, the grid picture). The window only shows what this unit
// says and calls it for every command; rows here are 0-based item rows.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ListItem.h"
#include "core/Sorting.h"
#include "platform/Files.h"
#include "platform/UserInterface.h"
#include "settings/Settings.h"
#include "viewer/BackgroundRelease.h"
#include "viewer/BackgroundSortKeys.h"
#include "viewer/UndoSnapshot.h"
#include "viewer/ViewCommands.h"
#include "viewer/ViewGrid.h"
#include "viewer/ViewSelection.h"

namespace sonalog {

// What the single undo slot can reverse.
enum class UndoKind : uint8_t {
  None,
  Delete,
  Edit,
  Insert,
  Filter,
  Resort,
  InsertResort,
  Unfilter,
  EditResort,
};

// The grid's colours. A system scheme takes the palette's button face, base and text; an
// inverted one swaps the cell and text colours.
struct GridColours {
  bool system = true;
  Colour fixed = 0;
  Colour cells = 0;
  Colour text = 0;
  bool inverted = false;
};

inline constexpr int kMinViewerFontSize = 4;
inline constexpr int kMaxViewerFontSize = 32;

class ViewUnit {
 public:
  ViewUnit(InternalList& list, Settings& settings, UserInterface& ui);

  // Makes a text width function for a grid font; each function it makes is used by one thread.
  using TextWidthFor = std::function<TextWidth(const FontSetting&)>;
  // The grid font's text widths, used for automatic widths (none: no automatic widths). The
  // function is asked again whenever the font setting changes.
  void setTextWidth(TextWidthFor widthFor);
  // The same widths whatever the font.
  void setTextWidth(TextWidth textWidth);

  // Opening: empties the undo slot, leaves the filtered state, clamps the font size and builds the
  // grid; a list over the limit shows its message once.
  void open();
  // CreateListProc: takes a new picture of the list, measuring every row (for a list that
  // changed behind the viewer's back).
  void rebuild();
  // While busy (a command is running, the grid is being rebuilt) every command and key waits.
  bool busy() const { return busyDepth_ > 0; }

  // Marks the viewer busy and shows the busy cursor for as long as it lives. Nested guards leave
  // both to the outermost one, so no return path of a command can leave the cursor on.
  class BusyGuard {
   public:
    explicit BusyGuard(ViewUnit& unit);
    ~BusyGuard();
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

   private:
    ViewUnit& unit_;
  };

  // The current row, the highlighted rows and the top row. Every rebuild keeps them where they
  // were (pulled inside the rows); the window reports clicks, keys and scrolling to it.
  ViewSelection& selection() { return selection_; }
  const ViewSelection& selection() const { return selection_; }

  const InternalList& list() const { return list_; }
  const ViewGrid& grid() const { return grid_; }
  std::string cellText(uint32_t row, int column) const { return grid_.cellText(list_.items, row, column); }
  void cellText(uint32_t row, int column, std::string& out) const {
    grid_.cellText(list_.items, row, column, out);
  }
  std::string caption() const;

  // ---- What users of tables expect ----
  // The rows as tab-separated text for the clipboard: one line per row, the given columns in
  // that order, each cell without its padding; a header line first when the header row option
  // of the text export is on. Lines end with "\n".
  std::string copyText(RowRange rows, const std::vector<int>& columns) const;
  // Typing in the grid: the next row whose file name begins with prefix (letter case aside)
  // becomes the current row, searching from the current row (fromCurrent, while the prefix
  // grows) or the row after it, round to the top. False when no name begins with it.
  bool jumpToName(std::string_view prefix, bool fromCurrent);

  // ---- The panel ----
  bool duplicatesEnabled() const { return list_.itemCount() > 1; }
  bool fontEnabled() const { return !grid_.tooLarge(); }
  std::string sortLabel() const { return sortLabelText(list_.sortCode); }
  bool sortLabelEnabled() const { return (list_.sortCode & kSortKeyMask) != kSortUnsorted; }
  bool resortEnabled() const;
  std::string resortHint() const;
  // Every button's and menu entry's state and action now.
  ViewCommands commands() const;
  // The colour scheme in use (0 Windows, 1 Light, 2 Dark).
  uint8_t colourScheme() const { return settings_.viewerColourScheme > 2 ? 0 : settings_.viewerColourScheme; }
  // The font dialog's choice: family, style bits and size (a size of 0 or less keeps the size).
  // shownFamily is the family the dialog opened on: it stands in for a stored family that is not
  // installed, so choosing it again keeps the stored name instead of writing the stand-in's.
  void setFont(std::string_view family, uint8_t style, int size, std::string_view shownFamily = {});

  // ---- Looks ----
  GridColours colours() const;
  // The three "&List colors" entries, "(now inverted)" while inverted.
  std::array<std::string, 3> colourMenuTexts() const;
  void setColourScheme(uint8_t scheme);
  void setTotalTimeStyle(uint8_t style);
  void setSplit(bool split);
  void setManualWidths(bool manual);
  void setFontSize(int size);
  // Column widths in pixels for a grid of gridWidth pixels: the widest text + 4 (automatic) or the
  // stored widths of the fields shown (manual); the first column at most gridWidth - 32.
  std::vector<int> columnWidths(int gridWidth) const;
  // A column border dragged in manual mode: remembered for the column's field.
  void storeManualWidth(int column, int width);
  // Before the first picture: (client width - 16) / 11 - 5, at least 4.
  static int initialColumnWidth(int clientWidth);

  // ---- Sorting ----
  // The names' keys the first sort needs are ready (they are computed in the background after
  // the viewer opens; a sort before that computes the rest itself).
  bool sortKeysReady() const { return backgroundKeys_.done(); }
  // SG1MouseDown on a header: the questions, then the sort. True when the list was sorted.
  bool headerClick(int column, GridPosition& pos);
  // ResortBut: sort by the main sort option, undoable.
  bool resort(GridPosition& pos);

  // ---- Filter ----
  bool filtered() const { return filter_.active; }
  // Keeps the items whose name contains text. True when the list is now filtered (the window
  // then shows the filtered-list note unless the user turned it off).
  bool filter(std::string_view text, bool matchCase, GridPosition& pos);
  // Puts the full list back, with the edits and deletions made while filtered.
  bool unfilter(GridPosition& pos, bool closing = false);
  // Asks, then keeps the filtered items as the list for good.
  bool makePrimary();
  // The caption's total while filtered.
  uint64_t totalCount() const;

  // ---- Editing ----
  // EditBut after OK: record replaces item index, placed by choice 0 (stay), 2 (list's order)
  // or 3 (main order). False when the record equals the item.
  bool edit(uint32_t index, const ListItem& record, uint8_t choice, GridPosition& pos);
  // InsertBut after OK: choice 0 above selected, 1 below, 2 and 3 sorted in as for edit.
  bool insert(uint32_t selected, const ListItem& record, uint8_t choice, GridPosition& pos);
  enum class DeleteResult { Deleted, Refused, Cancelled, CloseViewer, Unfiltered };
  // Rows first..last (inclusive). CloseViewer: the list is now empty and the viewer must close.
  DeleteResult deleteRows(uint32_t first, uint32_t last, GridPosition& pos);

  // ---- Undo ----
  UndoKind undoKind() const { return undo_.kind; }
  bool undoEnabled() const { return undo_.kind != UndoKind::None; }
  bool undo(GridPosition& pos);

  // The temporary files (for tests that damage them): empty when there is none.
  const std::string& undoFilePath() const { return undoFile_.path(); }
  const std::string& filterFilePath() const { return filterFile_->path(); }

  // ---- Closing ----
  // FormCloseQuery: a filtered list is offered back first. False keeps the viewer open.
  bool closeQuery();
  // FormClose: whether the list changed while the viewer was open (it is then unsaved).
  bool closed();

 private:
  struct FilterState {
    bool active = false;
    uint64_t middle = 0;            // position of the middle item in the filter file
    std::vector<uint32_t> map;      // full-list index of each item now shown, ascending
    std::vector<uint8_t> deleted;   // per full-list item: 1 when deleted while filtered
    uint32_t fullCount = 0;         // items in the filter file
    uint32_t filteredAtFilter = 0;  // items shown right after filtering
    GridMeasures fullMeasures;      // the grid's counts of the full list, when filtered
    GridMeasures filteredMeasures;  // and of the items shown right after filtering
  };
  struct UndoSlot {
    UndoKind kind = UndoKind::None;
    uint32_t first = 0;
    uint32_t count = 0;      // items concerned (delete), or the list's count (whole-list kinds)
    uint8_t sortCode = kSortUnsorted;
    GridPosition pos;
    bool unsaved = false;
    ListItem item;           // the item before an edit, or the item inserted
    ListItem edited;         // an edit that re-sorted: the item as edited
  };

  // The new picture after the unit's own changes, which told the grid every row that came, went
  // or changed: only what the font, the style or the columns changed is measured again.
  void refreshGrid();
  // The width function for the font in the settings now.
  const TextWidth& textWidth();
  // Starts a slot for a change about to happen, remembering what every kind restores.
  void record(UndoKind kind, const GridPosition& pos);
  // The whole list to the undo file; shows the disk error and empties the slot on failure.
  bool snapshotWholeList(const char* caption);
  // Items [first, first + count) and the filter tables (when given) to a new undo file; on
  // failure reason tells the file and the system's reason.
  bool writeUndo(size_t first, size_t count, const FilterTables* tables, std::string& reason);
  std::optional<UndoSnapshot> readUndo() const;
  enum class UndoRefusal { Internal, Unreadable, FilterMismatch };
  // Says why the undo cannot be done and empties the slot; always false.
  bool refuseUndo(UndoRefusal why);
  bool undoDelete();
  bool undoInsert();
  bool undoFilter();
  bool undoUnfilter();
  void dropFilter(bool deleteFile);
  void sortBy(uint8_t sortCode);
  // Starts the names' keys for the next sort in the background (a list that was replaced).
  void prepareSortKeys();
  // Puts items in the list's place; the items it held are freed in the background.
  void replaceItems(std::vector<ListItem>&& items);
  // The filter tables as they stand now.
  FilterTables filterTables() const { return {filter_.fullCount, filter_.deleted, filter_.map}; }

  InternalList& list_;
  Settings& settings_;
  UserInterface& ui_;
  TextWidthFor widthFor_;
  TextWidth textWidth_;     // made by widthFor_ for widthFont_
  FontSetting widthFont_;
  uint64_t widthVersion_ = 0;  // changes with every function made
  bool widthMade_ = false;
  ViewGrid grid_;
  ViewSelection selection_;
  SortKeyCache sortKeys_;  // the names' collation keys between sorts
  BackgroundSortKeys backgroundKeys_;  // the first sort's keys, on their way
  BackgroundRelease released_;         // a replaced list being freed
  FilterState filter_;
  UndoSlot undo_;
  // Private to this run, locked, removed when replaced or when the viewer goes.
  platform::TempFile undoFile_;
  // The full list while a filtered list is shown.
  std::unique_ptr<platform::TempFile> filterFile_ = std::make_unique<platform::TempFile>();
  uint32_t unfilteredFrom_ = 0;  // filtered count an unfilter undo must find
  GridMeasures unfilteredMeasures_;  // the grid's counts of that filtered list
  uint32_t countAtOpen_ = 0;
  int busyDepth_ = 0;  // live BusyGuards
  bool deleting_ = false;
};

}  // namespace sonalog
