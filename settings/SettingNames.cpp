#include "settings/SettingNames.h"

#include "platform/AsciiCase.h"

#include <charconv>
#include <limits>

namespace sonalog {

namespace {

const SettingField* findSettingField(std::string_view name) {
  for (const SettingField& e : settingsTable()) {
    if (e.info.name == name) return &e;
    for (const std::string& alias : e.aliases)
      if (alias == name) return &e;
  }
  // No exact match: accept a difference in letter case when it names exactly one setting.
  const SettingField* found = nullptr;
  for (const SettingField& e : settingsTable()) {
    bool match = platform::equalsAsciiIgnoreCase(e.info.name, name);
    for (const std::string& alias : e.aliases) match = match || platform::equalsAsciiIgnoreCase(alias, name);
    if (!match) continue;
    if (found && found != &e) return nullptr;
    found = &e;
  }
  return found;
}

// The entry behind an info that allSettings() or findSetting() gave out.
const SettingField* entryFor(const SettingInfo& info) {
  for (const SettingField& e : settingsTable())
    if (&e.info == &info || e.info.name == info.name) return &e;
  return nullptr;
}

// A whole decimal number, or hexadecimal after "0x", with at most one leading sign; nullopt for
// anything else ("--80", "1e3", " 5") and for magnitudes no 64-bit integer holds.
std::optional<int64_t> parseNumber(std::string_view text) {
  bool negative = false;
  std::string_view digits = text;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  if (digits.empty()) return std::nullopt;
  // Unsigned parsing accepts no sign of its own, so a second sign is refused.
  uint64_t magnitude = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  constexpr uint64_t kMaxPositive = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  if (!negative) {
    if (magnitude > kMaxPositive) return std::nullopt;
    return static_cast<int64_t>(magnitude);
  }
  if (magnitude > kMaxPositive + 1) return std::nullopt;
  if (magnitude == kMaxPositive + 1) return std::numeric_limits<int64_t>::min();
  return -static_cast<int64_t>(magnitude);
}

}  // namespace

const std::vector<SettingInfo>& allSettings() {
  static const std::vector<SettingInfo> infos = [] {
    std::vector<SettingInfo> out;
    for (const SettingField& e : settingsTable()) out.push_back(e.info);
    return out;
  }();
  return infos;
}

const SettingInfo* findSetting(std::string_view name) {
  const SettingField* e = findSettingField(name);
  return e ? &e->info : nullptr;
}

std::string getSetting(const Settings& s, const SettingInfo& info) {
  const SettingField* e = entryFor(info);
  if (!e) return {};
  if (e->info.kind == SettingKind::Text) return e->getText(s);
  return std::to_string(e->getNumber(s));
}

std::optional<std::string> setSetting(Settings& s, const SettingInfo& info, std::string_view value) {
  const SettingField* found = entryFor(info);
  if (!found) return "unknown setting \"" + info.name + "\"";
  const SettingField& e = *found;
  switch (e.info.kind) {
    case SettingKind::Switch:
      if (value != "0" && value != "1")
        return "invalid value \"" + std::string(value) + "\" for " + info.name + ": expected 0 or 1";
      e.setNumber(s, value == "1" ? 1 : 0);
      return std::nullopt;
    case SettingKind::Number: {
      const auto n = parseNumber(value);
      if (!n || *n < info.min || *n > info.max)
        return "invalid value \"" + std::string(value) + "\" for " + info.name + ": expected a whole number from " +
               std::to_string(info.min) + " to " + std::to_string(info.max);
      e.setNumber(s, *n);
      return std::nullopt;
    }
    case SettingKind::Text:
      if (value.size() > info.maxBytes)
        return "value for " + info.name + " is too long: at most " + std::to_string(info.maxBytes) + " bytes";
      e.setText(s, std::string(value));
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::string> applySettingAssignment(Settings& s, std::string_view assignment) {
  const size_t eq = assignment.find('=');
  if (eq == std::string_view::npos)
    return "invalid setting \"" + std::string(assignment) + "\": expected NAME=VALUE";
  const std::string_view name = assignment.substr(0, eq);
  const SettingInfo* info = findSetting(name);
  if (!info) return "unknown setting \"" + std::string(name) + "\" (sonalog config --names lists them)";
  return setSetting(s, *info, assignment.substr(eq + 1));
}

}  // namespace sonalog
