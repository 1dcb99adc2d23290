#include "duplicates/PreDupUnit.h"

#include "export/FieldText.h"

namespace sonalog {

namespace {

constexpr uint8_t kThresholdReset = 99;
constexpr uint16_t kTimeLimitReset = 20;
constexpr uint16_t kSizeLimitReset = 400;

// A whole decimal number of digits only, at most max; nullopt for anything else.
std::optional<uint16_t> decimal(std::string_view text, uint16_t max) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  unsigned value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value > max) return std::nullopt;
  return static_cast<uint16_t>(value);
}

}  // namespace

void normalizeDuplicatesOptions(Settings& s) {
  if (s.matchThreshold > kThresholdExact || s.matchThreshold < kThresholdMin) s.matchThreshold = kThresholdReset;
  if (s.threadPriority != 0 && s.threadPriority != 2) s.threadPriority = 1;
  if (s.timeLimitSec > kTimeLimitMaxSec) s.timeLimitSec = kTimeLimitReset;
  if (s.sizeLimitKB > kSizeLimitMaxKB) s.sizeLimitKB = kSizeLimitReset;
}

bool sizeEditChanged(Settings& s, std::string_view text) {
  const auto v = decimal(text, kSizeLimitMaxKB);
  if (v) s.sizeLimitKB = *v;
  return v.has_value();
}

bool timeEditChanged(Settings& s, std::string_view text) {
  const auto v = decimal(text, kTimeLimitMaxSec);
  if (v) s.timeLimitSec = *v;
  return v.has_value();
}

MatchOptions matchOptionsOf(const Settings& s) {
  MatchOptions o;
  copyMatchFields(s, o);
  o.allowUnspecified = s.allowUnspecified;
  ComputePartThreshold(o);
  return o;
}

DupSearchOptions dupSearchOptionsOf(const Settings& s) {
  DupSearchOptions o;
  o.match = matchOptionsOf(s);
  o.actionMode = s.actionMode;
  o.threadPriority = s.threadPriority;
  o.style = fieldStyleFrom(s);
  return o;
}

bool PreDupSession::open(Settings& settings, UserInterface& ui, bool compareOpen) {
  saved_ = settings;
  started_ = false;
  if (compareOpen) {
    ui.warning("Close compare window first.");
    return false;
  }
  normalizeDuplicatesOptions(settings);
  return true;
}

DupSearchOptions PreDupSession::go(const Settings& settings) {
  started_ = true;
  return dupSearchOptionsOf(settings);
}

void PreDupSession::cancel(Settings& s) const { restoreSearchOptions(s, saved_); }

void restoreSearchOptions(Settings& s, const Settings& saved) {
  copyMatchFields(saved, s);
  s.actionMode = saved.actionMode;
  s.threadPriority = saved.threadPriority;
  s.allowUnspecified = saved.allowUnspecified;
  s.compareAction = saved.compareAction;
  s.compareWith = saved.compareWith;
  s.examineBangLines = saved.examineBangLines;
}

}  // namespace sonalog
