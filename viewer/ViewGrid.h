#pragma once
// What the viewer's grid shows: the column set chosen by the "info to include" settings, each
// cell's text (computed when asked, never stored per cell), the right-align padding of the seven
// numeric columns, the playtime total and the caption. A grid is a picture of the internal list
// taken by rebuild(); it reads the list and the settings and changes neither.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ListItem.h"
#include "export/FieldText.h"
#include "settings/Settings.h"
#include "settings/ShownFields.h"
#include "settings/SortKey.h"

namespace sonalog {

// The fields a column can show, in column order. The value indexes the stored manual widths.
enum class ViewField : uint8_t {
  Enumeration,
  Artist,
  Title,
  FileName,
  Time,
  Kbps,
  Size,
  Mode,
  Frequency,
  FileDate,
  Path,
  DateAdded,
  Volume,
};
inline constexpr size_t kViewFieldCount = 13;

// Sort key of the artist and title columns, which cannot be sorted by their own value: they are
// offered the file name. The enumeration's is kNoSortKey.
inline constexpr uint8_t kArtistTitleSortKey = 253;

struct ViewColumn {
  ViewField field;
  std::string header;
  uint8_t sortKey;
  bool rightAligned;
};

// The grid shows at most this many items; a longer list gets one empty row and a message.
inline constexpr uint32_t kMaxViewerItems = 262144;
inline constexpr char kTooLargeText[] =
    "You can't display a list larger than 256K titles\r\nusing this internal viewer. You may, "
    "however,\r\nexport it to text or html format, or use the\r\n\"find duplicates\" and "
    "\"compare\" functions.";

// The total-time text after the caption's count, ", " included, by display style 0..3.
std::string totalTimeText(int64_t totalSeconds, uint8_t style);
// "1 item", "2 items".
std::string countText(uint64_t count);
// The label under "Sorted by:" for a sortCode: "filename", "-time", "path/c", "not sorted".
std::string sortLabelText(uint8_t sortCode);
// The sort key's name as the sort label shows it ("filename" .. "label", "not sorted").
std::string sortKeyName(uint8_t key);

// A text width in pixels in the grid's font: the sum of its characters' advances, rounded up.
// The grid asks it for cells of automatic width columns, so it must be cheap (a per-character
// cache on the window's side). Advances come in the font engines' unit, 1/64 pixel, or coarser.
using TextWidth = std::function<int(std::string_view)>;

// How many cells measure each value (a length or a width). A column's largest value follows from
// its counts, and a row that leaves takes only its own count away: a change of a few rows never
// needs a pass over all of them.
class ValueCounts {
 public:
  void add(int64_t value) {
    // Most values fall inside the counted range: one increment, nothing to trim.
    if (!counts_.empty() && value >= base_ && value - base_ < static_cast<int64_t>(counts_.size())) {
      ++counts_[static_cast<size_t>(value - base_)];
      ++total_;
    } else {
      change(value, 1);
    }
  }
  void remove(int64_t value) { change(value, -1); }
  // Adds (sign 1) or takes away (sign -1) every count of other.
  void merge(const ValueCounts& other, int sign);
  bool empty() const { return counts_.empty(); }
  // The largest value counted (only when not empty).
  int64_t max() const { return base_ + static_cast<int64_t>(counts_.size()) - 1; }
  // How many cells were counted.
  uint64_t total() const { return total_; }

 private:
  void change(int64_t value, int64_t by);
  std::vector<uint32_t> counts_;  // counts_[i]: cells measuring base_ + i; the last is never 0
  int64_t base_ = 0;
  uint64_t total_ = 0;
};

// What the grid knows about the cells of its columns beyond the texts: per field, the counts of
// the rows' lengths and widths, kept in step with every row that comes and goes. A field's counts
// hold only while its flag is set; they were made with the style and width function they name.
//
// Most cells are plain ASCII (numbers, dates, most names), and in a font whose printable ASCII
// characters all advance alike (the grid's fonts are fixed-width) such a cell's width follows from
// its length: their lengths are counted apart, and only the other cells' widths are counted. A new
// font then measures only the cells beyond plain ASCII.
struct GridMeasures {
  struct Field {
    bool lengths = false;     // lengths counted
    bool widths = false;      // widths counted (with a width function only)
    ValueCounts length;       // characters of every cell
    ValueCounts plainLength;  // characters of the cells in printable ASCII
    // Pixels of the cells beyond printable ASCII, or of every cell in a font whose printable ASCII
    // advances differ; right-aligned: less the width of as many spaces as characters.
    ValueCounts width;
    uint64_t otherCells() const { return length.total() - plainLength.total(); }
  };
  std::array<Field, kViewFieldCount> fields;
  FieldStyle style;
  uint64_t widthVersion = 0;
  bool uniformPlain = false;  // the font of widthVersion advances every printable ASCII alike

