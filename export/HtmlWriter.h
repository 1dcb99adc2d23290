#pragma once
// The two HTML exports. Plain HTML is one line per item like the text export, with HTML line
// breaks; the HTML table is one row per item under optional caption rows. Both carry an info tag
// that records the export settings, so the importer can read the list back.

#include <string>

#include "core/ListItem.h"
#include "export/ExportOptions.h"
#include "export/ExportRun.h"
#include "export/ExportSink.h"
#include "export/ItemView.h"

namespace sonalog {

// How the table's captions are made, chosen by the export command.
enum class CaptionMode : uint8_t {
  None = 0,
  FromList = 1,  // a caption row (and a new table) at each change of folder or volume label
  Typed = 2,     // one caption row with a given text
};

// What the file's head says and how its table is captioned.
struct HtmlPage {
  // Everything before the style block: the program's own head with the page title.
  std::string headStart = "<HTmL><HEAD><TITLE>my mp3 list</TITLE>";
  uint8_t sortCode = kSortUnsorted;  // the list's sort code, recorded in the info tag
  CaptionMode captionMode = CaptionMode::None;
  std::string caption;  // the caption of CaptionMode::Typed, before conversion

  // The head of a batch file, titled after the folder's last component.
  static HtmlPage forFolder(std::string_view folder, uint8_t sortCode);
};

// The caption mode of a single HTML table export: captions from the list when the list is sorted
// by path or volume label and the caption choice allows it, else the typed caption when there is
// one and the choice asks for it.
CaptionMode chooseCaptionMode(uint8_t captionChoice, uint8_t sortCode, const std::string& lastCaption);

// The 40-character info tag.
std::string infoTag(const ExportOptions& options, uint8_t sortCode, ExportType type);
// The CSS block for "body" or "table"; withCaptionRule adds the "em" rule of caption rows.
std::string styleBlock(const ExportOptions& options, std::string_view ruleName, bool withCaptionRule);

// Both fail on a write error and report Cancelled when the user cancelled.
WriteResult writePlainHtml(ExportSink& out, const ItemView& items, const ExportOptions& options,
                           const HtmlPage& page, ExportRun& run);
WriteResult writeHtmlTable(ExportSink& out, const ItemView& items, const ExportOptions& options,
                           const HtmlPage& page, ExportRun& run);

// The last component of a folder ("rock" of "c:\music\rock" and of "/music/rock"); a root is
// returned whole.
std::string_view lastFolderComponent(std::string_view folder);

}  // namespace sonalog
