#pragma once
// The sort keys: what the "Sort by:" setting stores and what the low six bits of a list's
// sortCode name. They live with the settings because the options window edits them; the sorting
// routine, the viewer and the exports read the same numbers.

#include <cstdint>

namespace sonalog {

// In the order of the "Sort by:" list (kSortKeyTexts).
enum SortKey : uint8_t {
  kSortByFileName = 0,
  kSortByPlaytime = 1,
  kSortByBitrate = 2,
  kSortByFileSize = 3,
  kSortByStereoMode = 4,
  kSortByFrequency = 5,
  kSortByFileDate = 6,
  kSortByPath = 7,
  kSortByDateAdded = 8,
  kSortByVolumeLabel = 9,
};
inline constexpr uint8_t kLastSortKey = kSortByVolumeLabel;
// A column or field that nothing sorts by (the enumeration).
inline constexpr uint8_t kNoSortKey = 254;

// The keys whose values are text: only they sort apart by letter case.
constexpr bool isTextSortKey(uint8_t key) {
  return key == kSortByFileName || key == kSortByPath || key == kSortByVolumeLabel;
}

}  // namespace sonalog
