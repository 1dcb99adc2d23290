#include "import/ColumnRoles.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "import/FieldParsers.h"
#include "import/LineAnalysis.h"
#include "platform/AsciiCase.h"
#include "platform/Dates.h"

namespace sonalog {

namespace {

bool endsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

bool isPathText(std::string_view f) {
  return f.find('\\') != std::string_view::npos || (!f.empty() && f.front() == '/');
}

bool isBitrateText(std::string_view field, bool& real) {
  real = false;
  std::string s = platform::asciiLowerCopy(field);
  // A lone "vbr" is what the export writes for a variable bitrate in that style.
  if (s == "vbr") {
    real = true;
    return true;
  }
  if (endsWith(s, "kbps)")) s.resize(s.size() - 5);
  else if (endsWith(s, "kbps")) s.resize(s.size() - 4);
  else return false;
  static constexpr std::string_view kNumbers[] = {"32 ", "40 ", "48 ", "56 ", "64 ", "80 ", "96 ",
                                                  "112 ", "128 ", "160 ", "192 ", "224 ", "256 ", "320 "};
  auto isNumber = [](std::string_view t) {
    return std::find(std::begin(kNumbers), std::end(kNumbers), t) != std::end(kNumbers);
  };
  if (isNumber(s) || s == "var." || s == "vbr") {
    real = true;
    return true;
  }
  // A variable bitrate's average is any number up to 320, written with its blank.
  auto isAverage = [](std::string_view t) {
    if (t.size() < 2 || t.size() > 4 || t.back() != ' ') return false;
    t.remove_suffix(1);
    for (char c : t)
      if (c < '0' || c > '9') return false;
    int kbps = 0;
    std::from_chars(t.data(), t.data() + t.size(), kbps);
    return kbps <= 320;
  };
  for (std::string_view prefix : {"var(", "vbr(", "(", "*"}) {
    if (s.rfind(prefix, 0) == 0 && isAverage(std::string_view(s).substr(prefix.size()))) {
      real = true;
      return true;
    }
  }
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s.empty() || s == "?" || s == "-";
}

bool isSizeText(std::string_view field) {
  if (field.empty()) return false;
  std::string s = platform::asciiUpperCopy(field);
  for (std::string_view suffix : {" KB", "KB", " K", "K"}) {
    if (endsWith(s, suffix)) {
      s.resize(s.size() - suffix.size());
      break;
    }
  }
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i == s.size()) return false;
  for (; i < s.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
  return true;
}

bool isDateText(std::string_view field, std::string_view separators) {
  int digits = 0;
  for (char c : field) {
    if (std::isdigit(static_cast<unsigned char>(c))) ++digits;
    else if (c != '.' && c != ' ' && separators.find(c) == std::string_view::npos) return false;
  }
  return digits >= 4 && digits <= 8;
}

std::string localeDateSeparators() {
  const std::string text = platform::formatShortDate(platform::today());
  std::string seps;
  for (char c : text) {
    if (std::isdigit(static_cast<unsigned char>(c)) || c == ' ' || c == '.') continue;
    if (seps.find(c) == std::string::npos) seps.push_back(c);
    if (seps.size() == 2) break;
  }
  return seps;
}

// Every sample's field in the column passes test.
template <class Test>
bool allPass(const SampleLines& samples, size_t column, Test test) {
  for (const auto& s : samples)
    if (!test(s[column])) return false;
  return true;
}

// A column of values the export can leave unknown: each sample holds such a value or the
// program's own unknown mark, and at least one holds a value.
template <class Test>
bool valueColumn(const SampleLines& samples, size_t column, Test test) {
  bool value = false;
  for (const auto& s : samples) {
    const std::string& f = s[column];
    if (test(f)) value = true;
    else if (!isUnknownMarkText(f)) return false;
  }
  return value;
}

bool isPathColumn(const SampleLines& samples, size_t column) {
  return allPass(samples, column, [](const std::string& f) { return isPathText(f); });
}

bool isShortStereoColumn(const SampleLines& samples, size_t column) {
  return valueColumn(samples, column, [](const std::string& f) {
    const std::string u = platform::asciiUpperCopy(f);
    return u == "S" || u == "JS" || u == "M" || u == "DC";
  });
}

bool isLongStereoColumn(const SampleLines& samples, size_t column) {
  return valueColumn(samples, column, [](const std::string& f) {
    const std::string l = platform::asciiLowerCopy(f);
    return l == "stereo" || l == "joint stereo" || l == "mono" || l == "dual channel";
  });
}

bool isFrequencyColumn(const SampleLines& samples, size_t column) {
  return valueColumn(samples, column, [](const std::string& f) {
    const std::string u = platform::asciiUpperCopy(f);
    return u == "44.1 KHZ" || u == "48.0 KHZ" || u == "32.0 KHZ" || u == "? KHZ";
  });
}

// At least two real bitrates: a column of unknown marks and "vbr" alone may be something else.
bool isBitrateColumn(const SampleLines& samples, size_t column) {
  int real = 0;
  return valueColumn(samples, column,
                     [&](const std::string& f) {
                       bool isReal;
                       if (!isBitrateText(f, isReal)) return false;
                       real += isReal ? 1 : 0;
                       return true;
                     }) &&
         real >= 2;
}

bool isPlaytimeColumn(const SampleLines& samples, size_t column) {
  return valueColumn(samples, column, [](const std::string& f) { return std::count(f.begin(), f.end(), ':') == 1; });
}

// The samples are numbered "1.", "2.", ... in order.
bool isEnumerationColumn(const SampleLines& samples, size_t column) {
  for (size_t s = 0; s < samples.size(); ++s)
    if (samples[s][column] != std::to_string(s + 1) + ".") return false;
  return true;
}

bool isSizeColumn(const SampleLines& samples, size_t column) {
  return valueColumn(samples, column, [](const std::string& f) { return isSizeText(f); });
}

// The content rules, tried in this order on each column from the start of the line.
enum RuleId { kPathRule, kShortStereoRule, kLongStereoRule, kFrequencyRule, kBitrateRule, kPlaytimeRule,
              kEnumerationRule, kSizeRule, kRuleCount };

struct ColumnRule {
  RuleId id;
  uint8_t role;  // ColumnRole of a matching column
  bool (*matches)(const SampleLines&, size_t column);
  // The failure when the column matches after a column of this rule or of `countsAlso`; nullptr:
  // the rule takes one column only and leaves any other to the rules after it.
  const char* secondColumn;
  RuleId countsAlso;
};

constexpr ColumnRule kRules[kRuleCount] = {
    {kPathRule, kRolePath, isPathColumn, "More than one field with backslash found.", kPathRule},
    {kShortStereoRule, kRoleStereo, isShortStereoColumn, "More than one field with short stereo info found.",
     kShortStereoRule},
    // After a short stereo column a long one is a second stereo column; the other way round
    // both stay stereo.
    {kLongStereoRule, kRoleStereo, isLongStereoColumn, "More than one field with long stereo info found.",
     kShortStereoRule},
    {kFrequencyRule, kRoleFrequency, isFrequencyColumn, "More than one field with frequency info found.",
     kFrequencyRule},
    {kBitrateRule, kRoleBitrate, isBitrateColumn, "More than one field with kbps info found.", kBitrateRule},
    {kPlaytimeRule, kRolePlaytime, isPlaytimeColumn, "More than one field with semicolon (min:sec) found.",
     kPlaytimeRule},
    {kEnumerationRule, kRoleEnumeration, isEnumerationColumn,
     "More than one number with period found (invalid enumeration).", kEnumerationRule},
    {kSizeRule, kRoleSize, isSizeColumn, nullptr, kSizeRule},
};

constexpr bool rulesInIdOrder() {
  for (size_t i = 0; i < kRuleCount; ++i)
    if (kRules[i].id != static_cast<RuleId>(i)) return false;
  return true;
}
static_assert(rulesInIdOrder());

StepResult failWith(ImportFrame& frame, std::string text) {
  frame.errorText = std::move(text);
  return StepResult::Failed;
}

// A column of dates. A third one makes all of them free: none can be told apart.
void markDate(const SampleLines& samples, size_t column, const std::string& separators, std::vector<uint8_t>& roles) {
  if (!valueColumn(samples, column, [&](const std::string& f) { return isDateText(f, separators); })) return;
  if (std::count(roles.begin(), roles.end(), kRoleDate) < 2) {
    roles[column] = kRoleDate;
    return;
  }
  for (uint8_t& r : roles)
    if (r == kRoleDate) r = kRoleFree;
}

// Gives each column the role of the first rule it matches, else marks it a date or leaves it free.
StepResult applyRules(const SampleLines& samples, ImportFrame& frame, std::vector<uint8_t>& roles) {
  const std::string separators = localeDateSeparators();
  std::array<bool, kRuleCount> found{};
  for (size_t column = roles.size(); column-- > 0;) {
    const ColumnRule* rule = std::find_if(std::begin(kRules), std::end(kRules), [&](const ColumnRule& r) {
      return (r.secondColumn || !found[r.id]) && r.matches(samples, column);
    });
    if (rule == std::end(kRules)) {
      markDate(samples, column, separators, roles);
      continue;
    }
    if (rule->secondColumn && (found[rule->id] || found[rule->countsAlso])) return failWith(frame, rule->secondColumn);
    found[rule->id] = true;
    roles[column] = rule->role;
    if (rule->id == kLongStereoRule) frame.layout.longStereoNames = true;
  }
  return StepResult::Ok;
}

// One free column is the title; of two, the one nearer the line's end is the volume label.
StepResult nameFreeColumns(ImportFrame& frame, std::vector<uint8_t>& roles) {
  std::vector<size_t> free;
  for (size_t i = 0; i < roles.size(); ++i)
    if (roles[i] == kRoleFree) free.push_back(i);
  if (free.size() == 1) {
    roles[free[0]] = kRoleTitle;
  } else if (free.size() == 2) {
    roles[free[0]] = kRoleLabel;
    roles[free[1]] = kRoleTitle;
  } else {
    return failWith(frame,
                    std::to_string(free.size()) + " free formatted columns found (must be 1 or 2, for title/label).");
  }
  return StepResult::Ok;
}

// Two dates: the one nearer the line's end was added to the list. One date: its side of the path
// tells, else the user.
StepResult tellDatesApart(ImportFrame& frame, std::vector<uint8_t>& roles, UserInterface& ui) {
  std::vector<size_t> dates;
  const auto path = std::find(roles.begin(), roles.end(), kRolePath);
  for (size_t i = 0; i < roles.size(); ++i)
    if (roles[i] == kRoleDate) dates.push_back(i);
  if (dates.size() == 1) {
    uint8_t& r = roles[dates[0]];
    if (path != roles.end()) {
      const size_t pathIndex = static_cast<size_t>(path - roles.begin());
      if (dates[0] == pathIndex) return failWith(frame, "Unknown error 1");
      r = dates[0] < pathIndex ? kRoleDateAdded : kRoleDateCreated;
    } else {
      const Answer a = ui.ask(
          "One date found, unable to determine if\r\nit's \"created\" or \"added to the list\".\r\n\nIs it \"CREATED\"? (press No for \"ADDED\")",
          "text import", Buttons::YesNo, Icon::Question);
      r = a == Answer::Yes ? kRoleDateCreated : kRoleDateAdded;
    }
  } else if (dates.size() == 2) {
    roles[dates[0]] = kRoleDateAdded;
    roles[dates[1]] = kRoleDateCreated;
  } else if (dates.size() > 2) {
    return failWith(frame, std::to_string(dates.size()) + " date columns found.");
  }
  return StepResult::Ok;
}

}  // namespace

StepResult classifyColumns(const SampleLines& samples, ImportFrame& frame, FieldPlan& plan, UserInterface& ui) {
  std::vector<uint8_t>& roles = plan.roles;
  roles.assign(static_cast<size_t>(plan.delimiterCount) + 1, kRoleFree);
  if (const StepResult r = applyRules(samples, frame, roles); r != StepResult::Ok) return r;
  if (const StepResult r = nameFreeColumns(frame, roles); r != StepResult::Ok) return r;
  if (const StepResult r = tellDatesApart(frame, roles, ui); r != StepResult::Ok) return r;
  // A value field's role is its sort key.
  for (const ShownFieldInfo& f : valueFieldTable())
    if (std::find(roles.begin(), roles.end(), f.sortKey) != roles.end()) frame.layout.fields.set(f.field);
  return StepResult::Ok;
}

}  // namespace sonalog
