// The configuration plumbing of the sonalog command, run as a separate process.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "settings/SettingNames.h"
#include "settings/Settings.h"
#include "tests/support/CliRun.h"
#include "tests/support/TempHome.h"

namespace sonalog {
namespace {

using testing::TempHome;

using testing::CliRun;
using testing::sonalog;

TEST(ConfigCommandTest, WorkingFolderFileIsCreatedAndEditedByName) {
  TempHome home;
  CliRun r = sonalog(home, "config --get CheckTime --get minsizetext");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "1\n10\n");
  Settings created;
  ASSERT_TRUE(loadSettings(home.home() + "mp3snlg.ini", created));

  r = sonalog(home, "--set CheckTime=0 --set HighCheck=0 config --set minsizetext=5");
  EXPECT_EQ(r.status, 0) << r.err;
  Settings s;
  ASSERT_TRUE(loadSettings(home.home() + "mp3snlg.ini", s));
  EXPECT_FALSE(s.CheckTime);
  EXPECT_FALSE(s.highChars);
  EXPECT_EQ(s.minsizetext, 5);

  r = sonalog(home, "config");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\nminsizetext=5\n"), std::string::npos);
  EXPECT_EQ(r.out.find("CheckTime=0\n"), 0u);
}

TEST(ConfigCommandTest, BadSettingsChangeNothing) {
  TempHome home;
  ASSERT_EQ(sonalog(home, "config --list").status, 0);
  const std::string before = home.readFile("home/mp3snlg.ini");
  // A failing override stops the command before anything is written.
  CliRun r = sonalog(home, "config --set CheckTime=7");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "sonalog: --set: invalid value \"7\" for CheckTime: expected 0 or 1\n");
  r = sonalog(home, "config --set Bogus=1");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(home.readFile("home/mp3snlg.ini"), before);
  r = sonalog(home, "config --get Bogus");
  EXPECT_EQ(r.status, 2);
}

TEST(ConfigCommandTest, NamedFileThatIsNotAConfigurationIsLeftUntouched) {
  TempHome home;
  home.writeFile("list.snlg", "this is some other file");
  for (const char* args : {"config --list", "config --reset", "config --set CheckTime=0"}) {
    CliRun r = sonalog(home, "--config '" + home.path("list.snlg") + "' " + args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_EQ(r.err.find("[Warning] Loading options failed.\nProbably not a mp3SNLG configuration file.\n"), 0u)
        << r.err;
    EXPECT_EQ(home.readFile("list.snlg"), "this is some other file");
  }
  // A missing named file is an error for reading, is not created, and is called missing rather
  // than "not a configuration file".
  for (const char* args : {"config --get CheckTime", "scan -o x.snlg ."}) {
    CliRun r = sonalog(home, "--config '" + home.path("missing.ini") + "' " + args);
    EXPECT_EQ(r.status, 1) << args;
    EXPECT_EQ(r.err, "sonalog: " + home.path("missing.ini") + ": no such configuration file\n") << args;
    EXPECT_FALSE(std::filesystem::exists(home.path("missing.ini")));
  }
  // Commands that write the file create it.
  CliRun r = sonalog(home, "--config '" + home.path("missing.ini") + "' config --set CheckTime=0");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(home.path("missing.ini")));
}

TEST(ConfigCommandTest, ResetAndDefaultsWriteTheirValues) {
  TempHome home;
  const std::string file = home.path("my.ini");
  CliRun r = sonalog(home, "--config '" + file + "' config --reset --set Checkhr=1 --set tableFont.size=12");
  ASSERT_EQ(r.status, 0) << r.err;
  Settings expected;
  setAllDefaults(expected);
  expected.Checkhr = true;
  expected.tableFont.size = 12;
  EXPECT_EQ(home.readFile("my.ini"), encodeSettings(expected));

  r = sonalog(home, "--config '" + file + "' config --set matchThreshold=70 --set CheckTime=0");
  ASSERT_EQ(r.status, 0) << r.err;
  r = sonalog(home, "--config '" + file + "' config --defaults");
  ASSERT_EQ(r.status, 0) << r.err;
  Settings s;
  ASSERT_TRUE(loadSettings(file, s));
  EXPECT_TRUE(s.CheckTime);         // an options default
  EXPECT_EQ(s.tableFont.size, 8);   // an options default
  EXPECT_EQ(s.matchThreshold, 70);  // not an options value: kept
  EXPECT_TRUE(s.Checkhr);           // kept by every reset

  r = sonalog(home, "--config '" + file + "' config --reset --defaults");
  EXPECT_EQ(r.status, 2);
}

}  // namespace
}  // namespace sonalog
