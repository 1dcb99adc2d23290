#include "compare/CompareAction.h"

namespace sonalog {

namespace {

constexpr std::string_view kComboItems[kCompareActionCount] = {
    "Save unique titles from external list to log file.",
    "Save unique titles from external list to new SNLG list.",
    "Save unique titles from current list to log file.",
    "Save unique titles from current list to new SNLG list.",
    "Leave unique titles (remove matches) in current list.",
    "Save matches from external list to log file.",
    "Save matches from external list to new SNLG list.",
    "Save matches from current list to log file.",
    "Save matches from current list to new SNLG list.",
    "Leave matches (remove unique titles) in current list.",
};

constexpr std::string_view kTypeTexts[kCompareActionCount] = {
    "Action type: Save unique titles from the external list to log file.",
    "Action type: Save unique titles from the external list to new SNLG list.",
    "Action type: Save unique titles from the current list to log file.",
    "Action type: Save unique titles from the current list to new SNLG list.",
    "Action type: Remove matches from the current list (leave unique titles).",
    "Action type: Save matches from the external list to log file.",
    "Action type: Save matches from the external list to new SNLG list.",
    "Action type: Save matches from the current list to log file.",
    "Action type: Save matches from the current list to new SNLG list.",
    "Action type: Remove unique titles from the current list (leave matches).",
};

}  // namespace

std::string_view actionComboItem(int type) { return kComboItems[static_cast<size_t>(actionTypeOf(type))]; }
std::string_view actionTypeText(int type) { return kTypeTexts[static_cast<size_t>(actionTypeOf(type))]; }

}  // namespace sonalog
