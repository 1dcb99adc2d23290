#pragma once
// The logic of the duplicates options window (TPreDupForm) without widgets: the rules that
// correct stored values when it opens, the edits' acceptance, the cancel that puts the settings
// back, and GO, which turns the settings into the options of a search run. The compare options
// window applies the same rules to its copies of these controls.

#include <string_view>

#include "duplicates/DupSearchUnit.h"
#include "platform/UserInterface.h"
#include "settings/Settings.h"

namespace sonalog {

inline constexpr uint16_t kSizeLimitMaxKB = 9999;  // SizeEdit: at most 4 characters
inline constexpr uint16_t kTimeLimitMaxSec = 99;   // TimeEdit: at most 2 characters

// The corrections made each time the window opens: a threshold outside 50..100 becomes 99, a
// priority other than 0 or 2 becomes 1, a time limit above 99 becomes 20 and a size limit above
// 9999 becomes 400 (not the defaults).
void normalizeDuplicatesOptions(Settings& settings);

// SizeEdit's text as typed: stored in sizeLimitKB when it is a whole decimal number up to 9999;
// any other text (an emptied edit too) is ignored. True when stored.
bool sizeEditChanged(Settings& settings, std::string_view text);
// TimeEdit's text: stored in timeLimitSec when it is a whole decimal number below 100.
bool timeEditChanged(Settings& settings, std::string_view text);

// The matching settings as the runs read them, with partThreshold computed as GO does.
MatchOptions matchOptionsOf(const Settings& settings);
// Everything a duplicates search reads from the settings.
DupSearchOptions dupSearchOptionsOf(const Settings& settings);

// Puts back the settings that the duplicates and compare options windows edit, from the copy
// taken when the window opened: a window closed without GO changes nothing.
void restoreSearchOptions(Settings& settings, const Settings& saved);

// One opening of the window: the viewer keeps a copy of the duplicates and compare settings, and
// a close without GO puts them back.
class PreDupSession {
 public:
  // Opens the window on settings. When the comparison or its options window is open, shows
  // "Close compare window first." and the window closes at once (false).
  bool open(Settings& settings, UserInterface& ui, bool compareOpen);
  // GO: started, and the run's options (partThreshold computed now).
  DupSearchOptions go(const Settings& settings);
  // Any other close: the settings as they were before the window opened.
  void cancel(Settings& settings) const;
  bool started() const { return started_; }

 private:
  Settings saved_;
  bool started_ = false;
};

}  // namespace sonalog
