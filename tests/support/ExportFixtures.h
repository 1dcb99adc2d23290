#pragma once
// Export texts built in memory: the bytes each writer produces for a list, for tests of the
// writers and round trips through the importers.

#include <string>
#include <vector>

#include "core/ListItem.h"
#include "export/ExportOptions.h"
#include "export/ExportRun.h"
#include "export/ExportSink.h"
#include "export/HtmlWriter.h"
#include "export/M3uWriter.h"
#include "export/TextWriter.h"
#include "export/XlsWriter.h"
#include "tests/support/FakeUi.h"
#include "tests/support/Items.h"

namespace sonalog::testing {

// An item with every field set; frames chosen for a 4:05 playtime at 44.1 kHz.
inline ListItem exportItem(std::string name, std::string folder = "/music/rock") {
  return ItemBuilder(std::move(name)).folder(std::move(folder)).label("MUSIC").sizeKB(3835).frames(9379).stereo(1)
      .fileDate(37980)    // 25 December 2003
      .dateAdded(38000);  // 14 January 2004
}

// The bytes options.type's writer produces for items (the HTML page only matters for HTML).
// Warnings go to ui when given.
inline std::string exportedText(const std::vector<ListItem>& items, const ExportOptions& options,
                                const HtmlPage& page = {}, FakeUi* ui = nullptr) {
  FakeUi own;
  ExportRun run(ui ? *ui : own, "");
  StringSink out;
  const ItemView view(items);
  switch (options.type) {
    case ExportType::Text: writeTextList(out, view, options, run); break;
    case ExportType::PlainHtml: writePlainHtml(out, view, options, page, run); break;
    case ExportType::HtmlTable: writeHtmlTable(out, view, options, page, run); break;
    case ExportType::Xls: writeXls(out, view, options); break;
    case ExportType::M3u: writeM3u(out, view); break;
  }
  return out.text;
}

}  // namespace sonalog::testing
