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

}  // namespace
}  // namespace sonalog::platform
