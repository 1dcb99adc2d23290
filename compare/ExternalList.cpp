#include "compare/ExternalList.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>

#include "core/ListFile.h"
#include "import/LineReader.h"
#include "import/TextListImport.h"

namespace sonalog {

namespace {

constexpr uint8_t kMagicCurrent[4] = {0x6C, 0x33, 0x5A, 0xF7};  // 16-bit string lengths
constexpr uint8_t kMagicShort[4] = {0x03, 0x51, 0x76, 0x78};    // 8-bit string lengths

constexpr const char* kOpenFailed = "Not able to open external file.";
constexpr const char* kNotAList = "External file is not a proper SNLG list.";
constexpr const char* kReadError = "Invalid SNLG file or disk error (reading external file).";
constexpr const char* kUnknownError = "Unknown error occurred while processing second SNLG list.";
constexpr const char* kOldestQuestion =
    "External file doesn't seem to be a SNLG file.\r\nTry to process as mp3SNLG v4.0 - v4.12 file?";
constexpr const char* kOldestCaption = "invalid data found";

// Seconds per frame at 44.1 kHz: the oldest layout stores whole seconds instead of frames.
constexpr double kFrameSeconds441 = 0.0261224489795918;

int32_t int32At(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) |
                              (static_cast<uint32_t>(p[3]) << 24));
}

// Frames of a playtime in whole seconds at 44.1 kHz, halves to even; unknown when it cannot fit.
int32_t framesOfSeconds(int32_t seconds) {
  const double frames = std::nearbyint(seconds / kFrameSeconds441);
  if (frames < std::numeric_limits<int32_t>::min() || frames > std::numeric_limits<int32_t>::max())
    return -1;
  return static_cast<int32_t>(frames);
}

enum class Layout { Current, Short, Oldest };
enum class ReadResult { Ok, Failed, AskOldest };

// Closes a file descriptor when it goes out of scope.
struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) ::close(fd);
  }
};

ReadResult readItems(const std::string& path, Layout layout, ExternalList& out,
                     LoadChannel& channel) {
  const FdCloser file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) {
    channel.warning(kOpenFailed);
    return ReadResult::Failed;
  }
  ListByteReader in(file.fd);
  uint8_t magic[4];
  if (!in.read(magic, 4)) {
    channel.warning(kReadError);
    return ReadResult::Failed;
  }
  const bool current = std::memcmp(magic, kMagicCurrent, 4) == 0;
  const bool shortLengths = std::memcmp(magic, kMagicShort, 4) == 0;
  // Once the oldest layout is chosen only the 8-bit-length magic fits it.
  if (!(shortLengths || (current && layout != Layout::Oldest))) {
    channel.warning(kNotAList);
    return ReadResult::Failed;
  }
  if (current) layout = Layout::Current;
  if (!in.read(&out.sortByte, 1)) {
    channel.warning(kReadError);
    return ReadResult::Failed;
  }
  const bool wide = layout == Layout::Current;
  // Like the list file itself, the file holds items up to its end: at least one is read.
  do {
    if (channel.stopRequested()) return ReadResult::Failed;
    ListItem item;
    uint8_t labelLength = 0;
    if (!in.readString(item.fileName, wide) || !in.readString(item.folder, wide) ||
        !in.readByte(labelLength)) {
      channel.warning(kReadError);
      return ReadResult::Failed;
    }
    if (labelLength > kMaxVolumeLabelBytes && layout == Layout::Short) return ReadResult::AskOldest;
    const size_t kept = std::min<size_t>(labelLength, kMaxVolumeLabelBytes);
    item.volumeLabel.resize(kept);
    if (!in.read(item.volumeLabel.data(), kept) || !in.skip(labelLength - kept)) {
      channel.warning(kReadError);
      return ReadResult::Failed;
    }
    uint8_t block[19];
    const size_t blockSize = layout == Layout::Oldest ? 18 : 19;
    if (!in.read(block, blockSize)) {
      channel.warning(kReadError);
      return ReadResult::Failed;
    }
    item.bitrateCode = block[0];
    item.sizeKB = int32At(block + 1);
    if (layout == Layout::Oldest) {
      // bitrate, size, seconds, stereo mode, file date, date added: no frequency byte.
      item.frames = framesOfSeconds(int32At(block + 5));
      item.stereoMode = block[9];
      item.frequencyCode = 0;
      item.fileDate = int32At(block + 10);
      item.dateAdded = int32At(block + 14);
    } else {
      item.frames = int32At(block + 5);
      item.stereoMode = block[9];
      item.frequencyCode = block[10];
      item.fileDate = int32At(block + 11);
      item.dateAdded = int32At(block + 15);
    }
    // The average of a VBR item is stored only in the current format; it is not computed here.
    if (layout == Layout::Current && item.bitrateCode == kBitrateVbr) {
      uint8_t avg[2];
      if (!in.read(avg, 2)) {
        channel.warning(kReadError);
        return ReadResult::Failed;
      }
      item.averageKbps = static_cast<uint16_t>(avg[0] | (avg[1] << 8));
    }
    out.items.push_back(std::move(item));
  } while (!in.atEnd());
  return ReadResult::Ok;
}

}  // namespace

