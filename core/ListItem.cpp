#include "core/ListItem.h"

#include <cstdio>
#include <cstring>
#include <memory>

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

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void putU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

bool getU32(std::FILE* f, uint32_t& v) {
  unsigned char b[4];
  if (std::fread(b, 1, 4, f) != 4) return false;
  v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return true;
}

bool getString(std::FILE* f, std::string& s) {
  uint32_t len = 0;
  if (!getU32(f, len) || len > (1u << 20)) return false;
  s.resize(len);
  return std::fread(s.data(), 1, len, f) == len;
}

}  // namespace

// Each item: three length-prefixed strings, then the numeric fields in record order.
void appendItemRecord(std::string& buf, const ListItem& it) {
  for (const std::string* s : {&it.fileName, &it.folder, &it.volumeLabel}) {
    putU32(buf, static_cast<uint32_t>(s->size()));
    buf += *s;
  }
  buf.push_back(static_cast<char>(it.bitrateCode));
  putU32(buf, static_cast<uint32_t>(it.sizeKB));
  putU32(buf, static_cast<uint32_t>(it.frames));
  buf.push_back(static_cast<char>(it.stereoMode));
  buf.push_back(static_cast<char>(it.frequencyCode));
  putU32(buf, static_cast<uint32_t>(it.fileDate));
  putU32(buf, static_cast<uint32_t>(it.dateAdded));
  putU32(buf, it.averageKbps);
}

bool readItemRecord(std::FILE* f, ListItem& it) {
  unsigned char b1[1];
  uint32_t v = 0;
  if (!getString(f, it.fileName) || !getString(f, it.folder) || !getString(f, it.volumeLabel) ||
      std::fread(b1, 1, 1, f) != 1)
    return false;
  it.bitrateCode = b1[0];
  if (!getU32(f, v)) return false;
  it.sizeKB = static_cast<int32_t>(v);
  if (!getU32(f, v)) return false;
  it.frames = static_cast<int32_t>(v);
  unsigned char b2[2];
  if (std::fread(b2, 1, 2, f) != 2) return false;
  it.stereoMode = b2[0];
  it.frequencyCode = b2[1];
  if (!getU32(f, v)) return false;
  it.fileDate = static_cast<int32_t>(v);
  if (!getU32(f, v)) return false;
  it.dateAdded = static_cast<int32_t>(v);
  if (!getU32(f, v)) return false;
  it.averageKbps = static_cast<uint16_t>(v);
  return true;
}

bool writeItemsFile(const std::string& path, const std::vector<ListItem>& items) {
  File f(std::fopen(path.c_str(), "wb"));
  if (!f) return false;
  std::string buf;
  putU32(buf, static_cast<uint32_t>(items.size()));
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
  File f(std::fopen(path.c_str(), "rb"));
  if (!f) return false;
  uint32_t count = 0;
  if (!getU32(f.get(), count)) return false;
  std::vector<ListItem> read;
  read.reserve(std::min<uint32_t>(count, 1u << 16));
  for (uint32_t i = 0; i < count; ++i) {
    ListItem it;
    if (!readItemRecord(f.get(), it)) return false;
    read.push_back(std::move(it));
  }
  if (std::fgetc(f.get()) != EOF) return false;
  items = std::move(read);
  return true;
}

}  // namespace sonalog
