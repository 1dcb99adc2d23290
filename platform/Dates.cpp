#include "platform/Dates.h"

#include <langinfo.h>

#include <clocale>
#include <mutex>

namespace sonalog::platform {

namespace {

// Days from 1970-01-01 for a civil date (Howard Hinnant's algorithm).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr int64_t kEpochOffset = 25569;  // day number of 1970-01-01

void ensureLocale() {
  static std::once_flag once;
  std::call_once(once, [] { std::setlocale(LC_TIME, ""); });
}

}  // namespace

int32_t dayNumberFromDate(int year, int month, int day) {
  return static_cast<int32_t>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kEpochOffset);
}

void dateFromDayNumber(int32_t dayNumber, int& year, int& month, int& day) {
  int64_t z = static_cast<int64_t>(dayNumber) - kEpochOffset + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

int32_t dayNumberFromTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return dayNumberFromDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

int32_t today() { return dayNumberFromTime(std::time(nullptr)); }

std::string shortDateFormat() {
  ensureLocale();
  return nl_langinfo(D_FMT);
}

std::string longTimeFormat() {
  ensureLocale();
  return nl_langinfo(T_FMT);
}

std::string formatShortDate(int32_t dayNumber) {
  std::tm tm{};
  int y, m, d;
  dateFromDayNumber(dayNumber, y, m, d);
  tm.tm_year = y - 1900;
  tm.tm_mon = m - 1;
  tm.tm_mday = d;
  char buf[64];
  const size_t n = std::strftime(buf, sizeof buf, shortDateFormat().c_str(), &tm);
  return std::string(buf, n);
}

}  // namespace sonalog::platform
