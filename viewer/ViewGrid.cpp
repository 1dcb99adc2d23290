#include "viewer/ViewGrid.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <unordered_map>

#include "core/Sorting.h"
#include "export/FieldText.h"
#include "platform/Threads.h"

namespace sonalog {

namespace {

// Characters of a cell text: UTF-8 continuation bytes do not count.
uint32_t displayLength(std::string_view s) {
  uint32_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

bool isPlain(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

// No width function: a pass that counts lengths only.
const TextWidth kNoWidth;

int digits(uint64_t n) {
  int d = 1;
  while (n >= 10) {
    n /= 10;
    ++d;
  }
  return d;
}

// Sampling frequencies in Hz of frequency codes 0, 1, 2.
constexpr double kFrequencyHz[3] = {44100.0, 48000.0, 32000.0};
constexpr double kSamplesPerFrame = 1152.0;

void appendUnit(std::string& out, int64_t n, const char* one, const char* many) {
  out += std::to_string(n);
  out += n == 1 ? one : many;
}

// The value fields keep the table's order after the three name columns.
ViewField viewFieldOf(ShownField field) {
  if (field == ShownField::Enumeration) return ViewField::Enumeration;
  return static_cast<ViewField>(static_cast<int>(field) - static_cast<int>(ShownField::Playtime) +
                                static_cast<int>(ViewField::Time));
}
static_assert(static_cast<int>(ViewField::Volume) - static_cast<int>(ViewField::Time) ==
              static_cast<int>(ShownField::VolumeLabel) - static_cast<int>(ShownField::Playtime));

}  // namespace

std::string countText(uint64_t count) {
  return std::to_string(count) + (count == 1 ? " item" : " items");
}

std::string totalTimeText(int64_t total, uint8_t style) {
  const int64_t s = total % 60, m = (total / 60) % 60, hAll = total / 3600, h = hAll % 24,
                d = hAll / 24;
  std::string out = ", ";
  switch (style & 3) {
    case 0:
      if (d > 0) out += fmt::format("{}.", d);
      if (d > 0 || h > 0) out += fmt::format("{:02}:", h);
      out += fmt::format("{:02}:{:02}", m, s);
      break;
    case 1:
      if (hAll > 0) out += fmt::format("{}:", hAll);
      out += fmt::format("{:02}:{:02}", m, s);
      break;
    case 2:
    case 3: {
      const bool days = (style & 3) == 2;
      const int64_t hours = days ? h : hAll;
      if (days && d > 0) appendUnit(out, d, " day ", " days ");
      if ((days && d > 0) || hours > 0) appendUnit(out, hours, " hour ", " hours ");
      if ((!days || d == 0) && hours == 0 && m == 0) {
        appendUnit(out, s, " second ", " seconds ");
      } else {
        appendUnit(out, m, " minute ", " minutes ");
        if (s > 0) appendUnit(out, s, " second ", " seconds ");
      }
      break;
    }
  }
  return out;
}

std::string sortKeyName(uint8_t key) {
  static constexpr const char* kNames[] = {"filename", "time", "kbps",     "size",     "stereo",
                                           "frequency", "filedate", "path", "listdate", "label"};
  return key <= kLastSortKey ? kNames[key] : "not sorted";
}

std::string sortLabelText(uint8_t sortCode) {
  const uint8_t key = sortCode & kSortKeyMask;
  if (key > kLastSortKey) return "not sorted";
  std::string label = (sortCode & kSortDescending) ? "-" : "";
  label += sortKeyName(key);
  if (isTextSortKey(key) && (sortCode & kSortCaseSensitive)) label += "/c";
  return label;
}

void ValueCounts::change(int64_t value, int64_t by) {
  if (counts_.empty()) {
    if (by <= 0) return;
    base_ = value;
    counts_.assign(1, static_cast<uint32_t>(by));
    total_ = static_cast<uint64_t>(by);
    return;
  }
  if (value < base_) {
    if (by <= 0) return;
    counts_.insert(counts_.begin(), static_cast<size_t>(base_ - value), 0);
    base_ = value;
  }
  const auto i = static_cast<size_t>(value - base_);
  if (i >= counts_.size()) {
    if (by <= 0) return;
    counts_.resize(i + 1, 0);
  }
  uint32_t& n = counts_[i];
  const uint32_t now = by < 0 && n < static_cast<uint64_t>(-by) ? 0 : static_cast<uint32_t>(n + by);
  total_ = total_ - n + now;
  n = now;
  while (!counts_.empty() && counts_.back() == 0) counts_.pop_back();
  if (counts_.empty()) base_ = 0;
}

void ValueCounts::merge(const ValueCounts& other, int sign) {
  for (size_t i = 0; i < other.counts_.size(); ++i)
    if (other.counts_[i] != 0)
      change(other.base_ + static_cast<int64_t>(i), int64_t{sign} * other.counts_[i]);
}

void GridMeasures::merge(const GridMeasures& other, int sign) {
  if (!(style == other.style)) {
    fields = {};
    return;
  }
  const bool sameFont = widthVersion == other.widthVersion && uniformPlain == other.uniformPlain;
  for (size_t i = 0; i < fields.size(); ++i) {
    Field& f = fields[i];
    const Field& o = other.fields[i];
    f.lengths = f.lengths && o.lengths;
    f.widths = f.lengths && f.widths && o.widths && sameFont;
    if (f.lengths) {
      f.length.merge(o.length, sign);
      f.plainLength.merge(o.plainLength, sign);
    } else {
      f.length = {};
      f.plainLength = {};
    }
    if (f.widths) f.width.merge(o.width, sign);
    else f.width = {};
  }
}

// Measures by a number, with open addressing: a lookup mostly touches one slot, where a node
// map would chase pointers for each of a quarter of a million rows.
template <class Value>
class NumberTable {
 public:
  // The value stored for key, and whether it was just made (default-constructed).
  std::pair<Value*, bool> find(int64_t key) {
    if ((used_ + 1) * 2 > slots_.size()) grow();
    size_t i = slotOf(key);
    while (slots_[i].used) {
      if (slots_[i].key == key) return {&slots_[i].value, false};
      i = (i + 1) & (slots_.size() - 1);
    }
    slots_[i] = {key, Value{}, true};
    ++used_;
    return {&slots_[i].value, true};
  }

 private:
  struct Slot {
    int64_t key = 0;
    Value value{};
    bool used = false;
  };
  size_t slotOf(int64_t key) const {
    return static_cast<size_t>((static_cast<uint64_t>(key) * 0x9E3779B97F4A7C15ull) >> 20) &
           (slots_.size() - 1);
  }
  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(std::max<size_t>(64, old.size() * 2), Slot{});
    used_ = 0;
    for (const Slot& s : old)
      if (s.used) *find(s.key).first = s.value;
  }
  std::vector<Slot> slots_;
  size_t used_ = 0;
};

// Measures one field's cells. Texts that follow from a few numbers (times, bitrates, sizes,
// modes, frequencies, dates) repeat a lot, and dates may come from the locale's format, which is
// slow to apply: each value is measured once. So is each folder and label text, mostly the row
// before's.
class ViewGrid::FieldMeasurer {
 public:
  // plainWidths: plain ASCII cells are measured too (not needed in a uniform font).
  FieldMeasurer(const ViewGrid& grid, const ViewColumn& col, const TextWidth& textWidth, bool plainWidths)
      : grid_(grid), col_(col), textWidth_(textWidth), plainWidths_(plainWidths) {}

