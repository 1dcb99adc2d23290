#include "settings/SettingNames.h"

#include <gtest/gtest.h>

#include <set>

namespace sonalog {
namespace {

TEST(SettingNamesTest, EveryNameIsUniqueAndEverySettingIsReachable) {
  std::set<std::string> names;
  for (const SettingInfo& info : allSettings()) {
    EXPECT_TRUE(names.insert(info.name).second) << info.name;
    ASSERT_NE(findSetting(info.name), nullptr) << info.name;
    EXPECT_EQ(findSetting(info.name)->name, info.name);
  }
  // 57 single fields in block A, 35 in block C, 22 strings; 14 column widths, 16 custom
  // colours, 4 fonts of 4 parts, 15 pairs.
  EXPECT_EQ(allSettings().size(), 57u + 35 + 22 + 14 + 16 + 16 + 30);
}

// Setting each entry to a distinctive valid value changes exactly the bytes of that entry, and
// the value reads back: the table and the record agree field by field.
TEST(SettingNamesTest, EachNameWritesItsOwnField) {
  for (const SettingInfo& info : allSettings()) {
    Settings s;
    const std::string before = encodeSettings(s);
    std::string value;
    switch (info.kind) {
      case SettingKind::Switch: value = getSetting(s, info) == "1" ? "0" : "1"; break;
      case SettingKind::Number: {
        const int64_t current = std::stoll(getSetting(s, info));
        value = std::to_string(current == info.max ? info.min : info.max);
        break;
      }
      case SettingKind::Text: value = "zq"; break;
    }
    ASSERT_EQ(setSetting(s, info, value), std::nullopt) << info.name;
    EXPECT_EQ(getSetting(s, info), value) << info.name;
    EXPECT_NE(encodeSettings(s), before) << info.name;
    Settings back;
    ASSERT_TRUE(decodeSettings(encodeSettings(s), back));
    EXPECT_EQ(getSetting(back, info), value) << info.name;
  }
}

TEST(SettingNamesTest, AssignmentsAreValidated) {
  Settings s;
  const Settings before = s;
  EXPECT_EQ(applySettingAssignment(s, "CheckTime=2"),
            "invalid value \"2\" for CheckTime: expected 0 or 1");
  EXPECT_EQ(applySettingAssignment(s, "minsizetext=2001"),
            "invalid value \"2001\" for minsizetext: expected a whole number from 1 to 2000");
  EXPECT_NE(applySettingAssignment(s, "minsizetext=12abc"), std::nullopt);
  EXPECT_NE(applySettingAssignment(s, "minsizetext="), std::nullopt);
  EXPECT_NE(applySettingAssignment(s, "EditMaxcursav=65536"), std::nullopt);
  EXPECT_NE(applySettingAssignment(s, "EditMaxcursav=99999999999999999999999"), std::nullopt);
  EXPECT_NE(applySettingAssignment(s, "customColours.0=123456789"), std::nullopt);
  EXPECT_NE(applySettingAssignment(s, "tableFont.name=" + std::string(256, 'f')), std::nullopt);
  // Numbers are read strictly: one sign at most, nothing a 64-bit integer cannot hold.
  for (const char* bad : {"--80", "+-80", "-+80", "--9223372036854775808", "-9223372036854775809",
                          "9223372036854775808", "0x", "0x-5", " 80", "80 ", "8e1", "0x1p4"})
    EXPECT_NE(applySettingAssignment(s, std::string("minsizetext=") + bad), std::nullopt) << bad;
  EXPECT_EQ(applySettingAssignment(s, "mainWindowPos.left=-9223372036854775808"),
            "invalid value \"-9223372036854775808\" for mainWindowPos.left: expected a whole number from "
            "-2147483648 to 2147483647");
  // A value the file would not give back is refused.
  EXPECT_EQ(applySettingAssignment(s, "importFileType=2"),
            "invalid value \"2\" for importFileType: expected a whole number from 0 to 1");
  EXPECT_EQ(applySettingAssignment(s, "CheckTime"), "invalid setting \"CheckTime\": expected NAME=VALUE");
  EXPECT_EQ(applySettingAssignment(s, "NoSuch=1"),
            "unknown setting \"NoSuch\" (sonalog config --names lists them)");
  EXPECT_EQ(s, before);

  EXPECT_EQ(applySettingAssignment(s, "minsizetext=2000"), std::nullopt);
  EXPECT_EQ(applySettingAssignment(s, "bgpic=0xFFFFFF"), std::nullopt);
  EXPECT_EQ(applySettingAssignment(s, "mainWindowPos.left=-40"), std::nullopt);
  EXPECT_EQ(applySettingAssignment(s, "exportFolder=/a=b"), std::nullopt);
  EXPECT_EQ(applySettingAssignment(s, "lastCaption="), std::nullopt);
  EXPECT_EQ(applySettingAssignment(s, "maxsizetext=+0x400"), std::nullopt);
  EXPECT_EQ(applySettingAssignment(s, "viewerSize.width=-2147483648"), std::nullopt);
  EXPECT_EQ(s.maxsizetext, 1024);
  EXPECT_EQ(s.viewerSize.left, -2147483648LL);
  EXPECT_EQ(s.minsizetext, 2000);
  EXPECT_EQ(s.bgpic, 0xFFFFFFu);
  EXPECT_EQ(s.mainWindowPos.left, -40);
  EXPECT_EQ(s.exportFolder, "/a=b");
}

TEST(SettingNamesTest, ControlNamesAndLetterCaseFindSharedSettings) {
  Settings s;
  ASSERT_EQ(applySettingAssignment(s, "HighCheck=0"), std::nullopt);
  ASSERT_EQ(applySettingAssignment(s, "SizeEdit=300"), std::nullopt);
  ASSERT_EQ(applySettingAssignment(s, "comptrack=80"), std::nullopt);
  ASSERT_EQ(applySettingAssignment(s, "MircCheck=1"), std::nullopt);
  ASSERT_EQ(applySettingAssignment(s, "checktime=0"), std::nullopt);
  EXPECT_FALSE(s.highChars);
  EXPECT_EQ(s.sizeLimitKB, 300);
  EXPECT_EQ(s.matchThreshold, 80);
  EXPECT_TRUE(s.examineBangLines);
  EXPECT_FALSE(s.CheckTime);
  EXPECT_EQ(findSetting("TrackBar1")->name, "matchThreshold");
}

}  // namespace
}  // namespace sonalog
