#include "export/MessageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace sonalog {

namespace {

class FdCloser {
 public:
  explicit FdCloser(int fd) : fd_(fd) {}
  ~FdCloser() {
    if (fd_ >= 0) ::close(fd_);
  }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;

 private:
  int fd_;
};

// Reads what is there; 0 at the end and on a read error (a file that cannot be read further ends
// where reading stopped, as a text reader would see it).
ssize_t readSome(int fd, char* buffer, size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd, buffer, size);
    if (n < 0 && errno == EINTR) continue;
    return n < 0 ? 0 : n;
  }
}

}  // namespace

MessageFileResult copyMessageFile(const std::string& path, ExportSink& out, std::string_view linePrefix,
                                  std::string_view lineSuffix) {
  if (path.empty()) return MessageFileResult::Missing;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return MessageFileResult::Missing;
  FdCloser closer(fd);
  struct stat st;
  // Only regular files: a device or pipe could block or never end.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return MessageFileResult::Missing;

  char buffer[1 << 16];
  bool any = false;
  bool inLine = false;      // a line has started and its end is not yet written
  bool afterCr = false;     // the last byte was a CR, so an LF now belongs to it
  for (;;) {
    const ssize_t n = readSome(fd, buffer, sizeof buffer);
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
