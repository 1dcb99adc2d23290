#pragma once
// The text export: one line per item, the name and the chosen fields joined by the delimiter,
// optionally numbered and padded, framed by a title row or the user's header and footer files.

#include "export/ExportOptions.h"
#include "export/ExportRun.h"
#include "export/ExportSink.h"
#include "export/ItemView.h"

namespace sonalog {

// Writes the items to out. With options.headerRow the delimiter is tabs whatever options.delimiter
// says (the caller stores that change). Missing message files are warned about through run and
// skipped. Fails on a write error; Cancelled when the user cancelled.
WriteResult writeTextList(ExportSink& out, const ItemView& items, const ExportOptions& options, ExportRun& run);

}  // namespace sonalog
