#include "export/ExportOptions.h"

namespace sonalog {

const char* defaultExtension(ExportType type) {
  switch (type) {
    case ExportType::Text: return "txt";
    case ExportType::PlainHtml:
    case ExportType::HtmlTable: return "html";
    case ExportType::Xls: return "xls";
    case ExportType::M3u: return "m3u";
  }
  return "txt";
}

}  // namespace sonalog
