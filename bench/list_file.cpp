// Saving and loading a list file of 1 000 000 items (target: under 1 s each).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/ListFile.h"
#include "tests/support/FakeUi.h"

namespace {

using namespace sonalog;

std::vector<ListItem> collection(size_t n) {
  std::vector<ListItem> items(n);
  for (size_t k = 0; k < n; ++k) {
    ListItem& it = items[k];
    it.fileName = "Artist " + std::to_string(k % 5000) + " - Title of song number " + std::to_string(k);
    it.folder = "/home/user/music/Artist " + std::to_string(k % 5000) + "/Album " + std::to_string(k % 17);
    it.volumeLabel = "MUSIC";
    it.bitrateCode = static_cast<uint8_t>(k % 7 == 0 ? kBitrateVbr : 9);
    it.averageKbps = 187;
    it.sizeKB = static_cast<int32_t>(3000 + k % 9000);
    it.frames = static_cast<int32_t>(5000 + k % 15000);
    it.fileDate = 44000;
    it.dateAdded = 45000;
  }
  return items;
}

class BenchFolder {
 public:
  BenchFolder()
      : path_(std::filesystem::temp_directory_path() / ("sonalog-bench-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(path_);
  }
  ~BenchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

void BM_SaveList(benchmark::State& state) {
  BenchFolder folder;
  const std::vector<ListItem> items = collection(static_cast<size_t>(state.range(0)));
  const std::string path = folder.file("bench.snlg");
  for (auto _ : state) {
    if (!writeListFile(path, items, 0)) state.SkipWithError("write failed");
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LoadList(benchmark::State& state) {
  BenchFolder folder;
  const std::string path = folder.file("bench.snlg");
  if (!writeListFile(path, collection(static_cast<size_t>(state.range(0))), 0)) state.SkipWithError("write failed");
  sonalog::testing::FakeUi ui;
  for (auto _ : state) {
    InternalList list;
    const ListReadResult r = ReadListFile(ui, list, path, true, false, [&list] {
      list.clear();
      return true;
    });
    if (r.count != state.range(0)) state.SkipWithError("load failed");
    state.PauseTiming();
    list = InternalList();  // freeing is not loading
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_SaveList)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadList)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
