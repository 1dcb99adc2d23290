// Sorting the internal list: 1 000 000 items by file name, case-insensitively (target: under
// 2 s), and by the other kinds of key for comparison.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "core/Sorting.h"

namespace {

using namespace sonalog;

// Names like a real collection's: "Artist - Title" in mixed case, some accented, some repeated.
std::vector<ListItem> collection(size_t n) {
  std::mt19937 rng(42);
  const char* words[] = {"love", "Night", "DREAM", "fire", "Blue", "\xC3\xA9t\xC3\xA9", "road", "Heart", "time", "Sun"};
  std::vector<ListItem> items(n);
  for (size_t k = 0; k < n; ++k) {
    ListItem& it = items[k];
    it.fileName = "Artist " + std::to_string(rng() % 5000) + " - " + words[rng() % 10] + " " + words[rng() % 10] +
                  " " + std::to_string(rng() % 100);
    it.folder = "/music/Artist " + std::to_string(rng() % 5000) + "/Album " + std::to_string(rng() % 20);
    it.volumeLabel = "DATA";
    it.bitrateCode = static_cast<uint8_t>(1 + rng() % 14);
    it.sizeKB = static_cast<int32_t>(rng() % 12000);
    it.frames = static_cast<int32_t>(rng() % 20000);
    it.frequencyCode = static_cast<uint8_t>(rng() % 3);
    it.stereoMode = static_cast<uint8_t>(rng() % 4);
    it.fileDate = static_cast<int32_t>(30000 + rng() % 20000);
  }
  return items;
}

void sortBench(benchmark::State& state, SortOrder order) {
  const std::vector<ListItem> original = collection(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<ListItem> items = original;
    state.ResumeTiming();
    sortItems(items, order);
    benchmark::DoNotOptimize(items.data());
    state.PauseTiming();
    items.clear();  // freeing is not sorting
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SortByFileNameIgnoringCase(benchmark::State& state) { sortBench(state, SortOrder{kSortByFileName, false, false}); }
void BM_SortByFileNameDescendingWithCase(benchmark::State& state) {
  sortBench(state, SortOrder{kSortByFileName, true, true});
}
void BM_SortByPath(benchmark::State& state) { sortBench(state, SortOrder{kSortByPath, false, false}); }
void BM_SortByPlaytime(benchmark::State& state) { sortBench(state, SortOrder{kSortByPlaytime, false, false}); }
void BM_SortByFrequency(benchmark::State& state) { sortBench(state, SortOrder{kSortByFrequency, false, false}); }

// Many equal items: the case a plain quicksort of this kind turns quadratic on.
void BM_SortAllEqualNames(benchmark::State& state) {
  std::vector<ListItem> original(static_cast<size_t>(state.range(0)));
  for (ListItem& it : original) it.fileName = "01 - Intro";
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<ListItem> items = original;
    state.ResumeTiming();
    sortItems(items, SortOrder{});
    benchmark::DoNotOptimize(items.data());
  }
}

BENCHMARK(BM_SortByFileNameIgnoringCase)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortByFileNameDescendingWithCase)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SortByPath)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SortByPlaytime)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SortByFrequency)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SortAllEqualNames)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
