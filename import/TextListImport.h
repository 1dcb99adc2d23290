#pragma once
// The importers of lists the program did not write: m3u playlists and "other type" text lists
// in which each line names one mp3 file with some of its properties in free form. Both fill a
// second list that the caller applies; on failure that list is never applied. The comparison
// reads its external text lists with readUnknownTextList.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ApiUnit.h"
#include "core/ListItem.h"
#include "import/ImportTypes.h"

namespace sonalog {

struct TextListOptions {
  bool clabcheck = false;   // m3u: label items on mounted volumes
  bool MircCheck = false;   // unknown text: take only lines starting with "!"
  size_t appendTo = 0;      // size of the list the items go after; 0 when they replace it
  VolumeSource volumes;     // empty: the mounted volumes
};

struct TextListResult {
  bool ok = false;
  std::vector<ListItem> items;  // complete only when ok
  uint64_t linesRead = 0;       // unknown text: lines (or pieces) read
};

// Reads an m3u playlist (first line "#EXTM3U"). Status texts and warnings go to ui; a CANCEL
// seen by ui.processEvents() fails the import.
TextListResult importM3u(const std::string& path, const TextListOptions& options, UserInterface& ui);

// Reads a text list of one file per line.
TextListResult readUnknownTextList(const std::string& path, const TextListOptions& options,
                                   UserInterface& ui);

// One line of an unknown-type text list as an item; nullopt when the line is skipped (empty,
// or without "!" while only "!user..." lines are taken).
std::optional<ListItem> unknownTextItem(std::string_view line, bool mircOnly);

// The title and the properties of one line whose leading "!word" rule was already applied, read
// into item, which holds the caller's defaults (a short line is only a title). With sizeUnitK a
// bare "K" after a number is kilobytes as well as "KB" (the comparison reads sizes so).
void readUnknownLineFields(std::string_view line, ListItem& item, bool sizeUnitK);

// One m3u entry: the info text after "#EXTINF:" (may be empty) and the path line.
ListItem m3uItem(std::string_view info, std::string_view path, int32_t today);

// Frames of a playtime in whole seconds at a frequency code, halves to even; -1 when it does
// not fit the field.
int32_t framesFromSeconds(double seconds, uint8_t frequencyCode);

}  // namespace sonalog
