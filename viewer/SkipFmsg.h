#pragma once
// The note shown once a list is filtered (TSkipFMsgForm): what editing, deleting and saving do to
// a filtered list, and the choice not to be told again.

#include <array>

#include "settings/Settings.h"

namespace sonalog {

inline constexpr char kSkipFmsgCaption[] = " IMPORTANT NOTE:";
inline constexpr std::array<const char*, 3> kSkipFmsgLines = {
    "Editing a filtered item WILL\r\naffect the main list.",
    "Deleting a filtered item WILL\r\nremove it from the main list.",
    "Saving a filtered list will save ONLY\r\nthe items visible, not the whole list."};
inline constexpr char kSkipFmsgCheck[] = "&Don't show this message again";

// Whether the note is to be shown after a filter.
inline bool showFilteredNote(const Settings& s) { return !s.skipFilteredNote; }

// The note closed: the check box counts with either button. True when the filter stays (O&K);
// false for "cancel", after which the caller undoes the filter.
inline bool filteredNoteClosed(Settings& s, bool dontShowAgain, bool ok) {
  if (dontShowAgain) s.skipFilteredNote = true;
  return ok;
}

}  // namespace sonalog
