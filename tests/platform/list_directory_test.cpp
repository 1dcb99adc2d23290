#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/Files.h"
#include "tests/support/TempHome.h"

namespace sonalog::platform {
namespace {

const DirEntry* find(const std::vector<DirEntry>& entries, const std::string& name) {
  auto it = std::find_if(entries.begin(), entries.end(), [&](const DirEntry& e) { return e.name == name; });
  return it == entries.end() ? nullptr : &*it;
}

// A folder reached through a link reports the same device and inode as the folder itself, which
// is how a walk recognises a folder it has already collected.
TEST(ListDirectoryTest, LinkedFolderHasTheIdentityOfItsTarget) {
  sonalog::testing::TempHome home;
  home.writeFile("tree/real/a.mp3", "x");
  home.writeFile("tree/.hidden/b.mp3", "y");
  ASSERT_EQ(::symlink("real", home.path("tree/link").c_str()), 0);

  const auto entries = listDirectory(home.path("tree"), false);
  ASSERT_TRUE(entries);
  EXPECT_EQ(entries->size(), 2u);
  const DirEntry* real = find(*entries, "real");
  const DirEntry* link = find(*entries, "link");
  ASSERT_TRUE(real && link);
  EXPECT_TRUE(real->isDirectory && link->isDirectory);
  EXPECT_EQ(real->device, link->device);
  EXPECT_EQ(real->inode, link->inode);
  EXPECT_EQ(find(*entries, ".hidden"), nullptr);

  const auto all = listDirectory(home.path("tree"), true);
  ASSERT_TRUE(all);
  EXPECT_NE(find(*all, ".hidden"), nullptr);

  const auto facts = fileFacts(home.path("tree/real"));
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->inode, real->inode);
  EXPECT_FALSE(listDirectory(home.path("missing"), true));
}

}  // namespace
}  // namespace sonalog::platform
