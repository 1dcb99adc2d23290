#pragma once
// One catalogue entry and the internal list that the whole program works on. The numeric block
// from bitrateCode to dateAdded is stored unchanged in list files, so its widths are fixed.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace sonalog {

// Bitrate index 1..14 is a constant bitrate; 16 marks a variable bitrate; anything else is unknown.
inline constexpr uint8_t kBitrateVbr = 16;
// The bitrate of an item whose text or typed-in record gave none (an analysis that finds none
// stores 0 instead).
inline constexpr uint8_t kBitrateNotGiven = 255;
inline constexpr uint8_t kStereoModeMixed = 4;
inline constexpr uint8_t kFrequencyMixed = 255;
inline constexpr size_t kMaxFileNameBytes = 255;
inline constexpr size_t kMaxVolumeLabelBytes = 32;

// kbps of the MPEG-1 Layer III bitrate indexes 0..15 (0: free format, 15: invalid).
inline constexpr int kBitrateKbps[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};

struct ListItem {
  std::string fileName;     // without ".mp3", at most 255 bytes
  std::string folder;       // full path, no trailing separator except for a root
  std::string volumeLabel;  // at most 32 bytes
  uint8_t bitrateCode = 0;
  int32_t sizeKB = 0;       // negative: unknown
  int32_t frames = 0;       // negative: playtime unknown
  uint8_t stereoMode = 0;   // 0 stereo, 1 joint, 2 dual, 3 mono, 4 mixed/unknown
  uint8_t frequencyCode = 0;  // 0 44.1 kHz, 1 48 kHz, 2 32 kHz, higher mixed/unknown
  int32_t fileDate = 0;     // days since 1899-12-30
  int32_t dateAdded = 0;    // days since 1899-12-30
  uint16_t averageKbps = 0; // meaningful for VBR items only

  // Equality ignores averageKbps: it is not part of what the user sees as the item.
  friend bool operator==(const ListItem& a, const ListItem& b);
  // Copies everything but averageKbps, which the target keeps.
  void copyFrom(const ListItem& other);
};

// Cuts a name to at most maxBytes without splitting a UTF-8 sequence of a valid UTF-8 name.
std::string cutName(std::string_view name, size_t maxBytes);

// Seconds per frame by frequency code (codes above 2 use 44.1 kHz).
double frameDuration(uint8_t frequencyCode);
// Playtime in seconds; 0 for frames <= 0.
double playtimeSeconds(const ListItem& item);
// Audio bytes per frame per kbps by frequency code (144 / kHz).
double bytesPerFramePerKbps(uint8_t frequencyCode);

// The sortCode byte: bits 0..5 key (63 unsorted), bit 6 case-sensitive, bit 7 descending.
inline constexpr uint8_t kSortKeyMask = 63;
inline constexpr uint8_t kSortUnsorted = 63;
inline constexpr uint8_t kSortCaseSensitive = 64;
inline constexpr uint8_t kSortDescending = 128;

// The internal list owned by the main window for the whole run.
struct InternalList {
  std::vector<ListItem> items;
  bool unsaved = false;
  std::string listName;       // file name (no folder) of the list last loaded or saved
  std::string lastSavedPath;  // full path of the last list saved
  uint8_t sortCode = kSortUnsorted;

  uint32_t itemCount() const { return static_cast<uint32_t>(items.size()); }
  // Appends one item (amortised constant time).
  void append(ListItem item);
  // Trims the capacity to the count after a filling operation.
  void trim() { items.shrink_to_fit(); }
  // Empties the list; clears unsaved and listName.
  void clear();
};

// The little-endian fields of the list file and of the list's temporary copies.
void putLE16(std::string& out, uint16_t v);
void putLE32(std::string& out, uint32_t v);
uint16_t getLE16(const unsigned char* p);
uint32_t getLE32(const unsigned char* p);
// The numeric block as stored: bitrateCode 1, sizeKB 4, frames 4, stereoMode 1, frequencyCode 1,
// fileDate 4, dateAdded 4.
inline constexpr size_t kNumericBlockSize = 19;
void putNumericBlock(std::string& out, const ListItem& item);
void getNumericBlock(const unsigned char* block, ListItem& item);

// Temporary copies of the list (the scan's and the import's backups): a little-endian 32-bit
// count, then per item three strings with 32-bit lengths, the numeric block and averageKbps.
// readItemsFile gives back exactly what writeItemsFile wrote, or false.
bool writeItemsFile(const std::string& path, const std::vector<ListItem>& items);
bool readItemsFile(const std::string& path, std::vector<ListItem>& items);

// One item in the record layout of those files (no count), appended to out. The viewer's filter
// and undo files are sequences of such records, read back one by one.
void appendItemRecord(std::string& out, const ListItem& item);
// Reads one record written by appendItemRecord from read(dst, n), which is true when it gave n
// bytes; false at a short or damaged record.
bool readItemRecord(const std::function<bool(void* dst, size_t n)>& read, ListItem& item);

}  // namespace sonalog
