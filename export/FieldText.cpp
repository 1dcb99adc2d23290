#include "export/FieldText.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "platform/Dates.h"
#include "platform/Text.h"
#include "settings/Settings.h"

namespace sonalog {

namespace {

// 31 December 9999, the last day a date text can show; later day numbers do not decode.
constexpr int32_t kLastDecodableDay = 2958465;
constexpr size_t kMaxFieldBytes = 255;

constexpr std::string_view kSizeSuffix[] = {"", " K", "K", " KB", "KB"};

// Halves to even, as every rounding of computed values; false when the value does not fit.
bool roundToInt64(double value, int64_t& out) {
  if (!std::isfinite(value)) return false;
  const double r = std::nearbyint(value);
  if (r < -9.0e18 || r > 9.0e18) return false;
  out = static_cast<int64_t>(r);
  return true;
}

std::string unknownTime(const FieldStyle& style, bool withHours) {
  switch (style.unknownStyle) {
    case 1: return withHours ? "?:??:??" : "??:??";
    case 2: return withHours ? "-:--:--" : "--:--";
    default: return {};
  }
}

std::string removeNuls(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s)
    if (c != '\0') out.push_back(c);
  return out;
}

}  // namespace

FieldStyle fieldStyleFrom(const Settings& s) {
  FieldStyle style;
  style.unknownStyle = s.errorexportcombo;
  style.dateStyle = s.ComboStyle;
  style.sizeStyle = s.ComboK;
  style.stereoStyle = s.ComboStereo;
  style.vbrStyle = s.ComboVBR;
  style.hours = s.Checkhr;
  style.milliseconds = s.Checkms;
  return style;
}

std::string_view unknownMark(const FieldStyle& style) {
  switch (style.unknownStyle) {
    case 1: return "?";
    case 2: return "-";
    default: return {};
  }
}

std::string timeTextForSeconds(double seconds, const FieldStyle& style) {
  int64_t whole = 0;
  if (!roundToInt64(seconds, whole) || whole < 0) return unknownTime(style, false);
  return fmt::format("{}:{:02}", whole / 60, whole % 60);
}

std::string timeText(const ListItem& item, const FieldStyle& style) {
  if (item.frames < 0) return unknownTime(style, false);
  return timeTextForSeconds(item.frames * frameDuration(item.frequencyCode), style);
}

std::string longTimeTextForSeconds(double seconds, const FieldStyle& style) {
  int64_t whole = 0;
  double fraction = 0.0;
  if (style.milliseconds) {
    if (!std::isfinite(seconds) || seconds < 0 || seconds > 9.0e18) return unknownTime(style, style.hours);
    whole = static_cast<int64_t>(seconds);
    fraction = seconds - static_cast<double>(whole);
    // A fraction that would print as 1000 milliseconds carries into the seconds.
    if (fraction > 0.9995) {
      fraction = 0.0;
      ++whole;
    }
  } else if (!roundToInt64(seconds, whole) || whole < 0) {
    return unknownTime(style, style.hours);
  }
  const int64_t minutes = whole / 60;
  std::string out = style.hours ? fmt::format("{}:{:02}:{:02}", minutes / 60, minutes % 60, whole % 60)
                                : fmt::format("{}:{:02}", minutes, whole % 60);
  if (fraction > 0.0) {
    int64_t millis = 0;
    roundToInt64(fraction * 1000.0, millis);
    out += fmt::format(".{:03}", std::min<int64_t>(millis, 999));
  }
  return out;
}

std::string longTimeText(const ListItem& item, const FieldStyle& style) {
  if (item.frames < 0) return unknownTime(style, style.hours);
  return longTimeTextForSeconds(item.frames * frameDuration(item.frequencyCode), style);
}

namespace {

// A variable bitrate's text by vbrStyle: styles 0 to 3 are a word, the later ones the average
// between two marks ("var(187)"); the long text adds the unit.
struct VbrText {
  const char* word;      // null: the average between before and after
  const char* longWord;
  const char* before;
  const char* after;
};
constexpr VbrText kVbrTexts[] = {
    {"var", "var.kbps", "", ""}, {"VAR", "VAR.kbps", "", ""}, {"vbr", "vbr", "", ""},
    {"VBR", "VBR", "", ""},      {nullptr, nullptr, "var(", ")"}, {nullptr, nullptr, "VAR(", ")"},
    {nullptr, nullptr, "vbr(", ")"}, {nullptr, nullptr, "VBR(", ")"}, {nullptr, nullptr, "(", ")"},
    {nullptr, nullptr, "*", ""}};

std::string vbrText(const ListItem& item, const FieldStyle& style, bool withUnit) {
  const VbrText& t = kVbrTexts[std::min<size_t>(style.vbrStyle, std::size(kVbrTexts) - 1)];
  if (t.word) return withUnit ? t.longWord : t.word;
  return fmt::format("{}{}{}{}", t.before, item.averageKbps, withUnit ? " kbps" : "", t.after);
}

}  // namespace

