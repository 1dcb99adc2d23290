#include "viewer/FindUnit.h"

#include <algorithm>

#include "platform/Text.h"

namespace sonalog {

namespace {

bool isAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

NameMatcher::NameMatcher(std::string_view text, bool matchCase)
    : matchCase_(matchCase), asciiNeedle_(isAscii(text)) {
  needle_ = matchCase ? std::string(text) : platform::foldCase(text);
}

bool NameMatcher::operator()(std::string_view name) const {
  if (matchCase_) return name.size() >= needle_.size() && name.find(needle_) != std::string_view::npos;
  // Plain ASCII names fold by themselves; only other names need the locale's folding.
  if (asciiNeedle_ && isAscii(name)) {
    if (name.size() < needle_.size()) return false;
    return std::search(name.begin(), name.end(), needle_.begin(), needle_.end(),
                       [](char a, char b) { return asciiLower(a) == b; }) != name.end();
  }
  return platform::foldCase(name).find(needle_) != std::string::npos;
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
  return search(items, text, matchCase, 0, currentRow, visibleRows);
}

std::optional<FindUnit::Found> FindUnit::findNext(const std::vector<ListItem>& items,
                                                  std::string_view text, bool matchCase,
                                                  uint32_t currentRow, uint32_t visibleRows) {
  lastSearch_ = FindMode::Next;
  return search(items, text, matchCase, currentRow + 1, currentRow, visibleRows);
}

std::optional<FindUnit::Found> FindUnit::repeat(const std::vector<ListItem>& items, bool matchCase,
                                                uint32_t currentRow, uint32_t visibleRows) {
  if (lastSearch_ == FindMode::None || previousText_.empty()) {
    ui_.warning("Can't find next. \"Find First\" operation is required.");
    return std::nullopt;
  }
  return search(items, previousText_, matchCase, currentRow + 1, currentRow, visibleRows);
}

std::optional<FindUnit::Found> FindUnit::search(const std::vector<ListItem>& items,
                                                std::string_view rawText, bool matchCase,
                                                uint32_t from, uint32_t currentRow,
                                                uint32_t visibleRows) {
  const std::string text(platform::cutBytes(rawText, kMaxFindText));
  if (text.empty()) return std::nullopt;
  if (text != previousText_) {
    previousText_ = text;
    startRow_ = currentRow;
    wrapAllowed_ = true;
  }
  const NameMatcher matches(text, matchCase);
  auto found = [&](uint32_t i) {
    const uint32_t half = visibleRows / 2;
    return Found{i, i > half ? i - half : 0};
  };
  const uint32_t count = static_cast<uint32_t>(items.size());
  for (uint32_t i = from; i < count; ++i)
    if (matches(items[i].fileName)) return found(i);
  if (wrapAllowed_ && from > 0) {
    wrapAllowed_ = false;
    if (ui_.ask("No matches below cursor position.\r\nContinue searching from the beginning?",
                "find", Buttons::YesNo, Icon::Question) == Answer::Yes) {
      const uint32_t last = std::min(startRow_, count == 0 ? 0 : count - 1);
      for (uint32_t i = 0; i <= last && i < count; ++i)
        if (matches(items[i].fileName)) return found(i);
    }
  }
  ui_.warning("Not found");
  return std::nullopt;
}

}  // namespace sonalog
