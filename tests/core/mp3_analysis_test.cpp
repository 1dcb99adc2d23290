#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "core/Mp3Analysis.h"
#include "tests/support/Mp3Builder.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::Mp3Builder;
using testing::mpeg1;
using testing::VbrTag;

constexpr auto kFast = AnalysisMode::Fast;
constexpr auto kSlow = AnalysisMode::Slow;

class Mp3AnalysisTest : public ::testing::Test {
 protected:
  // Analyses the built bytes; ok_ holds the returned flag.
  Mp3AnalysisResult analyse(const Mp3Builder& b, AnalysisMode mode = kFast) {
    Mp3AnalysisResult r;
    const auto bytes = b.build();
    ok_ = analyser_.analyseBytes(bytes, mode, r);
    return r;
  }

  Mp3Analyser analyser_;
  bool ok_ = false;
};

TEST(Mp3WriterTest, HeaderBitsFollowTheMpegLayout) {
  // 128 kbps, 44.1 kHz, MPEG-1 Layer III, no CRC, stereo: the most common header of all.
  EXPECT_EQ(mp3::encodeHeader(mpeg1(9, 0, 0)), std::string("\xFF\xFB\x90\x04", 4));
  mp3::FrameHeader h = mpeg1(14, 1, 3);
  h.crc = true;
  h.padding = true;
  EXPECT_EQ(mp3::encodeHeader(h), std::string("\xFF\xFA\xE6\xC4", 4));
  h.version = 2;
  h.layer = 2;
  EXPECT_EQ(mp3::encodeHeader(h), std::string("\xFF\xF4\xE6\xC4", 4));
  EXPECT_EQ(mp3::frameLength(mpeg1(9, 0, 0)), 417);
  EXPECT_EQ(mp3::frameLength(mpeg1(9, 1, 0)), 384);
  EXPECT_EQ(mp3::frameLength(mpeg1(14, 2, 0)), 1440);
  EXPECT_EQ(mp3::id3v2Header(16777205).substr(6), std::string("\x07\x7F\x7F\x75", 4));
}

TEST_F(Mp3AnalysisTest, ConstantBitrateFileInFastModeEstimatesFramesFromTheLastSync) {
  // 48 kHz frames are exactly 384 bytes, so every position is known.
  Mp3Builder b;
  b.frames(mpeg1(9, 1, 1), 1000);
  auto r = analyse(b);
  ASSERT_TRUE(ok_) << r.errorText;
  EXPECT_EQ(r.bitrateCode, 9);
  EXPECT_EQ(r.frequencyCode, 1);
  EXPECT_EQ(r.stereoMode, 1);
  // The last sync starts frame 999: 999 frame lengths after the first frame.
  EXPECT_EQ(r.frames, 999);
  EXPECT_EQ(r.fileSize, 384000);
  EXPECT_EQ(r.audioBytes, 384000);
  EXPECT_EQ(analyser_.frameTable().size(), 200u);

  r = analyse(b, kSlow);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.frames, 1000);
  EXPECT_EQ(r.bitrateCode, 9);
  EXPECT_EQ(averageKbpsOf(r.audioBytes, r.frames, r.frequencyCode), 128);
}

TEST_F(Mp3AnalysisTest, EstimateUsesTheAverageFrameLengthAndStopsAtTheTags) {
  // 44.1 kHz frames are 417 or 418 bytes; the tags at both ends are not audio.
  Mp3Builder b;
  b.id3v2(3000).encodedFrames(mpeg1(9, 0, 0), 5000);
  const auto lastSync = static_cast<int64_t>(b.str().rfind(std::string("\xFF\xFB", 2)));
  b.id3v1();
  auto r = analyse(b);
  ASSERT_TRUE(ok_) << r.errorText;
  const auto& table = analyser_.frameTable();
  ASSERT_EQ(table.size(), 200u);
  EXPECT_EQ(table.front().position, 3010);
  const double average = static_cast<double>(table.back().position - 3010) / 199.0;
  EXPECT_EQ(r.frames, static_cast<int32_t>(std::nearbyint(static_cast<double>(lastSync - 3010) / average)));
  EXPECT_NEAR(r.frames, 5000, 1);
  EXPECT_EQ(r.audioBytes, static_cast<int64_t>(b.size()) - 128 - 3010);
  EXPECT_EQ(r.bitrateCode, 9);
  EXPECT_EQ(averageKbpsOf(r.audioBytes, r.frames, r.frequencyCode), 128);
}

