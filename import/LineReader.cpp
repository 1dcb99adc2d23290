#include "import/LineReader.h"

#include <algorithm>

namespace sonalog {

namespace {
constexpr size_t kBufferBytes = 1 << 16;
}

LineReader::~LineReader() { close(); }

bool LineReader::open(const std::string& path) {
  close();
  buffer_.resize(kBufferBytes);
  pos_ = end_ = 0;
  eof_ = failed_ = false;
  return file_.open(path);
}

void LineReader::close() {
  file_.close();
}

bool LineReader::rewind() {
  if (!file_.isOpen()) return false;
  file_.seek(0);
  pos_ = end_ = 0;
  eof_ = failed_ = false;
  return true;
}

bool LineReader::fill() {
  if (eof_ || !file_.isOpen()) return false;
  const int64_t n = file_.read(buffer_.data(), buffer_.size());
  pos_ = 0;
  end_ = n > 0 ? static_cast<size_t>(n) : 0;
  if (n <= 0) {
    eof_ = true;
    failed_ = n < 0;
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