  Measure operator()(const ListItem& it) {
    switch (col_.field) {
      case ViewField::Time: return byValue(it, (int64_t{it.frames} << 8) | it.frequencyCode);
      case ViewField::Kbps: return byValue(it, (int64_t{it.bitrateCode} << 32) | it.averageKbps);
      case ViewField::Size: return byValue(it, it.sizeKB);
      case ViewField::Mode: return byValue(it, it.stereoMode);
      case ViewField::Frequency: return byValue(it, it.frequencyCode);
      case ViewField::FileDate: return byValue(it, it.fileDate);
      case ViewField::DateAdded: return byValue(it, it.dateAdded);
      case ViewField::Path: return asBefore(it, it.folder);
      case ViewField::Volume: return asBefore(it, it.volumeLabel);
      default: return measure(it);
    }
  }

 private:
  Measure measure(const ListItem& it) {
    grid_.rawText(it, 0, col_, text_);
    Measure m{displayLength(text_), 0, isPlain(text_)};
    if (textWidth_ && (plainWidths_ || !m.plain)) m.width = textWidth_(text_);
    return m;
  }
  Measure byValue(const ListItem& it, int64_t key) {
    auto [at, fresh] = values_.find(key);
    if (fresh) *at = measure(it);
    return *at;
  }
  Measure asBefore(const ListItem& it, const std::string& source) {
    if (!hasLast_ || source != lastSource_) {
      auto [at, fresh] = texts_.try_emplace(source);
      if (fresh) at->second = measure(it);
      last_ = at->second;
      lastSource_ = source;
      hasLast_ = true;
    }
    return last_;
  }

