#pragma once
// Writing one export file of any type safely: the writer streams into a temporary file beside the
// target, which replaces the target only when everything was written. A failed or cancelled
// export leaves any earlier file of that name as it was.

#include <string>

#include "export/ExportOptions.h"
#include "export/ExportRun.h"
#include "export/HtmlWriter.h"
#include "export/ItemView.h"

namespace sonalog {

enum class FileOutcome {
  Written,
  OpenFailed,   // the temporary file could not be created (no such folder, no permission)
  WriteFailed,  // the writer failed, or the data could not be stored and renamed into place
  Cancelled,
};

struct ExportFileResult {
  FileOutcome outcome = FileOutcome::Written;
  WriteResult write;  // what the writer reported (items written, the XLS message)
};

// Writes items to path in the given type. page matters only for the HTML types. Without keepEmpty
// a file to which the writer wrote no item is dropped (the outcome is still Written, with 0 items).
ExportFileResult writeExportFile(const std::string& path, ExportType type, const ItemView& items,
                                 const ExportOptions& options, const HtmlPage& page, ExportRun& run,
                                 bool keepEmpty = true);

}  // namespace sonalog
