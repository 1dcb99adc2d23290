#pragma once
// The list file (".snlg"), the program's own binary file for the internal list: Save as writes
// it, Load reads it back replacing or merging, the start-up load reads it silently and the
// comparison reads a second list from it.
//
// Layout, little-endian: a 5-byte header (4-byte magic, the list's sortCode), then items up to the
// end of the file, with no count and no trailer. A current item is fileName and folder (16-bit
// length + bytes each), volumeLabel (length byte 0..32 + bytes), the 19-byte numeric block
// (bitrateCode 1, sizeKB 4, frames 4, stereoMode 1, frequencyCode 1, fileDate 4, dateAdded 4) and,
// for VBR items only, averageKbps (2). Three older formats are still read, never written.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ListItem.h"
#include "platform/ReadFile.h"

namespace sonalog {

class UserInterface;
struct Settings;

inline constexpr char kListFileExtension[] = ".snlg";
inline constexpr size_t kListHeaderSize = 5;
inline constexpr size_t kMaxListStringBytes = 65535;

enum class ListFormat {
  Current,  // magic 6C 33 5A F7: 16-bit string lengths, averageKbps stored for VBR items
  Second,   // magic FD FD 05 22: 16-bit string lengths, averageKbps computed
  Third,    // magic 03 51 76 78: 8-bit string lengths, averageKbps computed
  Oldest,   // magic 03 51 76 78 with an 18-byte block: playtime in seconds, no frequency
};

// The format a file's first four bytes name; nullopt for anything else. The oldest layout shares
// its magic with the third format and is only recognised while reading.
std::optional<ListFormat> listFormatOfMagic(const unsigned char magic[4]);

// ---- The shared string routines (also used for external lists) ----

// Appends s with a 16-bit length, cut to 65 535 bytes (never inside a UTF-8 sequence).
void putListString(std::string& out, std::string_view s);

// Reads bytes from a file (buffered) or from memory. A short read or an I/O error fails the read
// and stays failed.
class ListByteReader {
 public:
  explicit ListByteReader(std::string_view bytes);
  explicit ListByteReader(platform::ReadFile& file);  // not owned; read from its current position
  ListByteReader(const ListByteReader&) = delete;
  ListByteReader& operator=(const ListByteReader&) = delete;

  bool read(void* out, size_t n);
  bool readByte(uint8_t& b) { return read(&b, 1); }
  // Reads a string with a 16-bit (wide) or an 8-bit length.
  bool readString(std::string& s, bool wideLength);
  bool skip(size_t n);
  // True when every byte has been read (and no error occurred).
  bool atEnd();

