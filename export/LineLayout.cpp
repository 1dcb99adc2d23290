#include "export/LineLayout.h"

#include "export/ExportOptions.h"
#include "export/FieldText.h"
#include "export/HtmlText.h"
#include "platform/Text.h"

namespace sonalog {

namespace {

// A counted length outside 0 .. 32768 counts as 0.
constexpr int64_t kLongestCountedName = 32768;

size_t countOccurrences(std::string_view text, std::string_view what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

int64_t characterCount(std::string_view text) {
  if (!platform::isValidUtf8(text)) return static_cast<int64_t>(text.size());
  int64_t n = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

DelimiterStrings withJoint(std::string opening, std::string separator, std::string closing) {
  DelimiterStrings d{std::move(opening), std::move(separator), std::move(closing), {}};
  d.joint = d.closing + d.separator + d.opening;
  return d;
}

std::string_view openingOf(uint8_t delimiter) {
  switch (delimiter) {
    case kDelimiterParentheses: return "(";
    case kDelimiterBrackets: return "[";
    case kDelimiterBraces: return "{";
    default: return "";
  }
}

std::string_view closingOf(uint8_t delimiter) {
  switch (delimiter) {
    case kDelimiterParentheses: return ")";
    case kDelimiterBrackets: return "]";
    case kDelimiterBraces: return "}";
    default: return "";
  }
}

}  // namespace

DelimiterStrings textDelimiters(uint8_t delimiter) {
  std::string separator = delimiter == kDelimiterTabs ? "\t" : delimiter == kDelimiterComma ? ", " : " ";
  return withJoint(std::string(openingOf(delimiter)), std::move(separator), std::string(closingOf(delimiter)));
}

DelimiterStrings htmlDelimiters(uint8_t delimiter) {
  std::string separator = delimiter == kDelimiterTabs    ? "&nbsp; &nbsp; "
                          : delimiter == kDelimiterComma ? ", "
                                                         : "&nbsp;";
  return withJoint(std::string(openingOf(delimiter)), std::move(separator), std::string(closingOf(delimiter)));
}

int enumerationWidth(size_t itemCount) {
  int width = 1;
  for (size_t n = itemCount; n >= 10; n /= 10) ++width;
  return width;
}

std::string paddedName(std::string_view name, unsigned padLength) {
  std::string out(name);
  int64_t counted = characterCount(name) - 4 * static_cast<int64_t>(countOccurrences(name, "&amp;")) -
                    5 * static_cast<int64_t>(countOccurrences(name, "&quot;"));
  if (counted < 0 || counted > kLongestCountedName) counted = 0;
  if (counted < padLength) out.append(static_cast<size_t>(padLength - counted), ' ');
  return out;
}

void appendLineFields(std::string& out, const ListItem& item, const ExportOptions& options,
                      std::string_view joint, LineForm form) {
  const ShownFields f = options.fields;
  const FieldStyle& style = options.style;
  const bool html = form == LineForm::Html;
  auto add = [&](const std::string& text) {
    out += joint;
    out += html ? escapeHtml(text) : text;
  };
  if (f.has(ShownField::Playtime)) add(timeText(item, style));
  if (f.has(ShownField::Bitrate)) add(bitrateText(item, style));
  if (f.has(ShownField::Size)) add(sizeText(item.sizeKB, style));
  if (f.has(ShownField::StereoMode)) add(modeText(item.stereoMode, style));
  if (f.has(ShownField::Frequency)) add(frequencyText(item.frequencyCode));
  if (f.has(ShownField::DateCreated)) add(dateText(item.fileDate, style));
  if (f.has(ShownField::Path)) add(html ? item.folder : pathText(item.folder));
  if (f.has(ShownField::DateAdded)) add(dateText(item.dateAdded, style));
  if (f.has(ShownField::VolumeLabel)) add(html ? item.volumeLabel : labelText(item.volumeLabel));
}

}  // namespace sonalog
