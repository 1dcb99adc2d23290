#pragma once
// A regular file opened for positioned reads, for readers that look at a few places of a file
// (the mp3 analysis) rather than stream it.

#include <cstddef>
#include <cstdint>
#include <string>

namespace sonalog::platform {

class ReadFile {
 public:
  ReadFile() = default;
  ~ReadFile();
  ReadFile(const ReadFile&) = delete;
  ReadFile& operator=(const ReadFile&) = delete;

  // Opens a regular file and takes its size. False when it cannot be opened, is not a regular
  // file (a folder, a pipe, a device: never blocks on one) or cannot be sized.
  bool open(const std::string& path);
  void close();
  bool isOpen() const { return fd_ >= 0; }
  // Size in bytes when opened.
  int64_t size() const { return size_; }
  // Reads exactly n bytes at pos. False on an I/O error or when the file ends before pos + n.
  bool readAt(int64_t pos, void* dst, size_t n);

 private:
  int fd_ = -1;
  int64_t size_ = 0;
};

}  // namespace sonalog::platform