TEST_F(Mp3AnalysisTest, InfoFrameWithItsOwnBitrateKeepsTheFileConstant) {
  Mp3Builder b;
  b.vbrFrame(mpeg1(5, 0, 1), VbrTag::Info, std::nullopt).frames(mpeg1(9, 0, 1), 1999);
  auto r = analyse(b);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.bitrateCode, 9);
  EXPECT_EQ(analyser_.frameTable().front().vbrHeader, kInfo);
  // The short first frame lowers the average frame length: (208 + 198 * 417) / 199 = 415.95
  // bytes, and the last frame starts 208 + 1998 * 417 bytes in: 2003.55 average frames.
  EXPECT_EQ(r.frames, 2004);

  // Without a header on the odd frame the same file is VBR.
  Mp3Builder plain;
  plain.frames(mpeg1(5, 0, 1)).frames(mpeg1(9, 0, 1), 1999);
  r = analyse(plain);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.bitrateCode, kBitrateVbr);
  EXPECT_EQ(r.frames, 2000);  // VBR without a count: every frame is counted
}

TEST_F(Mp3AnalysisTest, VbrHeaderCountIsTakenInFastModeOnly) {
  Mp3Builder b;
  b.vbrFrame(mpeg1(9), VbrTag::Xing, 7777u);
  for (int i = 0; i < 600; ++i) b.frames(mpeg1(static_cast<uint8_t>(9 + i % 3)));
  auto r = analyse(b);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.frames, 7777);
  EXPECT_EQ(r.bitrateCode, kBitrateVbr);
  EXPECT_EQ(r.audioBytes, static_cast<int64_t>(b.size()));

  r = analyse(b, kSlow);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.frames, 601);
  EXPECT_EQ(r.bitrateCode, kBitrateVbr);
}

TEST_F(Mp3AnalysisTest, XingWithoutFrameCountFlagMakesFastModeCountEveryFrame) {
  Mp3Builder b;
  b.vbrFrame(mpeg1(9), VbrTag::Xing, std::nullopt);
  for (int i = 0; i < 600; ++i) b.frames(mpeg1(static_cast<uint8_t>(9 + i % 2)));
  auto r = analyse(b);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.frames, 601);
  EXPECT_EQ(r.bitrateCode, kBitrateVbr);
  EXPECT_EQ(analyser_.frameTable().front().vbrHeader, kXing);
}

TEST_F(Mp3AnalysisTest, EveryVbrHeaderKindIsFoundWhereEncodersPutIt) {
  struct Case {
    VbrTag tag;
    uint8_t mode;
    bool crc;
    VbrHeaderKind kind;
  };
  for (const Case& c : {Case{VbrTag::Xing, 3, false, kXing}, Case{VbrTag::Info, 0, true, kInfo},
                        Case{VbrTag::Xing, 3, true, kXing}, Case{VbrTag::Vbri, 2, false, kVbri},
                        Case{VbrTag::Fbri, 3, false, kFbri}}) {
    SCOPED_TRACE(static_cast<int>(c.kind) * 10 + c.mode);
    mp3::FrameHeader h = mpeg1(9, 0, c.mode);
    h.crc = c.crc;
    Mp3Builder b;
    b.vbrFrame(h, c.tag, 4321u);
    for (int i = 0; i < 250; ++i) b.frames(mpeg1(static_cast<uint8_t>(8 + i % 4), 0, c.mode));
    const auto r = analyse(b);
    ASSERT_TRUE(ok_);
    EXPECT_EQ(analyser_.frameTable().front().vbrHeader, c.kind);
    EXPECT_EQ(r.frames, 4321);
  }
}

