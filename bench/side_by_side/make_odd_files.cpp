// Writes the mp3 files that bench/side_by_side.sh hands to `sonalog info` and to the TagLib
// program, the same bytes on every run:
//   odd/<kind>/<n>.mp3   files that real collections hold beside well-made ones: large ID3v2
//                        tags, junk before the first frame, free-format and invalid headers,
//                        truncated files, MPEG-2 and MPEG-2.5 Layer III, mono, VBR behind a Xing
//                        or VBRI header and without one, tiny files, APE, Lyrics3 and ID3v1 tags
//                        at the end, RIFF wrappers and Layer II
//   fourmin/<n>.mp3      1 000 four-minute files, every other one constant 128 kbps without a
//                        Xing header or VBR around 190 kbps behind one (two files, hard-linked)
//
//   make_odd_files FOLDER
//
// Every frame is written from the documented header layout by the project's own builders;
// the audio is silence.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ListItem.h"
#include "tests/support/Mp3Builder.h"

namespace {

using namespace sonalog;
using testing::Mp3Builder;
using testing::mpeg1;
using testing::VbrTag;

constexpr int kVariants = 12;        // files of each kind
constexpr int kFramesPerSecond = 38;  // 1152-sample frames at 44.1 kHz (576 at 22.05 kHz)

// A fixed pseudo-random sequence (the same on every library, unlike the std distributions).
class Dice {
 public:
  explicit Dice(uint32_t seed) : state_(seed) {}
  uint32_t next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state_ >> 33);
  }
  int in(int low, int high) { return low + static_cast<int>(next() % static_cast<uint32_t>(high - low + 1)); }
  std::string junk(size_t count) {
    std::string s(count, '\0');
    for (char& c : s) c = static_cast<char>(next() & 0xFF);
    return s;
  }

 private:
  uint64_t state_;
};

// A header of any version and layer (bit values as in mp3::FrameHeader).
mp3::FrameHeader header(uint8_t version, uint8_t layer, uint8_t bitrateIndex, uint8_t frequencyIndex,
                        uint8_t channelMode) {
  mp3::FrameHeader h;
  h.version = version;
  h.layer = layer;
  h.bitrateIndex = bitrateIndex;
  h.frequencyIndex = frequencyIndex;
  h.channelMode = channelMode;
  return h;
}

// Frame length of MPEG-2/2.5 Layer III (576 samples: 72 * bitrate / frequency) and of MPEG-1
// Layer II (1152 samples: 144 * bitrate / frequency).
int lowRateLength(uint8_t version, uint8_t bitrateIndex, uint8_t frequencyIndex) {
  static constexpr int kKbps[15] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
  static constexpr int kHz[2][3] = {{11025, 12000, 8000}, {22050, 24000, 16000}};  // 2.5, 2
  return 72000 * kKbps[bitrateIndex] / kHz[version == 2 ? 1 : 0][frequencyIndex];
}
int layer2Length(uint8_t bitrateIndex, uint8_t frequencyIndex) {
  static constexpr int kKbps[15] = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
  static constexpr int kHz[3] = {44100, 48000, 32000};
  return 144000 * kKbps[bitrateIndex] / kHz[frequencyIndex];
}

// VBR frames: a walk over the indexes 9..13 (about 190 kbps).
void vbrFrames(Mp3Builder& b, Dice& dice, int count, uint8_t channelMode) {
  for (int i = 0; i < count; ++i) b.frames(mpeg1(static_cast<uint8_t>(dice.in(9, 13)), 0, channelMode));
}

