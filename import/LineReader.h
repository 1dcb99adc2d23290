#pragma once
// Reads a text file line by line in bounded memory: a line ends at LF, CR or CR LF; only the
// first `keep` bytes of a line are kept, its full length is still reported, so a hostile file
// of one endless line costs no more memory than a short one.

#include <cstdint>
#include <string>

#include "platform/ReadFile.h"

namespace sonalog {

class LineReader {
 public:
  LineReader() = default;
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Only regular files: a pipe or a device could block or never end.
  bool open(const std::string& path);
  void close();
  bool isOpen() const { return file_.isOpen(); }
  // The file's size in bytes when opened.
  int64_t size() const { return file_.size(); }
  // Back to the first byte of the file.
  bool rewind();

  // Reads the next line into `line` (at most keep bytes of it) and its full length in bytes.
  // False at the end of the file or on a read error (then failed() is true).
  bool readLine(std::string& line, size_t& length, size_t keep);
  // Character mode: a line ends only at LF (dropped) or after maxLength bytes, whichever comes
  // first; `cut` tells that the piece filled maxLength before any line feed.
  bool readPiece(std::string& line, size_t maxLength, bool& cut);
  bool failed() const { return failed_; }

 private:
  bool fill();
  int peekByte();
  int nextByte();

  platform::ReadFile file_;
  std::string buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
  bool failed_ = false;
};

}  // namespace sonalog
