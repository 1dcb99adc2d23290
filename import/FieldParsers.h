#pragma once
// The inverse of the field texts: each field of an imported line back into the item's value,
// the date texts into their three numbers, and the order of day, month and year worked out
// from all dates of an import.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/ListItem.h"
#include "import/Detection.h"
#include "import/ImportTypes.h"
#include "platform/UserInterface.h"

namespace sonalog {

// What a date position has shown over all dates of an import: 0 nothing (a month once the
// order is final), 1 a day (13..31 seen), 2 a year (above 31 seen).
using DatePartRoles = std::array<uint8_t, 3>;

// Per line: the frequency field seen and the three numbers of each date (0: no date).
struct LineValues {
  bool hasFrequency = false;
  std::array<uint16_t, 3> created{};
  std::array<uint16_t, 3> added{};
};

// The export's mark for an unknown value, by its on-error style: "?", "-" or nothing at all; a
// size keeps its suffix ("? K", "-KB").
bool isUnknownMarkText(std::string_view text);

// Parses the field of a role into item / line. False with the line's error text set.
bool parseField(uint8_t role, std::string_view text, uint64_t lineNumber, ListItem& item,
                LineValues& line, DatePartRoles& roles, std::string& error);

struct BitrateValue {
  uint8_t code = kBitrateNotGiven;
  uint16_t averageKbps = 0;
};
BitrateValue parseBitrate(std::string_view text);

// Reads a date text into its three numbers and adds what they show to roles. False when the
// text is not a valid date.
bool parseDateText(std::string_view text, DatePartRoles& roles, std::array<uint16_t, 3>& parts);

// Positions (0..2) of day, month and year within every date.
struct DateOrder {
  int day = 0, month = 1, year = 2;
};

enum class DateOrderResult { Ok, LeaveUnknown, Failed, Cancelled };

// Settles the order from the roles seen; may warn, switch dsRadio to prompt, and ask.
// tagDateStyle is the info tag's date style (255 when not given).
DateOrderResult resolveDateOrder(const DatePartRoles& roles, uint8_t tagDateStyle,
                                 ImportSettings& settings, UserInterface& ui, DateOrder& order,
                                 std::string& error);

// The day number of the date parts in that order; false for an impossible date.
bool dayNumberOfParts(const std::array<uint16_t, 3>& parts, const DateOrder& order, int32_t& day);

}  // namespace sonalog