std::string bitrateText(const ListItem& item, const FieldStyle& style) {
  if (item.bitrateCode >= 1 && item.bitrateCode <= 14)
    return fmt::format("{} kbps", kBitrateKbps[item.bitrateCode]);
  if (item.bitrateCode == kBitrateVbr) return vbrText(item, style, true);
  const std::string_view mark = unknownMark(style);
  return mark.empty() ? std::string() : fmt::format("{} kbps", mark);
}

std::string shortBitrateText(const ListItem& item, const FieldStyle& style) {
  if (item.bitrateCode >= 1 && item.bitrateCode <= 14)
    return fmt::format("{:>3}", kBitrateKbps[item.bitrateCode]);
  if (item.bitrateCode == kBitrateVbr) return vbrText(item, style, false);
  return fmt::format("{:>3}", unknownMark(style));
}

std::string sizeText(int32_t sizeKB, const FieldStyle& style) {
  std::string out;
  if (sizeKB < 0) {
    if (style.unknownStyle == 0) return out;
    out = unknownMark(style);
  } else {
    out = fmt::format("{}", sizeKB);
  }
  if (style.sizeStyle < std::size(kSizeSuffix)) out += kSizeSuffix[style.sizeStyle];
  return out;
}

std::string modeText(uint8_t stereoMode, const FieldStyle& style) {
  static constexpr std::string_view kShort[] = {"S", "JS", "DC", "M"};
  static constexpr std::string_view kLong[] = {"stereo", "joint stereo", "dual channel", "mono"};
  if (stereoMode > 3) return std::string(unknownMark(style));
  return std::string(style.stereoStyle == 1 ? kLong[stereoMode] : kShort[stereoMode]);
}

std::string frequencyText(uint8_t frequencyCode) {
  switch (frequencyCode) {
    case 0: return "44.1 KHz";
    case 1: return "48.0 KHz";
    case 2: return "32.0 KHz";
    default: return "? KHz";
  }
}

std::string shortFrequencyText(uint8_t frequencyCode) {
  switch (frequencyCode) {
    case 0: return "44.1";
    case 1: return "48.0";
    case 2: return "32.0";
    default: return "?";
  }
}

std::string paddedFrequencyText(uint8_t frequencyCode) {
  return " " + shortFrequencyText(frequencyCode) + " ";
}

std::string dateText(int32_t dayNumber, const FieldStyle& style) {
  if (dayNumber <= 0 || dayNumber > kLastDecodableDay) return std::string(unknownMark(style));
  int year = 0, month = 0, day = 0;
  platform::dateFromDayNumber(dayNumber, year, month, day);
  switch (style.dateStyle) {
    case 1: return fmt::format("{:02}.{:02}.{}.", day, month, year);
    case 2: return fmt::format("{:02}.{:02}.{}.", month, day, year);
    case 3: return fmt::format("{}.{:02}.{:02}.", year, month, day);
    default: {
      std::string out = platform::formatShortDate(dayNumber);
      if (out.empty()) return std::string(unknownMark(style));
      return std::string(platform::cutBytes(out, kMaxFieldBytes));
    }
  }
}

std::string pathText(std::string_view folder) {
  return removeNuls(platform::cutBytes(folder, kMaxFieldBytes));
}

std::string labelText(std::string_view volumeLabel) {
  return removeNuls(platform::cutBytes(volumeLabel, kMaxFieldBytes));
}

std::string hexColour(uint32_t colour) {
  return fmt::format("{:02X}{:02X}{:02X}", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

ArtistTitle splitArtistTitle(std::string_view fileName) {
  constexpr size_t kShortestSplitName = 5;
  if (fileName.size() < kShortestSplitName) return {{}, fileName};
  for (std::string_view sep : {" - ", " -", "- ", "-"}) {
    const size_t at = fileName.find(sep);
    if (at != std::string_view::npos) return {fileName.substr(0, at), fileName.substr(at + sep.size())};
  }
  return {{}, fileName};
}

}  // namespace sonalog
