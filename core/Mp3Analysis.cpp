#include "core/Mp3Analysis.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/ReadFile.h"

namespace sonalog {

namespace {

// The user-facing reasons of a rejected file.
constexpr const char* kDiskError = "Disk error reading the file.";
constexpr const char* kId3TooLarge = "ID3v2 tag should be below 16 MB.";
constexpr const char* kLayerTexts[3] = {"Unknown mpeg layer version.", "Seems like mp2, not mp3 file.",
                                        "Seems like mp1, not mp3 file."};  // layer bits 0, 2, 3
constexpr const char* kVersionTexts[3] = {"Mpeg version 2.5 not supported", "Unknown mpeg version",
                                          "Mpeg version 2 not supported"};  // version bits 0, 1, 2
constexpr const char* kBadBitrate = "Invalid bitrate detected.";
constexpr const char* kBadFrequency = "Invalid frequency detected.";
constexpr const char* kNoFrames = "Doesn't seem like a 32/44.1/48 KHz mp3 file.";

// Frame scan blocks: at most kBlockSize bytes are read at a time. Candidates are looked for only
// up to kLookahead bytes before a block's end (a header and the VBR header search after it read
// no further), except in the block that reaches the end of the file, where the bytes past the
// end read as zeros (kBlockMargin more for the header bytes). So the walk sees the same bytes
// whatever the size of each read, and fast mode reads only about what its frames still need.
constexpr int64_t kBlockSize = 50000;
constexpr int64_t kLookahead = 640;
constexpr int64_t kLeastRead = 4096;
constexpr size_t kBlockMargin = 4;

// The start of a file where ID3v2 tags and a RIFF wrapper are looked for: 16 MB + 4 bytes.
constexpr int64_t kHeadBytes = 16777220;
constexpr int64_t kMaxId3Bytes = 16777216;  // a tag of this size or more is refused
constexpr int64_t kRiffDataSearch = 516;    // "data" must start within this many bytes of "RIFF"

constexpr int64_t kLyrics3v2Window = 301000;  // "LYRICS200": where "LYRICSBEGIN" may be
constexpr int64_t kLyrics3v1Window = 5100;    // "LYRICSEND"
constexpr int64_t kId3v1Bytes = 128;
constexpr int64_t kMarkerBytes = 9;           // "LYRICS200" / "LYRICSEND"
constexpr int64_t kLyricsBeginBytes = 11;     // "LYRICSBEGIN"

constexpr int kFastFrames = 200;        // fast mode decides after this many frames
constexpr int64_t kEstimateBlock = 8192;  // the estimate looks for the last frame sync in these
constexpr int kVbrSearchPositions = 40;
// Failed checks are tolerated (as garbage that merely looks like a sync) this many times.
constexpr int kLayerVersionTolerance = 51;
constexpr int kBitrateFrequencyTolerance = 50;

// 144 / sampling frequency in kHz, by frequency index: bytes per frame per kbps.
constexpr double kFrameLengthFactor[3] = {3.2653061224489797, 3.0, 4.5};

bool hasBytes(const uint8_t* p, const char* text, size_t n) { return std::memcmp(p, text, n) == 0; }

bool isFrameSync(const uint8_t* p) { return p[0] == 0xFF && (p[1] & 0xE0) == 0xE0; }

uint32_t bigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}

int32_t clampFrames(int64_t frames) {
  return static_cast<int32_t>(std::min<int64_t>(frames, std::numeric_limits<int32_t>::max()));
}

// The value of the most frequent entry (the lowest entry wins a tie), or mixed when the entries
// disagree by more than a stray few frames (fewer than 3 against more than 3, or under 0.1 %).
template <size_t N>
uint8_t uniformOrMixed(const int64_t (&counts)[N], uint8_t mixed) {
  size_t best = 0;
  int64_t total = 0;
  for (size_t i = 0; i < N; ++i) {
    total += counts[i];
    if (counts[i] > counts[best]) best = i;
  }
  const int64_t highest = counts[best];
  const int64_t rest = total - highest;
  if ((rest < 3 && highest > 3) || rest == 0) return static_cast<uint8_t>(best);
  if (highest > 0 && static_cast<double>(rest) / static_cast<double>(highest) < 0.001)
    return static_cast<uint8_t>(best);
  return mixed;
}

class FileSource final : public ByteSource {
 public:
  bool open(const std::string& path) { return file_.open(path); }
  int64_t size() const override { return file_.size(); }
  bool readAt(int64_t pos, uint8_t* dst, size_t n) override { return file_.readAt(pos, dst, n); }

