// The duplicates search on generated catalogues ("Artist - Title" names with typos, case,
// accents, extra words and other separators), against the plain pair-by-pair search.
//
// Targets on a 2-core machine: 1 000 000 names at threshold 80 within 60 s and 1 GB, 400 000
// within 15 s, growing close to linearly with the list size (the whole process through the
// command line: bench/side_by_side.sh); at least 50 times faster than the plain search on
// 20 000; 1 000 000 names at threshold 99 under 3 s. The third argument 0 switches the playtime
// and size criteria off, so that only the names narrow the pairs. BM_PairSearch runs 100 000
// names through each way of finding pairs (0 the automatic choice, 1 the name index, 2 every
// pair the criteria leave): at every threshold the automatic choice stays within about 15 % of
// the faster way.

#include <benchmark/benchmark.h>

#include <map>

#include "duplicates/DupSearchUnit.h"
#include "tests/support/DupOracle.h"
#include "tests/support/NameGen.h"

namespace sonalog {
namespace {

const std::vector<ListItem>& catalogue(size_t count) {
  static std::map<size_t, std::vector<ListItem>> made;
  auto it = made.find(count);
  if (it == made.end()) it = made.emplace(count, testing::generateCatalogue(count, 2024)).first;
  return it->second;
}

DupSearchOptions optionsAt(uint8_t threshold) {
  DupSearchOptions o;
  o.match.matchThreshold = threshold;
  ComputePartThreshold(o.match);
  o.actionMode = kActionAutomatic;
  return o;
}

const testing::DupAnswerer kLeave = [](const std::string&, const std::string&, uint8_t) { return kLeaveBoth; };

void BM_Search(benchmark::State& state) {
  const auto& items = catalogue(static_cast<size_t>(state.range(0)));
  DupSearchOptions o = optionsAt(static_cast<uint8_t>(state.range(1)));
  if (state.range(2) == 0) o.match.timeCheck = o.match.sizeCheck = false;
  uint32_t queued = 0;
  for (auto _ : state) {
    DupSearchRun run(items, o);
    run.start();
    run.join();
    queued = run.duplicatesToDelete();
  }
  state.counters["queued"] = queued;
  state.counters["pairs/s"] = benchmark::Counter(static_cast<double>(items.size()) * (items.size() - 1) / 2,
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

void BM_PairSearch(benchmark::State& state) {
  const auto& items = catalogue(static_cast<size_t>(state.range(0)));
  DupSearchOptions o = optionsAt(static_cast<uint8_t>(state.range(1)));
  o.pairSearch = static_cast<PairSearch>(state.range(2));  // Auto, Index, Plain
  for (auto _ : state) {
    DupSearchRun run(items, o);
    run.start();
    run.join();
  }
}

void BM_PlainSearch(benchmark::State& state) {
  const auto& items = catalogue(static_cast<size_t>(state.range(0)));
  const DupSearchOptions o = optionsAt(static_cast<uint8_t>(state.range(1)));
  testing::DupOutcome plain;
  for (auto _ : state) plain = testing::oracleDupSearch(items, o, kLeave);
  // The fast search must give the same result on the same names.
  if (testing::runDupSearch(items, o, kLeave) != plain) state.SkipWithError("results differ from the plain search");
  state.counters["queued"] = plain.duplicates;
  state.counters["pairs/s"] = benchmark::Counter(static_cast<double>(items.size()) * (items.size() - 1) / 2,
                                                 benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_Search)->Args({2000, 80, 1})->Args({20000, 80, 1})->Args({20000, 80, 0})->Args({100000, 80, 1})
    ->Args({400000, 80, 1})->Args({1000000, 80, 1})->Args({100000, 90, 0})->Args({200000, 99, 1})
    ->Args({1000000, 99, 1})->Args({200000, 100, 1})
    ->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_PairSearch)
    ->ArgsProduct({{100000}, {50, 60, 65, 70, 75, 80}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_PlainSearch)->Args({2000, 80})->Args({5000, 80})->Unit(benchmark::kMillisecond)->Iterations(1)
    ->UseRealTime();

}  // namespace
}  // namespace sonalog
