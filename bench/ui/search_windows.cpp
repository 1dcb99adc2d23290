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
#include <memory>
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

void waitClosed(bool& closed) {
  while (!closed) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// The time from ABORT to the worker's end, measured on the window's thread.
template <typename Form, typename Ended>
double abortLatencyMs(Form& form, bool& closed, const Ended& ended, int afterMs) {
  QElapsedTimer wait;
  wait.start();
  while (wait.elapsed() < afterMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  const auto start = Clock::now();
  form.template findChild<QPushButton*>("AbortBut")->click();
  // On a short list the run may have ended before the click; ABORT is then UNDO and closes the
  // window, and a closed window's worker has ended: closing stops it and waits for it.
  while (!closed && !ended()) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
  const double ms = secondsSince(start) * 1000;
  waitClosed(closed);
  return ms;
}

struct WindowTimes {
  double seconds = 0;  // from show() to the run's end
  double gapMs = 0;    // the longest event gap meanwhile
  double abortMs = 0;  // from ABORT to the worker's end, in a second window
};

// Runs a window from show() until its worker ended and finishedButton shows, leaves it with
// leaveButton, then stops a second window with ABORT halfway through. Every question is
// answered with answer. workerEnded(form): the worker ended, or the window let go of it.
template <typename Form, typename Job, typename WorkerEnded>
WindowTimes timeRunWindow(MainUnit& main, const Job& job, Answer answer, const char* finishedButton,
                          const char* leaveButton, const WorkerEnded& workerEnded) {
  bool closed = false;
  auto open = [&] {
    auto form = std::make_unique<Form>(main, job);
    form->ui().script({answer});
    QObject::connect(form.get(), &Form::closed, [&closed] { closed = true; });
    form->newRun();
    return form;
  };
  WindowTimes times;
  GapMeter gaps;
  const auto form = open();
  gaps.start();
  const auto start = Clock::now();
  form->show();
  while (!(form->run() && workerEnded(*form) && form->template findChild<QPushButton*>(finishedButton)->isVisible()))
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  times.seconds = secondsSince(start);
  times.gapMs = gaps.stopMs();
  form->template findChild<QPushButton*>(leaveButton)->click();
  waitClosed(closed);

  closed = false;
  const auto again = open();
  again->show();
  times.abortMs = abortLatencyMs(*again, closed, [&] { return workerEnded(*again); },
                                 static_cast<int>(times.seconds * 500));
  return times;
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

  // ABORT on a finished search is "&UNDO".
  const WindowTimes t = timeRunWindow<TDupSearchForm>(
      main, options, Answer::Yes, "CloseBut", "AbortBut",
      [](TDupSearchForm& f) { return f.run() && f.run()->workerEnded(); });
  std::printf("duplicates %zu names, threshold %u: sonalog dupes %.2f s, window %.2f s (%+.1f %%), "
              "longest event gap %.1f ms, ABORT %.1f ms\n",
              names, threshold, cli, t.seconds, cli > 0 ? (t.seconds / cli - 1) * 100 : 0.0, t.gapMs, t.abortMs);
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

  // DELETE on a finished comparison is "&CLOSE"; a closed window has let go of its run.
  const WindowTimes t = timeRunWindow<TCompForm>(main, job, Answer::No, "DeleteBut", "DeleteBut",
                                                 [](TCompForm& f) { return !f.run() || f.run()->ended(); });
  std::printf("compare %zu x %zu names, threshold %u: sonalog compare %.2f s, window %.2f s (%+.1f %%), "
              "longest event gap %.1f ms, ABORT %.1f ms\n",
              names, names, threshold, cli, t.seconds, cli > 0 ? (t.seconds / cli - 1) * 100 : 0.0, t.gapMs,
              t.abortMs);
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
