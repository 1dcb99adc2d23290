#include "import/LineReader.h"

#include <sys/stat.h>

#include <cstring>

namespace sonalog {

namespace {
constexpr size_t kBufferBytes = 1 << 16;
}

LineReader::~LineReader() { close(); }

bool LineReader::open(const std::string& path) {
  close();
  // Only regular files: a pipe or a device could block or never end.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  file_ = std::fopen(path.c_str(), "rb");
  buffer_.resize(kBufferBytes);
  pos_ = end_ = 0;
  eof_ = failed_ = false;
  return file_ != nullptr;
}

void LineReader::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

bool LineReader::rewind() {
  if (!file_ || std::fseek(file_, 0, SEEK_SET) != 0) return false;
  pos_ = end_ = 0;
  eof_ = failed_ = false;
  return true;
}

bool LineReader::fill() {
  if (eof_ || !file_) return false;
  end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  pos_ = 0;
  if (end_ == 0) {
    eof_ = true;
    if (std::ferror(file_)) failed_ = true;
    return false;
  }
  return true;
}

int LineReader::peekByte() {
  if (pos_ >= end_ && !fill()) return -1;
  return static_cast<unsigned char>(buffer_[pos_]);
}

int LineReader::nextByte() {
  const int c = peekByte();
  if (c >= 0) ++pos_;
  return c;
}

bool LineReader::readLine(std::string& line, size_t& length, size_t keep) {
  line.clear();
  length = 0;
  if (peekByte() < 0) return false;
  for (;;) {
    if (pos_ >= end_ && !fill()) break;
    // Take the run up to the next line end in one go.
    const char* start = buffer_.data() + pos_;
    const size_t avail = end_ - pos_;
    size_t n = 0;
    while (n < avail && start[n] != '\n' && start[n] != '\r') ++n;
    if (line.size() < keep) line.append(start, std::min(n, keep - line.size()));
    length += n;
    pos_ += n;
    if (n < avail) {
      const char c = buffer_[pos_++];
      if (c == '\r' && peekByte() == '\n') ++pos_;
      break;
    }
  }
  return !failed_;
}

bool LineReader::readPiece(std::string& line, size_t maxLength, bool& cut) {
  line.clear();
  cut = false;
  if (peekByte() < 0) return false;
  for (;;) {
    const int c = nextByte();
    if (c < 0 || c == '\n') break;
    line.push_back(static_cast<char>(c));
    if (line.size() >= maxLength) {
      cut = true;
      break;
    }
  }
  return !failed_;
}

}  // namespace sonalog
