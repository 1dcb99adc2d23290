#pragma once
// Builds synthetic mp3 files in memory for tests and benchmarks: any sequence of frame headers
// (valid or not), VBR header frames, ID3v2/ID3v1 tags, a RIFF wrapper and Lyrics3 blocks.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Mp3Writer.h"

namespace sonalog::testing {

using mp3::FrameHeader;

enum class VbrTag { Xing, Info, Vbri, Fbri };

// A frame header for MPEG-1 Layer III with the given bitrate index, frequency and mode.
FrameHeader mpeg1(uint8_t bitrateIndex = 9, uint8_t frequencyIndex = 0, uint8_t channelMode = 0);

class Mp3Builder {
 public:
  // count silent frames of one header (padding as given).
  Mp3Builder& frames(const FrameHeader& header, int count = 1);
  // count silent frames with the padding an encoder chooses for an exact average bitrate.
  Mp3Builder& encodedFrames(const FrameHeader& header, int count);
  // One frame of an explicit length (free format, or a header followed by chosen garbage).
  Mp3Builder& frameOfLength(const FrameHeader& header, int length);
  // A frame carrying a VBR header. Xing/Info sit after the side information, VBRI/FBRI 32 bytes
  // after the header; frameCount absent: Xing/Info flags without bit 0, VBRI/FBRI count 0.
  Mp3Builder& vbrFrame(const FrameHeader& header, VbrTag tag, std::optional<uint32_t> frameCount,
                       uint32_t audioBytes = 0);
  // An ID3v2 tag with bodyBytes zero bytes after its header, the size synchsafe.
  Mp3Builder& id3v2(uint32_t bodyBytes);
  // An ID3v2 header whose size bytes 6..9 are exactly b6..b9 (no body written).
  Mp3Builder& id3v2RawSize(uint8_t b6, uint8_t b7, uint8_t b8, uint8_t b9);
  // A RIFF/WAVE header with a "fmt " and a "fact" chunk, ending with the "data" chunk header of
  // dataBytes bytes; extraChunkBytes of a "junk" chunk move "data" further away from "RIFF".
  Mp3Builder& riff(uint32_t dataBytes, uint32_t extraChunkBytes = 0);
  // A 128-byte ID3v1 tag.
  Mp3Builder& id3v1(std::string_view title = "Title", std::string_view artist = "Artist");
  // Lyrics3 v2: "LYRICSBEGIN", a "LYR" field, the 6-digit size and "LYRICS200".
  Mp3Builder& lyrics3v2(std::string_view lyrics);
  // Lyrics3 v1: "LYRICSBEGIN", the text and "LYRICSEND".
  Mp3Builder& lyrics3v1(std::string_view lyrics);
  Mp3Builder& bytes(std::string_view raw);
  Mp3Builder& zeros(size_t count);

  // Current length: the offset where the next piece starts.
  size_t size() const { return data_.size(); }
  const std::string& str() const { return data_; }
  std::vector<uint8_t> build() const { return {data_.begin(), data_.end()}; }

 private:
  std::string data_;
};

// A 4-minute-like file for benchmarks: frames of bitrate index 9 (CBR) or a deterministic
// spread of indexes behind a Xing header (VBR), with ID3v2 and ID3v1 tags.
std::string benchmarkFile(bool vbr, int frameCount);

// Writes bytes to path (creating folders); false on failure.
bool writeBytes(const std::string& path, std::string_view bytes);

}  // namespace sonalog::testing
