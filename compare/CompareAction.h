#pragma once
// The ten things a comparison can do with the titles that found a match in the other list, or
// found none ("unique titles"): which list it walks, what it writes, and the texts the user sees.

#include <cstdint>
#include <string_view>

namespace sonalog {

inline constexpr int kCompareActionCount = 10;

// The action types, numbered as the options window's ActionCombo lists them and as the
// compareAction setting stores them. "Unique" titles found no match in the other list.
enum class ActionType : uint8_t {
  ExternalUniqueToLog = 0,
  ExternalUniqueToList = 1,
  InternalUniqueToLog = 2,
  InternalUniqueToList = 3,
  RemoveMatched = 4,  // the internal list without its titles that have a match
  ExternalMatchesToLog = 5,
  ExternalMatchesToList = 6,
  InternalMatchesToLog = 7,
  InternalMatchesToList = 8,
  RemoveUnique = 9,  // the internal list without its titles that have none
};

// The action type of a stored number; out-of-range numbers are type 0, as a load makes them.
constexpr ActionType actionTypeOf(int type) {
  return (type >= 0 && type < kCompareActionCount) ? static_cast<ActionType>(type) : ActionType::ExternalUniqueToLog;
}

// What an action writes, and so the kind of output file it needs: a new list file (".snlg"), a
// log (a text file, never ".snlg"), or nothing (it removes items). The options window tracks the
// chosen file's kind in the same terms.
enum class OutputKind : uint8_t { None = 0, List = 1, Text = 2 };

// The types about the external list's titles walk that list item by item; the others walk the
// internal list.
constexpr bool walksExternal(int type) {
  switch (actionTypeOf(type)) {
    case ActionType::ExternalUniqueToLog:
    case ActionType::ExternalUniqueToList:
    case ActionType::ExternalMatchesToLog:
    case ActionType::ExternalMatchesToList: return true;
    default: return false;
  }
}
// Types 0..4 report the outer items without a match, 5..9 those with one.
constexpr bool reportsUnique(int type) { return actionTypeOf(type) <= ActionType::RemoveMatched; }
// What the finish text counts: unique titles for the unique types and RemoveUnique, matches for
// the others.
constexpr bool countsUnique(int type) {
  const ActionType action = actionTypeOf(type);
  return action <= ActionType::InternalUniqueToList || action == ActionType::RemoveUnique;
}
// The removal types shorten the internal list instead of writing a file.
constexpr bool isRemoval(int type) {
  return actionTypeOf(type) == ActionType::RemoveMatched || actionTypeOf(type) == ActionType::RemoveUnique;
}
// Outer items without a match add to the unique count in every type but the two that report the
// external list's matches.
constexpr bool countsUnmatched(int type) {
  const ActionType action = actionTypeOf(type);
  return action != ActionType::ExternalMatchesToLog && action != ActionType::ExternalMatchesToList;
}
constexpr OutputKind outputOf(int type) {
  switch (actionTypeOf(type)) {
    case ActionType::RemoveMatched:
    case ActionType::RemoveUnique: return OutputKind::None;
    case ActionType::ExternalUniqueToList:
    case ActionType::InternalUniqueToList:
    case ActionType::ExternalMatchesToList:
    case ActionType::InternalMatchesToList: return OutputKind::List;
    default: return OutputKind::Text;
  }
}

// The options window's ActionCombo item for a type (0..9).
std::string_view actionComboItem(int type);
// The progress window's "Action type: ..." line for a type (0..9).
std::string_view actionTypeText(int type);

}  // namespace sonalog
