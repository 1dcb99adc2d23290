#include "core/Mp3Writer.h"

#include <algorithm>

#include "core/ListItem.h"

namespace sonalog::mp3 {

namespace {

constexpr int kSampleRateHz[3] = {44100, 48000, 32000};
constexpr int kTocEntries = 100;

void appendBigEndian32(std::string& out, uint32_t v) { out += bigEndian32(v); }

// A fixed-width, zero-filled text field of an ID3v1 tag.
void appendField(std::string& out, std::string_view text, size_t width) {
  const size_t n = std::min(text.size(), width);
  out.append(text.substr(0, n));
  out.append(width - n, '\0');
}

// Synchsafe: 7 bits per byte, so no byte of a size looks like a frame sync.
std::string synchsafe32(uint32_t v) {
  std::string s;
  for (int shift = 21; shift >= 0; shift -= 7) s.push_back(static_cast<char>((v >> shift) & 0x7F));
  return s;
}

}  // namespace

std::string encodeHeader(const FrameHeader& h) {
  std::string bytes(4, '\0');
  bytes[0] = static_cast<char>(0xFF);
  // byte 1: 111 (sync) | version (2 bits) | layer (2 bits) | protection bit (0 = CRC follows)
  bytes[1] = static_cast<char>(0xE0 | ((h.version & 3) << 3) | ((h.layer & 3) << 1) | (h.crc ? 0 : 1));
  // byte 2: bitrate index (4 bits) | frequency index (2 bits) | padding | private
  bytes[2] = static_cast<char>(((h.bitrateIndex & 15) << 4) | ((h.frequencyIndex & 3) << 2) | (h.padding ? 2 : 0));
  // byte 3: channel mode (2 bits) | mode extension (2) | copyright | original | emphasis (2)
  bytes[3] = static_cast<char>(((h.channelMode & 3) << 6) | 0x04);
  return bytes;
}

int sideInfoBytes(const FrameHeader& h) { return h.channelMode == 3 ? 17 : 32; }

int frameLength(const FrameHeader& h) {
  const bool valid = h.bitrateIndex > 0 && h.bitrateIndex < 15 && h.frequencyIndex < 3;
  if (!valid) return 4 + (h.crc ? 2 : 0) + sideInfoBytes(h);
  return 144000 * kBitrateKbps[h.bitrateIndex] / kSampleRateHz[h.frequencyIndex] + (h.padding ? 1 : 0);
}

void appendSilentFrame(std::string& out, const FrameHeader& header, int length) {
  if (length <= 0) length = frameLength(header);
  const size_t start = out.size();
  out += encodeHeader(header);
  out.resize(start + std::max<size_t>(static_cast<size_t>(length), 4), '\0');
}

void appendXingFrame(std::string& out, const FrameHeader& header, bool info, std::optional<uint32_t> frames,
                     uint32_t audioBytes) {
  std::string tag = info ? "Info" : "Xing";
  constexpr uint32_t kFramesFlag = 1, kBytesFlag = 2, kTocFlag = 4;
  appendBigEndian32(tag, (frames ? kFramesFlag : 0) | kBytesFlag | kTocFlag);
  if (frames) appendBigEndian32(tag, *frames);
  appendBigEndian32(tag, audioBytes);
  for (int i = 0; i < kTocEntries; ++i) tag.push_back(static_cast<char>(i * 256 / kTocEntries));

  const size_t start = out.size();
  appendSilentFrame(out, header);
  const size_t at = start + 4 + (header.crc ? 2 : 0) + static_cast<size_t>(sideInfoBytes(header));
  if (out.size() < at + tag.size()) out.resize(at + tag.size(), '\0');
  out.replace(at, tag.size(), tag);
}

void appendEncodedFrames(std::string& out, FrameHeader header, int frameCount) {
  if (header.bitrateIndex == 0 || header.bitrateIndex >= 15 || header.frequencyIndex >= 3) {
    for (int i = 0; i < frameCount; ++i) appendSilentFrame(out, header);
    return;
  }
  // The exact frame length is 144000 * kbps / Hz bytes; the fraction is carried from frame to
  // frame and a padding byte added whenever it adds up to a whole byte.
  const int rate = kSampleRateHz[header.frequencyIndex];
  const int remainder = 144000 * kBitrateKbps[header.bitrateIndex] % rate;
  int carried = 0;
  for (int i = 0; i < frameCount; ++i) {
    carried += remainder;
    header.padding = carried >= rate;
    if (header.padding) carried -= rate;
    appendSilentFrame(out, header);
  }
}

std::string bigEndian32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
  return s;
}

std::string id3v2Header(uint32_t bodyBytes) {
  std::string h = "ID3";
  h.push_back(4);  // version 2.4.0
  h.push_back(0);
  h.push_back(0);  // flags
  return h + synchsafe32(bodyBytes);
}

std::string id3v2Tag(const std::vector<std::pair<std::string, std::string>>& textFrames, size_t paddingBytes) {
  std::string body;
  for (const auto& [id, text] : textFrames) {
    body += id.substr(0, 4);
    body += synchsafe32(static_cast<uint32_t>(text.size() + 1));  // ID3v2.4 frame sizes are synchsafe
    body.push_back(0);                                           // flags
    body.push_back(0);
    body.push_back(3);  // text encoding: UTF-8
    body += text;
  }
  body.append(paddingBytes, '\0');
  return id3v2Header(static_cast<uint32_t>(body.size())) + body;
}

std::string id3v1Tag(std::string_view title, std::string_view artist, std::string_view album, std::string_view year,
                     uint8_t genre) {
  std::string tag = "TAG";
  appendField(tag, title, 30);
  appendField(tag, artist, 30);
  appendField(tag, album, 30);
  appendField(tag, year, 4);
  appendField(tag, "", 30);  // comment (ID3v1.1: its last byte could hold a track number)
  tag.push_back(static_cast<char>(genre));
  return tag;
}

}  // namespace sonalog::mp3
