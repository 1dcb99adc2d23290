#pragma once
// The one way the program opens a file to read it: regular files only, opened without blocking,
// read at positions (the mp3 analysis, the import's block searches) or front to back (lists,
// settings, text lists, message files).

#include <cstddef>
#include <cstdint>
#include <optional>
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
  bool readAt(int64_t pos, void* dst, size_t n) const;
  // Reads up to n bytes at pos: the count read (short only at the end of the file), -1 on an error.
  int64_t readUpTo(int64_t pos, void* dst, size_t n) const;
  // Asks the kernel to start reading [pos, pos + n) into the page cache, without waiting.
  void willRead(int64_t pos, int64_t n) const;

  // Front-to-back reading from the current position (0 after open): the count read, 0 at the
  // end, -1 on an error.
  int64_t read(void* dst, size_t n);
  void seek(int64_t pos) { pos_ = pos; }
  int64_t position() const { return pos_; }

 private:
  int fd_ = -1;
  int64_t size_ = 0;
  int64_t pos_ = 0;
};

// Asks the kernel to start reading a regular file's first headBytes and last tailBytes into the
// page cache, without waiting for them: a later read of those bytes then finds them there. Does
// nothing for anything but a regular file, or when the file cannot be opened.
void adviseWillRead(const std::string& path, int64_t headBytes, int64_t tailBytes);

// Reads a regular file of at most maxBytes in full. Anything else (missing, a folder, a device,
// too long, a read error, a file that changed size while read) gives nullopt, so a hostile path
// can neither hang nor exhaust memory.
std::optional<std::string> readWholeFile(const std::string& path, size_t maxBytes);

}  // namespace sonalog::platform
