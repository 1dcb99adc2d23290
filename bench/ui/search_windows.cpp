// How the duplicates search window and the comparison window behave on large lists: the run's
// duration through the window against `sonalog dupes` / `sonalog compare` on the same lists, the
// longest gap between two events handled by the window's thread while the run goes on, and how
// long ABORT takes to end the worker. Runs offscreen:
//   QT_QPA_PLATFORM=offscreen bench_search_windows [names=20000] [threshold=80]

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ListFile.h"
#include "core/MainUnit.h"
#include "duplicates/PreDupUnit.h"
#include "tests/support/CompareNames.h"
#include "tests/support/FakeUi.h"
#include "tests/support/NameGen.h"
#include "ui/search/CompForm.h"
#include "ui/search/DupSearchForm.h"

namespace sonalog {
namespace {

using namespace sonalog::ui;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs the command line tool and returns its wall time in seconds (negative on failure).
double timeCli(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string cli = SONALOG_CLI_PATH;
  argv.push_back(cli.data());
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::fflush(stdout);  // the child must not write the parent's buffered lines again
  const auto start = Clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  const double seconds = secondsSince(start);
  return WIFEXITED(status) && WEXITSTATUS(status) <= 1 ? seconds : -1;
}

// Records the longest interval between two ticks of a 1 ms timer on the window's thread.
class GapMeter {
 public:
  GapMeter() {
    timer_.setInterval(1);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const qint64 now = clock_.nsecsElapsed();
      if (last_ >= 0) maxGapNs_ = std::max(maxGapNs_, now - last_);
      last_ = now;
    });
  }
  void start() {
    clock_.start();
    last_ = -1;
    maxGapNs_ = 0;
    timer_.start();
  }
  double stopMs() {
    timer_.stop();
    return static_cast<double>(maxGapNs_) / 1e6;
  }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 last_ = -1;
  qint64 maxGapNs_ = 0;
};

template <typename Form>
void waitClosed(Form& form, bool& closed) {
  while (!closed) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  (void)form;
}

