#include "compare/CompareReport.h"

#include <algorithm>

#include "compare/CompareAction.h"
#include "duplicates/TitleMatch.h"
#include "platform/Dates.h"
#include "platform/Files.h"

namespace sonalog {

namespace {

constexpr std::string_view kCrLf = "\r\n";

struct TypeTexts {
  std::string_view nothing;
  std::string_view written;  // follows the count text
  std::string_view writeError;
};

// By action type; the removal types have no write error.
constexpr TypeTexts kTexts[10] = {
    {"Finished. No unique titles found. Log file not written.",
     "from external list written to log file.", "Unable to create or write to the log file."},
    {"Finished. No unique titles found. New list not created.",
     "from external list written to new SNLG list.", "Unable to create or write to the new list."},
    {"Finished. No unique titles found. Log file not written.",
     "from internal list written to log file.", "Error: unable to create or write to log file."},
    {"Finished. No unique titles found. New list not written.",
     "from internal list written to new SNLG list.", "Error: unable to create or write the new list."},
    {"Finished. No matches to remove from internal list.", " to be removed from internal list.", ""},
    {"Finished. No matches found. Log file not written.", " from external list written to log file.",
     "Error: unable to create or write to the log file."},
    {"Finished. No matches found. New list not created.",
     " from external list written to new SNLG list.", "Error: unable to create or write to the new list."},
    {"Finished. No matches found. Log file not written.", " from internal list written to log file.",
     "Unable to create or write to log file."},
    {"Finished. No matches found. New list not written.",
     " from internal list written to new SNLG list.", "Error: unable to create or write the new list."},
    {"Finished. No titles to be removed from internal list.", "to be removed from internal list.", ""},
};

const TypeTexts& textsOf(int type) { return kTexts[static_cast<size_t>(actionTypeOf(type))]; }

std::string nowText(std::time_t now) {
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[128];
  const size_t n = std::strftime(buf, sizeof buf, platform::longTimeFormat().c_str(), &tm);
  return std::string(buf, n) + ", " +
         platform::formatShortDate(platform::dayNumberFromTime(now));
}

}  // namespace

std::string uniqueCountText(uint32_t n) {
  return std::to_string(n) + (n == 1 ? " unique title " : " unique titles ");
}

std::string matchCountText(uint32_t n) {
  return std::to_string(n) + (n == 1 ? " match" : " matches");
}

std::string finishText(int type, uint32_t n) {
  const std::string count = countsUnique(type) ? uniqueCountText(n) : matchCountText(n);
  return "Finished. " + count + std::string(textsOf(type).written);
}

std::string_view nothingText(int type) { return textsOf(type).nothing; }

std::string_view writeErrorText(int type) { return textsOf(type).writeError; }

std::string logHeader(int type, uint32_t n, std::string_view externalName, std::time_t now) {
  std::string second;
  switch (actionTypeOf(type)) {
    case ActionType::ExternalUniqueToLog:
      second = uniqueCountText(n) + "found in \"" + std::string(externalName) + "\":";
      break;
    case ActionType::InternalUniqueToLog: second = uniqueCountText(n) + "found:"; break;
    case ActionType::ExternalMatchesToLog:
      second = matchCountText(n) + " found in \"" + std::string(externalName) + "\":";
      break;
    default: second = matchCountText(n) + " found:"; break;
  }
  return "Mp3 Sonalog log file at " + nowText(now) + std::string(kCrLf) + second + std::string(kCrLf);
}

std::string logEntry(int type, const ListItem& item, bool externalIsText, const FieldStyle& style) {
  const ActionType action = actionTypeOf(type);
  if (action == ActionType::InternalMatchesToLog) return item.fileName;
  // A text list's line stands as it was read.
  const bool aboutExternal = action == ActionType::ExternalUniqueToLog || action == ActionType::ExternalMatchesToLog;
  if (aboutExternal && externalIsText) return item.folder;
  // The external types write only the known values; InternalUniqueToLog follows the unknown-value
  // style.
  const bool all = action == ActionType::InternalUniqueToLog && style.unknownStyle != 0;
  std::string entry = item.fileName;
  auto add = [&](bool known, const std::string& text) {
    if (all || known) entry += ", " + text;
  };
  add(item.frames >= 0, timeText(item, style));
  add(bitrateKnown(item.bitrateCode), bitrateText(item, style));
  add(item.sizeKB >= 0, sizeText(item.sizeKB, style));
  add(item.stereoMode < kStereoModeMixed, modeText(item.stereoMode, style));
  return entry;
}

bool writeLogFile(const std::string& path, const std::string& header,
                  const std::vector<std::string>& entries) {
  platform::AtomicFile file(path);
  if (!file.open()) return false;
  bool ok = file.write(header);
  for (const std::string& e : entries) {
    if (!ok) break;
    ok = file.write(kCrLf.data(), kCrLf.size()) && file.write(e);
  }
  return ok && file.commit();
}

std::string confirmLine(std::string_view prefix, const ListItem& item, const FieldStyle& style) {
  return std::string(prefix) + item.fileName + ", " + timeText(item, style) + ", " +
         sizeText(item.sizeKB, style) + ", " + bitrateText(item, style) + ", " +
         modeText(item.stereoMode, style) + ", " + item.volumeLabel;
}

}  // namespace sonalog
