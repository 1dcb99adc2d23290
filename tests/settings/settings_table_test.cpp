#include "settings/SettingsTable.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace sonalog {
namespace {

size_t bytesOf(const SettingField& f) {
  switch (f.stored) {
    case StoredAs::U8: return 1;
    case StoredAs::U16: return 2;
    case StoredAs::I32:
    case StoredAs::U32: return 4;
    case StoredAs::ShortText: return 1 + f.info.maxBytes;
    case StoredAs::LongText: return 0;
  }
  return 0;
}

// The rows cover every byte of the three blocks exactly once and name each string once: a row
// with a wrong offset or width shows up as a gap or an overlap.
TEST(SettingsTableTest, RowsTileTheBlocksAndTheStrings) {
  std::vector<int> owners(kFixedSize, 0);
  std::set<size_t> strings;
  for (const SettingField& f : settingsTable()) {
    if (f.stored == StoredAs::LongText) {
      EXPECT_LT(f.offset, kStringCount) << f.info.name;
      EXPECT_TRUE(strings.insert(f.offset).second) << f.info.name;
      continue;
    }
    ASSERT_LE(f.offset + bytesOf(f), kFixedSize) << f.info.name;
    for (size_t i = 0; i < bytesOf(f); ++i) ++owners[f.offset + i];
  }
  for (size_t at = 0; at < kFixedSize; ++at) EXPECT_EQ(owners[at], 1) << "offset " << at;
  EXPECT_EQ(strings.size(), kStringCount);
}

// Whatever the command line or the options window may store comes back from the file as it was:
// the accepted range and the load checks cannot disagree.
TEST(SettingsTableTest, EveryAcceptedNumberSurvivesSaveAndLoad) {
  for (const SettingField& f : settingsTable()) {
    if (f.info.kind == SettingKind::Text) continue;
    const int64_t span = f.info.max - f.info.min;
    std::vector<int64_t> values{f.info.min, f.info.max};
    if (span < 1000)
      for (int64_t v = f.info.min; v <= f.info.max; ++v) values.push_back(v);
    for (int64_t v : values) {
      Settings s;
      f.setNumber(s, v);
      Settings back;
      ASSERT_TRUE(decodeSettings(encodeSettings(s), back));
      applyLoadChecks(back);
      EXPECT_EQ(f.getNumber(back), v) << f.info.name;
    }
  }
}

}  // namespace
}  // namespace sonalog
