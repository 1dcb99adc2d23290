// Measures the desktop program where a person would feel it:
//   gui_bench scan        a NEW scan of 10 000 cached files started with the main window's NEW
//                         button: the longest gap between two runs of the window's event loop,
//                         and the scan's time next to `sonalog scan` on the same tree;
//   gui_bench list PATH N writes a list file of N items (for the start-up measurement of
//                         scripts/measure-gui.sh).
// Run it offscreen (QT_QPA_PLATFORM=offscreen) or under a display; it never touches the user's
// folders.

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ListFile.h"
#include "core/MainUnit.h"
#include "tests/support/Mp3Builder.h"
#include "ui/main/MainForm.h"
#include "ui/widgets/QtUserInterface.h"

namespace fs = std::filesystem;
using namespace sonalog;
using sonalog::ui::QtUserInterface;
using sonalog::ui::TMainForm;

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;
constexpr int kDistinctFiles = 10;
constexpr int kFramesPerFile = 9000;
constexpr int kRuns = 3;

fs::path makeTree() {
  std::error_code ec;
  const fs::path shm = "/dev/shm";
  const fs::path base = fs::is_directory(shm, ec) && ::access(shm.c_str(), W_OK) == 0 ? shm : fs::temp_directory_path();
  const fs::path root = base / ("sonalog-gui-bench-" + std::to_string(::getpid()));
  fs::remove_all(root, ec);
  fs::create_directories(root / "home");
  ::setenv("SONALOG_HOME", (root / "home").c_str(), 1);
  for (int i = 0; i < kDistinctFiles; ++i)
    testing::writeBytes((root / "source" / ("s" + std::to_string(i) + ".mp3")).string(),
                        testing::benchmarkFile(i % 2 == 1, kFramesPerFile + i));
  for (int f = 0; f < kFolders; ++f) {
    const fs::path folder = root / "music" / ("Artist " + std::to_string(f));
    fs::create_directories(folder);
    for (int n = 0; n < kFilesPerFolder; ++n)
      fs::create_hard_link(root / "source" / ("s" + std::to_string(n % kDistinctFiles) + ".mp3"),
                           folder / ("Artist " + std::to_string(f) + " - Song " + std::to_string(n) + ".mp3"), ec);
  }
  return root;
}

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

int scanBench(int argc, char** argv) {
  const fs::path root = makeTree();
  const std::string music = (root / "music").string();
  QApplication app(argc, argv);
  QtUserInterface qui;
  qui.script({});
  MainUnit main(qui);
  if (!main.startUp()) return 1;
  main.settings().erroractioncombo = 2;  // include damaged files, never ask
  main.settings().Incbox = true;
  TMainForm form(main, qui);
  form.activate({});
  main.setFolder(music);

  // A 1 ms timer runs whenever the window's events run; the gaps between its runs are the times
  // the window could not react.
  QElapsedTimer sinceTick;
  qint64 longestGapMs = 0;
  QTimer tick;
  tick.setInterval(1);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    longestGapMs = std::max(longestGapMs, sinceTick.restart());
  });

  auto* start = form.findChild<QPushButton*>("StartBut");
  std::vector<double> gui, cli;
  std::vector<qint64> gaps;
  const std::string cliCommand = std::string(SONALOG_CLI_PATH) +
                                 " --set erroractioncombo=2 scan -o '" + (root / "cli.snlg").string() + "' '" +
                                 music + "' >/dev/null";
  if (std::system(cliCommand.c_str()) != 0) return 1;  // warms the page cache
  for (int run = 0; run < kRuns; ++run) {
    main.list().clear();
    longestGapMs = 0;
    sinceTick.start();
    tick.start();
    const auto t0 = std::chrono::steady_clock::now();
    start->click();
    gui.push_back(seconds(std::chrono::steady_clock::now() - t0));
    tick.stop();
    gaps.push_back(longestGapMs);
    if (main.list().itemCount() != kFolders * kFilesPerFolder) {
      std::fprintf(stderr, "GUI scan found %u items: %s\n", main.list().itemCount(), main.status().c_str());
      return 1;
    }
    const auto c0 = std::chrono::steady_clock::now();
    if (std::system(cliCommand.c_str()) != 0) return 1;
    cli.push_back(seconds(std::chrono::steady_clock::now() - c0));
  }
  std::error_code ec;
  fs::remove_all(root, ec);
  const double bestGui = *std::min_element(gui.begin(), gui.end());
  const double bestCli = *std::min_element(cli.begin(), cli.end());
  std::printf("NEW scan of %d cached files, best of %d runs\n", kFolders * kFilesPerFolder, kRuns);
  std::printf("  sonalog-gui (NEW button): %.3f s\n", bestGui);
  std::printf("  sonalog scan (process)  : %.3f s\n", bestCli);
  std::printf("  GUI / CLI               : %+.1f %%\n", (bestGui / bestCli - 1) * 100);
  std::printf("  longest event gap per run:");
  for (qint64 g : gaps) std::printf(" %lld ms", static_cast<long long>(g));
  std::printf("\n");
  return 0;
}

int writeList(const char* path, long count) {
  std::vector<ListItem> items(static_cast<size_t>(count));
  for (long i = 0; i < count; ++i) {
    ListItem& it = items[static_cast<size_t>(i)];
    it.fileName = "Artist " + std::to_string(i % 997) + " - Song number " + std::to_string(i);
    it.folder = "/music/Artist " + std::to_string(i % 997);
    it.bitrateCode = 9;
    it.sizeKB = 4000 + static_cast<int32_t>(i % 3000);
    it.frames = 9000 + static_cast<int32_t>(i % 5000);
  }
  return writeListFile(path, items, 0) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "list") return writeList(argv[2], std::atol(argv[3]));
  if (argc >= 2 && std::string(argv[1]) == "scan") return scanBench(argc, argv);
  std::fprintf(stderr, "usage: gui_bench scan | gui_bench list PATH COUNT\n");
  return 2;
}
