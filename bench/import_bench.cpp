// Import of large exported lists: a 1 000 000-line text export and a 1 000 000-row HTML table,
// written once by the export writers into a scratch working folder.

#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "export/ExportOptions.h"
#include "export/ExportRun.h"
#include "export/ExportSink.h"
#include "export/HtmlWriter.h"
#include "export/TextWriter.h"
#include "import/ImportCommand.h"
#include "platform/Files.h"
#include "platform/SilentUi.h"

namespace sonalog {
namespace {

constexpr size_t kItems = 1'000'000;

// Goes on at every "so far" question and keeps the main options as they are.
SilentUi benchUi() {
  SilentUi ui;
  ui.answerRule = [](const MessageBox& box) {
    return box.buttons == Buttons::OkCancel ? Answer::Ok : safeDefault(box);
  };
  return ui;
}

const std::string& scratch() {
  static const std::string dir = [] {
    std::string d = "/tmp/sonalog-bench-import-" + std::to_string(::getpid());
    ::mkdir(d.c_str(), 0700);
    ::setenv("SONALOG_HOME", d.c_str(), 1);
    return d + "/";
  }();
  return dir;
}

ExportOptions benchOptions(ExportType type) {
  ExportOptions o;
  o.type = type;
  o.fields = ShownFields::all();
  o.style.dateStyle = 1;
  o.delimiter = kDelimiterComma;
  return o;
}

// Writes the export once; returns its path and size.
std::string exportFile(ExportType type, int64_t& bytes) {
  const std::string path = scratch() + (type == ExportType::Text ? "big.txt" : "big.html");
  if (!platform::fileExists(path)) {
    std::vector<ListItem> items(kItems);
    for (size_t i = 0; i < kItems; ++i) {
      ListItem& it = items[i];
      it.fileName = "Artist " + std::to_string(i % 5000) + " - Song title number " + std::to_string(i);
      it.folder = "/music/collection/folder " + std::to_string(i / 100);
      it.volumeLabel = "MUSIC";
      it.bitrateCode = static_cast<uint8_t>(1 + i % 14);
      it.sizeKB = static_cast<int32_t>(1000 + i % 9000);
      it.frames = static_cast<int32_t>(5000 + i % 20000);
      it.stereoMode = static_cast<uint8_t>(i % 4);
      it.frequencyCode = static_cast<uint8_t>(i % 3);
      it.fileDate = static_cast<int32_t>(36000 + i % 5000);
      it.dateAdded = static_cast<int32_t>(40000 + i % 3000);
    }
    platform::AtomicFile file(path);
    file.open();
    AtomicFileSink sink(file);
    SilentUi ui = benchUi();
    ExportRun run(ui, "");
    const ItemView view(items);
    if (type == ExportType::Text) writeTextList(sink, view, benchOptions(type), run);
    else writeHtmlTable(sink, view, benchOptions(type), HtmlPage{}, run);
    file.commit();
  }
  bytes = platform::fileFacts(path)->size;
  return path;
}

// Resident memory now, in MB.
double residentMB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void importBench(benchmark::State& state, ExportType type) {
  int64_t bytes = 0;
  const std::string path = exportFile(type, bytes);
  const double before = residentMB();
  double after = 0;
  for (auto _ : state) {
    InternalList list;
    ImportSettings settings;
    settings.ComboStyle = 1;
    SilentUi ui = benchUi();
    ImportCommand command(list, settings, ui);
    command.setVolumeSource([] { return std::vector<platform::Volume>{}; });
    if (!command.importFile(path) || list.items.size() != kItems) {
      state.SkipWithError("import failed");
      break;
    }
    after = residentMB();
  }
  state.counters["file_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
  state.counters["list_MB"] = after - before;  // resident growth while the imported list is held
  state.counters["items"] = static_cast<double>(kItems);
}

void BM_ImportTextExport(benchmark::State& state) { importBench(state, ExportType::Text); }
void BM_ImportHtmlTable(benchmark::State& state) { importBench(state, ExportType::HtmlTable); }

BENCHMARK(BM_ImportTextExport)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportHtmlTable)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace sonalog
