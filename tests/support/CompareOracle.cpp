#include "tests/support/CompareOracle.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "compare/CompUnit.h"
#include "compare/CompareMatcher.h"
#include "duplicates/TitleMatch.h"

namespace sonalog::testing {

OracleResult oracleCompare(const std::vector<ListItem>& internal,
                           const std::vector<ListItem>& external, const CompareJob& job,
                           const OracleAnswer& answer, uint64_t stopAtTest, uint8_t stopState) {
  const CompareSettings& s = job.settings;
  const int type = s.compareAction;
  const bool outerExternal = type == 0 || type == 1 || type == 5 || type == 6;
  const std::vector<ListItem>& outer = outerExternal ? external : internal;
  const std::vector<ListItem>& inner = outerExternal ? internal : external;
  const MatchOptions o = compareMatchOptions(job);
  const RunKind kind = compareRunKind(type);

  OracleResult res;
  res.outerMarks.assign(outer.size(), 1);
  uint8_t counter = 0;  // the byte counter of pairs
  uint64_t tests = 0;
  for (size_t r = 0; r < outer.size(); ++r) {
    bool matched = false;
    for (size_t p = 0; p < inner.size(); ++p) {
      ++counter;
      if ((counter & 7) == 0) {
        ++tests;
        if (tests == stopAtTest) {
          if (stopState == 8) { res.end = OracleResult::End::Stop; return res; }
          if (stopState == 16) { res.end = OracleResult::End::Save; return res; }
        }
      }
      const ListItem& a = outerExternal ? inner[p] : outer[r];
      const ListItem& b = outerExternal ? outer[r] : inner[p];
      const uint8_t score = MatchPercent(a.fileName, b.fileName, o);
      if (score < s.matchThreshold || !PairPassesCriteria(a, b, kind, o)) continue;
      const bool automatic = s.actionMode == 0 || (s.actionMode == 1 && score >= 99);
      if (!automatic) {
        res.scoresAsked.push_back(score);
        const uint8_t st = answer(r, p, score);
        if (st == kCompareDiffer) continue;
        if (st != kCompareMatch) {
          res.end = st == kCompareSave ? OracleResult::End::Save : OracleResult::End::Stop;
          return res;
        }
      }
      ++res.matches;
      res.outerMarks[r] = 0;
      if (type >= 5) res.logLines.push_back(outer[r].fileName);
      matched = true;
      break;
    }
    if (!matched) {
      if (type <= 4) {
        res.logLines.push_back(outer[r].fileName);
        ++res.unique;
      } else if (type >= 7) {
        ++res.unique;
      }
    }
    res.outerDone = r + 1;
  }
  return res;
}

namespace {

std::vector<size_t> chosen(const OracleResult& result, int type) {
  std::vector<size_t> out;
  for (size_t r = 0; r < result.outerDone; ++r)
    if ((result.outerMarks[r] == 1) == (type <= 4)) out.push_back(r);
  return out;
}

// A log entry as its reader expects it, spelt out here rather than taken from the library's field
// texts, for the export style every oracle test uses (unknown values as "?", a variable bitrate as
// "var.kbps", sizes with " K", short modes): the name, then the playtime, bitrate, size and mode,
// each only when known, except that type 2 writes the unknown ones too.
std::string expectedLogEntry(int type, const ListItem& item, bool externalIsText) {
  if (type == 7) return item.fileName;
  if ((type == 0 || type == 5) && externalIsText) return item.folder;
  static constexpr int kKbps[15] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  static constexpr const char* kModes[4] = {"S", "JS", "DC", "M"};
  const bool unknownsToo = type == 2;
  std::string entry = item.fileName;
  if (item.frames >= 0) {
    // Frames of 1152 samples; 48 and 32 kHz frames last 24 and 36 ms.
    const double frameSeconds = item.frequencyCode == 1 ? 0.024 : item.frequencyCode == 2 ? 0.036 : 1152.0 / 44100.0;
    const auto seconds = static_cast<long long>(std::nearbyint(item.frames * frameSeconds));
    const long long rest = seconds % 60;
    entry += ", " + std::to_string(seconds / 60) + ":" + (rest < 10 ? "0" : "") + std::to_string(rest);
  } else if (unknownsToo) {
    entry += ", ??:??";
  }
  if (item.bitrateCode >= 1 && item.bitrateCode <= 14) entry += ", " + std::to_string(kKbps[item.bitrateCode]) + " kbps";
  else if (item.bitrateCode == kBitrateVbr) entry += ", var.kbps";
  else if (unknownsToo) entry += ", ? kbps";
  if (item.sizeKB >= 0) entry += ", " + std::to_string(item.sizeKB) + " K";
  else if (unknownsToo) entry += ", ? K";
  if (item.stereoMode < 4) entry += std::string(", ") + kModes[item.stereoMode];
  else if (unknownsToo) entry += ", ?";
  return entry;
}

}  // namespace

std::vector<std::string> oracleLogEntries(const OracleResult& result,
                                          const std::vector<ListItem>& internal,
                                          const std::vector<ListItem>& external,
                                          const CompareJob& job) {
  const int type = job.settings.compareAction;
  const bool outerExternal = type == 0 || type == 5;
  const std::vector<ListItem>& outer = outerExternal ? external : internal;
  const FieldStyle& style = job.settings.fieldStyle;
  if (style.unknownStyle != 1 || style.vbrStyle != 0 || style.sizeStyle != 1 || style.stereoStyle != 0)
    throw std::invalid_argument("the oracle spells out the default export style only");
  std::vector<std::string> out;
  for (size_t r : chosen(result, type)) out.push_back(expectedLogEntry(type, outer[r], job.settings.compareWith == 1));
  return out;
}

std::vector<ListItem> oracleListItems(const OracleResult& result,
                                      const std::vector<ListItem>& internal,
                                      const std::vector<ListItem>& external, const CompareJob& job) {
  const int type = job.settings.compareAction;
  const std::vector<ListItem>& outer = (type == 1 || type == 6) ? external : internal;
  std::vector<ListItem> out;
  for (size_t r : chosen(result, type)) {
    ListItem item = outer[r];
    if (type == 1) {
      item.fileDate = item.dateAdded = -1;
      item.folder.clear();
      item.volumeLabel.clear();
    }
    if (type == 6) item.fileDate = -1;
    if (item.bitrateCode != kBitrateVbr) item.averageKbps = 0;
    out.push_back(item);
  }
  return out;
}

std::vector<ListItem> oracleAfterRemoval(const OracleResult& result,
                                         const std::vector<ListItem>& internal, int type) {
  std::vector<ListItem> out;
  for (size_t i = 0; i < internal.size(); ++i)
    if (result.outerMarks[i] == (type == 4 ? 1 : 0)) out.push_back(internal[i]);
  return out;
}

}  // namespace sonalog::testing
