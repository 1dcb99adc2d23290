// Folder scan speed: a NEW scan of 10 000 cached files in fast mode, and APPEND scans whose
// existing-entry check runs against lists of 10 000 and 100 000 items (linear, not quadratic).
//
// The 10 000 files are hard links to a few real files (no disk space, and the page cache holds
// them after the first pass), spread over 100 folders; the tree lives in /dev/shm when it exists.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/FolderScan.h"
#include "platform/SilentUi.h"
#include "tests/support/Mp3Builder.h"

namespace sonalog {
namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 100;
constexpr int kDistinctFiles = 10;
constexpr int kFramesPerFile = 9000;  // about four minutes at 44.1 kHz

// The generated tree and a working folder, removed at exit.
class Tree {
 public:
  Tree() {
    std::error_code ec;
    const fs::path shm = "/dev/shm";
    const fs::path base = fs::is_directory(shm, ec) && ::access(shm.c_str(), W_OK) == 0 ? shm : fs::temp_directory_path();
    root_ = base / ("sonalog-bench-scan-" + std::to_string(::getpid()));
    fs::remove_all(root_, ec);
    fs::create_directories(root_ / "home");
    ::setenv("SONALOG_HOME", (root_ / "home").c_str(), 1);
    for (int i = 0; i < kDistinctFiles; ++i)
      testing::writeBytes((root_ / "source" / ("s" + std::to_string(i) + ".mp3")).string(),
                          testing::benchmarkFile(i % 2 == 1, kFramesPerFile + i));
    for (int f = 0; f < kFolders; ++f) {
      const fs::path folder = root_ / "music" / ("Artist " + std::to_string(f));
      fs::create_directories(folder);
      for (int n = 0; n < kFilesPerFolder; ++n) {
        const fs::path source = root_ / "source" / ("s" + std::to_string(n % kDistinctFiles) + ".mp3");
        fs::create_hard_link(source, folder / ("Artist " + std::to_string(f) + " - Song " + std::to_string(n) + ".mp3"), ec);
      }
    }
  }
  ~Tree() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string music() const { return (root_ / "music").string(); }

 private:
  fs::path root_;
};

const Tree& tree() {
  static const Tree t;
  return t;
}

ScanOptions fastOptions() {
  ScanOptions o;
  o.analysisMode = AnalysisMode::Fast;
  o.onError = OnErrorRule::Include;
  o.sort = true;
  return o;
}

void BM_NewScan10000CachedFilesFast(benchmark::State& state) {
  const std::string music = tree().music();
  SilentUi ui;
  for (auto _ : state) {
    InternalList list;
    ScanMemory memory;
    const ScanResult r = runFolderScan(ScanMode::New, {music, true, false}, fastOptions(), list, ui, memory);
    if (list.itemCount() != kFolders * kFilesPerFolder) state.SkipWithError(r.status.c_str());
    benchmark::DoNotOptimize(list.items.data());
  }
  state.counters["files"] = kFolders * kFilesPerFolder;
}
BENCHMARK(BM_NewScan10000CachedFilesFast)->Unit(benchmark::kMillisecond)->Iterations(3);

// APPEND of the 10 000 files onto a list of total items that holds them all (the first 10 000
// items are the scan's own result).
void appendOntoList(benchmark::State& state, size_t total, ExistingEntryRule rule) {
  const std::string music = tree().music();
  SilentUi ui;
  InternalList scanned;
  ScanMemory memory;
  runFolderScan(ScanMode::New, {music, true, false}, fastOptions(), scanned, ui, memory);
  std::vector<ListItem> items = scanned.items;
  for (size_t i = items.size(); i < total; ++i) {
    ListItem it = scanned.items[i % scanned.items.size()];
    it.folder = "/elsewhere/Folder " + std::to_string(i / 100);
    items.push_back(std::move(it));
  }
  ScanOptions options = fastOptions();
  options.existingEntries = rule;
  options.sort = false;
  for (auto _ : state) {
    state.PauseTiming();
    InternalList list;
    list.items = items;
    ScanMemory fresh;
    state.ResumeTiming();
    const ScanResult r = runFolderScan(ScanMode::Append, {music, true, false}, options, list, ui, fresh);
    if (r.counts.ignored != kFolders * kFilesPerFolder) state.SkipWithError(r.status.c_str());
  }
  state.counters["items"] = static_cast<double>(total);
}

// With "Skip existing entries" no file is analysed, so the time is the walk, the backup copy and
// the existing-entry check; it grows with the list, not with list size times files.
void BM_AppendSkipOntoList(benchmark::State& state) {
  appendOntoList(state, static_cast<size_t>(state.range(0)), ExistingEntryRule::Skip);
}
BENCHMARK(BM_AppendSkipOntoList)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same with "Add/update only if different": every file is analysed and compared.
void BM_AppendUpdateIfDifferentOnto100000(benchmark::State& state) {
  appendOntoList(state, 100000, ExistingEntryRule::UpdateIfDifferent);
}
BENCHMARK(BM_AppendUpdateIfDifferentOnto100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace sonalog
