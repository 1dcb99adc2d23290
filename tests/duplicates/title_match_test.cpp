#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "duplicates/BitDistance.h"
#include "duplicates/TitleMatch.h"

namespace sonalog {
namespace {

MatchOptions at(uint8_t threshold, bool relaxed = false) {
  MatchOptions o;
  o.matchThreshold = threshold;
  o.relaxed = relaxed;
  ComputePartThreshold(o);
  return o;
}

// The textbook two-row table, the reference for the bit-parallel distance.
uint32_t plainDistance(std::string_view a, std::string_view b) {
  a = a.substr(0, std::min(a.size(), kEditDistanceLimit));
  b = b.substr(0, std::min(b.size(), kEditDistanceLimit));
  std::vector<uint32_t> prev(b.size() + 1), cur(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) prev[j] = static_cast<uint32_t>(j);
  for (size_t i = 1; i <= a.size(); ++i) {
    cur[0] = static_cast<uint32_t>(i);
    for (size_t j = 1; j <= b.size(); ++j)
      cur[j] = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + (a[i - 1] == b[j - 1] ? 0u : 1u)});
    std::swap(prev, cur);
  }
  return prev[b.size()];
}

TEST(TitleMatchTest, PartThresholdIsTheSquareWithinLimits) {
  EXPECT_DOUBLE_EQ(ComputePartThreshold(50), 0.42);
  EXPECT_DOUBLE_EQ(ComputePartThreshold(64), 0.42);
  EXPECT_DOUBLE_EQ(ComputePartThreshold(65), 0.65 * 0.65);
  EXPECT_DOUBLE_EQ(ComputePartThreshold(80), 0.8 * 0.8);
  EXPECT_DOUBLE_EQ(ComputePartThreshold(90), 0.9 * 0.9);
  EXPECT_DOUBLE_EQ(ComputePartThreshold(99), 0.99 * 0.99);
  EXPECT_DOUBLE_EQ(ComputePartThreshold(100), 0.99);
}

TEST(TitleMatchTest, NormalizeFollowsTheTable) {
  EXPECT_EQ(NormalizeTitle("The Band - Song!", true), "the band song");
  EXPECT_EQ(NormalizeTitle("\xC7" "a va, \xE9t\xE9", true), "ca va ete");               // Windows-1252
  EXPECT_EQ(NormalizeTitle("\xC3\x87" "a va, \xC3\xA9t\xC3\xA9", true), "ca va ete");   // UTF-8
  EXPECT_EQ(NormalizeTitle("\xC7" "a va", false), "\xC7" "a va");
  // NUL becomes a space, control characters stay, '#' and digits stay, the rest of ASCII
  // punctuation becomes space; runs collapse and both ends are trimmed.
  EXPECT_EQ(NormalizeTitle(std::string("  a\0b\tc#9$/:@[`{~\x7F" "Z  ", 21), true), "a b\tc#9 z");
  // DOS letters, the kept codes, and 255 as a space.
  EXPECT_EQ(NormalizeTitle("\x80\x81\x82\x83\x8B\x93\x98\x9F\xA4\x91\xC6\xDF\xFFx", true), "cueaioyfn\x91\xC6\xDF x");
  // In a UTF-8 name a kept letter keeps both bytes; other multi-byte bytes follow the table.
  EXPECT_EQ(NormalizeTitle("\xC3\x86" "b", true), "\xC3\x86" "b");
  EXPECT_EQ(NormalizeTitle("\xC3\xBF" "b", true), "b");
  EXPECT_EQ(NormalizeTitle("!!!", true), "");
}

TEST(TitleMatchTest, BitDistanceEqualsTheTableOnRandomTexts) {
  std::mt19937 rng(7);
  BitDistance pattern;
  for (int round = 0; round < 3000; ++round) {
    auto make = [&](size_t maxLen) {
      std::string s(rng() % (maxLen + 1), 'a');
      for (char& c : s) c = static_cast<char>('a' + rng() % 4);
      return s;
    };
    const size_t maxLen = round % 3 == 0 ? 300 : 70;
    const std::string a = make(maxLen), b = make(maxLen);
    pattern.setPattern(a);
    ASSERT_EQ(pattern.distance(b), plainDistance(a, b)) << a << " / " << b;
    ASSERT_EQ(EditDistance(b, a), plainDistance(a, b));
  }
  EXPECT_EQ(EditDistance("", "abc"), 3u);
  EXPECT_EQ(EditDistance("abc", ""), 3u);
  EXPECT_EQ(EditDistance("kitten", "sitting"), 3u);
  // Texts are cut to their first 8191 bytes.
  EXPECT_EQ(EditDistance(std::string(9000, 'a'), std::string(8191, 'a')), 0u);
  EXPECT_EQ(EditDistance(std::string(9000, 'a'), std::string(8000, 'a')), 191u);
}

