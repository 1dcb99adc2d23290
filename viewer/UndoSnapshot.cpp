#include "viewer/UndoSnapshot.h"


#include "viewer/ViewTempFile.h"

namespace sonalog {

bool writeUndoSnapshot(const std::string& path, const std::vector<ListItem>& items, size_t first,
                       size_t count, const FilterTables* tables, std::string& error) {
  TempWriter out(path);
  out.u32(static_cast<uint32_t>(count));
  const uint64_t middle = out.items(items, first, count);
  out.bytes({static_cast<uint8_t>(tables ? 1 : 0)});
  if (tables) {
    out.u32(tables->fullCount);
    out.bytes(tables->deleted);
    out.u32(static_cast<uint32_t>(tables->map.size()));
    out.u32s(tables->map);
  }
  out.u64(middle);
  if (out.finish()) return true;
  error = out.error();
  return false;
}

std::optional<UndoSnapshot> readUndoSnapshot(const std::string& path) {
  TempReader in(path);
  uint32_t count = 0;
  uint64_t middle = 0, itemsEnd = 0;
  const uint64_t first = 4, trailer = in.size() - 8;
  if (!in.isOpen() || in.size() < first + 1 + 8 || !in.u32(count) || !in.seek(trailer) || !in.u64(middle))
    return std::nullopt;
  UndoSnapshot snap;
  if (!readItemRecords(path, first, middle, count, snap.items, &itemsEnd) || !in.seek(itemsEnd))
    return std::nullopt;
  std::vector<uint8_t> marker;
  if (!in.bytes(marker, 1) || marker[0] > 1) return std::nullopt;
  if (marker[0] == 1) {
    FilterTables t;
    uint32_t mapLength = 0;
    if (!in.u32(t.fullCount) || !in.bytes(t.deleted, t.fullCount) || !in.u32(mapLength) ||
        !in.u32s(t.map, mapLength))
      return std::nullopt;
    for (uint32_t index : t.map)
      if (index >= t.fullCount) return std::nullopt;
    snap.tables = std::move(t);
  }
  if (in.position() != trailer) return std::nullopt;
  return snap;
}

}  // namespace sonalog
