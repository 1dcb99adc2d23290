#include "export/TextWriter.h"

#include <fmt/format.h>

#include "export/LineLayout.h"
#include "export/MessageFile.h"

namespace sonalog {

namespace {

std::string titleRow(const ExportOptions& options) {
  std::string row;
  if (options.fields.has(ShownField::Enumeration)) {
    row += shownField(ShownField::Enumeration).textHeader;
    row += '\t';
  }
  row += "Filename";
  for (const ShownFieldInfo& f : valueFieldTable()) {
    if (!options.fields.has(f.field)) continue;
    row += '\t';
    row += f.textHeader;
  }
  row += "\r\n";
  return row;
}

bool hasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

bool breaksTextLines(const ListItem& item, ShownFields fields) {
  return hasLineBreak(item.fileName) || (fields.has(ShownField::Path) && hasLineBreak(item.folder)) ||
         (fields.has(ShownField::VolumeLabel) && hasLineBreak(item.volumeLabel));
}

std::string textLineBreakText(size_t skipped) {
  return fmt::format(
      "{} files had a line break in their filename, path or volume label.\r\nThese files weren't included in "
      "the text list!",
      skipped);
}

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
  uint32_t written = 0;
  const bool enumerate = options.fields.has(ShownField::Enumeration);
  for (size_t i = 0; i < items.size(); ++i) {
    const ListItem& item = items[i];
    if (breaksTextLines(item, options.fields)) continue;
    line.clear();
    if (written > 0) line += "\r\n";  // between lines: the last one ends without
    if (enumerate) fmt::format_to(std::back_inserter(line), "{:>{}}{}", written + 1, width, afterNumber);
    line += d.opening;
    line += paddedName(item.fileName, options.padLength);
    appendLineFields(line, item, options, d.joint, LineForm::Text);
    if (closes) line += d.closing;
    if (!out.write(line)) return failed;
    ++written;
    if (run.itemDone()) return {WriteStatus::Cancelled, written, {}};
  }

  if (options.useFooterFile) {
    const auto r = copyMessageFile(options.textFooterFile, out, "\r\n", "");
    if (r == MessageFileResult::WriteFailed) return failed;
    if (r == MessageFileResult::Missing) run.warnFooterMissing();
  }
  return {WriteStatus::Ok, written, {}};
}

}  // namespace sonalog
