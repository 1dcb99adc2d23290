#pragma once
// The viewer's find window logic: Find First, Find Next, the F3 repeat, the one offer to wrap
// round to the top, and the name test that the filter shares.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/ListItem.h"
#include "platform/UserInterface.h"

namespace sonalog {

// The longest text the find window takes.
inline constexpr size_t kMaxFindText = 240;

// Whether a file name contains a text anywhere (or, atStart, begins with it): byte for byte with
// match case, otherwise by the locale's case folding. The text is prepared once; each name costs
// one fold at most.
class NameMatcher {
 public:
  NameMatcher(std::string_view text, bool matchCase, bool atStart = false);
  // Not for two threads at once: it keeps the code points it folded.
  bool operator()(std::string_view name) const;

 private:
  // A name folded as platform::foldCase folds it. Full case folding maps each code point on its
  // own, so each one is folded once and the results are joined.
  std::string_view folded(std::string_view name) const;
  mutable std::vector<std::string> foldedBelow_;  // by code point, below kFoldTableSize
  mutable std::unordered_map<char32_t, std::string> foldedOthers_;
  mutable std::string fold_;
  std::string needle_;
  bool matchCase_;
  bool asciiNeedle_;
  bool atStart_;
};

// Which of the find window's controls can be used.
struct FindWindowControls {
  bool findFirst = true;   // Find First and Find Next: only over a grid that shows the rows
  bool findNext = true;
  bool filter = false;     // only on an unfiltered list and with a text to filter by
  bool inversion = false;  // "Use inv. colors": only on an unfiltered list
  bool operator==(const FindWindowControls&) const = default;
};
// rowsShown: the grid shows the list's rows (a list over the grid's limit has none to go to,
// yet it can be filtered down to a list that the grid shows).
FindWindowControls findWindowControls(bool filtered, bool rowsShown, bool textEmpty);

// The modes the find window closes with.
enum class FindMode : uint8_t { None = 0, First = 1, Next = 2, Filter = 3 };

class FindUnit {
 public:
  explicit FindUnit(UserInterface& ui) : ui_(ui) {}

  // "You must have 2 items at least!" for shorter lists; true when the window may open.
  bool canOpen(size_t itemCount);

  // A search the window asked for. currentRow is the grid's current item row; the found item's
  // row is returned (nothing when not found, after the messages). visibleRows tells where the
  // top row goes.
  struct Found {
    uint32_t row;
    uint32_t top;
  };
  std::optional<Found> findFirst(const std::vector<ListItem>& items, std::string_view text,
                                 bool matchCase, uint32_t currentRow, uint32_t visibleRows);
  std::optional<Found> findNext(const std::vector<ListItem>& items, std::string_view text,
                                bool matchCase, uint32_t currentRow, uint32_t visibleRows);
  // F3 and Ctrl+Alt+F: the last Find First or Find Next again, from the current row.
  std::optional<Found> repeat(const std::vector<ListItem>& items, bool matchCase,
                              uint32_t currentRow, uint32_t visibleRows);

  // What the window closed with; the text is kept for the next opening.
  void closed(FindMode mode, std::string_view text);
  FindMode lastMode() const { return mode_; }
  const std::string& text() const { return text_; }

 private:
  std::optional<Found> search(const std::vector<ListItem>& items, std::string_view text,
                              bool matchCase, uint32_t from, uint32_t visibleRows);

  UserInterface& ui_;
  std::string text_;          // as typed, at most kMaxFindText bytes
  FindMode mode_ = FindMode::None;
  FindMode lastSearch_ = FindMode::None;  // First or Next, for F3
  std::string previousText_;  // the text of the previous search
  uint32_t startRow_ = 0;     // the first row searched by the run of searches for this text
  bool wrapAllowed_ = false;  // not yet offered to continue from the top
};

}  // namespace sonalog