TEST(TitleMatchTest, ScoresOfThePairsUsersMeet) {
  EXPECT_EQ(MatchPercent("Artist - Title", "artist - title", at(50)), 100);
  EXPECT_EQ(MatchPercent("Artist - Title", "artist - title", at(80)), 100);
  EXPECT_EQ(MatchPercent("Artist - Title", "artist - title", at(99)), 100);
  EXPECT_EQ(MatchPercent("Artist - Title", "artist - title", at(100)), 100);
  EXPECT_EQ(MatchPercent("Artist - Title", "Artist_-_Title", at(80)), 100);
  EXPECT_EQ(MatchPercent("Artist - Title", "Artist_-_Title", at(99)), 99);
  EXPECT_EQ(MatchPercent("abc", "abd", at(100)), 0);
  EXPECT_EQ(MatchPercent("abc", "abd", at(80)), 66);
  EXPECT_EQ(MatchPercent("track one", "track two", at(80)), 66);
  EXPECT_EQ(MatchPercent("Nova - Silver Morning", "Nova - Silver Mornin", at(80)), 96);
  EXPECT_EQ(MatchPercent("Nova - Silver Morning", "Nova - Silver Mornin", at(80, true)), 99);
  EXPECT_EQ(MatchPercent("Kestrel - Night Train", "The Kestrel - Night Train", at(80)), 0);
  EXPECT_EQ(MatchPercent("Kestrel - Night Train", "The Kestrel - Night Train", at(80, true)), 99);
  EXPECT_EQ(MatchPercent("alpha", "alpha beta", at(99, true)), 99);
  EXPECT_EQ(MatchPercent("alpha", "alpha beta", at(99)), 0);
  MatchOptions letter = at(80);
  letter.firstLetterCheck = true;
  EXPECT_EQ(MatchPercent("_title", "title", letter), 0);
  EXPECT_EQ(MatchPercent("title", "Title!", letter), 99);
  EXPECT_EQ(MatchPercent("", "abc", at(80)), 0);
  EXPECT_EQ(MatchPercent("", "abc", at(80, true)), 0);  // an empty text has no windows
  EXPECT_EQ(MatchPercent("", "", at(80)), 100);
  EXPECT_EQ(MatchPercent("Track 9", "Track", at(99)), 0);
  EXPECT_NEAR(TitleSimilarity("Kestrel", "The Kestrel", at(80)), 0.99 - 4.0 / 7, 1e-12);
  EXPECT_DOUBLE_EQ(TitleSimilarity("Song!", "song", at(80)), 0.99);
  EXPECT_DOUBLE_EQ(TitleSimilarity("SONG", "song", at(80)), 1.0);
}

TEST(TitleMatchTest, SplitTakesTheRightmostSeparatorWithTwoBytesEachSide) {
  std::string artist, title;
  ASSERT_TRUE(splitTitle("A - B - Song", artist, title));
  EXPECT_EQ(artist, "A - B");
  EXPECT_EQ(title, "Song");
  ASSERT_TRUE(splitTitle("Abba_-_Song - x", artist, title));  // " - x" leaves one byte: too short
  EXPECT_EQ(artist, "Abba");
  EXPECT_EQ(title, "Song - x");
  ASSERT_TRUE(splitTitle("ab-cd", artist, title));
  EXPECT_EQ(artist, "ab");
  EXPECT_EQ(title, "cd");
  EXPECT_FALSE(splitTitle("a-bcd", artist, title));
  EXPECT_FALSE(splitTitle("abc-d", artist, title));
  EXPECT_FALSE(splitTitle("Just a title", artist, title));
}

TEST(TitleMatchTest, LongNamesNeverWrapToAHighScore) {
  // 256 substitutions over 257 bytes would read as distance 0 over length 1 in 8 bits.
  const std::string a = "q" + std::string(256, 'a');
  const std::string b = "q" + std::string(256, 'b');
  EXPECT_EQ(MatchPercent(a, b, at(80)), 0);
  EXPECT_EQ(TitleSimilarity(a, b, at(80)), 0.0);
  // Windows past the 256th position are still tried in relaxed matching.
  const std::string longer = std::string(300, 'x') + " needle";
  EXPECT_DOUBLE_EQ(TitleSimilarity("needle", longer, at(80, true)), 0.99);
}

