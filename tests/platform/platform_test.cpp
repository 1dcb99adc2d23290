#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/Dates.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "tests/support/TempHome.h"

namespace sonalog::platform {
namespace {

TEST(PlatformTest, DayNumbersCountFrom30December1899) {
  EXPECT_EQ(dayNumberFromDate(1899, 12, 30), 0);
  EXPECT_EQ(dayNumberFromDate(1900, 1, 1), 2);
  EXPECT_EQ(dayNumberFromDate(1970, 1, 1), 25569);
  EXPECT_EQ(dayNumberFromDate(2000, 3, 1), 36586);
  int y, m, d;
  dateFromDayNumber(36586, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20000301);
  dateFromDayNumber(-1, y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
}

TEST(PlatformTest, TextDecodingFollowsUtf8ElseWindows1252) {
  EXPECT_TRUE(isValidUtf8("Beyonc\xC3\xA9"));
  EXPECT_FALSE(isValidUtf8("Beyonc\xE9"));
  EXPECT_FALSE(isValidUtf8("\xC0\x80"));  // overlong
  EXPECT_EQ(decodeText("Beyonc\xE9"), std::u32string(U"Beyonc\u00E9"));
  EXPECT_EQ(decodeText("\x80"), std::u32string(U"\u20AC"));
  EXPECT_EQ(toDisplayUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_TRUE(equalsIgnoreCase("\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"));
  EXPECT_TRUE(equalsIgnoreCase("\xC9T\xC9", "\xC3\xA9t\xC3\xA9"));
  EXPECT_FALSE(equalsIgnoreCase("abc", "abd"));
}

TEST(PlatformTest, CollationKeysOrderLikeCompare) {
  Collator insensitive(false);
  EXPECT_EQ(insensitive.key("abc"), insensitive.key("ABC"));
  EXPECT_LT(insensitive.key("apple"), insensitive.key("Banana"));
  EXPECT_LT(insensitive.compare("apple", "Banana"), 0);
  Collator sensitive(true);
  EXPECT_NE(sensitive.key("abc"), sensitive.key("ABC"));
}

TEST(PlatformTest, PathsJoinWithTheFolderOwnSeparator) {
  EXPECT_EQ(joinPath("c:\\music", "a.mp3"), "c:\\music\\a.mp3");
  EXPECT_EQ(joinPath("c:\\", "a.mp3"), "c:\\a.mp3");
  EXPECT_EQ(joinPath("/music", "a.mp3"), "/music/a.mp3");
  EXPECT_EQ(joinPath("/", "a.mp3"), "/a.mp3");
  EXPECT_EQ(stripTrailingSeparator("/music/"), "/music");
  EXPECT_EQ(stripTrailingSeparator("/"), "/");
  sonalog::testing::TempHome home;
  EXPECT_EQ(workingFolder(), home.home());
}

// Before these two were shared, the list file, the exports, the import, the comparison and the
// duplicates log each split paths their own way; the comments name the answers that changed.
TEST(PlatformTest, HomeFolderWithoutHomeIsTheUsersOwnNotTheRoot) {
  const char* saved = std::getenv("HOME");
  const std::string restore = saved ? saved : "";
  ::setenv("HOME", "/tmp/some-home/", 1);
  EXPECT_EQ(homeFolder(), "/tmp/some-home");
  ::unsetenv("HOME");
  const passwd* user = ::getpwuid(::getuid());
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(homeFolder(), std::string(user->pw_dir) == "/" ? "/" : user->pw_dir);
  if (saved) ::setenv("HOME", restore.c_str(), 1);
}

TEST(PlatformTest, FileNamesAndFoldersOfPaths) {
  struct Case {
    const char* path;
    const char* name;
    const char* folder;
  };
  const Case cases[] = {
      {"/home/u/lists/old.txt", "old.txt", "/home/u/lists"},
      {"/old.txt", "old.txt", "/"},
      {"old.txt", "old.txt", ""},  // the import said ".", the export the current folder
      {"lists/old.txt", "old.txt", "lists"},
      {"/home/u/lists/", "", "/home/u/lists"},
      // Windows-style paths of lists from elsewhere: the list file, the duplicates log and the
      // exports took the whole path for the name and no folder; the comparison split them.
      {"C:\\lists\\old.txt", "old.txt", "C:\\lists"},
      {"c:\\old.txt", "old.txt", "c:\\"},
      {"c:/mp3/a.mp3", "a.mp3", "c:/mp3"},
      {"\\\\server\\share\\a.mp3", "a.mp3", "\\\\server\\share"},
      // A backslash makes a path Windows-style, as it does for joining.
      {"/music/AC\\DC.mp3", "DC.mp3", "/music/AC"},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fileNameOf(c.path), c.name) << c.path;
    EXPECT_EQ(folderOf(c.path), c.folder) << c.path;
  }
}

TEST(PlatformTest, AtomicFileReplacesOnlyOnCommit) {
  sonalog::testing::TempHome home;
  home.writeFile("list.txt", "old");
  {
    AtomicFile f(home.path("list.txt"));
    ASSERT_TRUE(f.open());
    ASSERT_TRUE(f.write("new contents"));
  }  // not committed
  EXPECT_EQ(home.readFile("list.txt"), "old");
  AtomicFile f(home.path("list.txt"));
  ASSERT_TRUE(f.open());
  ASSERT_TRUE(f.write("new contents"));
  ASSERT_TRUE(f.commit());
  EXPECT_EQ(home.readFile("list.txt"), "new contents");
  AtomicFile bad(home.path("missing-folder/x.txt"));
  EXPECT_FALSE(bad.open());
}

}  // namespace
}  // namespace sonalog::platform
