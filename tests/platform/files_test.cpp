// Replacing files the user owns: what AtomicFile refuses, what it keeps, and how temporary files
// stay private and are cleaned up after a killed run.

#include <gtest/gtest.h>

#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/Files.h"
#include "tests/support/TempHome.h"

namespace sonalog::platform {
namespace {

namespace fs = std::filesystem;
using sonalog::testing::TempHome;

bool replaceWith(const std::string& target, const std::string& text) {
  AtomicFile f(target);
  return f.open() && f.write(text) && f.commit();
}

mode_t modeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(FilesTest, TargetsThatAreNotPlainFilesAreRefusedAndKept) {
  TempHome home;
  takeLastWriteError();
  const std::string fifo = home.path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(replaceWith(fifo, "x"));
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(takeLastWriteError(), fifo + ": not a regular file (a device, pipe or socket is never replaced)");

  const std::string socketPath = home.path("sock");
  const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socketPath.c_str());
  ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  EXPECT_FALSE(replaceWith(socketPath, "x"));
  EXPECT_TRUE(fs::is_socket(socketPath));
  ::close(s);

  fs::create_directory(home.path("folder"));
  EXPECT_FALSE(replaceWith(home.path("folder"), "x"));
  EXPECT_TRUE(fs::is_directory(home.path("folder")));
  EXPECT_EQ(takeLastWriteError(), home.path("folder") + ": Is a directory");

  // Read-only: refused even for root, whom the permissions would not stop.
  home.writeFile("ro.txt", "keep");
  ::chmod(home.path("ro.txt").c_str(), 0444);
  EXPECT_FALSE(replaceWith(home.path("ro.txt"), "x"));
  EXPECT_EQ(home.readFile("ro.txt"), "keep");
  EXPECT_EQ(takeLastWriteError(), home.path("ro.txt") + ": the file is read-only");
  EXPECT_EQ(takeLastWriteError(), "") << "taking the text clears it";

  // Nothing left behind by any refusal.
  for (const auto& e : fs::directory_iterator(home.path()))
    EXPECT_FALSE(isTemporaryName(e.path().filename().string())) << e.path();
}

TEST(FilesTest, LinksAreWrittenThroughAndModesKept) {
  TempHome home;
  home.writeFile("real/list.txt", "old");
  ::chmod(home.path("real/list.txt").c_str(), 0640);
  fs::create_symlink(home.path("real/list.txt"), home.path("link.txt"));
  ASSERT_TRUE(replaceWith(home.path("link.txt"), "new"));
  EXPECT_TRUE(fs::is_symlink(home.path("link.txt")));
  EXPECT_EQ(home.readFile("real/list.txt"), "new");
  EXPECT_EQ(modeOf(home.path("real/list.txt")), 0640u);

  // A relative link, and a dangling one whose file is then made.
  fs::create_symlink("real/list.txt", home.path("relative.txt"));
  ASSERT_TRUE(replaceWith(home.path("relative.txt"), "again"));
  EXPECT_EQ(home.readFile("real/list.txt"), "again");
  fs::create_symlink("real/new.txt", home.path("dangling.txt"));
  ASSERT_TRUE(replaceWith(home.path("dangling.txt"), "made"));
  EXPECT_EQ(home.readFile("real/new.txt"), "made");

  // A new file follows the umask.
  const mode_t old = ::umask(027);
  ASSERT_TRUE(replaceWith(home.path("fresh.txt"), "x"));
  ::umask(old);
  EXPECT_EQ(modeOf(home.path("fresh.txt")), 0640u);
}

TEST(FilesTest, LongestNamesAndReasonsOfFailures) {
  TempHome home;
  const std::string longest = home.path(std::string(255, 'n'));
  ASSERT_TRUE(replaceWith(longest, "fits")) << takeLastWriteError();
  EXPECT_EQ(home.readFile(std::string(255, 'n')), "fits");

  takeLastWriteError();
  EXPECT_FALSE(replaceWith(home.path("missing/x.txt"), "x"));
  EXPECT_EQ(takeLastWriteError(), home.path("missing/x.txt") + ": No such file or directory");
}

TEST(FilesTest, TemporaryFilesArePrivateAndLeftoversAreCleaned) {
  TempHome home;
  std::string first, second;
  {
    TempFile a, b;
    ASSERT_TRUE(a.create(home.home()));
    ASSERT_TRUE(b.create(home.home()));
    first = a.path();
    second = b.path();
    EXPECT_NE(first, second);
    EXPECT_TRUE(isTemporaryName(fs::path(first).filename().string())) << first;
    EXPECT_LE(fs::path(first).filename().string().size(), 24u);
    // Files in use are never taken for leftovers.
    EXPECT_EQ(removeStaleTemporaries(home.home()), 0u);
    EXPECT_TRUE(fs::exists(first));
  }
  EXPECT_FALSE(fs::exists(first));
  EXPECT_FALSE(fs::exists(second));

  // What a killed run leaves: files nobody locks, next to an output and in the working folder.
  home.writeFile(".sonalog-Ab12Cd.tmp", "half");
  home.writeFile(".sonalog-unlike.txt", "not ours");
  home.writeFile("home/.sonalog-Zz99zz.tmp", "half");
  ASSERT_TRUE(replaceWith(home.path("out.txt"), "whole"));
  EXPECT_FALSE(fs::exists(home.path(".sonalog-Ab12Cd.tmp")));
  EXPECT_TRUE(fs::exists(home.path(".sonalog-unlike.txt")));
  EXPECT_EQ(removeStaleTemporaries(home.home()), 1u);
  EXPECT_FALSE(fs::exists(home.path("home/.sonalog-Zz99zz.tmp")));
}

// Anyone who can read a folder can lock it: a second holder says once that it waits, then gives up.
TEST(FilesTest, FolderLockWaitsVisiblyAndGivesUp) {
  TempHome home;
  const FolderLock first(home.path());
  int notices = 0;
  const FolderLock second(home.path(), {std::chrono::milliseconds(0), std::chrono::milliseconds(200), [&] { ++notices; }});
  EXPECT_TRUE(first.locked() && !second.locked() && second.timedOut());
  EXPECT_EQ(notices, 1);
}

TEST(FilesTest, SameFileByDeviceAndInode) {
  TempHome home;
  home.writeFile("a/list.snlg", "x");
  home.writeFile("b.snlg", "x");
  fs::create_hard_link(home.path("a/list.snlg"), home.path("hard.snlg"));
  EXPECT_TRUE(sameFile(home.path("a/list.snlg"), home.path("a/../a/./list.snlg")));
  EXPECT_TRUE(sameFile(home.path("a/list.snlg"), home.path("hard.snlg")));
  EXPECT_FALSE(sameFile(home.path("a/list.snlg"), home.path("b.snlg")));
  EXPECT_FALSE(sameFile(home.path("a/list.snlg"), home.path("new.snlg")));
  EXPECT_TRUE(sameFile(home.path("new.snlg"), home.path("a/../new.snlg")));
}

}  // namespace
}  // namespace sonalog::platform