  // Adds (sign 1) or takes away (sign -1) the rows other counted. A field whose counts either side
  // lacks, or counted another way, is no longer counted; lengths hold across fonts.
  void merge(const GridMeasures& other, int sign);
};

class ViewGrid {
 public:
  // Brings the picture up to date with the list and the settings: picks the columns and computes
  // what every cell needs: the right-align lengths, the three playtime accumulators and, when
  // textWidth is given, the widest text of each column. Counts that still hold (same style, same
  // widthVersion, every row change told through forget and learn) are kept; only columns without
  // them are measured over all rows. widthVersion changes whenever textWidth measures differently.
  // anotherWidth, when given, makes a function that measures as textWidth does, for a second
  // thread: a long pass is then shared by two.
  void rebuild(const std::vector<ListItem>& items, const Settings& settings,
               const TextWidth& textWidth = {}, uint64_t widthVersion = 0,
               const std::function<TextWidth()>& anotherWidth = {});
  // The next rebuild measures every column over all rows (the list changed behind the grid).
  void invalidate() { measures_ = GridMeasures{}; }
  // A row about to leave or be changed (forget), or one that just arrived or changed (learn):
  // keeps the counts in step without measuring the other rows.
  void forget(const ListItem& item) { count(item, false); }
  void learn(const ListItem& item) { count(item, true); }
  // The counts, to be put back when the rows they counted come back (a filter undone).
  const GridMeasures& measures() const { return measures_; }
  void setMeasures(GridMeasures measures) { measures_ = std::move(measures); }

  bool tooLarge() const { return tooLarge_; }
  // Data rows: the item count, or one empty row for a list over the limit.
  uint32_t rowCount() const { return tooLarge_ ? 1 : count_; }
  int columnCount() const { return static_cast<int>(columns_.size()); }
  const ViewColumn& column(int c) const { return columns_[static_cast<size_t>(c)]; }
  // The column showing a field, or -1.
  int columnOf(ViewField field) const { return fieldColumn_[static_cast<size_t>(field)]; }

  // The text of the cell in data row `row` (item row) and column c, padded as shown.
  std::string cellText(const std::vector<ListItem>& items, uint32_t row, int c) const;
  void cellText(const std::vector<ListItem>& items, uint32_t row, int c, std::string& out) const;

  // The widest cell text of a column in pixels, header included (only after a rebuild that was
  // given a width function).
  int textWidth(int c) const { return widths_[static_cast<size_t>(c)]; }

  // Total playtime in whole seconds and whether it may be shown (no accumulator went negative).
  int64_t totalSeconds() const { return totalSeconds_; }
  bool totalShown() const { return totalShown_; }

  // " Internal List Viewer (12 items), 01:02:05"; filtered: "(3 of 12 items total)".
  std::string caption(uint8_t timeStyle, bool filtered, uint64_t totalCount) const;

 private:
  struct Measure {
    uint32_t length = 0;  // characters
    int width = 0;        // pixels (not measured for plain ASCII in a uniform font)
    bool plain = false;   // printable ASCII only
  };
  class FieldMeasurer;
  // One thread's share of a pass: the counts of its rows, the enumeration widths of its rows.
  struct Share {
    std::array<GridMeasures::Field, kViewFieldCount> fields;
    std::vector<int> enumWidths;
  };
  const FieldStyle& style() const { return style_; }
  // The cell text without the right-align padding.
  void rawText(const ListItem& item, uint32_t row, const ViewColumn& col, std::string& out) const;
  void pickColumns(const Settings& settings);
  void sumPlaytime(const std::vector<ListItem>& items);
  // What a pass counts of one field: its lengths, its widths, or both.
  struct FieldPass {
    const ViewColumn* col;
    bool lengths;
    bool widths;
  };
  // Counts the fields over all rows and extends the enumeration's widest texts to [enumFrom,
  // enumTo).
  void measure(const std::vector<ListItem>& items, const std::vector<FieldPass>& fields,
               uint32_t enumFrom, uint32_t enumTo, const std::function<TextWidth()>& anotherWidth);
  void measureRows(const std::vector<ListItem>& items, size_t from, size_t to,
                   const std::vector<FieldPass>& fields, uint32_t enumFrom, uint32_t enumTo,
                   const TextWidth& textWidth, Share& out) const;
  void count(const ListItem& item, bool add);
  // Adds (add) or takes away one cell's measure from its field's counts of lengths and widths.
  void countCell(GridMeasures::Field& f, bool rightAligned, const Measure& m, bool lengths, bool widths,
                 bool add) const;
  // Whether textWidth advances every printable ASCII character alike (asked once per version).
  bool uniformPlain(const TextWidth& textWidth, uint64_t widthVersion);

  std::vector<ViewColumn> columns_;
  std::array<int, kViewFieldCount> fieldColumn_{};
  std::vector<uint32_t> alignLength_;  // characters, per column (0: not right-aligned)
  std::vector<int> widths_;            // pixels, per column
  FieldStyle style_;
  TextWidth textWidth_;  // what the counts' widths were measured with
  int spaceWidth_ = 0;
  GridMeasures measures_;
  // The enumeration's widest text over rows 0..r, for the digits and width version it was made
  // with.
  std::vector<int> enumWidest_;
  int enumWidestDigits_ = 0;
  uint64_t enumWidestVersion_ = 0;
  bool uniformKnown_ = false;  // uniform_ holds for uniformVersion_
  bool uniform_ = false;
  uint64_t uniformVersion_ = 0;
  uint32_t count_ = 0;
  int enumDigits_ = 1;
  bool tooLarge_ = false;
  int64_t totalSeconds_ = 0;
  bool totalShown_ = true;
};

}  // namespace sonalog
