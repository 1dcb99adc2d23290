#pragma once
// Reads one mp3 file's MPEG frame headers and finds what a catalogue item needs from the audio:
// frame count (hence playtime), bitrate index or VBR, sampling frequency, channel mode, file size
// and the number of audio bytes. Only MPEG-1 Layer III is accepted. The folder scan keeps one
// Mp3Analyser for the whole run and calls it once per file.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/ListItem.h"

namespace sonalog {

// Fast: stops after 200 frames and takes the count from a Xing/Info/VBRI/FBRI header or estimates
// it from the end of the audio. Slow: counts every frame of the file.
enum class AnalysisMode : uint8_t { Fast, Slow };

inline constexpr uint8_t kBitrateUnknown = 0;

// What one analysis found. A failed analysis carries the unknown codes below (never the previous
// file's), frames 0, audioBytes 0, the file size when the file could be sized, and errorText.
struct Mp3AnalysisResult {
  int32_t frames = 0;                          // 0 when unknown; negative for an absurd header count
  uint8_t bitrateCode = kBitrateUnknown;       // 1..14 constant bitrate index, 16 VBR, 0 unknown
  uint8_t frequencyCode = kFrequencyMixed;     // 0 44.1, 1 48, 2 32 kHz, 255 mixed or unknown
  uint8_t stereoMode = kStereoModeMixed;       // 0..3 as in the MPEG header, 4 mixed or unknown
  int64_t fileSize = 0;                        // bytes; 64-bit so files past 2 GiB are exact
  int64_t audioBytes = 0;                      // first frame to end of audio, bytes
  std::string errorText;                       // empty on success
};

// Where the analysis reads its bytes from: a file, or memory (tests, the fuzzer).
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Total size in bytes.
  virtual int64_t size() const = 0;
  // Reads exactly n bytes at pos (0 <= pos, pos + n <= size()); false on an I/O error.
  virtual bool readAt(int64_t pos, uint8_t* dst, size_t n) = 0;
};

// A ByteSource over bytes the caller keeps alive while it is in use.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  int64_t size() const override { return static_cast<int64_t>(bytes_.size()); }
  bool readAt(int64_t pos, uint8_t* dst, size_t n) override;

 private:
  std::span<const uint8_t> bytes_;
};

// One frame header that passed the checks, as the frame table keeps it.
struct FrameRecord {
  int64_t position = 0;   // file offset of the 0xFF sync byte
  uint16_t length = 0;    // frame length in bytes
  uint8_t bitrateIndex = 0;
  uint8_t frequencyIndex = 0;
  uint8_t channelMode = 0;
  uint8_t vbrHeader = 0;  // VbrHeaderKind found right after this header (first frame only)
};

enum VbrHeaderKind : uint8_t { kNoVbrHeader = 0, kXing, kInfo, kVbri, kFbri };

// Analyses files one after another. Not thread-safe; reuse one object so that its buffers and
// frame table are allocated once for the whole scan.
class Mp3Analyser {
 public:
  Mp3Analyser();

  // Analyses the file at path. Returns true on success; on failure false with errorText set to
  // one of the user-facing reasons ("Disk error reading the file." when it cannot be read).
  bool analyseFile(const std::string& path, AnalysisMode mode, Mp3AnalysisResult& result);
  // The same over any byte source.
  bool analyse(ByteSource& source, AnalysisMode mode, Mp3AnalysisResult& result);
  bool analyseBytes(std::span<const uint8_t> bytes, AnalysisMode mode, Mp3AnalysisResult& result);

  // The frames that the last analysis stored (the first 200 at most; see Mp3Analysis.cpp).
  const std::vector<FrameRecord>& frameTable() const { return frames_; }

 private:
  struct Run;
  std::vector<uint8_t> block_;       // one read block of the frame scan plus its zeroed margin
  std::vector<uint8_t> scratch_;     // the Lyrics3 window and the 8 KB blocks of the estimate
  std::vector<FrameRecord> frames_;  // capacity kept from one file to the next
};

// The scan's conversions of an analysis result into item fields.
// sizeKB: bytes / 1024 rounded, halves to even (stored lists depend on it); saturates at
// INT32_MAX instead of wrapping for files of 2 TiB or more.
int32_t sizeKBFromFileSize(int64_t fileSize);
// averageKbps: audioBytes / (bytesPerFramePerKbps(frequencyCode) * frames) rounded, halves to
// even; 0 when it cannot be computed (frames <= 0) or does not fit 16 bits (absurd headers).
uint16_t averageKbpsOf(int64_t audioBytes, int32_t frames, uint8_t frequencyCode);
// Fills an item's bitrateCode, frames, stereoMode, frequencyCode, sizeKB and averageKbps from a
// result, successful or failed (a failed one gives the unknown codes).
void storeAnalysis(const Mp3AnalysisResult& result, ListItem& item);

}  // namespace sonalog
