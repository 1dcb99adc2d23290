#include "settings/ShownFields.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/OptUnit.h"
#include "settings/SettingsTable.h"

namespace sonalog {
namespace {

TEST(ShownFieldsTest, EachFieldHasItsOwnSwitchBoxTextsSortKeyAndTagLetter) {
  std::set<char> letters;
  std::set<uint8_t> keys;
  for (const ShownFieldInfo& f : shownFieldTable()) {
    SCOPED_TRACE(f.control);
    const SettingField* row = settingField(f.control);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->info.kind, SettingKind::Switch);
    EXPECT_EQ(controlName(shownFieldCheck(f.field)), std::string(f.control));
    for (const char* text : {f.caption, f.hint, f.viewerHeader, f.tableHeader, f.textHeader})
      EXPECT_TRUE(text && *text);
    EXPECT_TRUE(letters.insert(f.tagLetter).second);
    EXPECT_TRUE(keys.insert(f.sortKey).second);

    Settings s;
    storeShownFields(s, ShownFields{f.field});
    EXPECT_TRUE(s.*f.setting);
    EXPECT_EQ(shownFieldsOf(s), ShownFields{f.field});
  }
  EXPECT_EQ(ShownFields::all().count(), static_cast<int>(kShownFieldCount));
}

}  // namespace
}  // namespace sonalog
