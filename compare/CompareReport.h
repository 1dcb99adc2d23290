#pragma once
// What a comparison writes and says at its end: the finish texts, the log files of the types
// 0, 2, 5 and 7, the new list files of the types 1, 3, 6 and 8, and the item lines of the
// confirmation prompt.

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "core/ListItem.h"
#include "export/FieldText.h"

namespace sonalog {

// n followed by " unique title " / " unique titles " (U) or " match" / " matches" (M).
std::string uniqueCountText(uint32_t n);
std::string matchCountText(uint32_t n);

// The finish label when the action found n > 0 items to write or remove.
std::string finishText(int type, uint32_t n);
// The finish label when there was nothing to write or remove.
std::string_view nothingText(int type);
// The warning when the output cannot be written (types with an output file).
std::string_view writeErrorText(int type);

// A log file's two header lines (each ending in CR LF) for a type 0, 2, 5 or 7 with n entries.
// externalName is the external list's file name, used by the types 0 and 5; now is the time
// of writing (long time format, short date format of the locale).
std::string logHeader(int type, uint32_t n, std::string_view externalName, std::time_t now);
// One entry of a type 0, 2, 5 or 7 log. An external item of a text list is its line.
std::string logEntry(int type, const ListItem& item, bool externalIsText, const FieldStyle& style);
// Writes header, then CR LF + entry for each entry (no line end after the last). The file is
// written under a temporary name and renamed: a failed write leaves an earlier file as it was.
bool writeLogFile(const std::string& path, const std::string& header,
                  const std::vector<std::string>& entries);


// A prompt line: prefix + fileName, Time, Size, Bitrate and Mode texts and the label, each
// after ", ".
std::string confirmLine(std::string_view prefix, const ListItem& item, const FieldStyle& style);

}  // namespace sonalog