// The time from ABORT to the worker's end, measured on the window's thread.
template <typename Form, typename Ended>
double abortLatencyMs(Form& form, bool& closed, const Ended& ended, int afterMs) {
  QElapsedTimer wait;
  wait.start();
  while (wait.elapsed() < afterMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  const auto start = Clock::now();
  form.template findChild<QPushButton*>("AbortBut")->click();
  while (!ended()) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
  const double ms = secondsSince(start) * 1000;
  waitClosed(form, closed);
  return ms;
}

void benchDuplicates(const std::string& folder, size_t names, uint8_t threshold) {
  const std::vector<ListItem> items = testing::generateCatalogue(names, 2024);
  const std::string list = folder + "/dupes.snlg";
  writeListFile(list, items, 63);
  const double cli = timeCli({"dupes", list, "--set", "matchThreshold=" + std::to_string(threshold),
                              "--set", "actionMode=0", "--set", "threadPriority=1"});

  Settings settings;
  settings.matchThreshold = threshold;
  settings.actionMode = 0;
  settings.threadPriority = 1;
  const DupSearchOptions options = dupSearchOptionsOf(settings);
  testing::FakeUi ui;
  MainUnit main(ui);
  main.list().items = items;

  GapMeter gaps;
  bool closed = false;
  TDupSearchForm form(main, options);
  form.ui().script({Answer::Yes});
  QObject::connect(&form, &TDupSearchForm::closed, [&] { closed = true; });
  form.newRun();
  gaps.start();
  const auto start = Clock::now();
  form.show();
  while (!(form.run() && form.run()->workerEnded() && form.findChild<QPushButton*>("CloseBut")->isVisible()))
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  const double window = secondsSince(start);
  const double gap = gaps.stopMs();
  form.findChild<QPushButton*>("AbortBut")->click();  // "&UNDO"
  waitClosed(form, closed);

  closed = false;
  TDupSearchForm again(main, options);
  again.ui().script({Answer::Yes});
  QObject::connect(&again, &TDupSearchForm::closed, [&] { closed = true; });
  again.newRun();
  again.show();
  const double abortMs = abortLatencyMs(again, closed, [&] { return again.run() && again.run()->workerEnded(); },
                                        static_cast<int>(window * 500));
  std::printf("duplicates %zu names, threshold %u: sonalog dupes %.2f s, window %.2f s (%+.1f %%), "
              "longest event gap %.1f ms, ABORT %.1f ms\n",
              names, threshold, cli, window, cli > 0 ? (window / cli - 1) * 100 : 0.0, gap, abortMs);
  std::fflush(stdout);
}

void benchCompare(const std::string& folder, size_t names, uint8_t threshold) {
  testing::NameGenerator gen(2024, false);
  std::vector<ListItem> internal, external;
  for (size_t k = 0; k < names; ++k) {
    ListItem i = gen.item();
    i.fileName = gen.variant(gen.distinctBase());
    internal.push_back(i);
  }
  for (size_t k = 0; k < names; ++k) {
    ListItem i = gen.item();
    i.fileName = gen.chance(50) ? gen.variant(internal[gen.pick(names)].fileName) : gen.variant(gen.distinctBase());
    external.push_back(i);
  }
  const std::string list = folder + "/internal.snlg", ext = folder + "/external.snlg";
  writeListFile(list, internal, 63);
  writeListFile(ext, external, 63);
  const double cli = timeCli({"compare", list, ext, "-o", folder + "/cli.txt", "--set", "compareWith=0", "--set",
                              "compareAction=0", "--set", "matchThreshold=" + std::to_string(threshold), "--set",
                              "actionMode=0", "--set", "threadPriority=1"});

  CompareJob job;
  job.inputPath = ext;
  job.outputPath = folder + "/window.txt";
  job.settings.compareWith = 0;
  job.settings.compareAction = 0;
  job.settings.matchThreshold = threshold;
  job.settings.actionMode = 0;
  job.settings.threadPriority = 1;
  job.relaxedSwitch = false;
  job.partThreshold = ComputePartThreshold(threshold);
  testing::FakeUi ui;
  MainUnit main(ui);
  main.list().items = internal;

  GapMeter gaps;
  bool closed = false;
  TCompForm form(main, job);
  form.ui().script({Answer::No});
  QObject::connect(&form, &TCompForm::closed, [&] { closed = true; });
  form.newRun();
  gaps.start();
  const auto start = Clock::now();
  form.show();
  while (!(form.run() && form.run()->ended() && form.findChild<QPushButton*>("DeleteBut")->isVisible()))
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  const double window = secondsSince(start);
  const double gap = gaps.stopMs();
  form.findChild<QPushButton*>("DeleteBut")->click();  // "&CLOSE"
  waitClosed(form, closed);

  closed = false;
  TCompForm again(main, job);
  again.ui().script({Answer::No});
  QObject::connect(&again, &TCompForm::closed, [&] { closed = true; });
  again.newRun();
  again.show();
  // The window lets go of its run when it closes: no run left counts as ended.
  const double abortMs = abortLatencyMs(again, closed, [&] { return !again.run() || again.run()->ended(); },
                                        static_cast<int>(window * 500));
  std::printf("compare %zu x %zu names, threshold %u: sonalog compare %.2f s, window %.2f s (%+.1f %%), "
              "longest event gap %.1f ms, ABORT %.1f ms\n",
              names, names, threshold, cli, window, cli > 0 ? (window / cli - 1) * 100 : 0.0, gap, abortMs);
  std::fflush(stdout);
}

}  // namespace
}  // namespace sonalog

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const size_t names = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20000;
  const auto threshold = static_cast<uint8_t>(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 80);
  const std::string folder =
      (std::filesystem::temp_directory_path() / ("sonalog-bench-windows-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(folder);
  ::setenv("SONALOG_HOME", folder.c_str(), 1);
  sonalog::benchDuplicates(folder, names, threshold);
  sonalog::benchCompare(folder, names, threshold);
  std::filesystem::remove_all(folder);
  return 0;
}
