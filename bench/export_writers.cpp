// Every export writer on a large list, written the way the Export command writes: into a temporary
// file that is flushed to disk (fsync) and renamed over the target. The spreadsheet holds at most
// 65535 rows, so it is measured at that size. The "rss_growth_MB" counter shows how much the peak
// memory grew while writing: the writers stream, so it stays near zero whatever the list's size.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "export/ExportFile.h"
#include "export/XlsWriter.h"
#include "tests/support/FakeUi.h"

namespace {

using namespace sonalog;

constexpr size_t kItems = 1000000;

const std::vector<ListItem>& bigList() {
  static const std::vector<ListItem> items = [] {
    std::vector<ListItem> v;
    v.reserve(kItems);
    for (size_t i = 0; i < kItems; ++i) {
      ListItem it;
      it.fileName = "Artist " + std::to_string(i % 5000) + " - Title number " + std::to_string(i);
      it.folder = "/music/collection/artist " + std::to_string(i / 200);
      it.volumeLabel = "MUSIC";
      it.bitrateCode = static_cast<uint8_t>(i % 17);
      it.averageKbps = 187;
      it.sizeKB = static_cast<int32_t>(3000 + i % 9000);
      it.frames = static_cast<int32_t>(5000 + i % 20000);
      it.stereoMode = static_cast<uint8_t>(i % 5);
      it.frequencyCode = static_cast<uint8_t>(i % 3);
      it.fileDate = static_cast<int32_t>(36000 + i % 9000);
      it.dateAdded = 45000;
      v.push_back(std::move(it));
    }
    return v;
  }();
  return items;
}

long peakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::string benchFolder() {
  static const std::string folder = [] {
    auto dir = std::filesystem::temp_directory_path() / ("sonalog-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir.string();
  }();
  return folder;
}

void runWriter(benchmark::State& state, ExportType type, size_t count) {
  const std::vector<ListItem>& all = bigList();
  std::vector<uint32_t> indices;
  if (count < all.size())
    for (uint32_t i = 0; i < count; ++i) indices.push_back(i);
  const ItemView items = count < all.size() ? ItemView(all, indices) : ItemView(all);

  ExportOptions options;
  options.type = type;
  options.fields = ShownFields::all();
  options.delimiter = kDelimiterParentheses;
  options.padLength = 40;
  options.style.dateStyle = 1;
  HtmlPage page;
  page.sortCode = 7;  // by path: the table starts a captioned table at every folder
  page.captionMode = type == ExportType::HtmlTable ? CaptionMode::FromList : CaptionMode::None;
  const std::string path = benchFolder() + "/list." + defaultExtension(type);

  testing::FakeUi ui;
  const long rssBefore = peakRssKb();
  for (auto _ : state) {
    ExportRun run(ui, "");
    const ExportFileResult r = writeExportFile(path, type, items, options, page, run);
    if (r.outcome != FileOutcome::Written) state.SkipWithError("export failed");
  }
  state.counters["items"] = static_cast<double>(items.size());
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  state.counters["rss_growth_MB"] = static_cast<double>(peakRssKb() - rssBefore) / 1024.0;
  std::filesystem::remove(path);
}

void BM_TextWriter(benchmark::State& s) { runWriter(s, ExportType::Text, kItems); }
void BM_PlainHtmlWriter(benchmark::State& s) { runWriter(s, ExportType::PlainHtml, kItems); }
void BM_HtmlTableWriter(benchmark::State& s) { runWriter(s, ExportType::HtmlTable, kItems); }
void BM_M3uWriter(benchmark::State& s) { runWriter(s, ExportType::M3u, kItems); }
void BM_XlsWriterFullSheet(benchmark::State& s) { runWriter(s, ExportType::Xls, kMaxXlsRows); }

// Builds the list before any measurement, so the first benchmark's memory counter is fair.
void BM_BuildList(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(bigList().size());
}

BENCHMARK(BM_BuildList)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextWriter)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainHtmlWriter)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HtmlTableWriter)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_M3uWriter)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XlsWriterFullSheet)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
