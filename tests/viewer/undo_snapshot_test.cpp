#include "viewer/UndoSnapshot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/NameGen.h"
#include "tests/support/TempHome.h"
#include "tests/viewer/ViewerFixture.h"

namespace sonalog {
namespace {

using testing::namesOf;
using testing::viewerItem;
using Names = std::vector<std::string>;

TEST(UndoSnapshotTest, EveryKindRoundTripsAndDamageIsRefused) {
  testing::TempHome home;
  const std::string path = home.home() + "undo";
  const std::vector<ListItem> items = {viewerItem("a"), viewerItem("b"), viewerItem("c")};
  const FilterTables tables{5, {0, 1, 0, 0, 1}, {0, 2, 3}};
  std::string error;
  // Whole list (sorts), deleted rows of a plain list, deleted rows and the unfilter of a
  // filtered one: items alone, or items and tables.
  struct Case {
    size_t first, count;
    const FilterTables* tables;
  } cases[] = {{0, 3, nullptr}, {1, 2, nullptr}, {1, 1, &tables}, {0, 3, &tables}, {0, 0, nullptr}};
  for (const Case& c : cases) {
    ASSERT_TRUE(writeUndoSnapshot(path, items, c.first, c.count, c.tables, error));
    const auto snap = readUndoSnapshot(path);
    ASSERT_TRUE(snap);
    EXPECT_EQ(snap->items, std::vector<ListItem>(items.begin() + c.first, items.begin() + c.first + c.count));
    EXPECT_EQ(snap->tables.has_value(), c.tables != nullptr);
    if (c.tables) {
      EXPECT_EQ(*snap->tables, tables);
    }
  }
  // Cut short, one byte too many, a map entry outside the full list.
  const auto size = std::filesystem::file_size(path);
  std::filesystem::resize_file(path, size - 1);
  EXPECT_FALSE(readUndoSnapshot(path));
  ASSERT_TRUE(writeUndoSnapshot(path, items, 0, 0, nullptr, error));
  std::filesystem::resize_file(path, size + 1);
  EXPECT_FALSE(readUndoSnapshot(path));
  const FilterTables outside{2, {0, 0}, {0, 2}};
  ASSERT_TRUE(writeUndoSnapshot(path, items, 0, 2, &outside, error));
  EXPECT_FALSE(readUndoSnapshot(path));
  EXPECT_FALSE(readUndoSnapshot(home.home() + "missing"));

  // A long snapshot is read in two halves: the same items, and a middle that is not one is refused.
  const std::vector<ListItem> many = testing::generateCatalogue(9001, 5);
  ASSERT_TRUE(writeUndoSnapshot(path, many, 0, many.size(), &tables, error));
  const auto long_ = readUndoSnapshot(path);
  ASSERT_TRUE(long_);
  EXPECT_EQ(long_->items, many);
  {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(-8, std::ios::end);
    f.put('\x01');
  }
  EXPECT_FALSE(readUndoSnapshot(path));

  EXPECT_FALSE(writeUndoSnapshot(home.home() + "no/such/folder", items, 0, 1, nullptr, error));
  EXPECT_EQ(error, home.home() + "no/such/folder: No such file or directory");
}

}  // namespace
}  // namespace sonalog
