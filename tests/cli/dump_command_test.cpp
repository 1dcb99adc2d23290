// sonalog dump, run as a separate process on list files built in the test.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "core/ListFile.h"
#include "tests/support/CliRun.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::TempHome;

using testing::CliRun;
using testing::sonalog;

TEST(DumpCommandTest, PrintsEveryItemOnOneEscapedLine) {
  TempHome home;
  ListItem a;
  a.fileName = "tab\there\\and\nnewline";
  a.folder = "/music/\xE9t\xE9";
  a.volumeLabel = "DATA";
  a.bitrateCode = 9;
  a.sizeKB = -1;
  a.frames = 9188;
  a.stereoMode = 1;
  a.frequencyCode = 255;
  a.fileDate = -2;
  a.dateAdded = 45100;
  a.averageKbps = 128;  // not stored for a constant bitrate
  ListItem b;
  b.fileName = "vbr";
  b.folder = "c:\\mp3";
  b.bitrateCode = kBitrateVbr;
  b.averageKbps = 187;
  ASSERT_TRUE(writeListFile(home.path("list.snlg"), {a, b}, 7 | kSortDescending));

  const CliRun r = sonalog(home, "dump '" + home.path("list") + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "#sortCode=135\n"
            "fileName\tfolder\tvolumeLabel\tbitrateCode\tsizeKB\tframes\tstereoMode\tfrequencyCode\tfileDate\t"
            "dateAdded\taverageKbps\n"
            "tab\\there\\\\and\\nnewline\t/music/\xE9t\xE9\tDATA\t9\t-1\t9188\t1\t255\t-2\t45100\t0\n"
            "vbr\tc:\\\\mp3\t\t16\t0\t0\t0\t0\t0\t0\t187\n");
  EXPECT_EQ(r.err, "");
}

// A name may hold an escape sequence that would retitle or rewrite the user's terminal, a carriage
// return that would overprint the line, or a C1 control: all are shown as visible escapes.
TEST(DumpCommandTest, ControlCharactersInNamesReachNoTerminal) {
  TempHome home;
  ListItem a;
  a.fileName = "\x1B]0;owned\x07title\rX\x7F";
  a.folder = "/music/\xC2\x9B" "2J";
  a.volumeLabel = "\x1B[31mRED";
  ListItem b;  // 8-bit text: the byte 0x9B is a control to an 8-bit terminal, 0xE9 a letter
  b.fileName = "\x9B" "2Jcaf\xE9";
  ASSERT_TRUE(writeListFile(home.path("list.snlg"), {a, b}, 0));
  const CliRun r = sonalog(home, "dump '" + home.path("list.snlg") + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  const size_t body = r.out.find("averageKbps\n");
  ASSERT_NE(body, std::string::npos);
  EXPECT_EQ(r.out.substr(body + 12, r.out.find('\t', body) - body - 12), "\\x1B]0;owned\\x07title\\rX\\x7F");
  EXPECT_NE(r.out.find("\t/music/\\u009B2J\t\\x1B[31mRED\t"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n\\x9B2Jcaf\xE9\t"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find('\x9B'), std::string::npos);
  EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
  EXPECT_EQ(r.out.find('\r'), std::string::npos);
}

TEST(DumpCommandTest, BadFilesExitNonZeroWithTheReason) {
  TempHome home;
  home.writeFile("bad.snlg", "not a list file");
  CliRun r = sonalog(home, "dump '" + home.path("bad.snlg") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Not a Sonalog file!"), std::string::npos) << r.err;

  home.writeFile("header.snlg", std::string("\x6C\x33\x5A\xF7\x00", 5));
  r = sonalog(home, "dump '" + home.path("header.snlg") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Disk error!"), std::string::npos) << r.err;

  r = sonalog(home, "dump '" + home.path("missing") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Can't open the file."), std::string::npos) << r.err;

  // The oldest layout is only read that way when the question is answered Yes.
  const std::string oldest = std::string("\x03\x51\x76\x78\x00", 5) + "\x01x\x01y" + std::string(1, '\x28') +
                             std::string(40, 'L') + std::string("\x09\x10\x00\x00\x00\x0A\x00\x00\x00\x00", 10) +
                             std::string(8, '\0');
  home.writeFile("old.snlg", oldest);
  r = sonalog(home, "dump '" + home.path("old.snlg") + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("invalid data found"), std::string::npos) << r.err;
  r = sonalog(home, "--yes dump '" + home.path("old.snlg") + "'");
  EXPECT_EQ(r.status, 0) << r.err;
  // 10 s / 0.0261224489795918 = 382.8 frames.
  EXPECT_NE(r.out.find("\nx\ty\t" + std::string(32, 'L') + "\t9\t16\t383\t0\t0\t0\t0\t0\n"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace sonalog
