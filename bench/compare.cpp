// The comparison of two collections of 20 000 realistic names ("Artist - Title" with typos, case,
// accents and extra words) at threshold 80: the whole run (loading, matching on every core,
// writing the log), and the plain algorithm on a slice of the same lists for the speed-up.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "compare/CompUnit.h"
#include "compare/CompareDriver.h"
#include "compare/CompareReport.h"
#include "core/ListFile.h"
#include "duplicates/TitleMatch.h"
#include "tests/support/CompareNames.h"
#include "tests/support/CompareOracle.h"

namespace sonalog {
namespace {

constexpr size_t kListSize = 20000;
constexpr size_t kOracleRows = 200;  // outer items the plain algorithm scores

struct Lists {
  std::vector<ListItem> internal, external;
  std::string folder;
};

// Half of the external names are another spelling of an internal one, half are new.
const Lists& lists() {
  static const Lists l = [] {
    Lists out;
    testing::NameGenerator gen(2024, false);
    for (size_t k = 0; k < kListSize; ++k) {
      ListItem i = gen.item();
      i.fileName = gen.variant(gen.distinctBase());
      out.internal.push_back(i);
    }
    for (size_t k = 0; k < kListSize; ++k) {
      ListItem i = gen.item();
      i.fileName = gen.chance(50) ? gen.variant(out.internal[gen.pick(kListSize)].fileName)
                                  : gen.variant(gen.distinctBase());
      out.external.push_back(i);
    }
    out.folder = (std::filesystem::temp_directory_path() /
                  ("sonalog-bench-compare-" + std::to_string(::getpid())))
                     .string();
    std::filesystem::create_directories(out.folder);
    writeListFile(out.folder + "/external.snlg", out.external, 0);
    std::string text;
    for (const ListItem& i : out.external) text += i.fileName + "\r\n";
    FILE* f = std::fopen((out.folder + "/external.txt").c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return out;
  }();
  return l;
}

CompareJob jobFor(uint8_t with, int type, uint8_t threshold = 80) {
  CompareJob job;
  job.inputPath = lists().folder + (with == 0 ? "/external.snlg" : "/external.txt");
  job.outputPath = lists().folder + "/out.txt";
  job.settings.compareWith = with;
  job.settings.compareAction = static_cast<uint8_t>(type);
  job.settings.matchThreshold = threshold;
  job.settings.actionMode = 0;
  job.settings.threadPriority = 1;
  job.relaxedSwitch = with == 1;
  job.partThreshold = ComputePartThreshold(threshold);
  return job;
}

struct Silent : CompareResponder {
  void warning(const std::string&) override {}
  bool question(const std::string&, const std::string&) override { return false; }
  uint8_t confirm(uint8_t, const std::string&, const std::string&) override { return kCompareMatch; }
  bool confirmRemoval(const std::string&) override { return false; }
  bool saveOnAbort(const std::string&) override { return false; }
};

void runOnce(benchmark::State& state, uint8_t with, int type, uint8_t threshold = 80) {
  InternalList internal;
  internal.items = lists().internal;
  TMyThread run(internal, jobFor(with, type, threshold));
  Silent silent;
  if (driveCompare(run, silent) != CompOutcome::Completed) state.SkipWithError("run failed");
  state.counters["matches"] = run.matches();
  state.counters["unique"] = run.uniqueCount();
}

// Type 2 (unique titles of the internal list) against a list file: plain matching.
void BM_Compare20kListFile(benchmark::State& state) {
  lists();
  for (auto _ : state) runOnce(state, 0, 2);
}
BENCHMARK(BM_Compare20kListFile)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Type 0 against a text list: relaxed matching, the seconds criterion.
void BM_Compare20kTextList(benchmark::State& state) {
  lists();
  for (auto _ : state) runOnce(state, 1, 0);
}
BENCHMARK(BM_Compare20kTextList)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Both at threshold 99, where only equal names (and, relaxed, names contained in others) match.
void BM_Compare20kListFileAt99(benchmark::State& state) {
  lists();
  for (auto _ : state) runOnce(state, 0, 2, 99);
}
BENCHMARK(BM_Compare20kListFileAt99)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_Compare20kTextListAt99(benchmark::State& state) {
  lists();
  for (auto _ : state) runOnce(state, 1, 0, 99);
}
BENCHMARK(BM_Compare20kTextListAt99)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The plain algorithm on the first kOracleRows internal items against all 20 000 external ones;
// times (20 000 / kOracleRows) estimate the plain run of the whole lists.
void BM_Oracle200Rows(benchmark::State& state) {
  const Lists& l = lists();
  std::vector<ListItem> rows(l.internal.begin(), l.internal.begin() + kOracleRows);
  for (auto _ : state) {
    const auto r = testing::oracleCompare(rows, l.external, jobFor(0, 2),
                                          [](size_t, size_t, uint8_t) { return kCompareMatch; });
    state.counters["unique"] = r.unique;
  }
}
BENCHMARK(BM_Oracle200Rows)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace sonalog
