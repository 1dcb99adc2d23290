#include "platform/ReadFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace sonalog::platform {

ReadFile::~ReadFile() { close(); }

bool ReadFile::open(const std::string& path) {
  close();
  // O_NONBLOCK keeps a named pipe from blocking the open; it has no effect on regular files.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  size_ = st.st_size;
  return true;
}

void ReadFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
}

bool ReadFile::readAt(int64_t pos, void* dst, size_t n) {
  if (fd_ < 0 || pos < 0) return false;
  auto* out = static_cast<unsigned char*>(dst);
  while (n > 0) {
    const ssize_t got = ::pread(fd_, out, n, static_cast<off_t>(pos));
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return false;  // the file ended early (shrunk while being read)
    out += got;
    pos += got;
    n -= static_cast<size_t>(got);
  }
  return true;
}

}  // namespace sonalog::platform