 private:
  platform::ReadFile file_;
};

}  // namespace

bool MemorySource::readAt(int64_t pos, uint8_t* dst, size_t n) {
  if (pos < 0 || pos > size() || n > static_cast<size_t>(size() - pos)) return false;
  if (n > 0) std::memcpy(dst, bytes_.data() + pos, n);
  return true;
}

// The state of one analysis. Reads only the bytes each step looks at.
struct Mp3Analyser::Run {
  Mp3Analyser& owner;
  ByteSource& source;
  AnalysisMode mode;
  Mp3AnalysisResult& result;
  int64_t size = 0;

  int64_t lyricsStart = -1;  // start of a Lyrics3 block, -1 when none
  int64_t id3v1Start = -1;   // start of an ID3v1 tag, -1 when none
  int64_t audioStart = 0;
  int64_t audioEnd = 0;

  // Frame scan state.
  int64_t counted = 0;
  int64_t bitrateCounts[16] = {};
  int64_t frequencyCounts[3] = {};
  int64_t modeCounts[4] = {};
  int layerErrors = 0, versionErrors = 0, bitrateErrors = 0, frequencyErrors = 0;
  bool headerGaveCount = false;
  int32_t headerCount = 0;
  bool decided = false;  // fast mode took frames and bitrate after 200 frames

  bool fail(const char* text) {
    result.errorText = text;
    return false;
  }

  // Reads [pos, pos + n) into dst; bytes at or past limit read as zeros.
  bool readZeroFilled(int64_t pos, size_t n, int64_t limit, uint8_t* dst) {
    const int64_t available = std::clamp<int64_t>(limit - pos, 0, static_cast<int64_t>(n));
    if (available > 0 && !source.readAt(pos, dst, static_cast<size_t>(available))) return false;
    std::memset(dst + available, 0, n - static_cast<size_t>(available));
    return true;
  }

  bool findTailTags();
  bool findAudioStart();
  bool scanFrames();
  int64_t longestFrame = 0;  // of the frames counted so far, bytes

  // The bytes to read next at file position p: a block, or in fast mode once frames are known
  // what the remaining frames take at the longest length seen.
  int64_t readSize(int64_t p) const;
  bool scanBlock(int64_t p, int64_t limit, int64_t& advance);
  // The count a header that fails a check adds to, how many such headers are tolerated and the
  // failure beyond them; errors is nullptr for a header that passes every check.
  struct HeaderFault {
    int* errors = nullptr;
    int tolerance = 0;
    const char* text = nullptr;
  };
  HeaderFault headerFault(int layer, int version, int bitrateIndex, int frequencyIndex);
  // Fast mode after its frames: takes frames and bitrate (decided) unless the bitrate varies and
  // no header gave the count. False when the analysis fails.
  bool decideFast();
  void findVbrHeader(const uint8_t* frame, bool mono, bool crc, FrameRecord& record);
  uint8_t decideBitrate() const;
  int32_t estimateFrames();
  bool finish();
};