bool loadExternalListFile(const std::string& path, ExternalList& out, LoadChannel& channel) {
  out = ExternalList{};
  channel.status("Loading the second list...");
  bool ok = false;
  try {
    ReadResult r = readItems(path, Layout::Short, out, channel);
    if (r == ReadResult::AskOldest) {
      out = ExternalList{};
      if (channel.ask(kOldestQuestion, kOldestCaption)) r = readItems(path, Layout::Oldest, out, channel);
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
constexpr size_t kPieceLength = 2048;  // character mode: the longest piece looked at
// The line count is shown when it is 254 modulo 256.
constexpr uint64_t kStatusEvery = 256;
constexpr uint64_t kStatusAt = 254;

bool containsMp3(std::string_view line) {
  for (size_t i = 0; i + 4 <= line.size(); ++i) {
    if (line[i] == '.' && (line[i + 1] | 0x20) == 'm' && (line[i + 2] | 0x20) == 'p' &&
        line[i + 3] == '3')
      return true;
  }
  return false;
}

}  // namespace

bool externalTextItem(std::string_view line, bool examineBangLines, ListItem& item) {
  if (line.empty()) return false;
  // Chat logs: only "!trigger name.mp3 ..." lines, where ".mp3" stands after the "!".
  if (examineBangLines && (line.front() != '!' || !containsMp3(line.substr(1)))) return false;
  item = ListItem{};
  item.frames = -1;
  item.bitrateCode = 255;
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
    bool characterMode = false;
    std::string line;
    for (;;) {
      if (channel.stopRequested()) break;
      size_t length = 0;
      bool cut = false;
      const bool got = characterMode ? in.readPiece(line, kPieceLength, cut)
                                     : in.readLine(line, length, kLineLimit + 1);
      if (!got) {
        if (in.failed()) {
          channel.warning(kTextReadFailed);
          break;
        }
        ok = true;
        break;
      }
      if (characterMode) {
        length = line.size();
        if (!line.empty() && line.back() == '\r') line.pop_back();
      }
      ++lines;
      if (lines % kStatusEvery == kStatusAt) channel.status("Read " + std::to_string(lines) + " lines.");
      if (cut) continue;  // a piece without a line end is not looked at
      if (!characterMode && length > kLineLimit) {
        if (!channel.ask(kTooLargeQuestion, kTooLargeCaption)) break;
        // Read again from the start with line feeds alone; what was taken so far is dropped,
        // so no line is taken twice.
        characterMode = true;
        out.items.clear();
        lines = 0;
        if (!in.rewind()) {
          channel.warning(kTextReadFailed);
          break;
        }
        continue;
      }
      ListItem item;
      if (externalTextItem(line, examineBangLines, item)) out.items.push_back(std::move(item));
    }
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
