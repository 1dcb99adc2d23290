#include "core/ListItem.h"

#include <gtest/gtest.h>

#include "tests/support/Items.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

ListItem sample() {
  return testing::ItemBuilder("Artist - Title").folder("/music/a").label("DATA").sizeKB(3750).frames(9188).stereo(1)
      .fileDate(45000).dateAdded(45100).averageKbps(128);
}

TEST(ListItemTest, EqualityIgnoresAverageAndCopyKeepsTargetAverage) {
  ListItem a = sample();
  ListItem b = sample();
  b.averageKbps = 200;
  EXPECT_EQ(a, b);
  b.volumeLabel = "data";
  EXPECT_NE(a, b);

  ListItem target;
  target.averageKbps = 77;
  target.copyFrom(a);
  EXPECT_EQ(target, a);
  EXPECT_EQ(target.averageKbps, 77);
}

TEST(ListItemTest, DerivedValuesByFrequencyCode) {
  ListItem it = sample();
  it.frequencyCode = 255;
  EXPECT_DOUBLE_EQ(playtimeSeconds(it), 9188 * 0.0261224489795918);
  it.frequencyCode = 2;
  EXPECT_DOUBLE_EQ(playtimeSeconds(it), 9188 * 0.036);
  it.frames = -1;
  EXPECT_EQ(playtimeSeconds(it), 0.0);
  EXPECT_DOUBLE_EQ(bytesPerFramePerKbps(1), 3.0);
  EXPECT_DOUBLE_EQ(bytesPerFramePerKbps(7), 3.2653061224489797);
}

TEST(ListItemTest, LongNamesAreCutTo255BytesWithoutSplittingUtf8) {
  EXPECT_EQ(cutName(std::string(300, 'x'), kMaxFileNameBytes).size(), 255u);
  std::string accented = std::string(254, 'x') + "\xC3\xA9";  // 256 bytes, "é" at the end
  EXPECT_EQ(cutName(accented, kMaxFileNameBytes), std::string(254, 'x'));
  std::string latin1 = std::string(254, 'x') + "\xE9\xE9";  // not UTF-8: plain bytes
  EXPECT_EQ(cutName(latin1, kMaxFileNameBytes).size(), 255u);
}

TEST(ListItemTest, TemporaryFileGivesBackExactlyWhatWasWritten) {
  testing::TempHome home;
  std::vector<ListItem> items{sample(), sample()};
  items[1].fileName = std::string("tab\there\nnewline\0zero", 22);
  items[1].sizeKB = -1;
  items[1].frames = -5;
  items[1].averageKbps = 65535;
  const std::string path = home.path("main.(file).tmp");
  ASSERT_TRUE(writeItemsFile(path, items));
  std::vector<ListItem> back;
  ASSERT_TRUE(readItemsFile(path, back));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1], items[1]);
  EXPECT_EQ(back[1].averageKbps, 65535);

  std::string bytes = home.readFile("main.(file).tmp");
  home.writeFile("short.tmp", bytes.substr(0, bytes.size() - 1));
  EXPECT_FALSE(readItemsFile(home.path("short.tmp"), back));
  EXPECT_EQ(back.size(), 2u) << "a failed read leaves the target as it was";
}

}  // namespace
}  // namespace sonalog
