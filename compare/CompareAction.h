#pragma once
// The ten things a comparison can do with the titles that found a match in the other list, or
// found none ("unique titles"): which list it walks, what it writes, and the texts the user sees.

#include <cstdint>
#include <string_view>

namespace sonalog {

inline constexpr int kCompareActionCount = 10;

// What an action writes: a log (text file), a new list file, or nothing (it removes items).
enum class CompareOutput { None, List, Text };

// The kind of the chosen output file as the options window tracks it.
enum class OutputKind : uint8_t { None = 0, List = 1, Text = 2 };

// 0, 1, 5, 6 walk the external list item by item; the others walk the internal list.
constexpr bool walksExternal(int type) { return type == 0 || type == 1 || type == 5 || type == 6; }
// 0..4 report the outer items without a match, 5..9 those with one.
constexpr bool reportsUnique(int type) { return type <= 4; }
// 4 and 9 shorten the internal list instead of writing a file.
constexpr bool isRemoval(int type) { return type == 4 || type == 9; }
constexpr CompareOutput outputOf(int type) {
  if (isRemoval(type)) return CompareOutput::None;
  return (type == 1 || type == 3 || type == 6 || type == 8) ? CompareOutput::List
                                                             : CompareOutput::Text;
}
// The output kind an action needs: a list type needs ".snlg", a text type must not have it.
constexpr OutputKind requiredKind(int type) {
  switch (outputOf(type)) {
    case CompareOutput::List: return OutputKind::List;
    case CompareOutput::Text: return OutputKind::Text;
    case CompareOutput::None: break;
  }
  return OutputKind::None;
}

// The options window's ActionCombo item for a type (0..9).
std::string_view actionComboItem(int type);
// The progress window's "Action type: ..." line for a type (0..9).
std::string_view actionTypeText(int type);

}  // namespace sonalog