 private:
  bool refill();
  platform::ReadFile* file_ = nullptr;
  std::string buffer_;  // file reads only
  const char* data_ = nullptr;
  size_t size_ = 0;
  size_t pos_ = 0;
  bool failed_ = false;
  bool eof_ = false;
};

// ---- Writing ----

// The whole file image of a list: header and every item in list order.
std::string encodeListFile(const std::vector<ListItem>& items, uint8_t sortCode);
// Writes the list to path through a temporary file renamed over it, so a failed write leaves any
// previous file as it was and no partial file. False on any error.
bool writeListFile(const std::string& path, const std::vector<ListItem>& items, uint8_t sortCode);

// ---- Reading the items ----

enum class ListReadStatus {
  Ok,
  NotListFile,     // unknown magic
  DiskError,       // a read error or a file that ends inside the header or an item
  TooLarge,        // more items than a signed 32-bit count holds
  OldestLayout,    // a label length above 32 in the third format: may be the oldest layout
  Stopped,         // the caller's stop request ended the reading
};

struct ListFileContents {
  ListFormat format = ListFormat::Current;
  uint8_t sortCode = kSortUnsorted;
  std::vector<ListItem> items;
};

// Reads the magic and classifies it (NotListFile, DiskError or Ok).
ListReadStatus readListMagic(ListByteReader& in, ListFormat& format);
// Reads the header byte and every item after the magic, in format, appending to out.items. A
// third-format file read with oldestLayout off stops with OldestLayout at the first label length
// above 32. At least one item must follow the header. The memory used never exceeds a fixed
// multiple of the bytes actually present. stopRequested, when given, is asked before each item.
ListReadStatus readListItems(ListByteReader& in, ListFormat format, ListFileContents& out,
                             int32_t maxItems = INT32_MAX, const std::function<bool()>& stopRequested = {});
// Both steps on bytes in memory; with oldestLayout the third format is read in the oldest layout.
ListReadStatus parseListFile(std::string_view bytes, bool oldestLayout, ListFileContents& out);

// ---- Reading into the internal list, with the user's messages ----

// The texts the reader and the commands show.
inline constexpr char kTextLoading[] = "Loading...";
inline constexpr char kTextCantOpen[] = "Can't open the file.";
inline constexpr char kTextNotListFile[] = "Not a Sonalog file!";
inline constexpr char kTextDiskError[] = "Disk error!";
inline constexpr char kTextTooLarge[] = "This list is too large to load.";
inline constexpr char kTextUnknownError[] = "Unknown error occurred while loading the list.";
inline constexpr char kTextCantLoad[] = "Can't load the list.";
inline constexpr char kTextOldestLayoutQuestion[] =
    "Doesn't seem to be a valid mp3SNLG file.\r\nTry to process as mp3SNLG v4.0 - v4.12 file?\r\n\n"
    "(44.1 KHz frequency will be assigned to all items)";
inline constexpr char kCaptionOldestLayout[] = "invalid data found";
inline constexpr char kTextEmptyList[] = "Empty list.";
inline constexpr char kTextCantWrite[] = "Can't write this file.\r\nIn use? Invalid filename? Disk full?";
inline constexpr char kTextLoadOptionsNote[] =
    "IMPORTANT NOTE:\r\n\nTo get load options window to show again,\r\nhold down the CTRL key while "
    "clicking LOAD\r\nbutton. And don't forget you still need\r\nto have more than 0 items for it to show!";

// Clears the internal list through the unsaved-list question; false when the user kept the list
// (the calling operation is then cancelled).
using ClearListFn = std::function<bool()>;

struct ListReadResult {
  int32_t count = -1;     // items read (above 0), or -1 on failure
  bool listKept = false;  // failed because the user kept the old list at the unsaved-list question
};

// Reads a list file into list. A path that cannot be opened and does not end in ".snlg" is tried
// again with ".snlg" appended. Without merge the list is first cleared through clearList; with
// merge the items are appended after the existing ones and the list becomes unsaved. On success
// sortCode becomes the file's header byte and listName the file's name. On failure the status
// text is "Can't load the list.", listName is cleared and no item read is added to the list.
// Every message (and the oldest-layout question) is shown only with showMessages; silently the
// oldest layout is assumed when the third format's labels do not fit.
ListReadResult ReadListFile(UserInterface& ui, InternalList& list, const std::string& path,
                            bool showMessages, bool merge, const ClearListFn& clearList);

// Reads a list file with messages on into contents, without any internal list: for the
// comparison's external list and for the command line. False after the message was shown.
bool ReadListFileContents(UserInterface& ui, const std::string& path, ListFileContents& contents);

// ---- The main window's commands ----

// The Load options window's choices ("if you append:" items in this order).
enum class AppendSort : uint8_t { LikePrimary = 0, LikeSecondary = 1, MainOption = 2, DontSort = 3 };

struct LoadMergeChoice {
  bool merge = false;                          // Rb2 "&APPEND (MERGE)", else Rb1
  AppendSort appendSort = AppendSort::MainOption;  // Rg1
  bool dontShow = false;                       // DontShowCheck
};

// Shows the Load options window opened with initial; nullopt when it was closed without GO.
using LoadOptionsWindowFn = std::function<std::optional<LoadMergeChoice>(const LoadMergeChoice& initial)>;

struct ListCommandContext {
  UserInterface& ui;
  InternalList& list;
  Settings& settings;
  // The duplicates search or the comparison window is open: Save as and Load do nothing.
  bool otherRunOpen = false;
};

enum class CommandResult { Done, Cancelled, Failed, Ignored };

// Save as: asks for a file, writes the whole list, and marks it saved. The chosen folder is
// remembered in settings.saveAsFolder, the full path in settings.lastSavedList and
// list.lastSavedPath.
CommandResult SaveButClick(ListCommandContext& context);

// Load: replace or merge (through loadOptionsWindow for a non-empty list unless the don't-show
// setting is on; ctrlHeld switches that setting off first), asks for a file, reads it and orders a
// merged list by the window's choice. On failure the list is cleared through clearList unless the
// user kept it.
CommandResult LoadButClick(ListCommandContext& context, const ClearListFn& clearList,
                           const LoadOptionsWindowFn& loadOptionsWindow, bool ctrlHeld);

// "Loaded N items." / "Loaded N, total M items." status texts.
std::string loadedStatusText(uint32_t itemCount);
std::string mergedStatusText(int32_t read, uint32_t itemCount);

}  // namespace sonalog