// Lyrics3 block and ID3v1 tag at the end of the file: both are left out of the audio bytes.
bool Mp3Analyser::Run::findTailTags() {
  constexpr int64_t kTailBytes = kId3v1Bytes + kMarkerBytes;
  uint8_t tail[kTailBytes];
  const int64_t tailLength = std::min(size, kTailBytes);
  const int64_t tailStart = size - tailLength;
  if (tailLength > 0 && !source.readAt(tailStart, tail, static_cast<size_t>(tailLength))) return fail(kDiskError);

  // A Lyrics3 end marker sits at the very end, or just before an ID3v1 tag.
  for (const int64_t distance : {kMarkerBytes, kMarkerBytes + kId3v1Bytes}) {
    if (size <= distance) break;
    const uint8_t* marker = tail + (size - distance - tailStart);
    int64_t window = 0;
    if (hasBytes(marker, "LYRICS200", kMarkerBytes))
      window = kLyrics3v2Window;
    else if (hasBytes(marker, "LYRICSEND", kMarkerBytes))
      window = kLyrics3v1Window;
    else
      continue;
    const int64_t markerPos = size - distance;
    const int64_t windowStart = std::max<int64_t>(0, size - window);
    const int64_t length = markerPos - windowStart;
    owner.scratch_.resize(static_cast<size_t>(length));
    if (!source.readAt(windowStart, owner.scratch_.data(), static_cast<size_t>(length))) return fail(kDiskError);
    // The earliest "LYRICSBEGIN" in the window wins.
    const int64_t lastOffset = std::min(window - kLyricsBeginBytes, length - kLyricsBeginBytes);
    for (int64_t offset = 0; offset <= lastOffset; ++offset) {
      if (hasBytes(owner.scratch_.data() + offset, "LYRICSBEGIN", kLyricsBeginBytes)) {
        lyricsStart = windowStart + offset;
        break;
      }
    }
    if (lyricsStart >= 0) break;
  }

  // "TAG" is accepted up to one byte early and three bytes late of its place 128 bytes from the end.
  if (size > kId3v1Bytes + 2) {
    for (int64_t i = 0; i <= 4; ++i) {
      const int64_t pos = size - (kId3v1Bytes + 1) + i;
      if (hasBytes(tail + (pos - tailStart), "TAG", 3)) {
        id3v1Start = pos;
        break;
      }
    }
  }
  return true;
}

// Skips ID3v2 tags and a RIFF wrapper (in either order, each at most once after the other) within
// the first 16 MB + 4 bytes of the file.
bool Mp3Analyser::Run::findAudioStart() {
  const int64_t headLimit = std::min(size, kHeadBytes);
  int64_t p = 0;
  bool passedId3 = false;
  bool passedRiff = false;
  for (;;) {
    uint8_t head[10];
    if (!readZeroFilled(p, sizeof head, headLimit, head)) return fail(kDiskError);
    if (hasBytes(head, "ID3", 3)) {
      // Synchsafe size in header bytes 6..9, taken as whole bytes, plus the 10 header bytes.
      const int64_t tagSize = int64_t{head[6]} * 2097152 + int64_t{head[7]} * 16384 +
                              int64_t{head[8]} * 128 + int64_t{head[9]} + 10;
      if (tagSize >= kMaxId3Bytes) return fail(kId3TooLarge);
      p += tagSize;
      passedId3 = true;
      if (!readZeroFilled(p, 4, headLimit, head)) return fail(kDiskError);
    }
    if (passedRiff || !hasBytes(head, "RIFF", 4)) break;

    passedRiff = true;
    const int64_t riff = p;
    uint8_t chunk[kRiffDataSearch + 4];
    if (!readZeroFilled(riff, sizeof chunk, headLimit, chunk)) return fail(kDiskError);
    int64_t offset = 4;
    while (offset <= kRiffDataSearch && !hasBytes(chunk + offset, "data", 4)) ++offset;
    p = riff + offset;
    if (offset > kRiffDataSearch) break;  // no data chunk: the frame scan starts here
    p += 8;                               // "data" and the chunk length
    if (passedId3) break;
  }
  audioStart = p;
  return true;
}

