#include "import/FieldParsers.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

#include "platform/AsciiCase.h"
#include "platform/Dates.h"

namespace sonalog {

namespace {

constexpr const char* kCantFigure = "Can't figure day/month/year order in date fields.";
constexpr int kMaxMinutes = 1023;
constexpr long kMaxYear = 2099;

std::string head(std::string_view s, size_t n) { return std::string(s.substr(0, n)); }

std::string failure(const std::string& what, uint64_t line, std::string_view field, size_t shown) {
  return what + " (line " + std::to_string(line) + "). Displaying [some of] it:\r\n" + head(field, shown);
}

// A whole number: optional sign and digits only.
bool readWhole(std::string_view s, long& value) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size() || s.size() - i > 9) return false;
  long v = 0;
  for (; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    v = v * 10 + (s[i] - '0');
  }
  value = negative ? -v : v;
  return true;
}


bool parsePlaytime(std::string_view text, uint64_t n, ListItem& item, std::string& error) {
  if (text.empty()) {  // the export's omitted unknown playtime
    item.frames = -1;
    return true;
  }
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    error = "Semicolon not found in the time field (line " + std::to_string(n) +
            ").\r\nDisplaying [some of] it:\r\n" + head(text, 32);
    return false;
  }
  const std::string_view minutesText = text.substr(0, colon);
  const std::string_view secondsText = text.substr(colon + 1);
  long minutes = 0, seconds = 0;
  if (!readWhole(minutesText, minutes)) {
    if (minutesText == "?" || minutesText == "??" || minutesText == "-" || minutesText == "--" ||
        minutesText.empty()) {
      item.frames = -1;
      return true;
    }
    error = failure("Can't read minutes", n, minutesText, 16);
    return false;
  }
  if (minutes < 0 || minutes > kMaxMinutes) {
    error = failure("Can't read minutes", n, minutesText, 16);
    return false;
  }
  if (!readWhole(secondsText, seconds) || seconds < 0 || seconds > 59) {
    error = failure("Can't read seconds", n, secondsText, 16);
    return false;
  }
  // Seconds for now; the line's end turns them into frames of its frequency.
  item.frames = static_cast<int32_t>(minutes * 60 + seconds);
  return true;
}

}  // namespace

bool isUnknownMarkText(std::string_view text) {
  for (std::string_view suffix : {" KB", "KB", " K", "K"}) {
    if (text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix) {
      text.remove_suffix(suffix.size());
      break;
    }
  }
  return text.empty() || text == "?" || text == "-";
}

BitrateValue parseBitrate(std::string_view text) {
  BitrateValue v;
  if (text.empty() || text.size() > 1023) return v;
  // The table export pads the short text with a blank on either side.
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return v;
  if (text.back() == ')' || text.front() == '*') {
    long number = 0;
    int digits = 0;
    for (char c : text) {
      if (!std::isdigit(static_cast<unsigned char>(c))) continue;
      if (++digits > 6) return v;
      number = number * 10 + (c - '0');
    }
    if (digits == 0 || number > 320) return v;
    v.code = kBitrateVbr;
    v.averageKbps = static_cast<uint16_t>(number);
    return v;
  }
  std::string s(text);
  if (s.size() >= 4) {
    if (platform::endsWithAsciiIgnoreCase(s, "kbps")) s.resize(s.size() - 4);
  }
  while (!s.empty() && s.back() == ' ') s.pop_back();
  s = platform::asciiLowerCopy(s);
  // "vbr" is what the export writes for a variable bitrate in the styles without an average.
  if (s == "var." || s == "var" || s == "vbr") {
    v.code = kBitrateVbr;
    return v;
  }
  static constexpr std::string_view kRates[15] = {"",    "32",  "40",  "48",  "56",  "64",  "80", "96",
                                                  "112", "128", "160", "192", "224", "256", "320"};
  for (uint8_t code = 1; code <= 14; ++code) {
    if (s == kRates[code]) {
      v.code = code;
      return v;
    }
  }
  return v;
}