TEST_F(Mp3AnalysisTest, FewerThanTwoHundredFramesAreCountedInFastMode) {
  Mp3Builder b;
  b.encodedFrames(mpeg1(11, 2, 3), 150).id3v1();
  const auto r = analyse(b);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.frames, 150);
  EXPECT_EQ(r.bitrateCode, 11);
  EXPECT_EQ(r.frequencyCode, 2);
  EXPECT_EQ(r.stereoMode, 3);
}

TEST_F(Mp3AnalysisTest, EstimateNeverReportsFewerFramesThanCounted) {
  // Exactly 200 frames: the last sync in the final 8 KB is the last counted frame.
  Mp3Builder b;
  b.frames(mpeg1(9, 1, 0), 200);
  auto r = analyse(b);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.frames, 200);
  // 200 frames followed by 10 KB that hold no sync at all.
  b.zeros(10000);
  r = analyse(b);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.frames, 200);
}

TEST_F(Mp3AnalysisTest, OneFrameWithAVbrHeaderKeepsItsOwnBitrate) {
  Mp3Builder b;
  b.vbrFrame(mpeg1(9), VbrTag::Xing, std::nullopt);
  const auto r = analyse(b);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.frames, 1);
  EXPECT_EQ(r.bitrateCode, 9);
}

TEST_F(Mp3AnalysisTest, FreeFormatFramesMakeTheFileVbr) {
  Mp3Builder b;
  for (int i = 0; i < 20; ++i) b.frameOfLength(mpeg1(0, 0, 0), 600);
  const auto r = analyse(b);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.frames, 20);
  EXPECT_EQ(r.bitrateCode, kBitrateVbr);
}

TEST_F(Mp3AnalysisTest, RejectedHeadersAreToleratedUpToTheirLimit) {
  struct Case {
    uint8_t version, layer, bitrateIndex, frequencyIndex;
    int tolerated;
    const char* text;
  };
  const Case cases[] = {
      {3, 0, 9, 0, 51, "Unknown mpeg layer version."},   {3, 2, 9, 0, 51, "Seems like mp2, not mp3 file."},
      {3, 3, 9, 0, 51, "Seems like mp1, not mp3 file."}, {0, 1, 9, 0, 51, "Mpeg version 2.5 not supported"},
      {1, 1, 9, 0, 51, "Unknown mpeg version"},          {2, 1, 9, 0, 51, "Mpeg version 2 not supported"},
      {3, 1, 15, 0, 50, "Invalid bitrate detected."},    {3, 1, 9, 3, 50, "Invalid frequency detected."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    mp3::FrameHeader bad = mpeg1(c.bitrateIndex, c.frequencyIndex);
    bad.version = c.version;
    bad.layer = c.layer;
    Mp3Builder tolerated;
    for (int i = 0; i < c.tolerated; ++i) tolerated.frameOfLength(bad, 200);
    tolerated.frames(mpeg1(9), 10);
    auto r = analyse(tolerated);
    EXPECT_TRUE(ok_) << r.errorText;
    EXPECT_EQ(r.frames, 10);

    Mp3Builder rejected;
    for (int i = 0; i <= c.tolerated; ++i) rejected.frameOfLength(bad, 200);
    rejected.frames(mpeg1(9), 10);
    r = analyse(rejected);
    EXPECT_FALSE(ok_);
    EXPECT_EQ(r.errorText, c.text);
  }

  // Layer failures of different kinds share one counter; the last one names the reason.
  mp3::FrameHeader mp2 = mpeg1(), mp1 = mpeg1();
  mp2.layer = 2;
  mp1.layer = 3;
  Mp3Builder mixed;
  for (int i = 0; i < 51; ++i) mixed.frameOfLength(mp2, 100);
  mixed.frameOfLength(mp1, 100).frames(mpeg1(), 5);
  const auto r = analyse(mixed);
  EXPECT_FALSE(ok_);
  EXPECT_EQ(r.errorText, "Seems like mp1, not mp3 file.");
}

TEST_F(Mp3AnalysisTest, Id3v2TagIsSkippedUpToSixteenMegabytes) {
  Mp3Builder onlyTag;
  onlyTag.id3v2(1000).zeros(20000);
  auto r = analyse(onlyTag);
  EXPECT_FALSE(ok_);
  EXPECT_EQ(r.errorText, "Doesn't seem like a 32/44.1/48 KHz mp3 file.");
  EXPECT_EQ(r.fileSize, 21010);

  // A sync pattern inside the tag is not a frame.
  Mp3Builder fakeSyncInTag;
  fakeSyncInTag.bytes(mp3::id3v2Header(500)).frames(mpeg1(1, 0, 3)).zeros(500 - 104).frames(mpeg1(9), 30);
  r = analyse(fakeSyncInTag);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.frames, 30);
  EXPECT_EQ(r.stereoMode, 0);
  EXPECT_EQ(analyser_.frameTable().front().position, 510);

  Mp3Builder tooLarge;
  tooLarge.id3v2(16777206).frames(mpeg1(9), 10);
  r = analyse(tooLarge);
  EXPECT_FALSE(ok_);
  EXPECT_EQ(r.errorText, "ID3v2 tag should be below 16 MB.");

  Mp3Builder largest;
  largest.id3v2(16777205).frames(mpeg1(9), 10);
  r = analyse(largest);
  ASSERT_TRUE(ok_) << r.errorText;
  EXPECT_EQ(r.frames, 10);
  EXPECT_EQ(r.audioBytes, 4170);
}

