#include "tests/support/Mp3Builder.h"

#include <filesystem>
#include <fstream>

namespace sonalog::testing {

namespace {

std::string littleEndian32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

std::string littleEndian16(uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }

}  // namespace

FrameHeader mpeg1(uint8_t bitrateIndex, uint8_t frequencyIndex, uint8_t channelMode) {
  FrameHeader h;
  h.bitrateIndex = bitrateIndex;
  h.frequencyIndex = frequencyIndex;
  h.channelMode = channelMode;
  return h;
}

Mp3Builder& Mp3Builder::frames(const FrameHeader& header, int count) {
  for (int i = 0; i < count; ++i) mp3::appendSilentFrame(data_, header);
  return *this;
}

Mp3Builder& Mp3Builder::encodedFrames(const FrameHeader& header, int count) {
  mp3::appendEncodedFrames(data_, header, count);
  return *this;
}

Mp3Builder& Mp3Builder::frameOfLength(const FrameHeader& header, int length) {
  mp3::appendSilentFrame(data_, header, length);
  return *this;
}

Mp3Builder& Mp3Builder::vbrFrame(const FrameHeader& header, VbrTag tag, std::optional<uint32_t> frameCount,
                                 uint32_t audioBytes) {
  if (tag == VbrTag::Xing || tag == VbrTag::Info) {
    mp3::appendXingFrame(data_, header, tag == VbrTag::Info, frameCount, audioBytes);
    return *this;
  }
  // VBRI layout: name, version, delay, quality (2 bytes each), bytes, frames (big-endian).
  std::string vbri = tag == VbrTag::Vbri ? "VBRI" : "FBRI";
  vbri += std::string("\x00\x01\x00\x00\x00\x4B", 6);
  vbri += mp3::bigEndian32(audioBytes);
  vbri += mp3::bigEndian32(frameCount.value_or(0));
  const size_t start = data_.size();
  mp3::appendSilentFrame(data_, header);
  const size_t at = start + 4 + 32;
  if (data_.size() < at + vbri.size()) data_.resize(at + vbri.size(), '\0');
  data_.replace(at, vbri.size(), vbri);
  return *this;
}

Mp3Builder& Mp3Builder::id3v2(uint32_t bodyBytes) {
  data_ += mp3::id3v2Header(bodyBytes);
  data_.append(bodyBytes, '\0');
  return *this;
}

Mp3Builder& Mp3Builder::id3v2RawSize(uint8_t b6, uint8_t b7, uint8_t b8, uint8_t b9) {
  data_ += std::string("ID3\x04\x00\x00", 6);
  for (uint8_t b : {b6, b7, b8, b9}) data_.push_back(static_cast<char>(b));
  return *this;
}

Mp3Builder& Mp3Builder::riff(uint32_t dataBytes, uint32_t extraChunkBytes) {
  // MPEGLAYER3WAVEFORMAT: format tag 0x55, 2 channels, 44100 Hz, 16000 bytes/s, block 1, 0 bits,
  // 12 extra bytes (id, flags, block size, frames per block, codec delay).
  std::string fmt = littleEndian16(0x55) + littleEndian16(2) + littleEndian32(44100) + littleEndian32(16000) +
                    littleEndian16(1) + littleEndian16(0) + littleEndian16(12) + littleEndian16(1) +
                    littleEndian32(2) + littleEndian16(418) + littleEndian16(1) + littleEndian16(1393);
  std::string chunks = "WAVE";
  chunks += "fmt " + littleEndian32(static_cast<uint32_t>(fmt.size())) + fmt;
  chunks += "fact" + littleEndian32(4) + littleEndian32(0);
  if (extraChunkBytes > 0) chunks += "junk" + littleEndian32(extraChunkBytes) + std::string(extraChunkBytes, '\0');
  chunks += "data" + littleEndian32(dataBytes);
  data_ += "RIFF" + littleEndian32(static_cast<uint32_t>(chunks.size() + dataBytes)) + chunks;
  return *this;
}

Mp3Builder& Mp3Builder::id3v1(std::string_view title, std::string_view artist) {
  data_ += mp3::id3v1Tag(title, artist, "Album", "2001", 12);
  return *this;
}

Mp3Builder& Mp3Builder::lyrics3v2(std::string_view lyrics) {
  std::string fields = "IND0000210";
  std::string lyr = std::to_string(lyrics.size());
  fields += "LYR" + std::string(5 - std::min<size_t>(5, lyr.size()), '0') + lyr + std::string(lyrics);
  std::string block = "LYRICSBEGIN" + fields;
  std::string size = std::to_string(block.size());
  data_ += block + std::string(6 - std::min<size_t>(6, size.size()), '0') + size + "LYRICS200";
  return *this;
}

Mp3Builder& Mp3Builder::lyrics3v1(std::string_view lyrics) {
  data_ += "LYRICSBEGIN" + std::string(lyrics) + "LYRICSEND";
  return *this;
}

Mp3Builder& Mp3Builder::bytes(std::string_view raw) {
  data_ += raw;
  return *this;
}

Mp3Builder& Mp3Builder::zeros(size_t count) {
  data_.append(count, '\0');
  return *this;
}

std::string benchmarkFile(bool vbr, int frameCount) {
  Mp3Builder b;
  b.bytes(mp3::id3v2Tag({{"TIT2", "Benchmark"}, {"TPE1", "Sonalog"}}, 1024));
  if (!vbr) {
    b.vbrFrame(mpeg1(9, 0, 1), VbrTag::Info, static_cast<uint32_t>(frameCount), 0);
    b.encodedFrames(mpeg1(9, 0, 1), frameCount);
  } else {
    b.vbrFrame(mpeg1(9, 0, 1), VbrTag::Xing, static_cast<uint32_t>(frameCount), 0);
    // A -V2-like spread around 190 kbps: indexes 9..13, a fixed pseudo-random walk.
    uint32_t state = 12345;
    for (int i = 0; i < frameCount; ++i) {
      state = state * 1103515245u + 12345u;
      const uint8_t index = static_cast<uint8_t>(9 + (state >> 16) % 5);
      b.frames(mpeg1(index, 0, 1));
    }
  }
  b.id3v1();
  return b.str();
}

bool writeBytes(const std::string& path, std::string_view bytes) {
  std::error_code ec;
  const auto parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

}  // namespace sonalog::testing
