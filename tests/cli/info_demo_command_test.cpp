#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/CliRun.h"
#include "tests/support/Mp3Builder.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::CliRun;

std::string quoted(const std::string& s) { return "'" + s + "'"; }

constexpr const char* kHeader =
    "path\tstatus\tframes\tbitrateCode\tfrequencyCode\tstereoMode\tfileSize\taudioBytes\taverageKbps\terror\n";

TEST(InfoCommandTest, PrintsOneTabSeparatedLinePerFileAndFailsOnRejectedFiles) {
  testing::TempHome home;
  testing::Mp3Builder cbr;
  cbr.frames(testing::mpeg1(9, 1, 1), 1000);
  testing::Mp3Builder vbr;
  vbr.vbrFrame(testing::mpeg1(9, 1, 3), testing::VbrTag::Xing, 5000u);
  for (int i = 0; i < 300; ++i) vbr.frames(testing::mpeg1(static_cast<uint8_t>(9 + i % 2), 1, 3));
  ASSERT_TRUE(testing::writeBytes(home.path("cbr.mp3"), cbr.str()));
  ASSERT_TRUE(testing::writeBytes(home.path("vbr.mp3"), vbr.str()));
  ASSERT_TRUE(testing::writeBytes(home.path("text.mp3"), "hello"));

  CliRun run = testing::sonalog(home, "info " + quoted(home.path("cbr.mp3")) + " " + quoted(home.path("vbr.mp3")));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kHeader) + home.path("cbr.mp3") + "\tok\t999\t9\t1\t1\t384000\t384000\t128\t\n" +
                         home.path("vbr.mp3") + "\tok\t5000\t16\t1\t3\t" + std::to_string(vbr.size()) + "\t" +
                         std::to_string(vbr.size()) + "\t" +
                         std::to_string(static_cast<int>(std::nearbyint(vbr.size() / (3.0 * 5000)))) + "\t\n");

  run = testing::sonalog(home, "info --slow " + quoted(home.path("cbr.mp3")) + " " + quoted(home.path("text.mp3")) + " " +
               quoted(home.path("missing.mp3")));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, std::string(kHeader) + home.path("cbr.mp3") + "\tok\t1000\t9\t1\t1\t384000\t384000\t128\t\n" +
                         home.path("text.mp3") +
                         "\tfailed\t0\t0\t255\t4\t5\t0\t0\tDoesn't seem like a 32/44.1/48 KHz mp3 file.\n" +
                         home.path("missing.mp3") + "\tfailed\t0\t0\t255\t4\t0\t0\t0\tDisk error reading the file.\n");

  EXPECT_EQ(testing::sonalog(home, "info").status, 2);
  EXPECT_EQ(testing::sonalog(home, "info --fast x.mp3").status, 2);
  run = testing::sonalog(home, "info --help");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("--slow"), std::string::npos);
  EXPECT_NE(testing::sonalog(home, "--help").out.find("demo"), std::string::npos);
}

TEST(InfoCommandTest, PathsWithTabsOrNewlinesStayOneLineEach) {
  testing::TempHome home;
  testing::Mp3Builder cbr;
  cbr.frames(testing::mpeg1(9, 1, 1), 1000);
  const std::string odd = home.path("a\tb\nc\\d.mp3");
  ASSERT_TRUE(testing::writeBytes(odd, cbr.str()));

  const CliRun run = testing::sonalog(home, "info " + quoted(odd));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string(kHeader) + home.path("a\\tb\\nc\\\\d.mp3") +
                         "\tok\t999\t9\t1\t1\t384000\t384000\t128\t\n");
}

// Runs the sonalog binary with its standard output on a full disk; returns the exit status.
int runCliIntoFullDisk(const std::string& args) {
  const std::string command = std::string("'") + SONALOG_CLI_PATH + "' " + args + " >/dev/full 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliOutputTest, OutputThatCannotBeWrittenIsReportedAsAFailure) {
  testing::TempHome home;
  testing::Mp3Builder cbr;
  cbr.frames(testing::mpeg1(9, 1, 1), 1000);
  ASSERT_TRUE(testing::writeBytes(home.path("cbr.mp3"), cbr.str()));

  EXPECT_EQ(runCliIntoFullDisk("info " + quoted(home.path("cbr.mp3"))), 1);
  EXPECT_EQ(runCliIntoFullDisk("config --list"), 1);
  EXPECT_EQ(runCliIntoFullDisk("demo " + quoted(home.path("demo"))), 1);
  EXPECT_EQ(runCliIntoFullDisk("--help"), 1);
  EXPECT_EQ(runCliIntoFullDisk("--version"), 1);
}

TEST(CliOutputTest, AnUnknownCommandIsNamedAndTheCommandsListed) {
  testing::TempHome home;
  const std::string list = "; the commands are: compare, config, demo, dump, dupes, export, import, info, scan "
                           "(sonalog --help describes them)\n";
  CliRun r = testing::sonalog(home, "--yes bogus x");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "sonalog: unknown command \"bogus\"" + list);
  r = testing::sonalog(home, "");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "sonalog: a command is required" + list);
}

TEST(DemoCommandTest, WritesTheCollectionThatInfoThenReads) {
  testing::TempHome home;
  const std::string dir = home.path("demo");
  CliRun run = testing::sonalog(home, "demo " + quoted(dir));
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Wrote 15 demo files to " + dir + "\n");
  EXPECT_EQ(testing::sonalog(home, "demo " + quoted(dir)).status, 1);

  run = testing::sonalog(home, "info " + quoted(dir + "/Rock/Aurora Lane - Northern Lights.mp3") + " " +
               quoted(dir + "/Damaged/Tape Transfer - Side B.mp3"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("Northern Lights.mp3\tok\t640\t9\t0\t1\t"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\tfailed\t0\t0\t255\t4\t62400\t0\t0\tMpeg version 2 not supported\n"), std::string::npos);
  EXPECT_EQ(testing::sonalog(home, "demo").status, 2);
}

// An unset shell variable ("sonalog demo \"$DIR\"") must not fill the current folder.
TEST(DemoCommandTest, EmptyFolderNameIsAUsageError) {
  testing::TempHome home;
  const CliRun run = testing::sonalog(home, "demo ''");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("DIR: must not be empty"), std::string::npos) << run.err;
  size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(home.path())) ++entries;
  EXPECT_EQ(entries, 3u);  // home/ and the two captured outputs
}

}  // namespace
}  // namespace sonalog
