#pragma once
// Writes the byte structures of an mp3 file: MPEG audio frame headers, silent MPEG-1 Layer III
// frames, the Xing/Info header frame, ID3v2 and ID3v1 tags. The demo collection is made of them;
// the tests build their synthetic files on top of them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sonalog::mp3 {

// The fields of a 4-byte frame header, as raw bit values so that invalid headers can be written
// too (the analysis has to reject them).
struct FrameHeader {
  uint8_t version = 3;         // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5, 1 reserved
  uint8_t layer = 1;           // 1 Layer III, 2 Layer II, 3 Layer I, 0 reserved
  uint8_t bitrateIndex = 9;    // 0 free format, 1..14, 15 invalid (9 = 128 kbps for MPEG-1 Layer III)
  uint8_t frequencyIndex = 0;  // 0 44.1 kHz, 1 48 kHz, 2 32 kHz, 3 reserved
  uint8_t channelMode = 0;     // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
  bool padding = false;
  bool crc = false;            // a 16-bit CRC follows the header
};

// The 4 header bytes: sync, version, layer, protection bit (0 = CRC present), bitrate,
// frequency, padding, channel mode; the original bit set, everything else 0.
std::string encodeHeader(const FrameHeader& header);

// Frame length in bytes of an MPEG-1 Layer III frame: 144 * bitrate / frequency (+1 padding).
// Free-format and invalid headers have no length of their own; they get the header and side
// information only.
int frameLength(const FrameHeader& header);

// Bytes of side information after the header (and CRC): 17 for mono, 32 otherwise.
int sideInfoBytes(const FrameHeader& header);

// Appends a frame of length bytes (frameLength(header) when 0) whose audio is all zero: valid
// MPEG-1 Layer III that decodes to silence.
void appendSilentFrame(std::string& out, const FrameHeader& header, int length = 0);

// Appends a silent frame that carries a Xing ("Xing": VBR) or Info (constant bitrate) header
// after its side information, with the frame count when given, the audio byte count and a
// 100-entry table of contents.
void appendXingFrame(std::string& out, const FrameHeader& header, bool info, std::optional<uint32_t> frames,
                     uint32_t audioBytes);

// Appends frameCount silent frames, choosing the padding bit as an encoder does so that the
// average frame length matches the bitrate exactly (44.1 kHz streams alternate 417/418 bytes).
void appendEncodedFrames(std::string& out, FrameHeader header, int frameCount);

// An ID3v2.4 tag with UTF-8 text frames (id such as "TIT2", "TPE1") and paddingBytes zero bytes
// after them; sizes are written synchsafe.
std::string id3v2Tag(const std::vector<std::pair<std::string, std::string>>& textFrames, size_t paddingBytes);

// The 10-byte ID3v2 header alone for a tag of bodyBytes bytes after it (synchsafe, 28 bits).
std::string id3v2Header(uint32_t bodyBytes);

// A 128-byte ID3v1.1 tag; longer texts are cut to their fields.
std::string id3v1Tag(std::string_view title, std::string_view artist, std::string_view album,
                     std::string_view year, uint8_t genre);

// Big-endian 32-bit number as 4 bytes.
std::string bigEndian32(uint32_t value);

}  // namespace sonalog::mp3