void Mp3Analyser::Run::findVbrHeader(const uint8_t* frame, bool mono, bool crc, FrameRecord& record) {
  const uint8_t* at = frame + (mono ? 18 : 33) + (crc ? 2 : 0);
  for (int i = 0; i < kVbrSearchPositions; ++i, ++at) {
    if (hasBytes(at, "Xing", 4) || hasBytes(at, "Info", 4)) {
      record.vbrHeader = at[0] == 'X' ? kXing : kInfo;
      // Flags are big-endian; bit 0 says a frame count follows them.
      if (at[7] & 1) {
        headerGaveCount = true;
        headerCount = static_cast<int32_t>(bigEndian32(at + 8));
      }
      return;
    }
    if (hasBytes(at, "VBRI", 4) || hasBytes(at, "FBRI", 4)) {
      record.vbrHeader = at[0] == 'V' ? kVbri : kFbri;
      headerGaveCount = true;
      headerCount = static_cast<int32_t>(bigEndian32(at + 14));
      return;
    }
  }
}

// Constant bitrate when every counted frame has the same index, or every frame but a first one
// that carries a VBR header (encoders may write that frame at a bitrate of its own).
uint8_t Mp3Analyser::Run::decideBitrate() const {
  const auto& table = owner.frames_;
  const bool firstHasHeader = !table.empty() && table.front().vbrHeader != kNoVbrHeader;
  uint8_t code = kBitrateVbr;
  for (int i = 1; i <= 14; ++i) {
    // counted > 1: with the header frame alone, every unused index would match "all but one".
    if (bitrateCounts[i] == counted || (firstHasHeader && counted > 1 && bitrateCounts[i] == counted - 1))
      code = static_cast<uint8_t>(i);
  }
  return code;
}

// A constant-bitrate file's frame count from the distance between its first frame and the last
// frame sync in the final 8 KB of the audio, in units of the average frame length seen so far.
// Returns -1 on a read error.
int32_t Mp3Analyser::Run::estimateFrames() {
  const auto& table = owner.frames_;
  const int64_t first = table.front().position;
  const int64_t last = table.back().position;
  const int64_t start = std::max<int64_t>(0, audioEnd - kEstimateBlock);
  const int64_t length = audioEnd - start;
  owner.scratch_.resize(static_cast<size_t>(kEstimateBlock));
  if (length > 0 && !source.readAt(start, owner.scratch_.data(), static_cast<size_t>(length))) return -1;
  int64_t syncPos = -1;
  for (int64_t i = length - 2; i >= 0; --i) {
    if (isFrameSync(owner.scratch_.data() + i)) {
      syncPos = start + i;
      break;
    }
  }
  // No sync after the counted frames: the file ends there (or its end is not audio), and the
  // frames already counted are the best answer; an estimate never reports fewer.
  const int64_t floor = counted;
  if (syncPos <= last) return clampFrames(floor);
  const double average = static_cast<double>(last - first) / static_cast<double>(counted - 1);
  const double frames = std::nearbyint(static_cast<double>(syncPos - first) / average);
  return clampFrames(std::max<int64_t>(floor, static_cast<int64_t>(std::min(frames, 2147483647.0))));
}

Mp3Analyser::Run::HeaderFault Mp3Analyser::Run::headerFault(int layer, int version, int bitrateIndex,
                                                             int frequencyIndex) {
  if (layer != 1) return {&layerErrors, kLayerVersionTolerance, kLayerTexts[layer == 0 ? 0 : layer - 1]};
  if (version != 3) return {&versionErrors, kLayerVersionTolerance, kVersionTexts[version]};
  if (bitrateIndex == 15) return {&bitrateErrors, kBitrateFrequencyTolerance, kBadBitrate};
  if (frequencyIndex == 3) return {&frequencyErrors, kBitrateFrequencyTolerance, kBadFrequency};
  return {};
}

