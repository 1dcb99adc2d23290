#include "core/ListItem.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "core/ListFile.h"
#include "platform/ReadFile.h"
#include "platform/Text.h"

namespace sonalog {

bool operator==(const ListItem& a, const ListItem& b) {
  return a.bitrateCode == b.bitrateCode && a.sizeKB == b.sizeKB && a.frames == b.frames &&
         a.stereoMode == b.stereoMode && a.frequencyCode == b.frequencyCode &&
         a.fileDate == b.fileDate && a.dateAdded == b.dateAdded && a.fileName == b.fileName &&
         a.folder == b.folder && a.volumeLabel == b.volumeLabel;
}

void ListItem::copyFrom(const ListItem& other) {
  const uint16_t keep = averageKbps;
  *this = other;
  averageKbps = keep;
}

std::string cutName(std::string_view name, size_t maxBytes) {
  return std::string(platform::cutBytes(name, maxBytes));
}

double frameDuration(uint8_t frequencyCode) {
  switch (frequencyCode) {
    case 1: return 0.024;
    case 2: return 0.036;
    default: return 0.0261224489795918;
  }
}

double playtimeSeconds(const ListItem& item) {
  return item.frames <= 0 ? 0.0 : item.frames * frameDuration(item.frequencyCode);
}

double bytesPerFramePerKbps(uint8_t frequencyCode) {
  switch (frequencyCode) {
    case 1: return 3.0;
    case 2: return 4.5;
    default: return 3.2653061224489797;
  }
}

void InternalList::append(ListItem item) {
  // Geometric growth: fixed steps would copy the whole list every 1024 items.
  items.push_back(std::move(item));
}

void InternalList::clear() {
  items.clear();
  items.shrink_to_fit();
  unsaved = false;
  listName.clear();
}

void putLE16(std::string& out, uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void putLE32(std::string& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

uint16_t getLE16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t getLE32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void putNumericBlock(std::string& out, const ListItem& item) {
  out.push_back(static_cast<char>(item.bitrateCode));
  putLE32(out, static_cast<uint32_t>(item.sizeKB));
  putLE32(out, static_cast<uint32_t>(item.frames));
  out.push_back(static_cast<char>(item.stereoMode));
  out.push_back(static_cast<char>(item.frequencyCode));
  putLE32(out, static_cast<uint32_t>(item.fileDate));
  putLE32(out, static_cast<uint32_t>(item.dateAdded));
}

void getNumericBlock(const unsigned char* block, ListItem& item) {
  item.bitrateCode = block[0];
  item.sizeKB = static_cast<int32_t>(getLE32(block + 1));
  item.frames = static_cast<int32_t>(getLE32(block + 5));
  item.stereoMode = block[9];
  item.frequencyCode = block[10];
  item.fileDate = static_cast<int32_t>(getLE32(block + 11));
  item.dateAdded = static_cast<int32_t>(getLE32(block + 15));
}

namespace {

// The temporary copies are the program's own files, but read as carefully as any other.
constexpr uint32_t kMaxTemporaryString = 1u << 20;

// One record from any source of bytes: read(dst, n) is true when n bytes were read.
template <class Read>
bool readRecord(Read&& read, ListItem& it) {
  auto text = [&read](std::string& s) {
    unsigned char length[4];
    if (!read(length, 4) || getLE32(length) > kMaxTemporaryString) return false;
    s.resize(getLE32(length));
    return read(s.data(), s.size());
  };
  unsigned char block[kNumericBlockSize + 2];
  if (!text(it.fileName) || !text(it.folder) || !text(it.volumeLabel) || !read(block, sizeof block)) return false;
  getNumericBlock(block, it);
  it.averageKbps = getLE16(block + kNumericBlockSize);
  return true;
}

}  // namespace

void appendItemRecord(std::string& out, const ListItem& it) {
  for (const std::string* s : {&it.fileName, &it.folder, &it.volumeLabel}) {
    putLE32(out, static_cast<uint32_t>(s->size()));
    out += *s;
  }
  putNumericBlock(out, it);
  putLE16(out, it.averageKbps);
}

bool readItemRecord(const std::function<bool(void* dst, size_t n)>& read, ListItem& item) {
  return readRecord(read, item);
}

bool writeItemsFile(const std::string& path, const std::vector<ListItem>& items) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  std::string buf;
  putLE32(buf, static_cast<uint32_t>(items.size()));
  for (const ListItem& it : items) {
    appendItemRecord(buf, it);
    if (buf.size() >= (1u << 16)) {
      if (std::fwrite(buf.data(), 1, buf.size(), f.get()) != buf.size()) return false;
      buf.clear();
    }
  }
  if (std::fwrite(buf.data(), 1, buf.size(), f.get()) != buf.size()) return false;
  return std::fclose(f.release()) == 0;
}

bool readItemsFile(const std::string& path, std::vector<ListItem>& items) {
  platform::ReadFile file;
  if (!file.open(path)) return false;
  ListByteReader in(file);
  unsigned char countBytes[4];
  if (!in.read(countBytes, 4)) return false;
  const uint32_t count = getLE32(countBytes);
  std::vector<ListItem> read;
  read.reserve(std::min<uint32_t>(count, 1u << 16));
  for (uint32_t i = 0; i < count; ++i) {
    ListItem it;
    if (!readRecord([&in](void* dst, size_t n) { return in.read(dst, n); }, it)) return false;
    read.push_back(std::move(it));
  }
  if (!in.atEnd()) return false;
  items = std::move(read);
  return true;
}

}  // namespace sonalog
