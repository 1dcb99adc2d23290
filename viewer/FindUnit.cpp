#include "viewer/FindUnit.h"

#include <algorithm>

#include "platform/AsciiCase.h"
#include "platform/Text.h"

namespace sonalog {

namespace {

bool isAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

NameMatcher::NameMatcher(std::string_view text, bool matchCase, bool atStart)
    : matchCase_(matchCase), asciiNeedle_(isAscii(text)), atStart_(atStart) {
  needle_ = matchCase ? std::string(text) : platform::foldCase(text);
}

bool NameMatcher::operator()(std::string_view name) const {
  auto foundIn = [this](std::string_view hay, auto equal) {
    if (hay.size() < needle_.size()) return false;
    if (atStart_) return std::equal(needle_.begin(), needle_.end(), hay.begin(), [&](char n, char h) { return equal(h, n); });
    return std::search(hay.begin(), hay.end(), needle_.begin(), needle_.end(), equal) != hay.end();
  };
  auto same = [](char a, char b) { return a == b; };
  if (matchCase_) return foundIn(name, same);
  // Plain ASCII names fold by themselves; only other names need the locale's folding.
  if (asciiNeedle_ && isAscii(name))
    return foundIn(name, [](char a, char b) { return platform::asciiLower(a) == b; });
  return foundIn(folded(name), same);
}

std::string_view NameMatcher::folded(std::string_view name) const {
  constexpr char32_t kFoldTableSize = 0x3000;
  fold_.clear();
  platform::forEachCodePoint(name, [&](char32_t c) {
    if (c < 0x80) {
      fold_ += platform::asciiLower(static_cast<char>(c));
      return;
    }
    std::string* at = nullptr;
    if (c < kFoldTableSize) {
      if (foldedBelow_.empty()) foldedBelow_.resize(kFoldTableSize);
      at = &foldedBelow_[c];
    } else {
      at = &foldedOthers_[c];
    }
    if (at->empty()) *at = platform::foldCase(platform::encodeUtf8(std::u32string_view(&c, 1)));
    fold_ += *at;
  });
  return fold_;
}

FindWindowControls findWindowControls(bool filtered, bool rowsShown, bool textEmpty) {
  return {rowsShown, rowsShown, !filtered && !textEmpty, !filtered};
}

bool FindUnit::canOpen(size_t itemCount) {
  if (itemCount >= 2) return true;
  ui_.warning("You must have 2 items at least!");
  return false;
}

void FindUnit::closed(FindMode mode, std::string_view text) {
  text_ = std::string(platform::cutBytes(text, kMaxFindText));
  mode_ = text_.empty() ? FindMode::None : mode;
}

std::optional<FindUnit::Found> FindUnit::findFirst(const std::vector<ListItem>& items,
                                                   std::string_view text, bool matchCase,
                                                   uint32_t currentRow, uint32_t visibleRows) {
  lastSearch_ = FindMode::First;
  (void)currentRow;
  return search(items, text, matchCase, 0, visibleRows);
}

std::optional<FindUnit::Found> FindUnit::findNext(const std::vector<ListItem>& items,
                                                  std::string_view text, bool matchCase,
                                                  uint32_t currentRow, uint32_t visibleRows) {
  lastSearch_ = FindMode::Next;
  return search(items, text, matchCase, currentRow + 1, visibleRows);
}

std::optional<FindUnit::Found> FindUnit::repeat(const std::vector<ListItem>& items, bool matchCase,
                                                uint32_t currentRow, uint32_t visibleRows) {
  if (lastSearch_ == FindMode::None || previousText_.empty()) {
    ui_.warning("Can't find next. \"Find First\" operation is required.");
    return std::nullopt;
  }
  return search(items, previousText_, matchCase, currentRow + 1, visibleRows);
}

std::optional<FindUnit::Found> FindUnit::search(const std::vector<ListItem>& items,
                                                std::string_view rawText, bool matchCase,
                                                uint32_t from, uint32_t visibleRows) {
  const std::string text(platform::cutBytes(rawText, kMaxFindText));
  if (text.empty()) return std::nullopt;
  // A search from the top has nothing above it to wrap round to; a new text starts a new run
  // of searches, which may wrap once to cover the rows above where it began.
  if (from == 0 || text != previousText_) {
    previousText_ = text;
    startRow_ = from;
    wrapAllowed_ = from > 0;
  }
  const NameMatcher matches(text, matchCase);
  auto found = [&](uint32_t i) {
    const uint32_t half = visibleRows / 2;
    return Found{i, i > half ? i - half : 0};
  };
  const uint32_t count = static_cast<uint32_t>(items.size());
  for (uint32_t i = from; i < count; ++i)
    if (matches(items[i].fileName)) return found(i);
  if (wrapAllowed_ && startRow_ > 0) {
    wrapAllowed_ = false;
    if (ui_.ask("No matches below cursor position.\r\nContinue searching from the beginning?",
                "find", Buttons::YesNo, Icon::Question) == Answer::Yes) {
      // From the top down to the row the run began on (the current row then), included.
      const uint32_t end = std::min(startRow_, count);
      for (uint32_t i = 0; i < end; ++i)
        if (matches(items[i].fileName)) return found(i);
    }
  }
  ui_.warning("Not found");
  return std::nullopt;
}

}  // namespace sonalog