TEST_F(Mp3AnalysisTest, TagThatClaimsToReachPastTheEndFindsNoFrames) {
  Mp3Builder b;
  b.id3v2(1000000).frames(mpeg1(9), 3);
  const std::string truncated = b.str().substr(0, 5000);
  Mp3AnalysisResult r;
  const std::vector<uint8_t> bytes(truncated.begin(), truncated.end());
  EXPECT_FALSE(analyser_.analyseBytes(bytes, kSlow, r));
  EXPECT_EQ(r.errorText, "Doesn't seem like a 32/44.1/48 KHz mp3 file.");
}

TEST_F(Mp3AnalysisTest, FrameRunningPastTheEndOfAFullBlockEndsTheScan) {
  // The file is exactly one 50 000-byte block; its last frame jumps past the end of the file.
  Mp3Builder b;
  b.zeros(49300).frames(mpeg1(14), 1);  // a 1044-byte frame
  const std::string bytes = b.str().substr(0, 50000);
  Mp3AnalysisResult r;
  EXPECT_TRUE(analyser_.analyseBytes({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, kSlow, r));
  EXPECT_EQ(r.frames, 1);
  EXPECT_EQ(r.bitrateCode, 14);
}

TEST_F(Mp3AnalysisTest, FramesAcrossBlockBoundariesAreAllCounted) {
  // Odd-sized garbage first, so that frames straddle every 50 000-byte block boundary.
  Mp3Builder b;
  b.zeros(777).encodedFrames(mpeg1(13, 0, 2), 3000);
  const auto r = analyse(b, kSlow);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.frames, 3000);
  EXPECT_EQ(r.bitrateCode, 13);
  EXPECT_EQ(r.stereoMode, 2);
  EXPECT_EQ(r.audioBytes, static_cast<int64_t>(b.size()) - 777);
}

