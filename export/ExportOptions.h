#pragma once
// Everything the export writers read from the settings, as one plain record. The export command
// fills it from the settings record; tests and benchmarks fill it directly.

#include <cstdint>
#include <string>

#include "export/FieldText.h"
#include "settings/Settings.h"
#include "settings/ShownFields.h"

namespace sonalog {

// The export file types in the order of the options' file type box (ooptcombo).
enum class ExportType : uint8_t { Text = 0, PlainHtml = 1, HtmlTable = 2, Xls = 3, M3u = 4 };
inline constexpr uint8_t kExportTypeCount = 5;

// The delimiters of the text exports (doption0 .. doption5).
enum Delimiter : uint8_t {
  kDelimiterComma = 0,
  kDelimiterParentheses = 1,
  kDelimiterBrackets = 2,
  kDelimiterBraces = 3,
  kDelimiterSpaces = 4,
  kDelimiterTabs = 5,
};

// Table captions (ComboCap).
enum CaptionChoice : uint8_t {
  kCaptionNone = 0,
  kCaptionFromSortedList = 1,
  kCaptionFromListElseInput = 2,
  kCaptionAlwaysInput = 3,
};

struct ExportOptions {
  ExportType type = ExportType::Text;  // ooptcombo
  FieldStyle style;
  // The "info to include" switches: the enumeration before the name, the value fields after it.
  ShownFields fields{ShownField::Playtime, ShownField::Bitrate, ShownField::Size};

  // Text and plain HTML lines.
  uint8_t delimiter = kDelimiterComma;  // doption0 .. doption5
  bool headerRow = false;               // AddHeaderCheck: a title row, and tabs as delimiter
  uint8_t padLength = 0;                // estext: names padded with spaces to this length

  // Message files copied before and after the items.
  bool useHeaderFile = false;  // CheckHead
  bool useFooterFile = false;  // CheckFoot
  std::string textHeaderFile;
  std::string textFooterFile;
  std::string htmlHeaderFile;
  std::string htmlFooterFile;
  bool htmlTagsFromFiles = false;  // CheckHtag: the files carry the html, title and body tags

  // HTML looks.
  bool plainUsesTableStyle = false;  // CheckPtoo
  bool useBackground = false;        // bgcheck
  uint32_t backgroundColour = 0xF0F0F0;  // bgpic, red in the low byte
  bool useTextColour = false;        // txcheck
  uint32_t textColour = 0;           // txpic
  FontSetting tableFont{8, 1, "Courier New", 0};
  FontSetting captionFont{9, 1, "Courier New", kFontBold};
  uint8_t cellSpacing = 0;  // cstext0
  uint8_t cellPadding = 0;  // cstext1
  uint8_t border = 1;       // cstext2
  bool centerNames = false;  // CheckCenter
  bool splitNames = false;   // CheckSplit
  uint8_t captionChoice = kCaptionNone;  // ComboCap
  bool batchFullPath = true;  // CheckFpb: batch captions show the whole folder
};

// The export settings of the settings record.
ExportOptions exportOptionsFrom(const Settings& settings);

// "txt", "html", "xls" or "m3u".
const char* defaultExtension(ExportType type);

}  // namespace sonalog
