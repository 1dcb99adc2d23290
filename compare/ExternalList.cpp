#include "compare/ExternalList.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>

#include "core/ListFile.h"
#include "import/LineReader.h"
#include "import/TextListImport.h"
#include "platform/AsciiCase.h"

namespace sonalog {

namespace {

constexpr const char* kOpenFailed = "Not able to open external file.";
constexpr const char* kNotAList = "External file is not a proper SNLG list.";
constexpr const char* kReadError = "Invalid SNLG file or disk error (reading external file).";
constexpr const char* kUnknownError = "Unknown error occurred while processing second SNLG list.";
constexpr const char* kOldestQuestion =
    "External file doesn't seem to be a SNLG file.\r\nTry to process as mp3SNLG v4.0 - v4.12 file?";
constexpr const char* kOldestCaption = "invalid data found";

enum class ReadResult { Ok, Failed, AskOldest };

// Reads the list file through the list file's own reader, in the oldest layout when asked. The
// comparison reads the current and the 8-bit-length formats only and says so in its own words.
ReadResult readItems(const std::string& path, bool oldestLayout, ExternalList& out, LoadChannel& channel) {
  platform::ReadFile file;
  if (!file.open(path)) {
    channel.warning(kOpenFailed);
    return ReadResult::Failed;
  }
  ListByteReader in(file);
  ListFormat format = ListFormat::Current;
  const ListReadStatus magic = readListMagic(in, format);
  if (magic == ListReadStatus::DiskError) {
    channel.warning(kReadError);
    return ReadResult::Failed;
  }
  // Once the oldest layout is chosen only the 8-bit-length magic fits it.
  if (magic != ListReadStatus::Ok || format == ListFormat::Second || (oldestLayout && format != ListFormat::Third)) {
    channel.warning(kNotAList);
    return ReadResult::Failed;
  }
  if (oldestLayout) format = ListFormat::Oldest;
  ListFileContents contents;
  switch (readListItems(in, format, contents, INT32_MAX, [&channel] { return channel.stopRequested(); })) {
    case ListReadStatus::Ok: break;
    case ListReadStatus::OldestLayout: return ReadResult::AskOldest;
    case ListReadStatus::Stopped: return ReadResult::Failed;
    default:
      channel.warning(kReadError);
      return ReadResult::Failed;
  }
  // The average of a VBR item is stored only in the current format; it is not computed here.
  if (format != ListFormat::Current)
    for (ListItem& item : contents.items) item.averageKbps = 0;
  out.items = std::move(contents.items);
  out.sortByte = contents.sortCode;
  return ReadResult::Ok;
}

}  // namespace

bool loadExternalListFile(const std::string& path, ExternalList& out, LoadChannel& channel) {
  out = ExternalList{};
  channel.status("Loading the second list...");
  bool ok = false;
  try {
    ReadResult r = readItems(path, false, out, channel);
    if (r == ReadResult::AskOldest) {
      out = ExternalList{};
      if (channel.ask(kOldestQuestion, kOldestCaption)) r = readItems(path, true, out, channel);
    }
    ok = r == ReadResult::Ok;
  } catch (const std::exception&) {
    channel.warning(kUnknownError);
    ok = false;
  }
  if (!ok) out = ExternalList{};
  return ok;
}


// ---------------------------------------------------------------------------------------------
// Text lists.

namespace {

constexpr const char* kTextOpenFailed = "Not able to open the external text file.";
constexpr const char* kTextReadFailed = "Can't read external text file.";
constexpr const char* kTextListUnknownError = "Unknown error occurred while processing external text file.";
constexpr const char* kTooLargeQuestion =
    "Too large string. Could be a binary file or unix text file.\r\nTry to process as unix text?";
constexpr const char* kTooLargeCaption = "error";
constexpr size_t kLineLimit = 2047;    // longer lines ask for character mode
// The line count is shown when it is 254 modulo 256.
constexpr uint64_t kStatusEvery = 256;
constexpr uint64_t kStatusAt = 254;

bool containsMp3(std::string_view line) {
  for (size_t i = line.find('.'); i != std::string_view::npos; i = line.find('.', i + 1))
    if (platform::hasAsciiIgnoreCaseAt(line, i, ".mp3")) return true;
  return false;
}

}  // namespace

bool externalTextItem(std::string_view line, bool examineBangLines, ListItem& item) {
  if (line.empty()) return false;
  // Chat logs: only "!trigger name.mp3 ..." lines, where ".mp3" stands after the "!".
  if (examineBangLines && (line.front() != '!' || !containsMp3(line.substr(1)))) return false;
  item = ListItem{};
  item.frames = -1;
  item.bitrateCode = kBitrateNotGiven;
  item.sizeKB = -1;
  item.stereoMode = kStereoModeMixed;
  item.frequencyCode = 0;
  item.volumeLabel = "?";
  item.folder = cutName(line, kMaxFileNameBytes);
  std::string_view rest = line;
  if (rest.front() == '!' && rest.size() > 3) {
    // The leading trigger word goes, up to and including the first space.
    const size_t space = rest.find(' ');
    if (space != std::string_view::npos) rest.remove_prefix(space + 1);
  }
  readUnknownLineFields(rest, item, true);
  return true;
}

bool loadExternalTextList(const std::string& path, bool examineBangLines, ExternalList& out,
                          LoadChannel& channel) {
  out = ExternalList{};
  channel.statusWidth(kLoadingLabelWidth);
  channel.status("Importing unknown type text list...");
  LineReader in;
  if (!in.open(path)) {
    channel.warning(kTextOpenFailed);
    return false;
  }
  bool ok = false;
  uint64_t lines = 0;
  try {
    TextLineHooks hooks;
    hooks.stopRequested = [&channel] { return channel.stopRequested(); };
    hooks.lineCounted = [&channel](uint64_t counted) {
      if (counted % kStatusEvery == kStatusAt) channel.status("Read " + std::to_string(counted) + " lines.");
      return false;
    };
    hooks.askCharacterMode = [&channel] { return channel.ask(kTooLargeQuestion, kTooLargeCaption); };
    hooks.startOver = [&out] { out.items.clear(); };
    hooks.take = [&](std::string_view line) {
      ListItem item;
      if (externalTextItem(line, examineBangLines, item)) out.items.push_back(std::move(item));
      return true;
    };
    const TextLinesEnd end = readTextLines(in, kLineLimit, hooks, lines);
    if (end == TextLinesEnd::ReadFailed) channel.warning(kTextReadFailed);
    ok = end == TextLinesEnd::Finished;
  } catch (const std::exception&) {
    channel.warning(kTextListUnknownError);
    ok = false;
  }
  if (!ok) {
    out = ExternalList{};
    return false;
  }
  channel.status("Read " + std::to_string(lines) + " lines. Imported " +
                 std::to_string(out.items.size()) + " items.");
  channel.statusWidth(kFileLabelWidth);
  out.items.shrink_to_fit();
  return true;
}

}  // namespace sonalog
