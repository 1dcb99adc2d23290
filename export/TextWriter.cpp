#include "export/TextWriter.h"

#include <fmt/format.h>

#include "export/LineLayout.h"
#include "export/MessageFile.h"

namespace sonalog {

namespace {

std::string titleRow(const ExportOptions& options) {
  const ExportFields& f = options.fields;
  std::string row = options.enumerate ? "No.\tFilename" : "Filename";
  if (f.time) row += "\tTime";
  if (f.bitrate) row += "\tBitrate";
  if (f.size) row += "\tSize";
  if (f.mode) row += "\tMode";
  if (f.frequency) row += "\tFrequency";
  if (f.dateCreated) row += "\tDate created";
  if (f.path) row += "\tPath";
  if (f.dateAdded) row += "\tDate added";
  if (f.volumeLabel) row += "\tVolume label";
  row += "\r\n";
  return row;
}

}  // namespace

WriteResult writeTextList(ExportSink& out, const ItemView& items, const ExportOptions& options, ExportRun& run) {
  const uint8_t delimiter = options.headerRow ? uint8_t{kDelimiterTabs} : options.delimiter;
  const DelimiterStrings d = textDelimiters(delimiter);
  const bool closes = delimiter >= kDelimiterParentheses && delimiter <= kDelimiterBraces;
  const WriteResult failed{WriteStatus::Failed, 0, {}};

  if (options.headerRow) {
    if (!out.write(titleRow(options))) return failed;
  } else if (options.useHeaderFile) {
    const auto r = copyMessageFile(options.textHeaderFile, out, "", "\r\n");
    if (r == MessageFileResult::WriteFailed) return failed;
    if (r == MessageFileResult::Missing) run.warnHeaderMissing();
  }

  const int width = enumerationWidth(items.size());
  const char* afterNumber = delimiter == kDelimiterTabs ? ".\t" : ". ";
  std::string line;
  for (size_t i = 0; i < items.size(); ++i) {
    const ListItem& item = items[i];
    line.clear();
    if (options.enumerate) fmt::format_to(std::back_inserter(line), "{:>{}}{}", i + 1, width, afterNumber);
    line += d.opening;
    line += paddedName(item.fileName, options.padLength);
    appendLineFields(line, item, options, d.joint, LineForm::Text);
    if (closes) line += d.closing;
    if (i + 1 < items.size()) line += "\r\n";
    if (!out.write(line)) return failed;
    if (run.itemDone()) return {WriteStatus::Cancelled, static_cast<uint32_t>(i + 1), {}};
  }

  if (options.useFooterFile) {
    const auto r = copyMessageFile(options.textFooterFile, out, "\r\n", "");
    if (r == MessageFileResult::WriteFailed) return failed;
    if (r == MessageFileResult::Missing) run.warnFooterMissing();
  }
  return {WriteStatus::Ok, static_cast<uint32_t>(items.size()), {}};
}

}  // namespace sonalog
