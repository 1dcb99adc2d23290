#include "viewer/ViewUnit.h"

#include <algorithm>

#include "core/Sorting.h"
#include "platform/Text.h"
#include "viewer/FindUnit.h"
#include "viewer/ViewMessages.h"
#include "viewer/ViewTempFile.h"

namespace sonalog {

namespace {

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

ViewCommand command(ViewAction action, bool enabled, bool visible = true, std::string caption = {}) {
  return {action, enabled, visible, std::move(caption)};
}

}  // namespace

ViewUnit::ViewUnit(InternalList& list, Settings& settings, UserInterface& ui)
    : list_(list), settings_(settings), ui_(ui) {}

std::string withReason(std::string_view message, const std::string& reason) {
  std::string text(message);
  if (!reason.empty()) text += "\r\n\r\n" + reason;
  return text;
}

ViewUnit::BusyGuard::BusyGuard(ViewUnit& unit) : unit_(unit) {
  if (unit_.busyDepth_++ == 0) unit_.ui_.setBusy(true);
}

ViewUnit::BusyGuard::~BusyGuard() {
  if (--unit_.busyDepth_ == 0) unit_.ui_.setBusy(false);
}

void ViewUnit::open() {
  undo_ = UndoSlot{};
  filter_ = FilterState{};
  countAtOpen_ = list_.itemCount();
  settings_.viewerFont.size = static_cast<uint8_t>(
      std::clamp<int>(settings_.viewerFont.size, kMinViewerFontSize, kMaxViewerFontSize));
  rebuild();
  selection_.place({});
  sortKeys_.clear();
  prepareSortKeys();
  if (grid_.tooLarge()) ui_.warning(kTooLargeText);
}

void ViewUnit::setTextWidth(TextWidthFor widthFor) {
  widthFor_ = std::move(widthFor);
  widthMade_ = false;
}

void ViewUnit::setTextWidth(TextWidth textWidth) {
  if (!textWidth) return setTextWidth(TextWidthFor{});
  setTextWidth([textWidth](const FontSetting&) { return textWidth; });
}

const TextWidth& ViewUnit::textWidth() {
  if (!widthFor_) {
    textWidth_ = {};
  } else if (!widthMade_ || !(widthFont_ == settings_.viewerFont)) {
    textWidth_ = widthFor_(settings_.viewerFont);
    widthFont_ = settings_.viewerFont;
    widthMade_ = true;
    ++widthVersion_;
  }
  return textWidth_;
}

void ViewUnit::rebuild() {
  grid_.invalidate();
  refreshGrid();
}

void ViewUnit::refreshGrid() {
  const BusyGuard guard(*this);
  static const TextWidth kNoWidths;
  const TextWidth& widths = settings_.viewerManualWidths ? kNoWidths : textWidth();  // may count a version
  // The second thread's function is made in that thread, for the same font.
  std::function<TextWidth()> anotherWidth;
  if (widths) anotherWidth = [this] { return widthFor_(widthFont_); };
  grid_.rebuild(list_.items, settings_, widths, widthVersion_, anotherWidth);
  selection_.setRowCount(grid_.tooLarge() ? 0 : grid_.rowCount());
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
  return !filter_.active && !grid_.tooLarge() && list_.sortCode != settings_.mainSortCode();
}

std::string ViewUnit::resortHint() const {
  return "Re-sort by " + sortKeyName(settings_.mainSortCode() & kSortKeyMask) + " (main option)";
}

ViewCommands ViewUnit::commands() const {
  const bool idle = !busy() && !list_.items.empty();
  const bool rows = idle && !grid_.tooLarge();
  const bool filtered = filter_.active;
  ViewCommands c;
  c.edit = command(ViewAction::Edit, rows);
  c.remove = command(ViewAction::Delete, rows);
  c.undo = command(ViewAction::Undo, !busy() && undoEnabled());
  c.find = command(ViewAction::Find, idle);
  c.findNext = command(ViewAction::FindNext, rows);
  c.play = command(ViewAction::Play, rows);
  c.duplicates = command(ViewAction::Duplicates, idle && duplicatesEnabled());
  c.compare = command(ViewAction::Compare, idle);
  c.font = command(ViewAction::Font, idle && fontEnabled());
  c.resort = command(ViewAction::Resort, idle && resortEnabled(), !filtered);
  c.primary = command(ViewAction::MakePrimary, idle && filtered, filtered);
  if (filtered) {
    c.insert = command(ViewAction::Unfilter, idle, true, "UNF&ILTER");
    c.menuInsert = command(ViewAction::Unfilter, idle, true, "Unf&ilter  (Alt+I)");
    c.menuResort = command(ViewAction::MakePrimary, idle, true, "&Make primary  (Alt+R)");
    c.menuFind = command(ViewAction::Find, idle, true, "&Find  (Ctrl+F)");
  } else {
    c.insert = command(ViewAction::Insert, rows, true, "&Insert");
    c.menuInsert = command(ViewAction::Insert, rows, true, "&Insert  (Alt+I)");
    c.menuResort = command(ViewAction::Resort, c.resort.enabled, true, "&Re-sort  (Alt+R)");
    c.menuFind = command(ViewAction::Find, idle, true, "&Find or filter  (Ctrl+F)");
  }
  c.resortHint = resortHint();
  c.sortLabel = sortLabel();
  c.sortLabelEnabled = sortLabelEnabled();
  const uint8_t key = list_.sortCode & kSortKeyMask;
  for (int col = 0; col < grid_.columnCount() && key <= kLastSortKey; ++col)
    if (grid_.column(col).sortKey == key) c.sortColumn = col;
  c.sortDescending = (list_.sortCode & kSortDescending) != 0;
  c.caption = caption();
  return c;
}

std::string ViewUnit::copyText(RowRange rows, const std::vector<int>& columns) const {
  std::string out;
  auto trimmed = [](std::string_view s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::string_view();
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
  };
  std::vector<int> shown;
  for (int c : columns)
    if (c >= 0 && c < grid_.columnCount()) shown.push_back(c);
  auto line = [&](auto cell) {
    for (size_t i = 0; i < shown.size(); ++i) {
      if (i > 0) out += '\t';
      out += trimmed(cell(shown[i]));
    }
    out += '\n';
  };
  if (settings_.AddHeaderCheck) line([&](int c) { return std::string_view(grid_.column(c).header); });
  if (grid_.tooLarge() || rows.last >= list_.itemCount()) return out;
  std::string text;
  for (uint32_t r = rows.first; r <= rows.last; ++r)
    line([&](int c) {
      grid_.cellText(list_.items, r, c, text);
      return std::string_view(text);
    });
  return out;
}

bool ViewUnit::jumpToName(std::string_view prefix, bool fromCurrent) {
  const uint32_t count = selection_.rowCount();
  if (prefix.empty() || count == 0 || busy()) return false;
  const NameMatcher begins(prefix, false, true);
  const uint32_t start = (selection_.current() + (fromCurrent ? 0 : 1)) % count;
  for (uint32_t k = 0; k < count; ++k) {
    const uint32_t row = (start + k) % count;
    if (begins(list_.items[row].fileName)) {
      selection_.select({row, row});
      return true;
    }
  }
  return false;
}

void ViewUnit::setFont(std::string_view family, uint8_t style, int size, std::string_view shownFamily) {
  FontSetting& f = settings_.viewerFont;
  if (family != shownFamily) f.name = std::string(platform::cutBytes(family, kMaxFontNameBytes));
  f.style = style;
  setFontSize(size > 0 ? size : f.size);
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
  refreshGrid();
}

void ViewUnit::setManualWidths(bool manual) {
  const bool was = settings_.viewerManualWidths;
  if (!was && manual) {
    // Manual widths start from what the user sees: a field never sized by hand takes its
    // automatic width instead of the stored default.
    const Settings defaults;
    for (int c = 0; c < grid_.columnCount(); ++c) {
      const auto field = static_cast<size_t>(grid_.column(c).field);
      if (settings_.viewerColumnWidths[field] == defaults.viewerColumnWidths[field])
        settings_.viewerColumnWidths[field] = grid_.textWidth(c) + kAutoWidthMargin;
    }
  }
  settings_.viewerManualWidths = manual;
  if (was && !manual) refreshGrid();  // automatic widths need the widest texts
}

void ViewUnit::setFontSize(int size) {
  settings_.viewerFont.size =
      static_cast<uint8_t>(std::clamp(size, kMinViewerFontSize, kMaxViewerFontSize));
  refreshGrid();
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