bool parseDateText(std::string_view text, DatePartRoles& roles, std::array<uint16_t, 3>& parts) {
  int count = 0;
  bool yearSeen = false, daySeen = false;
  for (size_t i = 0; i < text.size();) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
    if (count == 3 || j - i > 4) return false;
    long value = 0;
    std::from_chars(text.data() + i, text.data() + j, value);  // at most 4 digits, checked above
    if (value < 1 || value > kMaxYear) return false;
    if (value > 31) {
      if (yearSeen) return false;
      yearSeen = true;
      roles[static_cast<size_t>(count)] = 2;
    } else if (value >= 13) {
      if (daySeen) return false;
      daySeen = true;
      if (roles[static_cast<size_t>(count)] == 0) roles[static_cast<size_t>(count)] = 1;
    }
    parts[static_cast<size_t>(count++)] = static_cast<uint16_t>(value);
    i = j;
  }
  if (count != 3) return false;
  const int sum = roles[0] + roles[1] + roles[2];
  return sum <= 3 && (roles[0] == 2 || roles[1] == 2 || roles[2] == 2);
}

namespace {

bool parseTitle(std::string_view text, uint64_t n, ListItem& item, std::string& error) {
  if (text.size() > kMaxFileNameBytes) {
    error = "Filename too long (line " + std::to_string(n) + "). Displaying first 64 characters:\r\n" + head(text, 64);
    return false;
  }
  item.fileName.assign(text);
  return true;
}

bool parseSize(std::string_view text, uint64_t n, ListItem& item, std::string& error) {
  std::string_view digits = text;
  while (!digits.empty() && !std::isdigit(static_cast<unsigned char>(digits.back()))) digits.remove_suffix(1);
  long value = 0;
  if (digits.empty() && isUnknownMarkText(text)) {
    item.sizeKB = -1;
    return true;
  }
  if (!readWhole(digits, value) || value < 0 || digits.front() == '-' || digits.front() == '+') {
    error = failure("Can't read filesize", n, text, 32);
    return false;
  }
  item.sizeKB = static_cast<int32_t>(value);
  return true;
}

bool parseStereo(std::string_view text, uint64_t n, ListItem& item, std::string& error) {
  static constexpr struct { std::string_view text; uint8_t mode; } kModes[] = {
      {"stereo", 0}, {"S", 0}, {"joint stereo", 1}, {"JS", 1}, {"dual channel", 2}, {"DC", 2},
      {"mono", 3}, {"M", 3}, {"?", 4}, {"??", 4}, {"-", 4}, {"--", 4}, {" ", 4}, {"  ", 4}, {"", 4}};
  for (const auto& m : kModes) {
    if (text == m.text) {
      item.stereoMode = m.mode;
      return true;
    }
  }
  error = failure("Can't read stereo mode", n, text, 32);
  return false;
}

bool parseFrequency(std::string_view text, uint64_t n, ListItem& item, LineValues& line, std::string& error) {
  static constexpr struct { std::string_view text; uint8_t code; } kCodes[] = {
      {"44.1 KHz", 0}, {"44.1", 0}, {"48.0 KHz", 1}, {"48.0", 1}, {"32.0 KHz", 2}, {"32.0", 2},
      {"? KHz", 255}, {"- KHz", 255}, {"?", 255}, {"-", 255}, {" ", 255}, {"", 255}};
  for (const auto& c : kCodes) {
    if (text == c.text) {
      item.frequencyCode = c.code;
      line.hasFrequency = true;
      return true;
    }
  }
  error = failure("Can't read the frequency", n, text, 32);
  return false;
}

// The date's parts are kept until the order of day, month and year is known.
bool parseDate(uint8_t role, std::string_view text, uint64_t n, ListItem& item, LineValues& line,
               DatePartRoles& roles, std::string& error) {
  std::array<uint16_t, 3>& parts = role == kRoleDateCreated ? line.created : line.added;
  // The export's mark for an unknown date leaves the date unknown.
  if (isUnknownMarkText(text)) {
    parts = {0, 0, 0};
    if (role == kRoleDateCreated) item.fileDate = -1;
    return true;
  }
  if (!parseDateText(text, roles, parts)) {
    parts = {0, 0, 0};
    error = failure("Invalid date", n, text, 48);
    return false;
  }
  return true;
}

}  // namespace

bool parseField(uint8_t role, std::string_view text, uint64_t n, ListItem& item, LineValues& line,
                DatePartRoles& roles, std::string& error) {
  switch (role) {
    case kRoleTitle: return parseTitle(text, n, item, error);
    case kRolePlaytime: return parsePlaytime(text, n, item, error);
    case kRoleBitrate: {
      const BitrateValue b = parseBitrate(text);
      item.bitrateCode = b.code;
      item.averageKbps = b.averageKbps;
      return true;
    }
    case kRoleSize: return parseSize(text, n, item, error);
    case kRoleStereo: return parseStereo(text, n, item, error);
    case kRoleFrequency: return parseFrequency(text, n, item, line, error);
    case kRoleDateCreated:
    case kRoleDateAdded: return parseDate(role, text, n, item, line, roles, error);
    case kRolePath:
      item.folder.assign(text);
      return true;
    case kRoleLabel:
      item.volumeLabel = cutName(text, kMaxVolumeLabelBytes);
      return true;
    default:
      error = "Unknown error 2.";
      return false;
  }
}

