#include "export/XlsWriter.h"

#include <fmt/format.h>

#include <functional>

namespace sonalog {

namespace {

constexpr uint16_t kRecordBof = 0x0809;
constexpr uint16_t kRecordLabel = 0x0204;
constexpr uint16_t kRecordEof = 0x000A;
constexpr uint16_t kWorksheetStream = 0x0010;
constexpr size_t kLabelFixedBytes = 8;  // row, column, format index, text length
// The record length is 16 bits; longer texts (folders can be long on Linux) are cut, never split
// inside a UTF-8 sequence of a valid UTF-8 text.
constexpr size_t kMaxLabelText = 0xFFFF - kLabelFixedBytes;

void putU16(std::string& out, uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void appendLabel(std::string& out, uint16_t row, uint16_t column, std::string_view text) {
  if (text.size() > kMaxLabelText) {
    size_t cut = kMaxLabelText;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text = text.substr(0, cut);
  }
  putU16(out, kRecordLabel);
  putU16(out, static_cast<uint16_t>(text.size() + kLabelFixedBytes));
  putU16(out, row);
  putU16(out, column);
  putU16(out, 0);
  putU16(out, static_cast<uint16_t>(text.size()));
  out.append(text);
}

// A folder or label of exactly one space stands for "none" in lists from older versions.
std::string_view blankIfSingleSpace(const std::string& s) { return s == " " ? std::string_view() : s; }

using CellText = std::function<std::string(const ListItem&)>;

// The sheet's text of a value field. style must outlive the result.
CellText cellText(ShownField field, const FieldStyle& style) {
  switch (field) {
    case ShownField::Playtime: return [&](const ListItem& it) { return longTimeText(it, style); };
    case ShownField::Bitrate: return [&](const ListItem& it) { return shortBitrateText(it, style); };
    // The plain number, an unknown size included: a spreadsheet can compute with it.
    case ShownField::Size: return [](const ListItem& it) { return fmt::format("{}", it.sizeKB); };
    case ShownField::StereoMode: return [&](const ListItem& it) { return modeText(it.stereoMode, style); };
    case ShownField::Frequency: return [](const ListItem& it) { return shortFrequencyText(it.frequencyCode); };
    case ShownField::DateCreated: return [&](const ListItem& it) { return dateText(it.fileDate, style); };
    case ShownField::Path: return [](const ListItem& it) { return std::string(blankIfSingleSpace(it.folder)); };
    case ShownField::DateAdded: return [&](const ListItem& it) { return dateText(it.dateAdded, style); };
    case ShownField::VolumeLabel:
      return [](const ListItem& it) { return std::string(blankIfSingleSpace(it.volumeLabel)); };
    case ShownField::Enumeration: break;  // the sheet has no numbers column
  }
  return [](const ListItem&) { return std::string(); };
}

}  // namespace

std::string xlsCountProblem(size_t itemCount) {
  if (itemCount > kMaxXlsRows) return kXlsTooLargeText;
  if (itemCount == 0) return kXlsEmptyText;
  return {};
}

WriteResult writeXls(ExportSink& out, const ItemView& items, const ExportOptions& options) {
  if (std::string problem = xlsCountProblem(items.size()); !problem.empty())
    return {WriteStatus::Failed, 0, std::move(problem)};
  const WriteResult failed{WriteStatus::Failed, 0, kXlsFailedText};

  std::string record;
  putU16(record, kRecordBof);
  putU16(record, 8);
  putU16(record, 0);
  putU16(record, kWorksheetStream);
  putU16(record, 0);
  putU16(record, 0);
  if (!out.write(record)) return failed;

  std::vector<CellText> columns{[](const ListItem& it) { return it.fileName; }};
  for (const ShownFieldInfo& f : valueFieldTable())
    if (options.fields.has(f.field)) columns.push_back(cellText(f.field, options.style));

  for (size_t column = 0; column < columns.size(); ++column) {
    for (size_t row = 0; row < items.size(); ++row) {
      record.clear();
      appendLabel(record, static_cast<uint16_t>(row), static_cast<uint16_t>(column), columns[column](items[row]));
      if (!out.write(record)) return failed;
    }
  }

  record.clear();
  putU16(record, kRecordEof);
  putU16(record, 0);
  if (!out.write(record)) return failed;
  return {WriteStatus::Ok, static_cast<uint32_t>(items.size()), {}};
}

}  // namespace sonalog
