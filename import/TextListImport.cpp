#include "import/TextListImport.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <limits>

#include "import/LineReader.h"
#include "import/VolumeLabels.h"
#include "platform/AsciiCase.h"
#include "platform/Dates.h"
#include "platform/Paths.h"

namespace sonalog {

namespace {

constexpr size_t kLineKeepBytes = 4096;     // longer m3u lines keep their start only
constexpr size_t kUnknownLineLimit = 2047;  // longer lines ask for character mode
constexpr uint32_t kEventEveryLines = 256;
constexpr size_t kMaxNumberChars = 31;      // longer numbers end the reading of a line

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

ListItem unknownItemDefaults() {
  ListItem item;
  item.frames = -1;
  item.bitrateCode = kBitrateNotGiven;
  item.sizeKB = -1;
  item.stereoMode = kStereoModeMixed;
  item.frequencyCode = kFrequencyMixed;
  return item;
}

uint8_t bitrateCodeOfKbps(long kbps) {
  for (uint8_t code = 1; code <= 14; ++code)
    if (kBitrateKbps[code] == kbps) return code;
  return 255;
}

// Letters (upper-cased) and digits; "." only between two digits; "d:dd" becomes "dMINdd" with
// "SEC" after the digit run that follows the colon; everything else is dropped.
std::string tokenText(std::string_view info) {
  std::string tok;
  bool secondsPending = false;
  const size_t n = info.size();
  for (size_t i = 0; i < n; ++i) {
    const char c = info[i];
    if (isAlpha(c)) {
      tok.push_back(platform::asciiUpper(c));
    } else if (isDigit(c)) {
      tok.push_back(c);
      if (secondsPending && (i + 1 >= n || !isDigit(info[i + 1]))) {
        tok += "SEC";
        secondsPending = false;
      }
    } else if (c == '.' && i > 0 && isDigit(info[i - 1]) && i + 1 < n && isDigit(info[i + 1])) {
      tok.push_back('.');
    } else if (c == ':' && i > 0 && isDigit(info[i - 1]) && i + 2 < n && isDigit(info[i + 1]) &&
               isDigit(info[i + 2])) {
      tok += "MIN";
      secondsPending = true;
    }
  }
  return tok;
}

// A number of digits with at most one decimal point ("3.5", "3.", ".5"), read the same in every
// locale: lists are written with a point whatever the reader's locale says.
bool readNumber(std::string_view s, double& value) {
  if (s.empty()) return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
  return ec == std::errc() && end == s.data() + s.size() && std::isfinite(value) && value >= 0;
}

// Rounds halves to even into an int32; false when out of range.
bool roundToInt32(double v, int32_t& out) {
  const double r = std::nearbyint(v);
  if (!(r >= 0 && r <= std::numeric_limits<int32_t>::max())) return false;
  out = static_cast<int32_t>(r);
  return true;
}

void eraseFirst(std::string& s, std::string_view word) {
  const size_t at = s.find(word);
  if (at != std::string::npos) s.erase(at, word.size());
}

void finishStatus(UserInterface& ui, const TextListOptions& options, const TextListResult& r,
                  bool counted) {
  const size_t n = r.items.size();
  std::string text;
  if (counted) {
    text = options.appendTo > 0
               ? "Read " + std::to_string(r.linesRead) + ", imported " + std::to_string(n) +
                     ", total " + std::to_string(options.appendTo + n) + " items."
               : "Read " + std::to_string(r.linesRead) + " lines. Imported " + std::to_string(n) +
                     " items.";
  } else {
    text = options.appendTo > 0 ? "Imported " + std::to_string(n) + ", total " +
                                      std::to_string(options.appendTo + n) + " items."
                                : "Imported " + std::to_string(n) + " items.";
  }
  ui.setStatus(text);
}

std::vector<platform::Volume> volumesOf(const TextListOptions& options) {
  return options.volumes ? options.volumes() : platform::mountedVolumes();
}

}  // namespace

int32_t framesFromSeconds(double seconds, uint8_t frequencyCode) {
  int32_t frames;
  return roundToInt32(seconds / frameDuration(frequencyCode), frames) ? frames : -1;
}

std::optional<ListItem> unknownTextItem(std::string_view line, bool mircOnly) {
  if (line.empty()) return std::nullopt;
  if (mircOnly && line.front() != '!') return std::nullopt;
  ListItem item = unknownItemDefaults();

  // "!nick rest": the first word is the sender's name.
  if (line.front() == '!' && line.size() > 3) {
    const size_t blank = line.find(' ', 1);
    if (blank != std::string_view::npos && blank != line.size() - 2) line.remove_prefix(blank + 1);
  }
  readUnknownLineFields(line, item, false);
  return item;
}

void readUnknownLineFields(std::string_view line, ListItem& item, bool sizeUnitK) {
  size_t found = std::string_view::npos;
  size_t tokenLength = 0;
  if (line.size() > 7) {
    for (size_t i = 0; i + 3 <= line.size(); ++i) {
      if (line[i] == ':') { found = i; tokenLength = 1; break; }
      if (platform::hasAsciiIgnoreCaseAt(line, i, ".MP3")) { found = i; tokenLength = 4; break; }
    }
  }
  if (found == std::string_view::npos) {
    item.fileName = cutName(line, kMaxFileNameBytes);
    return;
  }
  item.fileName = cutName(line.substr(0, found), kMaxFileNameBytes);
  std::string info(line.substr(found + tokenLength));

  const std::string infoUpper = platform::asciiUpperCopy(info);
  static constexpr struct { const char* word; uint8_t mode; } kModes[] = {
      {"JOINT STEREO", 1}, {"STEREO", 0}, {"DUAL CHANNEL", 2}, {"MONO", 3}};
  for (const auto& m : kModes) {
    const size_t at = infoUpper.find(m.word);
    if (at != std::string::npos) {
      item.stereoMode = m.mode;
      info.erase(at, std::string_view(m.word).size());
      break;
    }
  }

  double minutes = -1, seconds = -1;
  uint8_t frequency = kFrequencyMixed;
  if (info.size() > 2) {
    std::string tok = tokenText(info);
    if (tok.find("VARKBPS") != std::string::npos) {
      item.bitrateCode = kBitrateVbr;
      eraseFirst(tok, "VARKBPS");
    } else if (tok.find("VBR") != std::string::npos) {
      item.bitrateCode = kBitrateVbr;
      eraseFirst(tok, "VBR");
    }
    size_t i = 0;
    while (i < tok.size()) {
      size_t j = i;
      while (j < tok.size() && (isDigit(tok[j]) || tok[j] == '.')) ++j;
      if (j >= tok.size() || j - i > kMaxNumberChars) break;
      size_t k = j;
      while (k < tok.size() && !isDigit(tok[k])) ++k;
      const std::string_view number(tok.data() + i, j - i);
      const std::string_view unit(tok.data() + j, k - j);
      double v;
      if (readNumber(number, v)) {
        int32_t rounded;
        if (unit == "MB" && v < 2097152) {
          if (roundToInt32(v * 1024, rounded)) item.sizeKB = rounded;
        } else if (unit == "GB" && v < 2048) {
          if (roundToInt32(v * 1048576, rounded)) item.sizeKB = rounded;
        } else if (unit == "KB" || (sizeUnitK && unit == "K")) {
          if (roundToInt32(v, rounded)) item.sizeKB = rounded;
        } else if (unit == "MIN") {
          if (roundToInt32(v, rounded)) minutes = rounded;
        } else if (unit == "SEC") {
          if (roundToInt32(v, rounded)) seconds = rounded;
        } else if (unit == "KHZ") {
          const double r = std::nearbyint(v);
          frequency = r == 32 ? 2 : r == 44 ? 0 : r == 48 ? 1 : kFrequencyMixed;
        } else if (unit == "KBPS") {
          if (item.bitrateCode == kBitrateNotGiven && roundToInt32(v, rounded))
            item.bitrateCode = bitrateCodeOfKbps(rounded);
        }
      }
      i = k;
    }
  }
  item.frequencyCode = frequency;
  if (minutes >= 0 || seconds >= 0)
    item.frames = framesFromSeconds(std::max(minutes, 0.0) * 60 + std::max(seconds, 0.0), frequency);
}

ListItem m3uItem(std::string_view info, std::string_view path, int32_t today) {
  ListItem item;
  item.frames = -1;
  item.frequencyCode = kFrequencyMixed;
  item.bitrateCode = kBitrateNotGiven;
  item.sizeKB = -1;
  item.stereoMode = kStereoModeMixed;
  item.fileDate = -1;
  item.dateAdded = today;

  // "#EXTINF:215,Artist - Title": whole seconds before the first non-digit.
  size_t digits = 0;
  while (digits < info.size() && isDigit(info[digits])) ++digits;
  if (digits > 0 && digits < info.size() && digits <= 7) {
    long secs = 0;
    std::from_chars(info.data(), info.data() + digits, secs);
    if (secs < 1'000'000) item.frames = framesFromSeconds(static_cast<double>(secs), 0);
  }

  // A POSIX path separates with "/" only; other paths with "\", ":" or "/".
  const bool posix = !path.empty() && path.front() == '/';
  const size_t cut = posix ? path.rfind('/') : path.find_last_of("\\:/");
  std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
  if (name.size() > 4 && platform::hasAsciiIgnoreCaseAt(name, name.size() - 4, ".mp3")) name.remove_suffix(4);
  item.fileName = cutName(name, kMaxFileNameBytes);

  const bool driveLetter = path.size() >= 2 && path[1] == ':';
  if (driveLetter && cut != std::string_view::npos) {
    item.folder = std::string(path.substr(0, cut + 1));  // "C:\Music\", final backslash kept
  } else if (posix) {
    item.folder = platform::stripTrailingSeparator(path.substr(0, cut + 1));
  }
  return item;
}

TextListResult importM3u(const std::string& path, const TextListOptions& options, UserInterface& ui) {
  TextListResult result;
  ui.setStatus("Importing m3u list...");
  auto fail = [&](const char* warning) {
    ui.setStatus("Import failed.");
    if (warning) ui.warning(warning);
    result.items.clear();
    result.ok = false;
    return std::move(result);
  };
  LineReader in;
  if (!in.open(path)) return fail("Disk error reading the file.");
  std::string line;
  size_t length = 0;
  if (!in.readLine(line, length, kLineKeepBytes)) {
    if (in.failed()) return fail("Disk error reading the file.");
    line.clear();
  }
  // A UTF-8 byte order mark is no part of the header line.
  if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
  if (line != "#EXTM3U") return fail("No m3u header found.");

  std::optional<VolumeLabels> labels;
  if (options.clabcheck) labels.emplace(volumesOf(options));
  const int32_t today = platform::today();
  std::string info;
  uint64_t entries = 0;
  while (in.readLine(line, length, kLineKeepBytes)) {
    info.clear();
    if (line.rfind("#EXTINF:", 0) == 0) {
      info = line.substr(8);
      if (!in.readLine(line, length, kLineKeepBytes)) {
        if (in.failed()) return fail("Disk error reading the file.");
        line.clear();
      }
    }
    // Blank lines and comments name no file.
    if (line.empty() || line.front() == '#') continue;
    ListItem item = m3uItem(info, line, today);
    if (labels) item.volumeLabel = labels->labelFor(item.folder);
    result.items.push_back(std::move(item));
    if (options.appendTo + result.items.size() >= kMaxImportItems) {
      ui.warning(kMillionItemsText);
      break;
    }
    if (++entries % kEventEveryLines == 0 && ui.processEvents()) return fail(nullptr);
  }
  if (in.failed()) return fail("Disk error reading the file.");
  result.items.shrink_to_fit();
  result.ok = true;
  finishStatus(ui, options, result, false);
  return result;
}

TextLinesEnd readTextLines(LineReader& in, size_t lineLimit, const TextLineHooks& hooks, uint64_t& lines) {
  bool characterMode = false;
  std::string line;
  lines = 0;
  for (;;) {
    if (hooks.stopRequested && hooks.stopRequested()) return TextLinesEnd::Stopped;
    size_t length = 0;
    bool cut = false;
    const bool got = characterMode ? in.readPiece(line, lineLimit + 1, cut) : in.readLine(line, length, lineLimit + 1);
    if (!got) return in.failed() ? TextLinesEnd::ReadFailed : TextLinesEnd::Finished;
    if (characterMode) {
      length = line.size();
      // A file read this way may still use CR LF line ends.
      if (!line.empty() && line.back() == '\r') line.pop_back();
    }
    ++lines;
    if (hooks.lineCounted && hooks.lineCounted(lines)) return TextLinesEnd::Stopped;
    if (cut) continue;  // a piece without a line end is not looked at
    if (!characterMode && length > lineLimit) {
      if (!hooks.askCharacterMode()) return TextLinesEnd::Declined;
      // Start over: the lines taken so far are read again in character mode, none twice.
      characterMode = true;
      hooks.startOver();
      lines = 0;
      if (!in.rewind()) return TextLinesEnd::ReadFailed;
      continue;
    }
    if (!hooks.take(line)) return TextLinesEnd::Finished;
  }
}

TextListResult readUnknownTextList(const std::string& path, const TextListOptions& options,
                                   UserInterface& ui) {
  TextListResult result;
  ui.setStatus("Importing unknown type text list...");
  LineReader in;
  if (!in.open(path)) {
    ui.warning("Unable to open the external text file.");
    return result;
  }
  bool ok = false;
  try {
    TextLineHooks hooks;
    hooks.lineCounted = [&ui](uint64_t lines) {
      if (lines % kEventEveryLines != 0) return false;
      ui.setStatus("Read " + std::to_string(lines) + " lines.");
      return ui.processEvents();
    };
    hooks.askCharacterMode = [&ui] {
      return ui.ask("Too large string. Could be binary file or unix text file.\r\nTry to process as unix text?",
                    "error", Buttons::YesNo, Icon::Exclamation) == Answer::Yes;
    };
    hooks.startOver = [&result] { result.items.clear(); };
    bool full = false;
    hooks.take = [&](std::string_view line) {
      if (auto item = unknownTextItem(line, options.MircCheck)) {
        result.items.push_back(std::move(*item));
        full = options.appendTo + result.items.size() >= kMaxImportItems;
      }
      return !full;
    };
    const TextLinesEnd end = readTextLines(in, kUnknownLineLimit, hooks, result.linesRead);
    if (end == TextLinesEnd::ReadFailed) ui.warning("Can't read external text file.");
    if (full) ui.warning(kMillionItemsText);
    ok = end == TextLinesEnd::Finished;
  } catch (const std::exception&) {
    ui.warning("Unknown error occurred while processing external text file.");
    ok = false;
  }
  result.ok = ok;
  finishStatus(ui, options, result, true);
  if (!ok) result.items.clear();
  result.items.shrink_to_fit();
  return result;
}

}  // namespace sonalog
