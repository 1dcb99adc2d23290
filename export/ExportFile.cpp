#include "export/ExportFile.h"

#include "export/ExportSink.h"
#include "export/M3uWriter.h"
#include "export/TextWriter.h"
#include "export/XlsWriter.h"
#include "platform/Files.h"

namespace sonalog {

ExportFileResult writeExportFile(const std::string& path, ExportType type, const ItemView& items,
                                 const ExportOptions& options, const HtmlPage& page, ExportRun& run,
                                 bool keepEmpty) {
  ExportFileResult result;
  if (type == ExportType::Xls) {
    // Refused before anything is created.
    if (std::string problem = xlsCountProblem(items.size()); !problem.empty()) {
      result.outcome = FileOutcome::WriteFailed;
      result.write = {WriteStatus::Failed, 0, std::move(problem)};
      return result;
    }
  }
  platform::AtomicFile file(path);
  if (!file.open()) {
    result.outcome = FileOutcome::OpenFailed;
    return result;
  }
  AtomicFileSink sink(file);
  switch (type) {
    case ExportType::Text: result.write = writeTextList(sink, items, options, run); break;
    case ExportType::PlainHtml: result.write = writePlainHtml(sink, items, options, page, run); break;
    case ExportType::HtmlTable: result.write = writeHtmlTable(sink, items, options, page, run); break;
    case ExportType::Xls: result.write = writeXls(sink, items, options); break;
    case ExportType::M3u: result.write = writeM3u(sink, items); break;
  }
  // A stop asked for after the writer's last look (writers look every few dozen items, some not
  // at all) still keeps the old file: nothing is committed once the user said stop.
  if (result.write.ok() && run.pollCancel()) result.write.status = WriteStatus::Cancelled;
  if (result.write.status == WriteStatus::Cancelled) {
    file.discard();
    result.outcome = FileOutcome::Cancelled;
  } else if (result.write.ok() && result.write.itemsWritten == 0 && !keepEmpty) {
    file.discard();
  } else if (!result.write.ok() || !file.commit()) {
    file.discard();
    result.outcome = FileOutcome::WriteFailed;
  }
  return result;
}

}  // namespace sonalog
