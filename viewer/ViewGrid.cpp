#include "viewer/ViewGrid.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "core/Sorting.h"
#include "export/FieldText.h"

namespace sonalog {

namespace {

// Characters of a cell text: UTF-8 continuation bytes do not count.
uint32_t displayLength(std::string_view s) {
  uint32_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

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

void ViewGrid::rebuild(const std::vector<ListItem>& items, const Settings& settings,
                       const TextWidth& textWidth) {
  style_ = fieldStyleFrom(settings);
  count_ = static_cast<uint32_t>(items.size());
  tooLarge_ = items.size() > kMaxViewerItems;
  enumDigits_ = digits(count_);

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

  alignLength_.assign(columns_.size(), 0);
  widths_.assign(columns_.size(), 0);
  totalSeconds_ = 0;
  totalShown_ = true;

  // Playtime: frames summed per frequency code (codes above 2 count as 44.1 kHz). 64-bit sums
  // cannot overflow for any list the grid shows.
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

  // A list the grid cannot show still gets readable headers.
  if (tooLarge_) {
    if (textWidth)
      for (size_t c = 0; c < columns_.size(); ++c) widths_[c] = textWidth(columns_[c].header);
    return;
  }

  // One pass per column. A right-aligned cell is its raw text with spaces in front up to the
  // column's longest length, so its width is the raw text's width plus those spaces: the widest
  // cell follows from each raw text's width less the width of as many spaces as it has
  // characters. Dates repeat a lot and may come from the locale's format, which is slow to apply:
  // each day number is formatted and measured once.
  struct Measure {
    uint32_t length = 0;  // characters
    int width = 0;        // pixels
  };
  const int space = textWidth ? textWidth(" ") : 0;
  std::string text;
  std::unordered_map<int32_t, Measure> dates;
  auto measure = [&](const ListItem& it, uint32_t row, const ViewColumn& col) {
    rawText(it, row, col, text);
    return Measure{displayLength(text), textWidth ? textWidth(text) : 0};
  };
  for (size_t c = 0; c < columns_.size(); ++c) {
    const ViewColumn& col = columns_[c];
    if (!col.rightAligned && !textWidth) continue;
    const bool date = col.field == ViewField::FileDate || col.field == ViewField::DateAdded;
    uint32_t longest = 0;
    int64_t widestBeyondSpaces = 0;
    int widest = textWidth ? textWidth(col.header) : 0;
    for (uint32_t r = 0; r < count_; ++r) {
      const ListItem& it = items[r];
      Measure m;
      if (date) {
        const int32_t day = col.field == ViewField::FileDate ? it.fileDate : it.dateAdded;
        auto [at, fresh] = dates.try_emplace(day);
        if (fresh) at->second = measure(it, r, col);
        m = at->second;
      } else {
        m = measure(it, r, col);
      }
      if (col.rightAligned) {
        longest = std::max(longest, m.length);
        widestBeyondSpaces =
            std::max<int64_t>(widestBeyondSpaces, m.width - int64_t{space} * m.length);
      } else {
        widest = std::max(widest, m.width);
      }
    }
    dates.clear();
    if (col.rightAligned) {
      alignLength_[c] = longest;
      if (textWidth && count_ > 0)
        widest = std::max<int64_t>(widest, widestBeyondSpaces + int64_t{space} * longest);
    }
    widths_[c] = widest;
  }
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
    case ViewField::Enumeration: out = fmt::format(" {:>{}}. ", row + 1, enumDigits_); break;
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
