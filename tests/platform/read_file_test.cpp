#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/ReadFile.h"
#include "tests/support/TempHome.h"

namespace sonalog::platform {
namespace {

TEST(ReadFileTest, ReadsExactRangesAndRefusesWhatIsNotARegularFile) {
  testing::TempHome home;
  home.writeFile("f.bin", "0123456789");
  ReadFile file;
  ASSERT_TRUE(file.open(home.path("f.bin")));
  EXPECT_EQ(file.size(), 10);
  char buf[4] = {};
  ASSERT_TRUE(file.readAt(6, buf, 4));
  EXPECT_EQ(std::string(buf, 4), "6789");
  EXPECT_FALSE(file.readAt(8, buf, 4));  // past the end
  EXPECT_FALSE(file.readAt(-1, buf, 1));

  EXPECT_FALSE(file.open(home.path("missing")));
  EXPECT_FALSE(file.isOpen());
  EXPECT_FALSE(file.open(home.path()));  // a folder
  ASSERT_EQ(::mkfifo(home.path("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(file.open(home.path("pipe")));  // returns at once instead of waiting for a writer
}

TEST(ReadFileTest, ReadAheadRequestsReturnAtOnceAndLeaveFilesAsTheyAre) {
  testing::TempHome home;
  home.writeFile("small.bin", "0123456789");
  std::string big(300000, 'x');
  big.back() = 'y';
  home.writeFile("big.bin", big);
  ASSERT_EQ(::mkfifo(home.path("pipe").c_str(), 0600), 0);
  // Neither a missing file, a folder, a pipe without a writer nor ranges longer than the file
  // may block or fail.
  for (const char* name : {"small.bin", "big.bin", "missing", "pipe", ""})
    adviseWillRead(home.path(name), 128 * 1024, 16 * 1024);
  adviseWillRead(home.path("big.bin"), 0, 0);
  EXPECT_EQ(readWholeFile(home.path("small.bin"), 100), "0123456789");
  EXPECT_EQ(readWholeFile(home.path("big.bin"), big.size()), big);
}

}  // namespace
}  // namespace sonalog::platform