TEST_F(Mp3AnalysisTest, FastModeReadsSizedToItsFramesSeeWhatWholeBlocksSee) {
  // Fast mode sizes its reads from the frames seen so far, slow mode reads whole blocks; on VBR
  // without a header both walk every frame, so they must agree frame for frame. The offset and
  // the short frames of odd and even lengths put headers in the last bytes of fast mode's reads;
  // stray syncs sit between frames.
  for (int64_t junk = 44000; junk < 44300; ++junk) {
    Mp3Builder b;
    b.zeros(static_cast<size_t>(junk));
    uint32_t walk = static_cast<uint32_t>(junk);
    for (int i = 0; i < 500; ++i) {
      walk = walk * 1103515245u + 12345u;
      mp3::FrameHeader h = mpeg1(static_cast<uint8_t>(1 + (walk >> 16) % 4), 0, 1);
      h.padding = (walk >> 20) & 1;
      b.frames(h);
      if (i % 50 == 0) b.bytes("\xFF\xE0");
    }
    const auto slow = analyse(b, kSlow);
    const auto slowTable = analyser_.frameTable();
    const auto fast = analyse(b, kFast);
    ASSERT_TRUE(ok_);
    EXPECT_EQ(fast.frames, slow.frames);
    EXPECT_EQ(fast.bitrateCode, kBitrateVbr);
    ASSERT_EQ(analyser_.frameTable().size(), slowTable.size());
    for (size_t k = 0; k < slowTable.size(); ++k) {
      const FrameRecord& f = analyser_.frameTable()[k];
      const FrameRecord& g = slowTable[k];
      EXPECT_EQ(std::tie(f.position, f.length, f.channelMode), std::tie(g.position, g.length, g.channelMode));
    }
  }
}

