#include "viewer/InsertUnit.h"

#include <gtest/gtest.h>

#include "core/Sorting.h"
#include "tests/viewer/ViewerFixture.h"

namespace sonalog {
namespace {

using testing::viewerItem;

TEST(InsertUnitTest, OkOnlyAfterARealChange) {
  Settings s;
  ListItem it = viewerItem("song");
  it.stereoMode = 9;  // shown as mixed, which is not a change
  InsertUnit unit(InsertUnit::Mode::Edit, it, s, 0, false);
  EXPECT_FALSE(unit.okEnabled());
  EXPECT_EQ(unit.stereoChoice(), 4);
  EXPECT_STREQ(unit.okCaption(), "O&K");
  unit.setFileName("song 2");
  EXPECT_TRUE(unit.okEnabled());
  unit.setFileName("song");
  EXPECT_FALSE(unit.okEnabled());
}

TEST(InsertUnitTest, FieldValidation) {
  Settings s;
  InsertUnit unit(InsertUnit::Mode::Insert, InsertUnit::insertDefaults(45000), s, 63, false);
  EXPECT_EQ(unit.record().frames, -1);
  EXPECT_EQ(unit.record().bitrateCode, 255);
  EXPECT_EQ(unit.record().dateAdded, 45000);
  EXPECT_EQ(unit.bitrateChoice(), 15);
  EXPECT_EQ(unit.frequencyChoice(), 3);
  EXPECT_EQ(unit.playtimeLabel(), "= ??:??");
  EXPECT_TRUE(InsertUnit::dateUnset(unit.record().fileDate));

  unit.setFramesText("16744");
  EXPECT_EQ(unit.record().frames, 16744);
  EXPECT_EQ(unit.playtimeLabel(), "= 7:17");
  for (const char* bad : {"12a", "-5", "", "123456789", " 12"}) {
    unit.setFramesText("100");
    unit.setFramesText(bad);
    EXPECT_EQ(unit.record().frames, -1) << bad;
  }
  unit.setSizeText("700");
  unit.setSizeText("7x");
  unit.setSizeText("1234567");
  EXPECT_EQ(unit.record().sizeKB, 700);

  unit.setBitrateChoice(0);
  EXPECT_EQ(unit.record().bitrateCode, kBitrateVbr);
  unit.setBitrateChoice(1);
  EXPECT_EQ(unit.record().bitrateCode, 14);  // 320 kbps
  unit.setBitrateChoice(14);
  EXPECT_EQ(unit.record().bitrateCode, 1);   // 32 kbps
  EXPECT_EQ(unit.bitrateChoice(), 14);
  unit.setFrequencyChoice(0);
  EXPECT_EQ(unit.record().frequencyCode, 2);
  unit.setFrequencyChoice(3);
  EXPECT_EQ(unit.record().frequencyCode, 3);
  unit.setVolumeLabel(std::string(40, 'L'));
  EXPECT_EQ(unit.record().volumeLabel.size(), 32u);
}

TEST(InsertUnitTest, StepButtons) {
  Settings s;
  InsertUnit unit(InsertUnit::Mode::Insert, InsertUnit::insertDefaults(1), s, 63, false);
  unit.setFramesText("0");
  unit.setFrequencyChoice(1);  // 44.1 kHz
  unit.stepSeconds(+1);
  EXPECT_EQ(unit.record().frames, 38);
  unit.stepSeconds(-1);
  EXPECT_EQ(unit.record().frames, 0);
  unit.stepSeconds(-1);
  EXPECT_EQ(unit.record().frames, 0);
  unit.stepFrames(-1);
  EXPECT_EQ(unit.record().frames, 0);
  unit.setFramesText("99999999");
  unit.stepFrames(+1);
  EXPECT_EQ(unit.record().frames, 99999999);
  unit.stepSeconds(+1);
  EXPECT_EQ(unit.record().frames, 99999999);
  unit.setFramesText("");
  unit.stepFrames(+1);
  EXPECT_EQ(unit.record().frames, 0);
}

TEST(InsertUnitTest, PlacementChoices) {
  Settings s;  // main option: filename, ascending
  InsertUnit ins(InsertUnit::Mode::Insert, InsertUnit::insertDefaults(1), s, 63, false);
  auto c = ins.placementChoices();
  EXPECT_EQ(c[0].caption, "Insert &above the selected item");
  EXPECT_EQ(c[1].caption, "Insert &below the selected item");
  EXPECT_EQ(c[2].caption, "don't sort (list option)");
  EXPECT_FALSE(c[2].enabled);
  EXPECT_EQ(c[3].caption, "Re-sort by filename (main option)");
  EXPECT_TRUE(c[3].enabled);
  EXPECT_EQ(ins.initialChoice(), 0);  // the remembered 2 is not available

  s.editPlacement = 1;
  s.sortcombo = kSortByPlaytime;
  InsertUnit ed(InsertUnit::Mode::Edit, viewerItem("a"), s, kSortByPlaytime, false);
  c = ed.placementChoices();
  EXPECT_EQ(c[0].caption, "&No re-sorting (just leave it there)");
  EXPECT_EQ(c[1].caption, "n/a");
  EXPECT_FALSE(c[1].enabled);
  EXPECT_EQ(c[2].caption, "Re-sort by time (list option)");
  EXPECT_FALSE(c[3].enabled);  // the same order as the list's
  EXPECT_EQ(ed.initialChoice(), 2);

  InsertUnit filtered(InsertUnit::Mode::Edit, viewerItem("a"), s, 0, true);
  for (const PlacementChoice& p : filtered.placementChoices()) EXPECT_FALSE(p.enabled);
  EXPECT_EQ(filtered.initialChoice(), -1);
}

}  // namespace
}  // namespace sonalog
