#include "viewer/ViewTempFile.h"

#include <cerrno>
#include <cstring>

#include "platform/Files.h"
#include "platform/Paths.h"

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

void TempWriter::items(const std::vector<ListItem>& items, size_t first, size_t count) {
  for (size_t i = first; i < first + count; ++i) item(items[i]);
}

void TempWriter::u32(uint32_t v) {
  for (int i = 0; i < 4; ++i) buffer_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  flushIfFull();
}

void TempWriter::bytes(const std::vector<uint8_t>& flags) {
  buffer_.append(reinterpret_cast<const char*>(flags.data()), flags.size());
  flushIfFull();
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

bool TempReader::item(ListItem& item) { return file_ && readItemRecord(file_, item); }

bool TempReader::u32(uint32_t& v) {
  unsigned char b[4];
  if (!file_ || std::fread(b, 1, 4, file_) != 4) return false;
  v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return true;
}

bool TempReader::bytes(std::vector<uint8_t>& out, uint32_t count) {
  if (!file_) return false;
  const long at = std::ftell(file_);
  if (at < 0 || static_cast<uint64_t>(at) + count > size_) return false;
  out.resize(count);
  return std::fread(out.data(), 1, count, file_) == count;
}

bool TempReader::u32s(std::vector<uint32_t>& out, uint32_t count) {
  if (!file_) return false;
  const long at = std::ftell(file_);
  if (at < 0 || static_cast<uint64_t>(at) + 4ull * count > size_) return false;
  out.resize(count);
  for (uint32_t& v : out)
    if (!u32(v)) return false;
  return true;
}

bool TempReader::seek(uint64_t position) {
  return file_ && position <= size_ && std::fseek(file_, static_cast<long>(position), SEEK_SET) == 0;
}

bool TempReader::atEnd() { return file_ && std::fgetc(file_) == EOF; }

}  // namespace sonalog
