#pragma once
// What the viewer's undo file holds for every kind of change: some items (the deleted ones, the
// whole list before a sort, the filtered items before an unfilter) and, where the change
// happened on a filtered list, the filter's tables. One layout serves every kind, so one writer
// and one reader check it.
//
// Layout, counts little-endian 32-bit: the item count; the items in the temporary-file item
// record; a byte, 1 when the filter tables follow and 0 when not; then the full count, one
// deleted-flag byte per item of the full list, the map length and the map's entries; last, in
// 64 bits, the position of the item in the middle (count / 2), where a second thread starts
// reading a long snapshot. Nothing may follow. The file lives only while the program runs, so
// no older layout is read.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/ListItem.h"

namespace sonalog {

// A filtered list's tables (see the viewer's filter).
struct FilterTables {
  uint32_t fullCount = 0;        // items of the full list
  std::vector<uint8_t> deleted;  // per full-list item: 1 when deleted while filtered
  std::vector<uint32_t> map;     // full-list index of each item shown, ascending
  bool operator==(const FilterTables&) const = default;
};

struct UndoSnapshot {
  std::vector<ListItem> items;
  std::optional<FilterTables> tables;
};

// Writes items[first, first + count) and the tables (when given) to path. On failure the file is
// removed and error tells the file and the system's reason.
bool writeUndoSnapshot(const std::string& path, const std::vector<ListItem>& items, size_t first,
                       size_t count, const FilterTables* tables, std::string& error);
// Reads a snapshot back; nothing when the file is missing, short, damaged or too long, or when
// its tables disagree with their own counts.
std::optional<UndoSnapshot> readUndoSnapshot(const std::string& path);

}  // namespace sonalog
