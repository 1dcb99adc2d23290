#pragma once
// What a comparison run needs from the settings, taken once when the run starts: the settings do
// not change while it runs (the options window is closed then).

#include <cstdint>
#include <string>

#include "duplicates/TitleMatch.h"
#include "export/FieldText.h"

namespace sonalog {

// The settings a comparison reads, by their stored names.
struct CompareSettings {
  uint8_t compareWith = 1;    // 0 a list file, 1 any text list
  uint8_t compareAction = 0;  // 0..9
  uint8_t actionMode = 1;     // 0 automatic, 1 automatic only for 99-100 %, 2 manual
  uint8_t threadPriority = 0; // 0 low, 1 normal, 2 high
  bool examineBangLines = false;

  // Matching.
  uint8_t matchThreshold = 99;  // 50..100
  bool highChars = true;
  bool firstLetterCheck = false;
  bool sizeCheck = true;
  uint16_t sizeLimitKB = 500;
  bool timeCheck = true;
  uint16_t timeLimitSec = 30;
  bool bitrateCheck = false;

  // Field texts in the logs and the confirmation lines.
  FieldStyle fieldStyle;
};

// One run: the files chosen in the options window and the settings at GO.
struct CompareJob {
  std::string inputPath;   // the external list
  std::string outputPath;  // the log or new list; unused by the removal types 4 and 9
  CompareSettings settings;
  bool relaxedSwitch = true;  // the options window's switch; matters only for a text list
  double partThreshold = 0.9801;  // computed at GO from matchThreshold
  PairSearch pairSearch = PairSearch::Auto;  // below 99: how pairs are found (same results)
};

}  // namespace sonalog