bool Mp3Analyser::Run::decideFast() {
  const uint8_t bitrate = decideBitrate();
  // VBR without a count: the scan goes on to the end of the file.
  if (!headerGaveCount && bitrate == kBitrateVbr) return true;
  result.bitrateCode = bitrate;
  if (headerGaveCount) {
    result.frames = headerCount;
  } else {
    result.frames = estimateFrames();
    if (result.frames < 0) return fail(kDiskError);
  }
  decided = true;
  return true;
}

// One read block at file position p, its candidates below limit. Sets advance to where the next
// block starts; stops early once fast mode has its answer (decided). False when the analysis fails.
bool Mp3Analyser::Run::scanBlock(int64_t p, int64_t limit, int64_t& advance) {
  const uint8_t* b = owner.block_.data();
  auto& table = owner.frames_;
  int64_t s = 0;
  while (s < limit) {
    const void* ff = std::memchr(b + s, 0xFF, static_cast<size_t>(limit - s));
    if (!ff) {
      s = limit;
      break;
    }
    s = static_cast<const uint8_t*>(ff) - b;
    if ((b[s + 1] & 0xE0) != 0xE0) {
      ++s;
      continue;
    }
    const uint8_t h1 = b[s + 1], h2 = b[s + 2], h3 = b[s + 3];
    const int layer = (h1 >> 1) & 3;
    const int version = (h1 >> 3) & 3;
    const bool crc = (h1 & 1) == 0;
    const bool padding = (h2 & 2) != 0;
    const int frequencyIndex = (h2 >> 2) & 3;
    const int bitrateIndex = h2 >> 4;
    const int channelMode = h3 >> 6;

    FrameRecord record;
    record.position = p + s;
    if (counted == 0) {
      result.audioBytes = audioEnd - record.position;
      findVbrHeader(b + s, channelMode == 3, crc, record);
    }

    // A failed check skips one byte: a few of them are garbage that merely looks like a sync.
    if (const HeaderFault fault = headerFault(layer, version, bitrateIndex, frequencyIndex); fault.errors) {
      if (++*fault.errors > fault.tolerance) return fail(fault.text);
      ++s;
      continue;
    }

    int length;
    if (bitrateIndex > 0) {
      length = static_cast<int>(kBitrateKbps[bitrateIndex] * kFrameLengthFactor[frequencyIndex]) + (padding ? 1 : 0);
    } else {
      // Free format: the header does not give the length. A short fixed step; the sync search
      // then finds the next header.
      length = (channelMode == 3 ? 14 : 29) + (crc ? 2 : 0);
    }
    record.length = static_cast<uint16_t>(length);
    record.bitrateIndex = static_cast<uint8_t>(bitrateIndex);
    record.frequencyIndex = static_cast<uint8_t>(frequencyIndex);
    record.channelMode = static_cast<uint8_t>(channelMode);
    ++bitrateCounts[bitrateIndex];
    ++frequencyCounts[frequencyIndex];
    ++modeCounts[channelMode];
    longestFrame = std::max<int64_t>(longestFrame, length);
    // Only the first frames are ever looked at again (the VBR header frame and the estimate).
    if (table.size() < static_cast<size_t>(kFastFrames)) table.push_back(record);
    ++counted;
    s += length;

    if (mode == AnalysisMode::Fast && counted == kFastFrames) {
      if (!decideFast()) return false;
      if (decided) return true;
    }
  }
  advance = s;
  return true;
}

int64_t Mp3Analyser::Run::readSize(int64_t p) const {
  const int64_t rest = size - p;
  if (mode != AnalysisMode::Fast || counted == 0 || counted >= kFastFrames) return std::min(rest, kBlockSize);
  const int64_t wanted = (kFastFrames - counted) * longestFrame + kLookahead;
  return std::min(rest, std::clamp(wanted, kLeastRead, kBlockSize));
}

