#pragma once
// The spreadsheet export: a minimal BIFF worksheet stream of text cells, one row per item and one
// column per exported field, written column by column.
//
// Records are little-endian: type (16 bits), data length (16 bits), data.
//   BOF   0x0809, 8 bytes: version 0, worksheet stream 0x0010, two zero words
//   LABEL 0x0204, 8 + n bytes: row, column, format index 0, text length n, the text's n bytes
//   EOF   0x000A, no data

#include <string>

#include "export/ExportOptions.h"
#include "export/ExportRun.h"
#include "export/ExportSink.h"
#include "export/ItemView.h"

namespace sonalog {

// Rows are 16-bit: at most 65535 items fit in one sheet.
inline constexpr size_t kMaxXlsRows = 65535;

inline constexpr const char* kXlsFailedText = "Error exporting xls file.\r\n(file in use? invalid filename?)";
inline constexpr const char* kXlsTooLargeText = "Lists larger than 64K titles can't be exported to XLS format.";
inline constexpr const char* kXlsEmptyText = "Empty list, can't export.";

// Checks the item count before anything is created: empty when it fits, else the message.
std::string xlsCountProblem(size_t itemCount);

// Writes the sheet. On failure the result carries the message to show. Does not look for CANCEL:
// a sheet is at most 65535 rows and writes in a moment.
WriteResult writeXls(ExportSink& out, const ItemView& items, const ExportOptions& options);

}  // namespace sonalog
