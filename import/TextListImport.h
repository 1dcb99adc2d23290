#pragma once
// The importers of lists the program did not write: m3u playlists and "other type" text lists
// in which each line names one mp3 file with some of its properties in free form. Both fill a
// second list that the caller applies; on failure that list is never applied. The comparison
// reads its external text lists with readUnknownTextList.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ListItem.h"
#include "import/ImportTypes.h"
#include "import/LineReader.h"
#include "platform/UserInterface.h"

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

// The reading loop of the text lists with one title per line, shared by the import and the
// comparison. Lines end at LF, CR or CR LF; a line longer than lineLimit asks whether to read the
// file again from its start with line feeds alone ("character mode": pieces of up to
// lineLimit + 1 bytes, a trailing CR dropped, a piece without a line feed not taken).
struct TextLineHooks {
  std::function<bool()> stopRequested;              // asked before each line (may be empty)
  std::function<bool(uint64_t lines)> lineCounted;  // after each line or piece; true stops
  std::function<bool()> askCharacterMode;           // true: start over in character mode
  std::function<void()> startOver;                  // drop what was taken before starting over
  std::function<bool(std::string_view line)> take;  // false ends the reading as finished
};
enum class TextLinesEnd {
  Finished,    // the end of the file, or take() had enough
  Stopped,     // stopRequested or lineCounted said so
  Declined,    // character mode was declined
  ReadFailed,  // a read error
};
// lines: the lines (or pieces) counted, from the start over when there was one.
TextLinesEnd readTextLines(LineReader& in, size_t lineLimit, const TextLineHooks& hooks, uint64_t& lines);

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
