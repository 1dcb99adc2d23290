// The bounded line reader under the import and the comparison's text lists.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "import/LineReader.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

TEST(LineReaderTest, LineEndsLengthsAndWhatIsNotARegularFile) {
  testing::TempHome home;
  home.writeFile("lines.txt", std::string("one\r\ntwo\nthree\rfour\n\r") + std::string(70000, 'x') + "\nlast");
  LineReader in;
  ASSERT_TRUE(in.open(home.path("lines.txt")));
  std::string line;
  size_t length = 0;
  std::vector<std::string> lines;
  while (in.readLine(line, length, 8)) lines.push_back(line + "/" + std::to_string(length));
  EXPECT_FALSE(in.failed());
  // An LF CR pair is two line ends; a line longer than kept is cut, its length still counted.
  EXPECT_EQ(lines, (std::vector<std::string>{"one/3", "two/3", "three/5", "four/4", "/0", "xxxxxxxx/70000", "last/4"}));

  ASSERT_TRUE(in.rewind());
  bool cut = false;
  ASSERT_TRUE(in.readPiece(line, 100, cut));
  EXPECT_EQ(line, "one\r");
  EXPECT_FALSE(cut);

  // A pipe or a folder is refused at once: reading one could wait for a writer or never end.
  ASSERT_EQ(::mkfifo(home.path("pipe").c_str(), 0600), 0);
  EXPECT_FALSE(in.open(home.path("pipe")));
  EXPECT_FALSE(in.open(home.path()));
  EXPECT_FALSE(in.open(home.path("missing")));
  EXPECT_FALSE(in.readLine(line, length, 8));
}

}  // namespace
}  // namespace sonalog