namespace {

// The positions of a date style 1..3; false for other styles.
bool orderOfStyle(uint8_t style, DateOrder& order) {
  switch (style) {
    case 1: order = {0, 1, 2}; return true;
    case 2: order = {1, 0, 2}; return true;
    case 3: order = {2, 1, 0}; return true;
    default: return false;
  }
}

// Whether what the dates showed agrees with an order.
bool fits(const DatePartRoles& roles, const DateOrder& order) {
  for (int p = 0; p < 3; ++p) {
    if (roles[static_cast<size_t>(p)] == 2 && p != order.year) return false;
    if (roles[static_cast<size_t>(p)] == 1 && p != order.day) return false;
  }
  return true;
}

}  // namespace

DateOrderResult resolveDateOrder(const DatePartRoles& roles, uint8_t tagDateStyle,
                                 ImportSettings& settings, UserInterface& ui, DateOrder& order,
                                 std::string& error) {
  const int sum = roles[0] + roles[1] + roles[2];
  int yearAt = -1, dayAt = -1, years = 0, days = 0;
  for (int p = 0; p < 3; ++p) {
    if (roles[static_cast<size_t>(p)] == 2) { yearAt = p; ++years; }
    if (roles[static_cast<size_t>(p)] == 1) { dayAt = p; ++days; }
  }
  if (sum > 3 || years > 1 || days > 1) {
    error = kCantFigure;
    return DateOrderResult::Failed;
  }
  if (sum == 3) {
    if (yearAt < 0 || dayAt < 0) {
      error = kCantFigure;
      return DateOrderResult::Failed;
    }
    order = {dayAt, 3 - dayAt - yearAt, yearAt};
    return DateOrderResult::Ok;
  }
  DateOrder styled;
  if (orderOfStyle(tagDateStyle, styled)) {
    if (fits(roles, styled)) {
      order = styled;
      return DateOrderResult::Ok;
    }
    const Answer a = ui.ask(
        "Date doesn't appear to be valid in this list.\r\nYou can leave the dates unknown (press OK) or cancel.",
        "import succeeded except for the dates", Buttons::OkCancel, Icon::Exclamation);
    return a == Answer::Ok ? DateOrderResult::LeaveUnknown : DateOrderResult::Cancelled;
  }
  if (sum == 0) {
    error = kCantFigure;
    return DateOrderResult::Failed;
  }
  if (settings.dsRadio == 0) {
    if (settings.ComboStyle == 0) {
      ui.warning(
          "Can't use windows default date,\r\nbecause it may be changed.\r\n\nSwitching option \"if date style\r\ncan't be determined\" to PROMPT.");
      settings.dsRadio = 1;
    } else {
      if (orderOfStyle(settings.ComboStyle, styled) && fits(roles, styled)) {
        order = styled;
        return DateOrderResult::Ok;
      }
      error = kCantFigure;
      return DateOrderResult::Failed;
    }
  }
  const Answer a = ui.ask("Two fields in your date(s) can't be resolved.\r\nDoes day go before month?\r\n(press No if opposite)",
                          "prompt", Buttons::YesNoCancel, Icon::Exclamation);
  if (a == Answer::Cancel) return DateOrderResult::Cancelled;
  if (yearAt < 0) {
    error = kCantFigure;
    return DateOrderResult::Failed;
  }
  const int first = yearAt == 0 ? 1 : 0;
  const int second = yearAt == 2 ? 1 : 2;
  order.year = yearAt;
  order.day = a == Answer::Yes ? first : second;
  order.month = a == Answer::Yes ? second : first;
  return DateOrderResult::Ok;
}

bool dayNumberOfParts(const std::array<uint16_t, 3>& parts, const DateOrder& order, int32_t& day) {
  const int y = parts[static_cast<size_t>(order.year)];
  const int m = parts[static_cast<size_t>(order.month)];
  const int d = parts[static_cast<size_t>(order.day)];
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || m < 1 || m > 12 || d < 1) return false;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (d > kDays[m - 1] + (m == 2 && leap ? 1 : 0)) return false;
  day = platform::dayNumberFromDate(y, m, d);
  return true;
}

}  // namespace sonalog
