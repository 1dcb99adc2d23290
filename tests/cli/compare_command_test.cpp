// sonalog compare, run as a separate process.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <string>

#include "compare/ExternalList.h"
#include "core/ListFile.h"
#include "tests/compare/CompareFixture.h"
#include "tests/support/CliRun.h"

namespace sonalog::testing {
namespace {

class CompareCommandTest : public ::testing::Test {
 protected:
  TempHome home;

  void SetUp() override {
    writeExternalList(home.path("list.snlg"),
                      {item("Nova - Silver Morning"), item("Kestrel - Night Train"), item("Amber - Glow"),
                       item("Birch - Falling")});
    home.writeFile("ext.txt", "Nova - Silver Mornin.mp3 3:55\r\nSomething Else.mp3\r\nkestrel - night train\r\n");
  }

  CliRun sonalog(const std::string& args) { return testing::sonalog(home, args); }

  // Starts `sonalog ARGS...` without waiting; stdout and stderr go to files of the home.
  pid_t spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::string cli = SONALOG_CLI_PATH;
    argv.push_back(cli.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, home.path("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, home.path("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    if (posix_spawn(&pid, cli.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }
};

TEST_F(CompareCommandTest, WritesTheLogAndPrintsTheFinishText) {
  const std::string listBefore = home.readFile("list.snlg");
  CliRun r = sonalog("compare list.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Finished. 1 unique title from external list written to log file.\n");
  EXPECT_EQ(logBody(home.readFile("out.txt")),
            (std::vector<std::string>{"1 unique title found in \"ext.txt\":", "", "Something Else.mp3"}));
  EXPECT_EQ(home.readFile("list.snlg"), listBefore);

  // Without relaxed matching a shortened title is no match at threshold 99.
  r = sonalog("--set relaxed=0 compare list.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.out, "Finished. 2 unique titles from external list written to log file.\n");
  r = sonalog("--set relaxed=0 --set matchThreshold=80 --yes compare list.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.out, "Finished. 1 unique title from external list written to log file.\n");
}

TEST_F(CompareCommandTest, RemovalTypesWriteTheShortenedListOnlyWithAnOutput) {
  CliRun r = sonalog("--set compareAction=4 compare list.snlg ext.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Finished. 2 matches to be removed from internal list.\n");

  r = sonalog("--set compareAction=4 compare list.snlg ext.txt -o short.snlg");
  EXPECT_EQ(r.status, 0) << r.err;
  RecordingChannel channel;
  ExternalList back;
  ASSERT_TRUE(loadExternalListFile(home.path("short.snlg"), back, channel));
  ASSERT_EQ(back.items.size(), 2u);
  EXPECT_EQ(back.items[0].fileName, "Amber - Glow");
  EXPECT_EQ(back.items[1].fileName, "Birch - Falling");

  r = sonalog("--set compareAction=9 compare list.snlg ext.txt -o short.snlg");
  EXPECT_EQ(r.out, "Finished. 2 unique titles to be removed from internal list.\n2 items left, written to short.snlg\n");
}

TEST_F(CompareCommandTest, ConfirmationsAreAnsweredByYesAndNo) {
  CliRun r = sonalog("--set actionMode=2 --set compareAction=7 --yes compare list.snlg ext.txt -o m.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Finished. 2 matches from internal list written to log file.\n");
  EXPECT_NE(r.err.find(" Please confirm this 99 % match:\n"
                       "File 1: Nova - Silver Morning, 3:55, 4000 K, 128 kbps, JS, DATA\n"
                       "File 2: Nova - Silver Mornin, 3:55, ? K, ? kbps, ?, ?"),
            std::string::npos)
      << r.err;
  r = sonalog("--set actionMode=2 --set compareAction=7 --no compare list.snlg ext.txt -o m.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Finished. No matches found. Log file not written.\n");
}

TEST_F(CompareCommandTest, BadArgumentsAndFailuresSayWhy) {
  CliRun r = sonalog("--set compareAction=1 compare list.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "sonalog: compare: action type 1 writes a new list: OUT must end in \".snlg\"\n");
  r = sonalog("compare list.snlg ext.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("writes a file: give it with -o OUT"), std::string::npos);
  r = sonalog("--set compareWith=0 compare list.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.status, 2);
  r = sonalog("--set relaxed=yes compare list.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.status, 2);
  r = sonalog("--set compareAction=4 compare list.snlg ext.txt -o list.snlg");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "sonalog: compare: OUT must not be one of the input files (they are never changed)\n");
  r = sonalog("compare missing.snlg ext.txt -o out.txt");
  EXPECT_EQ(r.status, 1);

  home.writeFile("bad.snlg", std::string("\xFD\xFD\x05\x22\x00", 5) + "xx");
  r = sonalog("--set compareWith=0 compare list.snlg bad.snlg -o out.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "[Warning] External file is not a proper SNLG list.\n");
  EXPECT_EQ(r.out, "");
}

// Ctrl+C during a long run, with --yes answering the stop question: whatever the moment, the run
// says it stopped, prints no finish text and exits 1; once the matching has found something, what
// was found so far is saved and named. The signal goes out at growing delays until one attempt
// reaches the matching's stop question, which proves that the abort landed there.
TEST_F(CompareCommandTest, CtrlCStopsTheRunAndSaysSo) {
  constexpr int kItems = 20000;  // a full run takes minutes
  std::vector<ListItem> many;
  std::string text;
  for (int i = 0; i < kItems; ++i) {
    many.push_back(item("Internal Artist " + std::to_string(i) + " - Song " + std::to_string(i * 7919 % 100003)));
    text += "Outside Band " + std::to_string(i * 31 % 99991) + " - Track " + std::to_string(i) + ".mp3\r\n";
  }
  writeExternalList(home.path("big.snlg"), many);
  home.writeFile("big.txt", text);

  const std::string saved = "sonalog: compare: stopped by Ctrl+C; what was found before the stop was written to \"" +
                            home.path("log.txt") + "\"\n";
  bool reachedMatching = false;
  for (int attempt = 0; attempt < 8 && !reachedMatching; ++attempt) {
    SCOPED_TRACE("attempt " + std::to_string(attempt));
    std::filesystem::remove(home.path("log.txt"));
    const pid_t pid = spawn({"--yes", "--set", "matchThreshold=50", "compare", home.path("big.snlg"),
                             home.path("big.txt"), "-o", home.path("log.txt")});
    ASSERT_GT(pid, 0);
    // Ctrl+C is handled once the worker thread runs (the list file has been read by then).
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    auto threads = [&] {
      std::error_code ec;
      size_t n = 0;
      for (std::filesystem::directory_iterator it(tasks, ec), end; !ec && it != end; it.increment(ec)) ++n;
      return n;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (threads() < 2 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(100 + 300 * attempt));
    ::kill(pid, SIGINT);
    int raw = 0;
    while (::waitpid(pid, &raw, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &raw, 0);
        FAIL() << "compare did not end after Ctrl+C";
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const std::string out = home.readFile("stdout");
    const std::string err = home.readFile("stderr");
    ASSERT_TRUE(WIFEXITED(raw)) << err;
    EXPECT_EQ(WEXITSTATUS(raw), 1) << err;
    EXPECT_EQ(out, "");
    reachedMatching = err.find("[prompt] Save the log without matches found so far?\n-> Yes\n") != std::string::npos;
    if (reachedMatching) {
      EXPECT_NE(err.find(saved), std::string::npos) << err;
      EXPECT_EQ(home.readFile("log.txt").find("Mp3 Sonalog log file at "), 0u);
    } else {
      EXPECT_NE(err.find("sonalog: compare: stopped by Ctrl+C; nothing written\n"), std::string::npos) << err;
    }
  }
  EXPECT_TRUE(reachedMatching) << "no attempt reached the matching's stop question";
}

// A question naming a UTF-8 name and an 8-bit name shows each as itself: the 8-bit line does not
// turn the whole text into 8-bit, which would encode the UTF-8 name a second time.
TEST_F(CompareCommandTest, ConfirmationsShowEachNameInItsOwnEncoding) {
  writeExternalList(home.path("utf8.snlg"), {item("Caf\xC3\xA9 Noir - Ros\xC3\xA9" "e")});
  home.writeFile("latin.txt", "Caf\xE9 Noir - Ros\xE9" "e.mp3\r\n");
  CliRun r = sonalog("--set actionMode=2 --set matchThreshold=50 --set compareAction=7 --yes compare utf8.snlg "
                     "latin.txt -o m.txt");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("File 1: Caf\xC3\xA9 Noir - Ros\xC3\xA9" "e, "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("File 2: Caf\xC3\xA9 Noir - Ros\xC3\xA9" "e, ??:??"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace sonalog::testing
