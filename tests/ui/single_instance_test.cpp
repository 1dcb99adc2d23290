#include "ui/widgets/SingleInstance.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QSysInfo>

#include "core/MainUnit.h"
#include "tests/support/PumpUntil.h"
#include "tests/support/TempHome.h"

namespace sonalog::ui {
namespace {

using testing::TempHome;

// A lock file as a process with this id would have left it.
void writeLock(const TempHome& home, qint64 pid) {
  home.writeFile("home/QvxSonalg.lock",
                 std::to_string(pid) + "\nsonalog-gui\n" + QSysInfo::machineHostName().toStdString() + "\n");
}

TEST(SingleInstanceTest, ASecondInstanceAsksTheFirstToRaiseItsWindow) {
  TempHome home;
  SingleInstance first(home.home());
  int raised = 0;
  first.onRaise([&] { ++raised; });
  ASSERT_EQ(first.acquire(), SingleInstance::Result::Acquired);
  SingleInstance second(home.home());
  EXPECT_EQ(second.acquire(), SingleInstance::Result::OtherInstance);
  EXPECT_TRUE(testing::pumpUntil([&] { return raised == 1; }));
}

TEST(SingleInstanceTest, ALockLeftBehindNeverBlocks) {
  TempHome home;
  // The process that wrote the lock is gone.
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  writeLock(home, child);
  {
    SingleInstance instance(home.home());
    EXPECT_EQ(instance.acquire(), SingleInstance::Result::Acquired);
  }
  // The lock names a live process that is not this program (its id was reused): nobody answers.
  writeLock(home, ::getppid());
  SingleInstance instance(home.home());
  EXPECT_EQ(instance.acquire(), SingleInstance::Result::Acquired);
}

// The socket decides where the lock file was deleted or cannot be made (a working folder under a
// file here; a full disk alike): a second start still finds the first and ends.
TEST(SingleInstanceTest, ASecondStartFindsTheFirstWithoutItsLockFile) {
  TempHome home;
  SingleInstance first(home.home());
  ASSERT_EQ(first.acquire(), SingleInstance::Result::Acquired);
  QFile::remove(QString::fromStdString(home.home()) + "QvxSonalg.lock");
  EXPECT_EQ(SingleInstance(home.home()).acquire(), SingleInstance::Result::OtherInstance);

  home.writeFile("plain", "a file where the working folder should be");
  SingleInstance lockless(home.path("plain/sub/"));
  ASSERT_EQ(lockless.acquire(), SingleInstance::Result::Unavailable);
  EXPECT_EQ(SingleInstance(home.path("plain/sub/")).acquire(), SingleInstance::Result::OtherInstance);
}

TEST(SingleInstanceTest, TheProgramStartedTwiceSaysItRunsAndLeavesTheFirstAsItWas) {
  TempHome home;
  SingleInstance first(home.home());
  int raised = 0;
  first.onRaise([&] { ++raised; });
  ASSERT_EQ(first.acquire(), SingleInstance::Result::Acquired);

  QProcess second;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("SONALOG_HOME", QString::fromStdString(home.home()));
  env.insert("SONALOG_SCRIPTED_UI", "1");
  env.insert("QT_QPA_PLATFORM", "offscreen");
  second.setProcessEnvironment(env);
  second.start(SONALOG_GUI_PATH, {QString::fromStdString(home.path("list.snlg"))});
  ASSERT_TRUE(second.waitForStarted());
  ASSERT_TRUE(testing::pumpUntil([&] { return second.state() == QProcess::NotRunning; }));
  EXPECT_EQ(second.exitCode(), 0);
  const std::string err = second.readAllStandardError().toStdString();
  EXPECT_NE(err.find("box [error]: " + alreadyRunningText(1)), std::string::npos) << err;
  EXPECT_TRUE(testing::pumpUntil([&] { return raised == 1; }));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(home.home() + "mp3snlg.ini")));  // it never started up
}

}  // namespace
}  // namespace sonalog::ui