bool Mp3Analyser::Run::scanFrames() {
  owner.frames_.clear();
  auto& block = owner.block_;
  int64_t p = audioStart;
  // A tag that claims to reach past the end leaves nothing to scan.
  while (p < size) {
    const int64_t n = readSize(p);
    if (!source.readAt(p, block.data(), static_cast<size_t>(n))) return fail(kDiskError);
    const bool last = p + n == size;
    if (last) std::memset(block.data() + n, 0, static_cast<size_t>(kLookahead) + kBlockMargin);
    int64_t advance = 0;
    if (!scanBlock(p, last ? n : n - kLookahead, advance)) return false;
    if (decided || last) return true;
    p += advance;
  }
  return true;
}

bool Mp3Analyser::Run::finish() {
  if (counted == 0) return fail(kNoFrames);
  if (!decided) {
    result.frames = clampFrames(counted);
    result.bitrateCode = decideBitrate();
  }
  result.stereoMode = uniformOrMixed(modeCounts, kStereoModeMixed);
  result.frequencyCode = uniformOrMixed(frequencyCounts, kFrequencyMixed);
  return true;
}

Mp3Analyser::Mp3Analyser() : block_(static_cast<size_t>(kBlockSize + kLookahead) + kBlockMargin, 0) {
  frames_.reserve(kFastFrames);
}

bool Mp3Analyser::analyse(ByteSource& source, AnalysisMode mode, Mp3AnalysisResult& result) {
  result = Mp3AnalysisResult{};
  result.fileSize = source.size();
  Run run{*this, source, mode, result};
  run.size = result.fileSize;
  bool ok = (run.size >= 0 || run.fail(kDiskError)) && run.findTailTags() && run.findAudioStart();
  if (ok) {
    run.audioEnd = run.size;
    if (run.id3v1Start >= 0) run.audioEnd = std::min(run.audioEnd, run.id3v1Start);
    if (run.lyricsStart >= 0) run.audioEnd = std::min(run.audioEnd, run.lyricsStart);
    ok = run.scanFrames() && run.finish();
  }
  if (!ok) {
    // A rejected file carries unknown codes, never what an earlier file left behind.
    const int64_t fileSize = result.fileSize;
    std::string errorText = std::move(result.errorText);
    result = Mp3AnalysisResult{};
    result.fileSize = fileSize;
    result.errorText = std::move(errorText);
  }
  return ok;
}

bool Mp3Analyser::analyseFile(const std::string& path, AnalysisMode mode, Mp3AnalysisResult& result) {
  FileSource file;
  if (!file.open(path)) {
    result = Mp3AnalysisResult{};
    result.errorText = kDiskError;
    return false;
  }
  return analyse(file, mode, result);
}

bool Mp3Analyser::analyseBytes(std::span<const uint8_t> bytes, AnalysisMode mode, Mp3AnalysisResult& result) {
  MemorySource source(bytes);
  return analyse(source, mode, result);
}

int32_t sizeKBFromFileSize(int64_t fileSize) {
  if (fileSize < 0) return -1;
  const double kb = std::nearbyint(static_cast<double>(fileSize) / 1024.0);
  return static_cast<int32_t>(std::min(kb, 2147483647.0));
}

uint16_t averageKbpsOf(int64_t audioBytes, int32_t frames, uint8_t frequencyCode) {
  if (frames <= 0) return 0;
  const double kbps = std::nearbyint(static_cast<double>(audioBytes) /
                                     (bytesPerFramePerKbps(frequencyCode) * static_cast<double>(frames)));
  if (!(kbps >= 0) || kbps > 65535) return 0;
  return static_cast<uint16_t>(kbps);
}

void storeAnalysis(const Mp3AnalysisResult& result, ListItem& item) {
  item.bitrateCode = result.bitrateCode;
  item.frames = result.frames;
  item.stereoMode = result.stereoMode;
  item.frequencyCode = result.frequencyCode;
  item.sizeKB = sizeKBFromFileSize(result.fileSize);
  item.averageKbps = averageKbpsOf(result.audioBytes, result.frames, result.frequencyCode);
}

}  // namespace sonalog
