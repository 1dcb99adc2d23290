#include <gtest/gtest.h>

#include "duplicates/PreDupUnit.h"
#include "tests/support/FakeUi.h"

namespace sonalog {
namespace {

TEST(PreDupTest, OpeningCorrectsStoredValues) {
  Settings s;
  s.matchThreshold = 40;
  s.timeLimitSec = 150;
  s.sizeLimitKB = 10000;
  s.threadPriority = 7;
  PreDupSession session;
  testing::FakeUi ui;
  ASSERT_TRUE(session.open(s, ui, false));
  EXPECT_EQ(s.matchThreshold, 99);
  EXPECT_EQ(s.timeLimitSec, 20);
  EXPECT_EQ(s.sizeLimitKB, 400);
  EXPECT_EQ(s.threadPriority, 1);
  s.matchThreshold = 101;
  s.threadPriority = 2;
  s.timeLimitSec = 99;
  s.sizeLimitKB = 9999;
  normalizeDuplicatesOptions(s);
  EXPECT_EQ(s.matchThreshold, 99);
  EXPECT_EQ(s.threadPriority, 2);
  EXPECT_EQ(s.timeLimitSec, 99);
  EXPECT_EQ(s.sizeLimitKB, 9999);
  EXPECT_TRUE(ui.shown.empty());

  Settings other;
  EXPECT_FALSE(session.open(other, ui, true));
  EXPECT_EQ(ui.texts(), std::vector<std::string>{"Close compare window first."});
}

TEST(PreDupTest, EditsKeepTheLastValidValue) {
  Settings s;
  s.sizeLimitKB = 500;
  EXPECT_FALSE(sizeEditChanged(s, "abc"));
  EXPECT_FALSE(sizeEditChanged(s, ""));
  EXPECT_FALSE(sizeEditChanged(s, "10000"));
  EXPECT_FALSE(sizeEditChanged(s, "-5"));
  EXPECT_EQ(s.sizeLimitKB, 500);
  EXPECT_TRUE(sizeEditChanged(s, "9999"));
  EXPECT_EQ(s.sizeLimitKB, 9999);
  EXPECT_TRUE(timeEditChanged(s, "0"));
  EXPECT_EQ(s.timeLimitSec, 0);
  EXPECT_FALSE(timeEditChanged(s, "100"));
  EXPECT_TRUE(timeEditChanged(s, "99"));
  EXPECT_EQ(s.timeLimitSec, 99);
}

TEST(PreDupTest, CancelPutsTheSettingsBackAndGoComputesThePartThreshold) {
  Settings s;
  s.matchThreshold = 80;
  PreDupSession session;
  testing::FakeUi ui;
  ASSERT_TRUE(session.open(s, ui, false));
  s.matchThreshold = 65;
  s.firstLetterCheck = true;
  s.compareAction = 4;
  s.examineBangLines = true;
  session.cancel(s);
  EXPECT_FALSE(s.examineBangLines);
  EXPECT_EQ(s.matchThreshold, 80);
  EXPECT_FALSE(s.firstLetterCheck);
  EXPECT_EQ(s.compareAction, 0);
  EXPECT_FALSE(session.started());

  s.matchThreshold = 65;
  s.actionMode = 2;
  s.errorexportcombo = 2;
  const DupSearchOptions o = session.go(s);
  EXPECT_TRUE(session.started());
  EXPECT_DOUBLE_EQ(o.match.partThreshold, 0.65 * 0.65);
  EXPECT_EQ(o.match.matchThreshold, 65);
  EXPECT_EQ(o.actionMode, 2);
  EXPECT_EQ(o.style.unknownStyle, 2);
}

}  // namespace
}  // namespace sonalog