// An APEv2 tag (header, items, footer): "APETAGEX", version 2000, the size of items and footer,
// the item count and flags (bit 31: has a header, bit 29: this is the header), 8 zero bytes.
std::string apeTag(const std::vector<std::pair<std::string, std::string>>& items) {
  auto le32 = [](uint32_t v) {
    std::string s;
    putLE32(s, v);
    return s;
  };
  std::string body;
  for (const auto& [key, value] : items) body += le32(static_cast<uint32_t>(value.size())) + le32(0) + key + '\0' + value;
  auto frame = [&](bool isHeader) {
    const uint32_t flags = (1u << 31) | (isHeader ? 1u << 29 : 0u);
    return "APETAGEX" + le32(2000) + le32(static_cast<uint32_t>(body.size() + 32)) +
           le32(static_cast<uint32_t>(items.size())) + le32(flags) + std::string(8, '\0');
  };
  return frame(true) + body + frame(false);
}

// The file of one kind and variant; the kind's name seeds the dice (FNV-1a).
std::string oddFile(const std::string& kind, int variant) {
  uint32_t seed = 2166136261u;
  for (const char c : kind) seed = (seed ^ static_cast<unsigned char>(c)) * 16777619u;
  Dice dice(seed + static_cast<uint32_t>(variant));
  const int seconds = dice.in(30, 300);
  const int frames = seconds * kFramesPerSecond;
  Mp3Builder b;
  if (kind == "large_id3v2") {  // cover art and padding of up to 8 MB
    b.bytes(mp3::id3v2Tag({{"TIT2", "Large tag"}}, static_cast<size_t>(dice.in(256, 8192)) * 1024));
    b.encodedFrames(mpeg1(9, 0, 1), frames).id3v1();
  } else if (kind == "junk_before_audio") {  // an unknown header or damaged bytes first
    b.bytes(dice.junk(static_cast<size_t>(dice.in(1, 512)) * 1024)).encodedFrames(mpeg1(9, 0, 1), frames);
  } else if (kind == "zeros_before_audio") {
    b.id3v2(1024).zeros(static_cast<size_t>(dice.in(1, 2048)) * 1024).encodedFrames(mpeg1(11, 0, 1), frames);
  } else if (kind == "free_format") {  // bitrate index 0: the frame length is the stream's own
    const int length = dice.in(600, 1400);
    for (int i = 0; i < frames; ++i) b.frameOfLength(mpeg1(0, 0, 1), length);
  } else if (kind == "invalid_headers") {  // frames with a reserved bitrate or frequency among good ones
    for (int i = 0; i < frames; ++i) {
      if (dice.in(0, 999) < 5) b.frameOfLength(mpeg1(15, static_cast<uint8_t>(dice.in(0, 3)), 1), 418);
      else b.frames(mpeg1(9, 0, 1));
    }
  } else if (kind == "truncated") {  // a header that counts more frames than the file holds
    b.id3v2(2048).vbrFrame(mpeg1(9, 0, 1), dice.in(0, 1) ? VbrTag::Xing : VbrTag::Info, static_cast<uint32_t>(frames));
    b.encodedFrames(mpeg1(9, 0, 1), frames);
    std::string bytes = b.str();
    bytes.resize(bytes.size() * static_cast<size_t>(dice.in(5, 95)) / 100 + static_cast<size_t>(dice.in(0, 417)));
    return bytes;
  } else if (kind == "mpeg2" || kind == "mpeg25") {
    const uint8_t version = kind == "mpeg2" ? 2 : 0;
    const uint8_t bitrate = static_cast<uint8_t>(dice.in(4, 14)), frequency = static_cast<uint8_t>(dice.in(0, 2));
    const uint8_t mode = static_cast<uint8_t>(dice.in(1, 3));
    b.id3v2(512);
    for (int i = 0; i < frames; ++i) b.frameOfLength(header(version, 1, bitrate, frequency, mode), lowRateLength(version, bitrate, frequency));
  } else if (kind == "mono") {
    if (dice.in(0, 1)) {
      b.encodedFrames(mpeg1(static_cast<uint8_t>(dice.in(5, 9)), 0, 3), frames);
    } else {
      b.vbrFrame(mpeg1(9, 0, 3), VbrTag::Xing, static_cast<uint32_t>(frames));
      vbrFrames(b, dice, frames, 3);
    }
    b.id3v1();
  } else if (kind == "vbr_xing" || kind == "vbr_vbri") {
    b.id3v2(4096).vbrFrame(mpeg1(9, 0, 1), kind == "vbr_xing" ? VbrTag::Xing : VbrTag::Vbri, static_cast<uint32_t>(frames));
    vbrFrames(b, dice, frames, 1);
  } else if (kind == "vbr_without_header") {
    vbrFrames(b.id3v2(1024), dice, frames, 1);
  } else if (kind == "tiny") {  // nothing, a tag alone, a header alone, a few frames
    switch (variant % 6) {
      case 0: break;
      case 1: b.bytes("ID3"); break;
      case 2: b.id3v2(100); break;
      case 3: b.bytes(mp3::encodeHeader(mpeg1(9, 0, 1))); break;
      case 4: b.frames(mpeg1(9, 0, 1), dice.in(1, 3)); break;
      default: b.bytes(dice.junk(static_cast<size_t>(dice.in(1, 300)))); break;
    }
  } else if (kind == "tail_tags") {  // APEv2, Lyrics3 and ID3v1 after the audio
    b.encodedFrames(mpeg1(9, 0, 1), frames);
    if (variant % 3 != 1) b.bytes(apeTag({{"Title", "Tail"}, {"Cover Art (Front)", dice.junk(static_cast<size_t>(dice.in(1, 64)) * 1024)}}));
    if (variant % 3 != 0) b.lyrics3v2(dice.junk(static_cast<size_t>(dice.in(10, 4000))));
    b.id3v1();
  } else if (kind == "riff") {
    const Mp3Builder audio = Mp3Builder().encodedFrames(mpeg1(9, 0, 1), frames);
    b.riff(static_cast<uint32_t>(audio.size()), static_cast<uint32_t>(dice.in(0, 400))).bytes(audio.str());
  } else if (kind == "layer2") {
    const uint8_t bitrate = static_cast<uint8_t>(dice.in(8, 12));
    for (int i = 0; i < frames; ++i) b.frameOfLength(header(3, 2, bitrate, 0, 1), layer2Length(bitrate, 0));
  }
  return b.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_odd_files FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  for (const char* kind : {"large_id3v2", "junk_before_audio", "zeros_before_audio", "free_format", "invalid_headers",
                           "truncated", "mpeg2", "mpeg25", "mono", "vbr_xing", "vbr_vbri", "vbr_without_header",
                           "tiny", "tail_tags", "riff", "layer2"}) {
    for (int n = 0; n < kVariants; ++n) {
      const std::string path = folder + "/odd/" + kind + "/" + std::to_string(n) + ".mp3";
      if (!testing::writeBytes(path, oddFile(kind, n))) {
        std::fprintf(stderr, "make_odd_files: cannot write %s\n", path.c_str());
        return 1;
      }
    }
  }
  // The four-minute set: two files, each linked 500 times.
  constexpr int kFourMinutes = 9188;
  const std::string cbr = Mp3Builder().encodedFrames(mpeg1(9, 0, 1), kFourMinutes).id3v1().str();
  const std::string vbr = testing::benchmarkFile(true, kFourMinutes);
  std::error_code error;
  for (int n = 0; n < 1000 && !error; ++n) {
    const std::string path = folder + "/fourmin/" + std::to_string(n) + ".mp3";
    if (n < 2) {
      if (!testing::writeBytes(path, n == 0 ? cbr : vbr)) error = std::make_error_code(std::errc::io_error);
    } else {
      std::filesystem::remove(path, error);
      if (!error) std::filesystem::create_hard_link(folder + "/fourmin/" + std::to_string(n % 2) + ".mp3", path, error);
    }
  }
  if (error) {
    std::fprintf(stderr, "make_odd_files: cannot write %s/fourmin: %s\n", folder.c_str(), error.message().c_str());
    return 1;
  }
  return 0;
}
