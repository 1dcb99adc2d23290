// Speed of the mp3 analysis over cached files: fast mode in files per second over 1 000 4-minute
// files (half CBR 128 kbps behind an Info header as encoders write them, half VBR behind a Xing
// header), the CBR estimate path (no header), and slow mode in bytes per second. With TagLib
// present, its FileRef with the Fast read style over the same files for comparison.
// SONALOG_BENCH_FILES sets the number of files (default 1000).

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Mp3Analysis.h"
#include "tests/support/Mp3Builder.h"

#ifdef SONALOG_HAVE_TAGLIB
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#endif

namespace {

namespace fs = std::filesystem;
using sonalog::AnalysisMode;

// 4 minutes of 44.1 kHz frames (1152 samples each).
constexpr int kFourMinutesFrames = 9188;

// The files, written once per run into a temporary folder that is removed at exit. They stay in
// the page cache, so the figures are those of cached files.
struct Corpus {
  fs::path folder;
  std::vector<std::string> mixed;     // CBR with Info header and VBR with Xing header, alternating
  std::vector<std::string> headless;  // CBR without any VBR header: the estimate path
  int64_t mixedBytes = 0;

  Corpus() {
    const char* env = std::getenv("SONALOG_BENCH_FILES");
    const int count = env ? std::max(2, std::atoi(env)) : 1000;
    folder = fs::temp_directory_path() / ("sonalog-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string cbr = sonalog::testing::benchmarkFile(false, kFourMinutesFrames);
    const std::string vbr = sonalog::testing::benchmarkFile(true, kFourMinutesFrames);
    sonalog::testing::Mp3Builder plain;
    plain.encodedFrames(sonalog::testing::mpeg1(9, 0, 1), kFourMinutesFrames).id3v1();
    for (int i = 0; i < count; ++i) {
      const bool isVbr = i % 2 == 1;
      const std::string path = (folder / ("file" + std::to_string(i) + ".mp3")).string();
      sonalog::testing::writeBytes(path, isVbr ? vbr : cbr);
      mixed.push_back(path);
      mixedBytes += static_cast<int64_t>((isVbr ? vbr : cbr).size());
    }
    for (int i = 0; i < count / 10; ++i) {
      const std::string path = (folder / ("plain" + std::to_string(i) + ".mp3")).string();
      sonalog::testing::writeBytes(path, plain.str());
      headless.push_back(path);
    }
  }
  ~Corpus() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
};

Corpus& corpus() {
  static Corpus c;
  return c;
}

void analyseAll(benchmark::State& state, const std::vector<std::string>& paths, AnalysisMode mode) {
  sonalog::Mp3Analyser analyser;
  sonalog::Mp3AnalysisResult r;
  for (auto _ : state) {
    for (const std::string& path : paths) {
      if (!analyser.analyseFile(path, mode, r)) state.SkipWithError(r.errorText.c_str());
      benchmark::DoNotOptimize(r.frames);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(paths.size()));
}

void BM_FastMode_CbrAndVbr(benchmark::State& state) { analyseAll(state, corpus().mixed, AnalysisMode::Fast); }
BENCHMARK(BM_FastMode_CbrAndVbr)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FastMode_CbrEstimate(benchmark::State& state) { analyseAll(state, corpus().headless, AnalysisMode::Fast); }
BENCHMARK(BM_FastMode_CbrEstimate)->Unit(benchmark::kMillisecond)->UseRealTime();

// Slow mode reads every byte: throughput over the first 40 files (20 CBR, 20 VBR).
void BM_SlowMode(benchmark::State& state) {
  const auto& all = corpus().mixed;
  const std::vector<std::string> paths(all.begin(), all.begin() + std::min<size_t>(40, all.size()));
  int64_t bytes = 0;
  for (const auto& p : paths) bytes += static_cast<int64_t>(fs::file_size(p));
  analyseAll(state, paths, AnalysisMode::Slow);
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_SlowMode)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef SONALOG_HAVE_TAGLIB
// TagLib reads the same files' tags and audio properties with its fastest read style.
void BM_TagLibFileRefFast(benchmark::State& state) {
  const auto& paths = corpus().mixed;
  for (auto _ : state) {
    for (const std::string& path : paths) {
      TagLib::FileRef file(path.c_str(), true, TagLib::AudioProperties::Fast);
      if (file.isNull() || !file.audioProperties()) state.SkipWithError("TagLib could not read a file");
      else benchmark::DoNotOptimize(file.audioProperties()->lengthInMilliseconds());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(paths.size()));
}
BENCHMARK(BM_TagLibFileRefFast)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace
