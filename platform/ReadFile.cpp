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
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  size_ = st.st_size;
  pos_ = 0;
  return true;
}

void adviseWillRead(const std::string& path, int64_t headBytes, int64_t tailBytes) {
  ReadFile file;
  if (!file.open(path)) return;
  const int64_t size = file.size();
  if (headBytes + tailBytes >= size) {
    file.willRead(0, size);
    return;
  }
  file.willRead(0, headBytes);
  file.willRead(size - tailBytes, tailBytes);
}

void ReadFile::willRead(int64_t pos, int64_t n) const {
  // A length of 0 would ask for everything to the end of the file.
  if (fd_ >= 0 && pos >= 0 && n > 0) ::posix_fadvise(fd_, pos, n, POSIX_FADV_WILLNEED);
}

void ReadFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
  pos_ = 0;
}

int64_t ReadFile::readUpTo(int64_t pos, void* dst, size_t n) const {
  if (fd_ < 0 || pos < 0) return -1;
  auto* out = static_cast<unsigned char*>(dst);
  size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(fd_, out + done, n - done, static_cast<off_t>(pos + static_cast<int64_t>(done)));
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;  // the end of the file
    done += static_cast<size_t>(got);
  }
  return static_cast<int64_t>(done);
}

bool ReadFile::readAt(int64_t pos, void* dst, size_t n) const {
  // A file that ends early (shrunk while being read) fails like an I/O error.
  return readUpTo(pos, dst, n) == static_cast<int64_t>(n);
}

int64_t ReadFile::read(void* dst, size_t n) {
  const int64_t got = readUpTo(pos_, dst, n);
  if (got > 0) pos_ += got;
  return got;
}

std::optional<std::string> readWholeFile(const std::string& path, size_t maxBytes) {
  ReadFile file;
  if (!file.open(path) || static_cast<uint64_t>(file.size()) > maxBytes) return std::nullopt;
  std::string bytes(static_cast<size_t>(file.size()), '\0');
  if (!file.readAt(0, bytes.data(), bytes.size())) return std::nullopt;
  // A file that grew while being read is not the file we measured.
  char extra;
  if (file.readUpTo(file.size(), &extra, 1) != 0) return std::nullopt;
  return bytes;
}

}  // namespace sonalog::platform