TEST(TitleMatchTest, CriteriaOnSizeTimeAndBitrate) {
  ListItem a, b;
  a.sizeKB = 4000;
  b.sizeKB = 4600;
  a.frames = b.frames = 1000;
  a.bitrateCode = b.bitrateCode = 9;
  MatchOptions o = at(80);
  EXPECT_FALSE(PairPassesCriteria(a, b, RunKind::Duplicates, o));
  b.sizeKB = -1;
  EXPECT_TRUE(PairPassesCriteria(a, b, RunKind::Duplicates, o));
  o.allowUnspecified = false;
  EXPECT_FALSE(PairPassesCriteria(a, b, RunKind::Duplicates, o));
  EXPECT_TRUE(PairPassesCriteria(a, b, RunKind::CompareFrames, o));  // no such criterion there
  b.sizeKB = 4500;
  EXPECT_TRUE(PairPassesCriteria(a, b, RunKind::Duplicates, o));
  // Time: frames compared as frames, except in action types 0 and 1 (seconds).
  b.frames = 1031;
  EXPECT_FALSE(PairPassesCriteria(a, b, RunKind::Duplicates, o));
  EXPECT_FALSE(PairPassesCriteria(a, b, RunKind::CompareFrames, o));
  EXPECT_TRUE(PairPassesCriteria(a, b, RunKind::CompareSeconds, o));  // 0.8 s apart
  b.frames = 1000 + 1149;                                              // 30.01 s apart
  EXPECT_FALSE(PairPassesCriteria(a, b, RunKind::CompareSeconds, o));
  b.frames = -1;
  o.allowUnspecified = true;
  EXPECT_TRUE(PairPassesCriteria(a, b, RunKind::Duplicates, o));
  b.frames = 1000;
  // Bitrate: two VBR items pass, VBR against constant fails, unknown passes.
  o.bitrateCheck = true;
  b.bitrateCode = 10;
  EXPECT_FALSE(PairPassesCriteria(a, b, RunKind::Duplicates, o));
  a.bitrateCode = b.bitrateCode = kBitrateVbr;
  a.averageKbps = 190;
  EXPECT_TRUE(PairPassesCriteria(a, b, RunKind::Duplicates, o));
  b.bitrateCode = 15;
  EXPECT_TRUE(PairPassesCriteria(a, b, RunKind::Duplicates, o));
  EXPECT_EQ(compareRunKind(1), RunKind::CompareSeconds);
  EXPECT_EQ(compareRunKind(2), RunKind::CompareFrames);
}

// Names built to hit every branch: separators, accents in both encodings, case, short names,
// punctuation only, long names, extra words.
std::string randomName(std::mt19937& rng) {
  static const std::vector<std::string> words = {
      "Nova", "nova", "Kestrel", "The", "Silver", "Morning", "Mornin", "Night", "Train", "Caf\xE9",
      "Caf\xC3\xA9", "CAFE", "A", "ab", "#1", "9", "_", "-", "!", "e\xE8", "\xC3\x89t\xC3\xA9", "x"};
  static const std::vector<std::string> seps = {" ", " - ", "_-_", "-", "  ", ", "};
  std::string s;
  const int parts = static_cast<int>(rng() % 5);
  for (int i = 0; i < parts; ++i) {
    if (i) s += seps[rng() % seps.size()];
    s += words[rng() % words.size()];
  }
  if (rng() % 10 == 0) s += std::string(rng() % 300, static_cast<char>('a' + rng() % 3));
  return s;
}

TEST(TitleMatchTest, PreparedScoresEqualThePlainOnes) {
  std::mt19937 rng(11);
  std::vector<std::string> names;
  for (int i = 0; i < 120; ++i) names.push_back(randomName(rng));
  for (uint8_t threshold : {50, 65, 80, 90, 98, 99, 100}) {
    for (int flags = 0; flags < 8; ++flags) {
      MatchOptions o = at(threshold, flags & 1);
      o.firstLetterCheck = flags & 2;
      o.highChars = !(flags & 4);
      std::vector<TitleKey> keys;
      for (const auto& n : names) keys.push_back(prepareTitle(n, o));
      TitleMatcher matcher(o);
      for (size_t i = 0; i < names.size(); ++i) {
        matcher.setFirst(keys[i]);
        for (size_t j = 0; j < names.size(); j += 3) {
          const uint8_t plain = MatchPercent(names[i], names[j], o);
          ASSERT_EQ(matcher.score(keys[j]), plain) << names[i] << " / " << names[j];
          const uint8_t fast = matcher.scoreIfMatch(keys[j]);
          if (plain >= threshold) {
            ASSERT_TRUE(matcher.mayMatch(keys[j].sketch)) << names[i] << " / " << names[j];
            ASSERT_EQ(fast, plain) << names[i] << " / " << names[j];
          } else {
            ASSERT_LT(fast, threshold) << names[i] << " / " << names[j];
          }
          ASSERT_EQ(MatchPercent(names[j], names[i], o), plain);
        }
      }
    }
  }
}

}  // namespace
}  // namespace sonalog