TEST_F(Mp3AnalysisTest, RiffWrapperAndId3v2AreSkippedInEitherOrder) {
  // A sync-like "FF FB 90 04" inside the RIFF header must not count as a frame.
  const std::string fakeFrame = mp3::encodeHeader(mpeg1(9, 0, 3));
  {
    Mp3Builder b;
    b.riff(41800).frames(mpeg1(9, 1), 100);
    const auto r = analyse(b);
    ASSERT_TRUE(ok_);
    EXPECT_EQ(analyser_.frameTable().front().position, static_cast<int64_t>(b.size()) - 38400);
    EXPECT_EQ(r.frames, 100);
  }
  {
    Mp3Builder b;
    b.id3v2(2000).riff(41800, 40).frames(mpeg1(9, 1), 100);
    std::string bytes = b.str();
    bytes.replace(2010 + 80, 4, fakeFrame);  // inside the junk chunk
    Mp3AnalysisResult r;
    ASSERT_TRUE(analyser_.analyseBytes({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, kFast, r));
    EXPECT_EQ(r.stereoMode, 0);
    EXPECT_EQ(r.audioBytes, 38400);
  }
  {
    Mp3Builder b;
    b.riff(41800).id3v2(700).frames(mpeg1(9, 1), 100);
    const auto r = analyse(b);
    ASSERT_TRUE(ok_);
    EXPECT_EQ(r.audioBytes, 38400);
  }
  {
    // "data" more than 516 bytes after "RIFF": the scan starts 517 bytes in, inside the header.
    Mp3Builder b;
    b.riff(41800, 600).frames(mpeg1(9, 1), 100);
    std::string bytes = b.str();
    bytes.replace(560, 4, mp3::encodeHeader(mpeg1(1, 0, 3)));  // a 104-byte frame
    Mp3AnalysisResult r;
    ASSERT_TRUE(analyser_.analyseBytes({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, kSlow, r));
    EXPECT_EQ(r.frames, 101);
    EXPECT_EQ(r.audioBytes, static_cast<int64_t>(bytes.size()) - 560);
    EXPECT_EQ(r.stereoMode, 0);  // 100 stereo frames against one mono: rest 1 < 3
  }
}

TEST_F(Mp3AnalysisTest, TailTagsAreLeftOutOfTheAudioBytes) {
  const int64_t audio = 100 * 384;
  struct Case {
    const char* name;
    std::string tail;
    int64_t audioBytes;
  };
  Mp3Builder v2WithId3v1, v2Alone, v1, v1TooFar, twoBegins;
  v2WithId3v1.lyrics3v2("la la la").id3v1();
  v2Alone.lyrics3v2("la la la");
  v1.lyrics3v1("hm hm").id3v1();
  v1TooFar.bytes("LYRICSBEGIN").zeros(5200).bytes("LYRICSEND").id3v1();
  twoBegins.bytes("LYRICSBEGIN").zeros(50).lyrics3v1("again").id3v1();
  const Case cases[] = {
      {"ID3v1", mp3::id3v1Tag("t", "a", "b", "1999", 1), audio},
      {"TAG one byte early", mp3::id3v1Tag("t", "a", "b", "1999", 1) + "x", audio},
      {"TAG three bytes late", mp3::id3v1Tag("t", "a", "b", "1999", 1).substr(0, 125), audio},
      {"TAG four bytes late", mp3::id3v1Tag("t", "a", "b", "1999", 1).substr(0, 124), audio + 124},
      {"Lyrics3 v2 + ID3v1", v2WithId3v1.str(), audio},
      {"Lyrics3 v2 alone", v2Alone.str(), audio},
      {"Lyrics3 v1 + ID3v1", v1.str(), audio},
      {"Lyrics3 v1 begin too far", v1TooFar.str(), audio + 11 + 5200 + 9},
      {"earliest LYRICSBEGIN", twoBegins.str(), audio},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Mp3Builder b;
    b.frames(mpeg1(9, 1), 100).bytes(c.tail);
    const auto r = analyse(b, kSlow);
    ASSERT_TRUE(ok_);
    EXPECT_EQ(r.audioBytes, c.audioBytes);
    EXPECT_EQ(r.fileSize, audio + static_cast<int64_t>(c.tail.size()));
  }
}

TEST_F(Mp3AnalysisTest, ModeAndFrequencyAreUniformUnlessTheFramesReallyDisagree) {
  struct Case {
    int stereo, mono;
    uint8_t expected;
  };
  for (const Case& c : {Case{998, 2, 0}, Case{4, 4, kStereoModeMixed}, Case{2, 1, kStereoModeMixed},
                        Case{0, 3, 3}, Case{2, 3, kStereoModeMixed}, Case{5000, 3, 0},
                        Case{2000, 3, kStereoModeMixed}, Case{3, 4, kStereoModeMixed}}) {
    SCOPED_TRACE(std::to_string(c.stereo) + " stereo, " + std::to_string(c.mono) + " mono");
    Mp3Builder b;
    b.frames(mpeg1(9, 1, 3), c.mono / 2).frames(mpeg1(9, 1, 0), c.stereo).frames(mpeg1(9, 1, 3), c.mono - c.mono / 2);
    const auto r = analyse(b, kSlow);
    ASSERT_TRUE(ok_);
    EXPECT_EQ(r.stereoMode, c.expected);
  }
  // The same rule over frequencies; 48 and 32 kHz tie: the lower index wins the tie and is mixed.
  Mp3Builder nearly;
  nearly.frames(mpeg1(9, 1), 5000).frames(mpeg1(9, 2), 3);
  EXPECT_EQ(analyse(nearly, kSlow).frequencyCode, 1);
  Mp3Builder mixed;
  mixed.frames(mpeg1(9, 1), 10).frames(mpeg1(9, 2), 10);
  const auto r = analyse(mixed, kSlow);
  EXPECT_EQ(r.frequencyCode, kFrequencyMixed);
  // Mixed frequencies give the playtime of 44.1 kHz frames.
  // (10 * 384 + 10 * 576) bytes / (3.2653 * 20 frames) = 147 kbps.
  EXPECT_EQ(averageKbpsOf(r.audioBytes, r.frames, r.frequencyCode), 147);
}

TEST_F(Mp3AnalysisTest, FailedFileCarriesUnknownCodesNotThePreviousFiles) {
  Mp3Builder good, bad;
  good.frames(mpeg1(12, 1, 3), 300);
  bad.zeros(4000);
  auto r = analyse(good);
  ASSERT_TRUE(ok_);
  EXPECT_EQ(r.bitrateCode, 12);

  r = analyse(bad);
  EXPECT_FALSE(ok_);
  EXPECT_EQ(r.bitrateCode, 0);
  EXPECT_EQ(r.stereoMode, 4);
  EXPECT_EQ(r.frequencyCode, 255);
  EXPECT_EQ(r.frames, 0);
  EXPECT_EQ(r.fileSize, 4000);
  ListItem item;
  item.bitrateCode = 12;
  item.averageKbps = 99;
  storeAnalysis(r, item);
  EXPECT_EQ(item.bitrateCode, 0);
  EXPECT_EQ(item.stereoMode, 4);
  EXPECT_EQ(item.frequencyCode, 255);
  EXPECT_EQ(item.sizeKB, 4);
  EXPECT_EQ(item.averageKbps, 0);

  // A reused analyser gives what a fresh one gives.
  Mp3Analyser fresh;
  Mp3AnalysisResult expected;
  const auto bytes = good.build();
  fresh.analyseBytes(bytes, kFast, expected);
  r = analyse(good);
  EXPECT_EQ(r.frames, expected.frames);
  EXPECT_EQ(r.audioBytes, expected.audioBytes);
}

TEST_F(Mp3AnalysisTest, FilesAreReadFromDiskWithTheSameResults) {
  testing::TempHome home;
  Mp3Builder b;
  b.id3v2(100).encodedFrames(mpeg1(10, 0, 1), 900).id3v1();
  ASSERT_TRUE(testing::writeBytes(home.path("a.mp3"), b.str()));
  Mp3AnalysisResult fromFile;
  ASSERT_TRUE(analyser_.analyseFile(home.path("a.mp3"), kFast, fromFile));
  const auto fromMemory = analyse(b);
  EXPECT_EQ(fromFile.frames, fromMemory.frames);
  EXPECT_EQ(fromFile.audioBytes, fromMemory.audioBytes);
  EXPECT_EQ(fromFile.fileSize, static_cast<int64_t>(b.size()));
  EXPECT_EQ(fromFile.bitrateCode, 10);

  for (const std::string& path : {home.path("missing.mp3"), home.path()}) {
    Mp3AnalysisResult r;
    EXPECT_FALSE(analyser_.analyseFile(path, kFast, r));
    EXPECT_EQ(r.errorText, "Disk error reading the file.");
    EXPECT_EQ(r.bitrateCode, 0);
  }
}

TEST(Mp3ConversionsTest, SizeAndAverageRoundHalvesToEven) {
  EXPECT_EQ(sizeKBFromFileSize(0), 0);
  EXPECT_EQ(sizeKBFromFileSize(512), 0);
  EXPECT_EQ(sizeKBFromFileSize(513), 1);
  EXPECT_EQ(sizeKBFromFileSize(1536), 2);
  EXPECT_EQ(sizeKBFromFileSize(2560), 2);
  EXPECT_EQ(sizeKBFromFileSize(int64_t{3} << 30), 3145728);          // 3 GiB: no overflow
  EXPECT_EQ(sizeKBFromFileSize(int64_t{1} << 45), 2147483647);       // saturates
  EXPECT_EQ(averageKbpsOf(384 * 100, 100, 1), 128);
  EXPECT_EQ(averageKbpsOf(int64_t{3} << 30, 5000000, 0), 197);        // 3 GiB of audio
  EXPECT_EQ(averageKbpsOf(1000, 0, 0), 0);
  EXPECT_EQ(averageKbpsOf(1000, -5, 0), 0);
  EXPECT_EQ(averageKbpsOf(-1000, 5, 0), 0);
  EXPECT_EQ(averageKbpsOf(int64_t{1} << 40, 1, 0), 0);               // does not fit 16 bits
  // 45 * 3.0 * 100 bytes / (3.0 * 100) = 45 exactly; 4.5 kbps-halves round to even.
  EXPECT_EQ(averageKbpsOf(1350, 100, 1), 4);
  EXPECT_EQ(averageKbpsOf(1650, 100, 1), 6);
}

}  // namespace
}  // namespace sonalog
