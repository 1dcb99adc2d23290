// Any bytes given to the mp3 analysis end in success or in one of its user-facing reasons, in
// both modes, with one analyser reused across inputs as the folder scan reuses it.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "core/Mp3Analysis.h"

namespace {

bool isKnownReason(const std::string& text) {
  static const char* const kReasons[] = {
      "Disk error reading the file.",   "ID3v2 tag should be below 16 MB.", "Unknown mpeg layer version.",
      "Seems like mp2, not mp3 file.",  "Seems like mp1, not mp3 file.",    "Mpeg version 2.5 not supported",
      "Unknown mpeg version",           "Mpeg version 2 not supported",     "Invalid bitrate detected.",
      "Invalid frequency detected.",    "Doesn't seem like a 32/44.1/48 KHz mp3 file."};
  for (const char* reason : kReasons)
    if (text == reason) return true;
  return false;
}

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static sonalog::Mp3Analyser analyser;
  const std::span<const uint8_t> bytes(data, size);
  for (const auto mode : {sonalog::AnalysisMode::Fast, sonalog::AnalysisMode::Slow}) {
    sonalog::Mp3AnalysisResult r;
    const bool ok = analyser.analyseBytes(bytes, mode, r);
    check(r.fileSize == static_cast<int64_t>(size));
    if (ok) {
      check(r.errorText.empty());
      check(r.bitrateCode <= 16);
      check(r.frequencyCode <= 2 || r.frequencyCode == 255);
      check(r.stereoMode <= 4);
      check(r.audioBytes <= r.fileSize);
    } else {
      check(isKnownReason(r.errorText));
      check(r.bitrateCode == 0 && r.stereoMode == 4 && r.frequencyCode == 255 && r.frames == 0);
    }
    (void)sonalog::averageKbpsOf(r.audioBytes, r.frames, r.frequencyCode);
  }
  return 0;
}
