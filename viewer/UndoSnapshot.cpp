#include "viewer/UndoSnapshot.h"

#include <algorithm>

#include "viewer/ViewTempFile.h"

namespace sonalog {

bool writeUndoSnapshot(const std::string& path, const std::vector<ListItem>& items, size_t first,
                       size_t count, const FilterTables* tables, std::string& error) {
  TempWriter out(path);
  out.u32(static_cast<uint32_t>(count));
  out.items(items, first, count);
  out.bytes({static_cast<uint8_t>(tables ? 1 : 0)});
  if (tables) {
    out.u32(tables->fullCount);
    out.bytes(tables->deleted);
    out.u32(static_cast<uint32_t>(tables->map.size()));
    out.u32s(tables->map);
  }
  if (out.finish()) return true;
  error = out.error();
  return false;
}

std::optional<UndoSnapshot> readUndoSnapshot(const std::string& path) {
  TempReader in(path);
  uint32_t count = 0;
  if (!in.isOpen() || !in.u32(count)) return std::nullopt;
  UndoSnapshot snap;
  // Each record takes bytes of its own, so a count the file cannot hold fails on reading; the
  // reservation is bounded so that a damaged count does not claim memory first.
  constexpr uint32_t kMaxReserve = 1u << 20;
  snap.items.reserve(std::min(count, kMaxReserve));
  for (uint32_t i = 0; i < count; ++i) {
    ListItem item;
    if (!in.item(item)) return std::nullopt;
    snap.items.push_back(std::move(item));
  }
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
  if (!in.atEnd()) return std::nullopt;
  return snap;
}

}  // namespace sonalog
