#include "viewer/ViewTempFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Threads.h"

namespace sonalog {

bool writeTempFile(platform::TempFile& file,
                   const std::function<bool(const std::string& path, std::string& reason)>& write,
                   std::string& reason) {
  if (!file.create(platform::workingFolder())) {
    reason = platform::takeLastWriteError();
    return false;
  }
  if (write(file.path(), reason)) return true;
  file.remove();
  return false;
}

namespace {
constexpr size_t kFlushBytes = 1 << 16;
constexpr uint32_t kTwoThreadItems = 1 << 12;
// Each record takes bytes of its own, so a count the file cannot hold fails on reading; the
// reservation is bounded so that a damaged count does not claim memory first.
constexpr uint32_t kMaxReserve = 1u << 20;
}

bool readItemRecords(const std::string& path, uint64_t first, uint64_t middle, uint32_t count,
                     std::vector<ListItem>& items, uint64_t* end) {
  auto readRun = [&](uint64_t at, uint32_t n, std::vector<ListItem>& out, uint64_t& after) {
    TempReader in(path);
    if (!in.isOpen() || !in.seek(at)) return false;
    for (uint32_t i = 0; i < n; ++i) {
      ListItem it;
      if (!in.item(it)) return false;
      out.push_back(std::move(it));
    }
    after = in.position();
    return true;
  };
  const uint32_t mid = count < kTwoThreadItems ? count : count / 2;
  std::vector<ListItem> lower, upper;
  lower.reserve(std::min(count, kMaxReserve));
  uint64_t lowerEnd = 0, upperEnd = 0;
  bool lowerRead = false, upperRead = true;
  auto readLower = [&] { lowerRead = readRun(first, mid, lower, lowerEnd); };
  if (mid < count) {
    upper.reserve(std::min(count - mid, kMaxReserve));
    platform::runAlongside(readLower, [&] { upperRead = readRun(middle, count - mid, upper, upperEnd); });
  } else {
    readLower();
  }
  if (!lowerRead || !upperRead || (mid < count && lowerEnd != middle)) return false;
  lower.insert(lower.end(), std::make_move_iterator(upper.begin()), std::make_move_iterator(upper.end()));
  items = std::move(lower);
  if (end) *end = mid < count ? upperEnd : lowerEnd;
  return true;
}

TempWriter::TempWriter(const std::string& path) : path_(path) {
  file_ = std::fopen(path.c_str(), "wb");
  ok_ = true;
  if (!file_) fail();
}

void TempWriter::fail() {
  if (ok_) error_ = path_ + ": " + std::strerror(errno);
  ok_ = false;
}

TempWriter::~TempWriter() {
  if (file_) {
    std::fclose(file_);
    platform::removeFile(path_);
  }
}

void TempWriter::flushIfFull() {
  if (buffer_.size() < kFlushBytes || !ok_) return;
  if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) fail();
  written_ += buffer_.size();
  buffer_.clear();
}

void TempWriter::item(const ListItem& item) {
  appendItemRecord(buffer_, item);
  flushIfFull();
}

uint64_t TempWriter::items(const std::vector<ListItem>& items, size_t first, size_t count) {
  uint64_t middle = 0;
  for (size_t i = first; i < first + count; ++i) {
    if (i == first + count / 2) middle = position();
    item(items[i]);
  }
  return count == 0 ? position() : middle;
}

void TempWriter::u32(uint32_t v) {
  for (int i = 0; i < 4; ++i) buffer_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  flushIfFull();
}

void TempWriter::bytes(const std::vector<uint8_t>& flags) {
  buffer_.append(reinterpret_cast<const char*>(flags.data()), flags.size());
  flushIfFull();
}

void TempWriter::u64(uint64_t v) {
  u32(static_cast<uint32_t>(v));
  u32(static_cast<uint32_t>(v >> 32));
}

void TempWriter::u32s(const std::vector<uint32_t>& values) {
  for (uint32_t v : values) u32(v);
}

bool TempWriter::finish() {
  if (!file_) return false;
  if (ok_ && !buffer_.empty() &&
      std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
    fail();
  written_ += buffer_.size();
  buffer_.clear();
  if (std::fclose(file_) != 0) fail();
  file_ = nullptr;
  if (!ok_) platform::removeFile(path_);
  return ok_;
}

TempReader::TempReader(const std::string& path) {
  const auto facts = platform::fileFacts(path);
  if (!facts || facts->isDirectory) return;
  file_ = std::fopen(path.c_str(), "rb");
  size_ = static_cast<uint64_t>(facts->size);
}

TempReader::~TempReader() {
  if (file_) std::fclose(file_);
}

bool TempReader::read(void* dst, size_t n) {
  constexpr size_t kReadBytes = 1 << 20;
  auto* out = static_cast<char*>(dst);
  while (n > 0) {
    if (at_ == buffer_.size()) {
      if (!file_) return false;
      bufferStart_ += buffer_.size();
      buffer_.resize(kReadBytes);
      buffer_.resize(std::fread(buffer_.data(), 1, kReadBytes, file_));
      at_ = 0;
      if (buffer_.empty()) return false;
    }
    const size_t k = std::min(n, buffer_.size() - at_);
    std::memcpy(out, buffer_.data() + at_, k);
    at_ += k;
    out += k;
    n -= k;
  }
  return true;
}

bool TempReader::item(ListItem& item) {
  return readItemRecord([this](void* dst, size_t n) { return read(dst, n); }, item);
}

bool TempReader::u32(uint32_t& v) {
  unsigned char b[4];
  if (!read(b, 4)) return false;
  v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return true;
}

bool TempReader::u64(uint64_t& v) {
  uint32_t low = 0, high = 0;
  if (!u32(low) || !u32(high)) return false;
  v = low | (uint64_t{high} << 32);
  return true;
}

bool TempReader::bytes(std::vector<uint8_t>& out, uint32_t count) {
  if (!file_ || position() + count > size_) return false;
  out.resize(count);
  return read(out.data(), count);
}

bool TempReader::u32s(std::vector<uint32_t>& out, uint32_t count) {
  if (!file_ || position() + 4ull * count > size_) return false;
  out.resize(count);
  for (uint32_t& v : out)
    if (!u32(v)) return false;
  return true;
}

bool TempReader::seek(uint64_t position) {
  if (!file_ || position > size_ || std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0)
    return false;
  buffer_.clear();
  at_ = 0;
  bufferStart_ = position;
  return true;
}

bool TempReader::atEnd() {
  char c;
  return file_ && !read(&c, 1);
}

}  // namespace sonalog
