#pragma once
// The viewer's temporary files in the working folder: the filter file (the full list while a
// filtered list is shown) and the undo file. Both are sequences of item records and 32-bit
// little-endian counts; the reader checks every length against what is left in the file.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ListItem.h"
#include "platform/Files.h"

namespace sonalog {

// Makes file a new private temporary file in the working folder and fills it through
// write(path, reason). When either fails the file is removed and reason tells the file and the
// system's reason; the caller's data is never touched.
bool writeTempFile(platform::TempFile& file,
                   const std::function<bool(const std::string& path, std::string& reason)>& write,
                   std::string& reason);

// Items [0, count) of a run of item records starting at position first, its middle item (count
// / 2, as TempWriter::items notes it) at position middle: a long run is read from both places at
// once. end, when given, tells the position after the last item. False when any is missing or
// the first half does not end where the second begins.
bool readItemRecords(const std::string& path, uint64_t first, uint64_t middle, uint32_t count,
                     std::vector<ListItem>& items, uint64_t* end = nullptr);

class TempWriter {
 public:
  // Creates (truncates) path. ok() tells whether that and every later write succeeded.
  explicit TempWriter(const std::string& path);
  ~TempWriter();
  TempWriter(const TempWriter&) = delete;
  TempWriter& operator=(const TempWriter&) = delete;

  void item(const ListItem& item);
  // Writes items[first, first + count); returns the position of the middle one (count / 2),
  // where readItemRecords starts its second half.
  uint64_t items(const std::vector<ListItem>& items, size_t first, size_t count);
  void u32(uint32_t value);
  void u64(uint64_t value);
  void bytes(const std::vector<uint8_t>& flags);
  void u32s(const std::vector<uint32_t>& values);
  // Byte position of the next record in the file.
  uint64_t position() const { return written_ + buffer_.size(); }
  // Flushes and closes; false when anything failed. A failed file is deleted.
  bool finish();
  bool ok() const { return ok_; }
  // After a failure: the file and the system's reason ("/home/u/x.tmp: No space left on device").
  const std::string& error() const { return error_; }

 private:
  void flushIfFull();
  void fail();
  std::string path_;
  std::FILE* file_ = nullptr;
  std::string buffer_;
  uint64_t written_ = 0;
  bool ok_ = false;
  std::string error_;
};

class TempReader {
 public:
  explicit TempReader(const std::string& path);
  ~TempReader();
  TempReader(const TempReader&) = delete;
  TempReader& operator=(const TempReader&) = delete;

  bool isOpen() const { return file_ != nullptr; }
  bool item(ListItem& item);
  bool u32(uint32_t& value);
  bool u64(uint64_t& value);
  // count bytes / values; false when the file holds fewer.
  bool bytes(std::vector<uint8_t>& out, uint32_t count);
  bool u32s(std::vector<uint32_t>& out, uint32_t count);
  bool seek(uint64_t position);
  bool atEnd();
  uint64_t position() const { return bufferStart_ + at_; }
  uint64_t size() const { return size_; }

 private:
  // n bytes from the file through the buffer: a whole list is read in a few large reads
  // instead of several small ones per item.
  bool read(void* dst, size_t n);
  std::FILE* file_ = nullptr;
  uint64_t size_ = 0;
  std::vector<char> buffer_;
  size_t at_ = 0;             // next byte in buffer_
  uint64_t bufferStart_ = 0;  // file position of buffer_[0]
};

}  // namespace sonalog
