#include "export/HtmlWriter.h"

#include <fmt/format.h>

#include "export/FieldText.h"
#include "export/HtmlText.h"
#include "export/LineLayout.h"
#include "export/MessageFile.h"
#include "platform/AsciiCase.h"
#include "settings/SortKey.h"

namespace sonalog {

namespace {

constexpr std::string_view kPlainEndTag = "<mP3SNLGTAG LABEL=\"ENd\">";
constexpr std::string_view kRightCell = "<TD ALIGN=RIGHT><NOBR>&nbsp;";
constexpr std::string_view kLeftCell = "<TD ALIGN=LEFT><NOBR>&nbsp;";
constexpr std::string_view kCellEnd = "&nbsp;</NOBR></TD>";

const WriteResult kFailed{WriteStatus::Failed, 0, {}};

void appendFontRule(std::string& out, const FontSetting& font, bool withColour, uint32_t colour) {
  out += (font.style & kFontItalic) ? "font-style:italic;\r\n" : "font-style:normal;\r\n";
  if (font.style & kFontBold) out += "font-weight:bold;\r\n";
  if (font.style & kFontUnderline) out += "text-decoration:underline;\r\n";
  if (withColour) out += "color:#" + hexColour(colour) + ";\r\n";
  fmt::format_to(std::back_inserter(out), "font-family:'{}';\r\nfont-size:{}pt;\r\n}}\r\n", font.name, font.size);
}

// The table font as written: an empty name is Courier New and size 0 is 1 (the command stores
// the same correction back into the settings).
FontSetting tableFontOf(const ExportOptions& options) {
  FontSetting font = options.tableFont;
  if (font.name.empty()) font.name = "Courier New";
  if (font.size == 0) font.size = 1;
  return font;
}

MessageFileResult copyHeader(ExportSink& out, const ExportOptions& options, ExportRun& run) {
  if (!options.useHeaderFile) return MessageFileResult::Copied;
  const auto r = copyMessageFile(options.htmlHeaderFile, out, "", "\r\n");
  if (r == MessageFileResult::Missing) run.warnHeaderMissing();
  return r;
}

MessageFileResult copyFooter(ExportSink& out, const ExportOptions& options, ExportRun& run) {
  if (!options.useFooterFile) return MessageFileResult::Copied;
  const auto r = copyMessageFile(options.htmlFooterFile, out, "", "\r\n");
  if (r == MessageFileResult::Missing) run.warnFooterMissing();
  return r;
}

std::string tableStart(const ExportOptions& options) {
  std::string s = fmt::format("<CENTER><TABLE CELLSPACING=\"{}\" CELLPADDING=\"{}\" BORDER=\"{}\"",
                              options.cellSpacing, options.cellPadding, options.border);
  if (options.useBackground) s += " BGCOLOR=#" + hexColour(options.backgroundColour);
  s += ">";
  return s;
}

std::string captionRow(int columns, char kind, std::string_view caption) {
  return fmt::format("<Tr><tD CoLsPaN={} ALign=CENTER mp3SCS={}><NOBR><em>{}</em></NObR></tD></tR>", columns,
                     kind, captionText(caption));
}

// A header of more than one word is kept on one line.
void appendTitleCell(std::string& row, std::string_view header) {
  const bool oneLine = header.find(' ') != std::string_view::npos;
  row += oneLine ? "<TD ALign=LEFT><NOBR><B>" : "<TD ALign=LEFT><B>";
  row += header;
  row += oneLine ? "</B></NOBR></TD>" : "</B></TD>";
}

std::string titleRow(const ExportOptions& options, std::string_view nameCell) {
  const uint8_t stereoStyle = options.style.stereoStyle;
  std::string row = "<TR>";
  if (options.fields.has(ShownField::Enumeration))
    appendTitleCell(row, shownField(ShownField::Enumeration).tableHeaderFor(stereoStyle));
  if (options.splitNames) {
    row += nameCell;
    row += "<B>artist</B></TD>";
    row += nameCell;
    row += "<B>title</B></TD>";
  } else {
    row += nameCell;
    row += "<B>filename</B></TD>";
  }
  for (const ShownFieldInfo& f : valueFieldTable())
    if (options.fields.has(f.field)) appendTitleCell(row, f.tableHeaderFor(stereoStyle));
  row += "</tR>";
  return row;
}

void appendCell(std::string& row, std::string_view start, std::string_view text) {
  row += start;
  row += text;
  row += kCellEnd;
}

void appendItemRow(std::string& row, const ListItem& item, size_t number, const ExportOptions& options,
                   std::string_view nameCell) {
  const ShownFields f = options.fields;
  const FieldStyle& style = options.style;
  row += "<TR>";
  if (f.has(ShownField::Enumeration)) fmt::format_to(std::back_inserter(row), "{}{}.</NOBR></TD>", kRightCell, number);
  const std::string nameStart = std::string(nameCell) + "<NOBR>&nbsp;";
  if (options.splitNames) {
    const ArtistTitle parts = splitArtistTitle(item.fileName);
    appendCell(row, nameStart, escapeHtml(parts.artist));
    appendCell(row, nameStart, escapeHtml(parts.title));
  } else {
    appendCell(row, nameStart, escapeHtml(item.fileName));
  }
  if (f.has(ShownField::Playtime)) appendCell(row, kRightCell, timeText(item, style));
  if (f.has(ShownField::Bitrate)) {
    const std::string bitrate = shortBitrateText(item, style);
    row += "<TD ALIGN=CENTER><NOBR>&nbsp; ";
    row += std::string_view(bitrate).substr(std::min(bitrate.find_first_not_of(' '), bitrate.size()));
    row += " &nbsp;</NOBR></TD>";
  }
  if (f.has(ShownField::Size)) appendCell(row, kRightCell, sizeText(item.sizeKB, style));
  if (f.has(ShownField::StereoMode)) appendCell(row, kRightCell, modeText(item.stereoMode, style));
  if (f.has(ShownField::Frequency)) appendCell(row, "<TD ALIGN=CENTER><NOBR>&nbsp;", shortFrequencyText(item.frequencyCode));
  if (f.has(ShownField::DateCreated)) appendCell(row, kRightCell, dateText(item.fileDate, style));
  if (f.has(ShownField::Path)) appendCell(row, kLeftCell, escapeHtml(item.folder));
  if (f.has(ShownField::DateAdded)) appendCell(row, kRightCell, dateText(item.dateAdded, style));
  if (f.has(ShownField::VolumeLabel)) appendCell(row, kLeftCell, escapeHtml(item.volumeLabel));
  row += "</TR>";
}

}  // namespace

std::string_view lastFolderComponent(std::string_view folder) {
  if (folder.size() < 2) return folder;
  const size_t at = folder.find_last_of("\\/", folder.size() - 2);
  const std::string_view tail = at == std::string_view::npos ? folder : folder.substr(at + 1);
  // Only a root such as "c:\" or "/" ends with its separator.
  if (tail.empty() || tail.back() == '\\' || tail.back() == '/') return folder;
  return tail;
}

HtmlPage HtmlPage::forFolder(std::string_view folder, uint8_t sortCode) {
  HtmlPage page;
  page.headStart = "<HTML><HEAD><TITLE>" + escapeHtml(lastFolderComponent(folder)) + "</TITLE>";
  page.sortCode = sortCode;
  return page;
}

CaptionMode chooseCaptionMode(uint8_t captionChoice, uint8_t sortCode, const std::string& lastCaption) {
  const uint8_t key = sortCode & kSortKeyMask;
  const bool sortedByCaptionKey = key == kSortByPath || key == kSortByVolumeLabel;
  if ((captionChoice == kCaptionFromSortedList || captionChoice == kCaptionFromListElseInput) && sortedByCaptionKey)
    return CaptionMode::FromList;
  if ((captionChoice == kCaptionFromListElseInput || captionChoice == kCaptionAlwaysInput) && !lastCaption.empty())
    return CaptionMode::Typed;
  return CaptionMode::None;
}

std::string infoTag(const ExportOptions& options, uint8_t sortCode, ExportType type) {
  auto flag = [](bool on, char letter) { return on ? letter : '0'; };
  std::string tag = type == ExportType::PlainHtml ? "<mP3SNLGTAG LABEL=\"S" : "<Mp3SNLGtaG LABEL=\"s";
  for (const ShownFieldInfo& f : shownFieldTable()) tag += flag(options.fields.has(f.field), f.tagLetter);
  tag += flag(options.style.stereoStyle == 1, '7');
  tag += flag(options.splitNames, 'S');
  fmt::format_to(std::back_inserter(tag), "{:03}{}{}{}\">", sortCode, options.style.dateStyle % 10,
                 options.style.sizeStyle % 10, options.delimiter % 10);
  return tag;
}

std::string styleBlock(const ExportOptions& options, std::string_view ruleName, bool withCaptionRule) {
  std::string out = "<STYLE TYPE=\"text/css\"><!--\r\n";
  out += ruleName;
  out += "\r\n{\r\n";
  appendFontRule(out, tableFontOf(options), options.useTextColour && options.plainUsesTableStyle,
                 options.textColour);
  if (withCaptionRule) {
    out += "em\r\n{\r\n";
    appendFontRule(out, options.captionFont, options.useTextColour, options.textColour);
  }
  out += "--></STYLE>";
  return out;
}

WriteResult writePlainHtml(ExportSink& out, const ItemView& items, const ExportOptions& options,
                           const HtmlPage& page, ExportRun& run) {
  if (!(options.useHeaderFile && options.htmlTagsFromFiles)) {
    std::string head = page.headStart;
    if (options.plainUsesTableStyle) head += styleBlock(options, "body", false);
    head += "</HEAD><BODY";
    if (options.plainUsesTableStyle && options.useBackground) head += " BGCOLOR=#" + hexColour(options.backgroundColour);
    head += ">";
    if (!out.write(head)) return kFailed;
  }
  if (copyHeader(out, options, run) == MessageFileResult::WriteFailed) return kFailed;
  if (!out.write(infoTag(options, page.sortCode, ExportType::PlainHtml))) return kFailed;

  const DelimiterStrings d = htmlDelimiters(options.delimiter);
  const bool closes = options.delimiter >= kDelimiterParentheses && options.delimiter <= kDelimiterBraces;
  const int width = enumerationWidth(items.size());
  std::string line;
  for (size_t i = 0; i < items.size(); ++i) {
    const ListItem& item = items[i];
    line = "<NOBR>";
    if (options.fields.has(ShownField::Enumeration)) {
      line += spaceRunText(fmt::format("{:>{}}", i + 1, width));
      line += ". ";
    }
    line += d.opening;
    line += spaceRunText(paddedName(escapeHtml(item.fileName), options.padLength));
    appendLineFields(line, item, options, d.joint, LineForm::Html);
    if (closes) line += d.closing;
    if (i + 1 < items.size()) line += "</NOBR><BR>";
    if (!out.write(line)) return kFailed;
    if (run.itemDone()) return {WriteStatus::Cancelled, static_cast<uint32_t>(i + 1), {}};
  }

  if (!out.write(kPlainEndTag)) return kFailed;
  if (copyFooter(out, options, run) == MessageFileResult::WriteFailed) return kFailed;
  if (!(options.useFooterFile && options.htmlTagsFromFiles) && !out.write("</FONT></BODY></HTmL>")) return kFailed;
  return {WriteStatus::Ok, static_cast<uint32_t>(items.size()), {}};
}

WriteResult writeHtmlTable(ExportSink& out, const ItemView& items, const ExportOptions& options,
                           const HtmlPage& page, ExportRun& run) {
  const bool captions = page.captionMode != CaptionMode::None;
  if (!(options.useHeaderFile && options.htmlTagsFromFiles) &&
      !out.write(page.headStart + styleBlock(options, "table", captions) + "</HEAD><BODY>"))
    return kFailed;
  if (copyHeader(out, options, run) == MessageFileResult::WriteFailed) return kFailed;
  if (!out.write(infoTag(options, page.sortCode, ExportType::HtmlTable))) return kFailed;

  const int columns = 1 + options.splitNames + options.fields.count();
  const std::string start = tableStart(options);
  const std::string_view titleNameCell = options.centerNames ? "<TD ALign=CENTER>" : "<TD ALign=LEFT>";
  const std::string_view itemNameCell = options.centerNames ? "<TD ALIGN=CENTER>" : "<TD ALIGN=LEFT>";
  const std::string title = titleRow(options, titleNameCell);

  std::string opening = start;
  if (page.captionMode == CaptionMode::Typed) opening += captionRow(columns, '2', page.caption);
  if (page.captionMode != CaptionMode::FromList) opening += title;
  if (!out.write(opening)) return kFailed;

  const bool byLabel = (page.sortCode & kSortKeyMask) == kSortByVolumeLabel;
  const char keyDigit = byLabel ? '9' : '7';
  std::string currentCaption;
  std::string row;
  for (size_t i = 0; i < items.size(); ++i) {
    const ListItem& item = items[i];
    row.clear();
    if (page.captionMode == CaptionMode::FromList) {
      const std::string& key = byLabel ? item.volumeLabel : item.folder;
      if (i == 0 || !platform::equalsAsciiIgnoreCase(key, currentCaption)) {
        currentCaption = key;
        if (i > 0) row += "</TaBLE></CENTER><BR>" + start;
        row += captionRow(columns, keyDigit, key);
        row += title;
      }
    }
    appendItemRow(row, item, i + 1, options, itemNameCell);
    if (!out.write(row)) return kFailed;
    if (run.itemDone()) return {WriteStatus::Cancelled, static_cast<uint32_t>(i + 1), {}};
  }

  if (!out.write("</TaBLE></CENTER>")) return kFailed;
  if (copyFooter(out, options, run) == MessageFileResult::WriteFailed) return kFailed;
  if (!(options.useFooterFile && options.htmlTagsFromFiles) && !out.write("</BODY></HTmL>")) return kFailed;
  return {WriteStatus::Ok, static_cast<uint32_t>(items.size()), {}};
}

}  // namespace sonalog
