#include "export/MessageFile.h"

#include "platform/ReadFile.h"

namespace sonalog {

MessageFileResult copyMessageFile(const std::string& path, ExportSink& out, std::string_view linePrefix,
                                  std::string_view lineSuffix) {
  if (path.empty()) return MessageFileResult::Missing;
  platform::ReadFile file;
  if (!file.open(path)) return MessageFileResult::Missing;

  char buffer[1 << 16];
  bool any = false;
  bool inLine = false;      // a line has started and its end is not yet written
  bool afterCr = false;     // the last byte was a CR, so an LF now belongs to it
  for (;;) {
    // A file that cannot be read further ends where reading stopped, as a text reader sees it.
    const int64_t n = file.read(buffer, sizeof buffer);
    if (n <= 0) break;
    any = true;
    size_t start = 0;
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
      const char c = buffer[i];
      if (c != '\r' && c != '\n') {
        afterCr = false;
        continue;
      }
      if (c == '\n' && afterCr) {  // the LF of a CR LF pair: the line ended at the CR
        afterCr = false;
        start = i + 1;
        continue;
      }
      if (!inLine && !out.write(linePrefix)) return MessageFileResult::WriteFailed;
      if (!out.write(std::string_view(buffer + start, i - start)) || !out.write(lineSuffix))
        return MessageFileResult::WriteFailed;
      inLine = false;
      afterCr = c == '\r';
      start = i + 1;
    }
    if (start < static_cast<size_t>(n)) {
      if (!inLine && !out.write(linePrefix)) return MessageFileResult::WriteFailed;
      inLine = true;
      if (!out.write(std::string_view(buffer + start, static_cast<size_t>(n) - start)))
        return MessageFileResult::WriteFailed;
    }
  }
  if (!any) return MessageFileResult::Missing;
  if (inLine && !out.write(lineSuffix)) return MessageFileResult::WriteFailed;
  return MessageFileResult::Copied;
}

}  // namespace sonalog
