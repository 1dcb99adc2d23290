#pragma once
// Day numbers (whole days since 30 December 1899, local time) and the locale's date and time
// formats.

#include <cstdint>
#include <ctime>
#include <string>

namespace sonalog::platform {

// The local calendar day of a time as a day number.
int32_t dayNumberFromTime(std::time_t t);
// Today's local day number.
int32_t today();
// Day number of a calendar date (proleptic Gregorian); no range check.
int32_t dayNumberFromDate(int year, int month, int day);
// Calendar date of a day number.
void dateFromDayNumber(int32_t dayNumber, int& year, int& month, int& day);

// The locale's short date format as a strftime pattern (nl_langinfo(D_FMT)), and the long
// time format (T_FMT). Both follow LC_TIME of the environment.
std::string shortDateFormat();
std::string longTimeFormat();
// Formats a day number with the locale's short date format.
std::string formatShortDate(int32_t dayNumber);

}  // namespace sonalog::platform