  const ViewGrid& grid_;
  const ViewColumn& col_;
  const TextWidth& textWidth_;
  const bool plainWidths_;
  std::string text_;
  NumberTable<Measure> values_;
  // Folders and labels by their text; the views point into the items, which outlive a pass.
  std::unordered_map<std::string_view, Measure> texts_;
  std::string_view lastSource_;
  Measure last_;
  bool hasLast_ = false;
};

void ViewGrid::pickColumns(const Settings& settings) {
  columns_.clear();
  fieldColumn_.fill(-1);
  auto add = [&](bool shown, ViewField f, const char* header, uint8_t key, bool right) {
    if (!shown) return;
    fieldColumn_[static_cast<size_t>(f)] = static_cast<int>(columns_.size());
    columns_.push_back({f, header, key, right});
  };
  const ShownFields shown = shownFieldsOf(settings);
  auto addField = [&](const ShownFieldInfo& f) {
    add(shown.has(f.field), viewFieldOf(f.field), f.viewerHeaderFor(style_.stereoStyle), f.sortKey, f.rightAligned);
  };
  const bool split = settings.viewerSplitArtistTitle;
  addField(shownField(ShownField::Enumeration));
  add(split, ViewField::Artist, "artist", kArtistTitleSortKey, false);
  add(split, ViewField::Title, "title", kArtistTitleSortKey, false);
  add(!split, ViewField::FileName, "filename", kSortByFileName, false);
  for (const ShownFieldInfo& f : valueFieldTable()) addField(f);
}

void ViewGrid::sumPlaytime(const std::vector<ListItem>& items) {
  // Frames summed per frequency code (codes above 2 count as 44.1 kHz). 64-bit sums cannot
  // overflow for any list the grid shows.
  totalShown_ = true;
  int64_t frames[3] = {0, 0, 0};
  for (const ListItem& it : items) {
    int64_t& acc = frames[it.frequencyCode <= 2 ? it.frequencyCode : 0];
    acc += it.frames;
    if (acc < 0) totalShown_ = false;
  }
  double seconds = 0;
  for (int f = 0; f < 3; ++f) seconds += frames[f] * kSamplesPerFrame / kFrequencyHz[f];
  totalSeconds_ = static_cast<int64_t>(std::nearbyint(seconds));
  if (totalSeconds_ < 0) totalShown_ = false;
}

void ViewGrid::rebuild(const std::vector<ListItem>& items, const Settings& settings,
                       const TextWidth& textWidth, uint64_t widthVersion,
                       const std::function<TextWidth()>& anotherWidth) {
  style_ = fieldStyleFrom(settings);
  count_ = static_cast<uint32_t>(items.size());
  tooLarge_ = items.size() > kMaxViewerItems;
  enumDigits_ = digits(count_);
  pickColumns(settings);
  sumPlaytime(items);

  // Counts made another way, or of fields no longer shown (not kept in step), are dropped.
  const bool widths = static_cast<bool>(textWidth);
  const bool uniform = widths && uniformPlain(textWidth, widthVersion);
  if (!(measures_.style == style_)) measures_ = GridMeasures{};
  measures_.style = style_;
  if (!widths || measures_.widthVersion != widthVersion || measures_.uniformPlain != uniform)
    for (GridMeasures::Field& f : measures_.fields) f.widths = false;
  measures_.widthVersion = widthVersion;
  measures_.uniformPlain = uniform;
  for (size_t i = 0; i < kViewFieldCount; ++i) {
    GridMeasures::Field& f = measures_.fields[i];
    if (fieldColumn_[i] < 0 || tooLarge_) f = {};
    f.widths = f.widths && f.lengths;
    if (!f.widths) f.width = {};
    // In a uniform font a field of plain cells only has nothing to measure.
    if (uniform && f.lengths && f.otherCells() == 0) f.widths = true;
  }
  textWidth_ = textWidth;
  spaceWidth_ = widths ? textWidth(" ") : 0;

  // What is not counted yet: lengths and widths of fields, and the enumeration's rows beyond those
  // measured for counts of the same digits (its texts depend on nothing else; in a uniform font
  // they are all as wide as the last).
  std::vector<FieldPass> fields;
  uint32_t enumFrom = 0, enumTo = 0;
  if (!tooLarge_) {
    for (const ViewColumn& col : columns_) {
      const GridMeasures::Field& f = measures_.fields[static_cast<size_t>(col.field)];
      if (col.field != ViewField::Enumeration) {
        if (!f.lengths || (widths && !f.widths)) fields.push_back({&col, !f.lengths, widths && !f.widths});
      } else if (widths && !uniform) {
        if (enumWidestDigits_ != enumDigits_ || enumWidestVersion_ != widthVersion) enumWidest_.clear();
        enumWidestDigits_ = enumDigits_;
        enumWidestVersion_ = widthVersion;
        enumFrom = static_cast<uint32_t>(enumWidest_.size());
        enumTo = std::max(enumFrom, count_);
      }
    }
    measure(items, fields, enumFrom, enumTo, anotherWidth);
  }

  alignLength_.assign(columns_.size(), 0);
  widths_.assign(columns_.size(), 0);
  for (size_t c = 0; c < columns_.size(); ++c) {
    const ViewColumn& col = columns_[c];
    int64_t widest = widths ? textWidth(col.header) : 0;
    const GridMeasures::Field& f = measures_.fields[static_cast<size_t>(col.field)];
    // A list the grid cannot show still gets readable headers.
    const bool rows = !tooLarge_ && count_ > 0;
    if (rows && col.field == ViewField::Enumeration) {
      if (uniform) {
        std::string last;
        rawText(ListItem{}, count_ - 1, col, last);
        widest = std::max(widest, int64_t{textWidth(last)});
      } else if (widths) {
        widest = std::max(widest, int64_t{enumWidest_[count_ - 1]});
      }
    } else if (rows) {
      // A right-aligned cell is its raw text with spaces in front up to the column's longest
      // length, so its width is the raw text's width plus those spaces.
      if (col.rightAligned && !f.length.empty()) alignLength_[c] = static_cast<uint32_t>(f.length.max());
      if (widths && !f.width.empty())
        widest = std::max(widest, f.width.max() + (col.rightAligned ? int64_t{spaceWidth_} * alignLength_[c] : 0));
      // In a uniform font a plain cell is as wide as as many spaces as it is long, padding included.
      if (uniform && !f.plainLength.empty()) {
        const auto longest = col.rightAligned ? alignLength_[c] : static_cast<uint32_t>(f.plainLength.max());
        widest = std::max(widest, int64_t{textWidth(std::string(longest, ' '))});
      }
    }
    widths_[c] = static_cast<int>(widest);
  }
}

bool ViewGrid::uniformPlain(const TextWidth& textWidth, uint64_t widthVersion) {
  if (!uniformKnown_ || uniformVersion_ != widthVersion) {
    // Advances that differ by the smallest unit, 1/64 pixel, differ by 16 pixels over 1024.
    constexpr size_t kProbe = 1024;
    std::string probe(kProbe, ' ');
    const int spaces = textWidth(probe);
    uniform_ = true;
    for (char c = '!'; c <= '~' && uniform_; ++c) {
      probe.assign(kProbe, c);
      uniform_ = textWidth(probe) == spaces;
    }
    uniformKnown_ = true;
    uniformVersion_ = widthVersion;
  }
  return uniform_;
}

void ViewGrid::measure(const std::vector<ListItem>& items, const std::vector<FieldPass>& fields,
                       uint32_t enumFrom, uint32_t enumTo, const std::function<TextWidth()>& anotherWidth) {
  // A long pass is shared by two threads, each with a width function of its own (they keep
  // caches): the lower half of the rows here, the upper half in a worker.
  constexpr size_t kTwoThreadCells = 1 << 16;
  const size_t rows = items.size();
  Share lower, upper;
  if (anotherWidth && textWidth_ && rows * fields.size() + (enumTo - enumFrom) >= kTwoThreadCells) {
    const size_t mid = rows / 2;
    const uint32_t enumMid = enumFrom + (enumTo - enumFrom) / 2;
    platform::runAlongside([&] { measureRows(items, 0, mid, fields, enumFrom, enumMid, textWidth_, lower); },
                           [&] { measureRows(items, mid, rows, fields, enumMid, enumTo, anotherWidth(), upper); });
  } else {
    measureRows(items, 0, rows, fields, enumFrom, enumTo, textWidth_, lower);
  }
  for (const FieldPass& pass : fields) {
    const auto i = static_cast<size_t>(pass.col->field);
    GridMeasures::Field &f = measures_.fields[i], &low = lower.fields[i], &up = upper.fields[i];
    if (pass.lengths) {
      f.length = std::move(low.length);
      f.length.merge(up.length, 1);
      f.plainLength = std::move(low.plainLength);
      f.plainLength.merge(up.plainLength, 1);
      f.lengths = true;
    }
    if (pass.widths) {
      f.width = std::move(low.width);
      f.width.merge(up.width, 1);
      f.widths = true;
    }
  }
  for (const std::vector<int>* part : {&lower.enumWidths, &upper.enumWidths})
    for (int w : *part) enumWidest_.push_back(enumWidest_.empty() ? w : std::max(enumWidest_.back(), w));
}

void ViewGrid::measureRows(const std::vector<ListItem>& items, size_t from, size_t to,
                           const std::vector<FieldPass>& fields, uint32_t enumFrom,
                           uint32_t enumTo, const TextWidth& textWidth, Share& out) const {
  for (const FieldPass& pass : fields) {
    GridMeasures::Field& f = out.fields[static_cast<size_t>(pass.col->field)];
    FieldMeasurer measure(*this, *pass.col, pass.widths ? textWidth : kNoWidth, !measures_.uniformPlain);
    for (size_t r = from; r < to; ++r)
      countCell(f, pass.col->rightAligned, measure(items[r]), pass.lengths, pass.widths, true);
  }
  static const ListItem kNoItem;
  static const ViewColumn kEnumeration{ViewField::Enumeration, {}, kNoSortKey, false};
  std::string text;
  out.enumWidths.reserve(enumTo - enumFrom);
  for (uint32_t r = enumFrom; r < enumTo; ++r) {
    rawText(kNoItem, r, kEnumeration, text);
    out.enumWidths.push_back(textWidth(text));
  }
}

void ViewGrid::count(const ListItem& item, bool add) {
  for (const ViewColumn& col : columns_) {
    GridMeasures::Field& f = measures_.fields[static_cast<size_t>(col.field)];
    if (!f.lengths) continue;
    const Measure m =
        FieldMeasurer(*this, col, f.widths ? textWidth_ : kNoWidth, !measures_.uniformPlain)(item);
    countCell(f, col.rightAligned, m, f.lengths, f.widths, add);
  }
}

void ViewGrid::countCell(GridMeasures::Field& f, bool rightAligned, const Measure& m, bool lengths,
                         bool widths, bool add) const {
  auto change = [add](ValueCounts& counts, int64_t value) {
    if (add) counts.add(value);
    else counts.remove(value);
  };
  if (lengths) {
    change(f.length, m.length);
    if (m.plain) change(f.plainLength, m.length);
  }
  // A plain cell in a uniform font is measured by its length.
  if (!widths || (m.plain && measures_.uniformPlain)) return;
  // A right-aligned cell's width is counted less the spaces its characters would take: the
  // padding in front adds them back for the column's longest length.
  change(f.width, rightAligned ? m.width - int64_t{spaceWidth_} * m.length : m.width);
}

void ViewGrid::rawText(const ListItem& it, uint32_t row, const ViewColumn& col,
                       std::string& out) const {
  out.clear();
  auto spaced = [&](std::string_view s) {
    out.reserve(s.size() + 2);
    out += ' ';
    out += s;
    out += ' ';
  };
  switch (col.field) {
    case ViewField::Enumeration: fmt::format_to(std::back_inserter(out), " {:>{}}. ", row + 1, enumDigits_); break;
    case ViewField::Artist: spaced(splitArtistTitle(it.fileName).artist); break;
    case ViewField::Title: spaced(splitArtistTitle(it.fileName).title); break;
    case ViewField::FileName: spaced(it.fileName); break;
    case ViewField::Time: spaced(timeText(it, style())); break;
    case ViewField::Kbps: spaced(shortBitrateText(it, style())); break;
    case ViewField::Size: spaced(sizeText(it.sizeKB, style())); break;
    case ViewField::Mode: spaced(modeText(it.stereoMode, style())); break;
    case ViewField::Frequency: out = paddedFrequencyText(it.frequencyCode); break;
    case ViewField::FileDate: spaced(dateText(it.fileDate, style())); break;
    case ViewField::Path: spaced(pathText(it.folder)); break;
    case ViewField::DateAdded: spaced(dateText(it.dateAdded, style())); break;
    case ViewField::Volume: spaced(labelText(it.volumeLabel)); break;
  }
}

void ViewGrid::cellText(const std::vector<ListItem>& items, uint32_t row, int c,
                        std::string& out) const {
  out.clear();
  if (tooLarge_ || row >= count_ || row >= items.size() || c < 0 || c >= columnCount()) return;
  const size_t ci = static_cast<size_t>(c);
  rawText(items[row], row, columns_[ci], out);
  const uint32_t len = displayLength(out);
  if (len < alignLength_[ci]) out.insert(0, alignLength_[ci] - len, ' ');
}

std::string ViewGrid::cellText(const std::vector<ListItem>& items, uint32_t row, int c) const {
  std::string out;
  cellText(items, row, c, out);
  return out;
}

std::string ViewGrid::caption(uint8_t timeStyle, bool filtered, uint64_t totalCount) const {
  std::string text = " Internal List Viewer (";
  if (filtered)
    text += std::to_string(count_) + " of " + countText(totalCount) + " total)";
  else
    text += countText(count_) + ")";
  if (totalShown_) text += totalTimeText(totalSeconds_, timeStyle);
  return text;
}

}  // namespace sonalog
