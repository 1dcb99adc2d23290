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
// skipped. Items with a line break in a field written (breaksTextLines) are left out, since their
// line could not be read back; the result counts the items written. Fails on a write error;
// Cancelled when the user cancelled.
WriteResult writeTextList(ExportSink& out, const ItemView& items, const ExportOptions& options, ExportRun& run);

// True when the name, or the path or volume label when written, holds a CR or LF.
bool breaksTextLines(const ListItem& item, ShownFields fields);
// The warning after an export that left out that many items for their line breaks.
std::string textLineBreakText(size_t skipped);

}  // namespace sonalog
