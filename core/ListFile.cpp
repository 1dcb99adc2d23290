#include "core/ListFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>

#include "core/Sorting.h"
#include "platform/AsciiCase.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/UserInterface.h"
#include "settings/Settings.h"

namespace sonalog {

namespace {

constexpr unsigned char kMagicCurrent[4] = {0x6C, 0x33, 0x5A, 0xF7};
constexpr unsigned char kMagicSecond[4] = {0xFD, 0xFD, 0x05, 0x22};
constexpr unsigned char kMagicThird[4] = {0x03, 0x51, 0x76, 0x78};

constexpr size_t kOldestNumericBlockSize = 18;
constexpr size_t kReadBufferSize = 1 << 16;

// sizeKB per (frames x kbps) by frequencyCode: the bytes-per-frame-per-kbps table over 1024,
// exactly the constants older lists were converted with. Codes above 2 use the first.
constexpr double kKbpsFactor[3] = {0.003188775510204077, 0.0029296875, 0.00439453125};
constexpr double kOldestFrameSeconds = 0.0261224489795918;

// Rounds halves to even (the default rounding mode) and keeps the value within [lo, hi].
int64_t roundClamped(double v, int64_t lo, int64_t hi) {
  if (!(v > static_cast<double>(lo))) return lo;  // NaN included
  if (v >= static_cast<double>(hi)) return hi;
  return static_cast<int64_t>(std::nearbyint(v));
}

// averageKbps of a VBR item from an older format, which did not store it. Unknown (negative)
// sizes and frame counts give 0, as does a frame count of 0.
uint16_t computedAverageKbps(int32_t sizeKB, int32_t frames, uint8_t frequencyCode) {
  if (frames <= 0 || sizeKB < 0) return 0;
  const double factor = kKbpsFactor[frequencyCode <= 2 ? frequencyCode : 0];
  return static_cast<uint16_t>(roundClamped(sizeKB / (frames * factor), 0, UINT16_MAX));
}

void encodeItem(std::string& out, const ListItem& it) {
  putListString(out, it.fileName);
  putListString(out, it.folder);
  const std::string_view label = platform::cutBytes(it.volumeLabel, kMaxVolumeLabelBytes);
  out.push_back(static_cast<char>(label.size()));
  out.append(label);
  putNumericBlock(out, it);
  if (it.bitrateCode == kBitrateVbr) putLE16(out, it.averageKbps);
}

bool endsWithListExtension(const std::string& path) {
  return platform::endsWithAsciiIgnoreCase(path, kListFileExtension);
}

struct BusyCursor {
  UserInterface& ui;
  explicit BusyCursor(UserInterface& u) : ui(u) { ui.setBusy(true); }
  ~BusyCursor() { ui.setBusy(false); }
};

const char* messageOf(ListReadStatus status) {
  switch (status) {
    case ListReadStatus::NotListFile: return kTextNotListFile;
    case ListReadStatus::TooLarge: return kTextTooLarge;
    default: return kTextDiskError;
  }
}

enum class ReadEnd { Ok, Failed, ListKept };

// The reading steps shared by the internal list and external lists: open (with ".snlg" tried),
// classify, beforeItems (the clear), read the items, and on a third-format file whose labels do not
// fit, ask and read it again in the oldest layout. Shows the messages when showMessages is on.
ReadEnd readWithMessages(UserInterface& ui, const std::string& path, bool showMessages,
                         const std::function<bool()>& beforeItems, ListFileContents& contents,
                         std::string& openedPath) {
  auto failWith = [&](const char* message) {
    if (showMessages && message) ui.warning(message);
    return ReadEnd::Failed;
  };
  bool oldestLayout = false;
  bool beforeItemsDone = false;
  for (;;) {
    openedPath = path;
    // Only regular files: reading can neither hang on a pipe nor run forever on a device.
    platform::ReadFile file;
    bool opened = file.open(openedPath);
    if (!opened && !endsWithListExtension(path)) {
      openedPath = path + kListFileExtension;
      opened = file.open(openedPath);
    }
    if (!opened) return failWith(kTextCantOpen);
    ListByteReader in(file);

    ListFormat format;
    const ListReadStatus magic = readListMagic(in, format);
    if (magic != ListReadStatus::Ok) return failWith(messageOf(magic));
    if (!beforeItemsDone) {
      if (beforeItems && !beforeItems()) return ReadEnd::ListKept;
      beforeItemsDone = true;
    }
    if (oldestLayout && format == ListFormat::Third) format = ListFormat::Oldest;

    contents = ListFileContents{};
    const ListReadStatus status = readListItems(in, format, contents);
    if (status == ListReadStatus::Ok) return ReadEnd::Ok;
    if (status != ListReadStatus::OldestLayout) return failWith(messageOf(status));
    if (showMessages && ui.ask(kTextOldestLayoutQuestion, kCaptionOldestLayout, Buttons::YesNo, Icon::Question) !=
                            Answer::Yes)
      return ReadEnd::Failed;
    oldestLayout = true;
    ui.setStatus(kTextLoading);
  }
}

// Sorts a merged list by the Load options window's choice and sets its sortCode.
void orderMergedList(InternalList& list, AppendSort choice, uint8_t primarySortCode, const Settings& settings) {
  switch (choice) {
    case AppendSort::LikePrimary:
      sortItems(list.items, sortOrderOf(primarySortCode));
      list.sortCode = primarySortCode;
      break;
    case AppendSort::LikeSecondary:
      sortItems(list.items, sortOrderOf(list.sortCode));
      break;
    case AppendSort::MainOption:
      if (settings.CheckSort)
        sortItems(list.items, SortOrder{settings.sortcombo, settings.CheckDescend, settings.CheckCase});
      list.sortCode = settings.mainSortCode();
      break;
    case AppendSort::DontSort:
      list.sortCode = kSortUnsorted;
      break;
  }
}

std::string itemsWord(uint32_t count) { return count == 1 ? " item" : " items"; }

}  // namespace

std::optional<ListFormat> listFormatOfMagic(const unsigned char magic[4]) {
  if (std::memcmp(magic, kMagicCurrent, 4) == 0) return ListFormat::Current;
  if (std::memcmp(magic, kMagicSecond, 4) == 0) return ListFormat::Second;
  if (std::memcmp(magic, kMagicThird, 4) == 0) return ListFormat::Third;
  return std::nullopt;
}

void putListString(std::string& out, std::string_view s) {
  const std::string_view cut = platform::cutBytes(s, kMaxListStringBytes);
  putLE16(out, static_cast<uint16_t>(cut.size()));
  out.append(cut);
}

// ---- ListByteReader ----

ListByteReader::ListByteReader(std::string_view bytes) : data_(bytes.data()), size_(bytes.size()), eof_(true) {}

ListByteReader::ListByteReader(platform::ReadFile& file) : file_(&file) {}

bool ListByteReader::refill() {
  if (!file_ || eof_ || failed_) return false;
  if (buffer_.size() != kReadBufferSize) buffer_.resize(kReadBufferSize);
  // Keep the unread tail in front of the new bytes.
  const size_t tail = size_ - pos_;
  if (tail > 0 && pos_ > 0) std::memmove(buffer_.data(), buffer_.data() + pos_, tail);
  pos_ = 0;
  size_ = tail;
  const int64_t n = file_->read(buffer_.data() + size_, buffer_.size() - size_);
  if (n < 0) {
    failed_ = true;
    return false;
  }
  if (n == 0) eof_ = true;
  size_ += static_cast<size_t>(n);
  data_ = buffer_.data();
  return n > 0;
}

bool ListByteReader::read(void* out, size_t n) {
  auto* dest = static_cast<char*>(out);
  while (n > 0) {
    if (failed_) return false;
    if (pos_ == size_ && !refill()) {
      failed_ = true;
      return false;
    }
    const size_t take = std::min(n, size_ - pos_);
    std::memcpy(dest, data_ + pos_, take);
    pos_ += take;
    dest += take;
    n -= take;
  }
  return !failed_;
}

bool ListByteReader::readString(std::string& s, bool wideLength) {
  unsigned char len[2] = {0, 0};
  if (!read(len, wideLength ? 2 : 1)) return false;
  const size_t n = len[0] | (static_cast<size_t>(len[1]) << 8);
  if (size_ - pos_ >= n) {  // the common case: straight from the buffer
    s.assign(data_ + pos_, n);
    pos_ += n;
    return true;
  }
  s.resize(n);  // at most 65 535 bytes, whatever the file claims
  return read(s.data(), n);
}

bool ListByteReader::skip(size_t n) {
  char scratch[256];
  while (n > 0) {
    const size_t step = std::min(n, sizeof scratch);
    if (!read(scratch, step)) return false;
    n -= step;
  }
  return true;
}

bool ListByteReader::atEnd() {
  if (failed_) return false;
  if (pos_ < size_) return false;
  refill();
  return !failed_ && pos_ == size_;
}

// ---- Writing ----

std::string encodeListFile(const std::vector<ListItem>& items, uint8_t sortCode) {
  std::string out(reinterpret_cast<const char*>(kMagicCurrent), 4);
  out.push_back(static_cast<char>(sortCode));
  for (const ListItem& it : items) encodeItem(out, it);
  return out;
}

bool writeListFile(const std::string& path, const std::vector<ListItem>& items, uint8_t sortCode) {
  platform::AtomicFile file(path);
  if (!file.open() && !file.open()) return false;  // one retry, as creation can fail transiently
  std::string chunk(reinterpret_cast<const char*>(kMagicCurrent), 4);
  chunk.push_back(static_cast<char>(sortCode));
  for (const ListItem& it : items) {
    encodeItem(chunk, it);
    if (chunk.size() >= kReadBufferSize) {
      if (!file.write(chunk)) return false;
      chunk.clear();
    }
  }
  return file.write(chunk) && file.commit();
}

// ---- Reading the items ----

ListReadStatus readListMagic(ListByteReader& in, ListFormat& format) {
  unsigned char magic[4];
  if (!in.read(magic, 4)) return ListReadStatus::DiskError;
  const auto known = listFormatOfMagic(magic);
  if (!known) return ListReadStatus::NotListFile;
  format = *known;
  return ListReadStatus::Ok;
}

ListReadStatus readListItems(ListByteReader& in, ListFormat format, ListFileContents& out, int32_t maxItems,
                             const std::function<bool()>& stopRequested) {
  out.format = format;
  if (!in.readByte(out.sortCode)) return ListReadStatus::DiskError;
  const bool wideLengths = format == ListFormat::Current || format == ListFormat::Second;
  const bool oldest = format == ListFormat::Oldest;
  int32_t count = 0;
  // Every item takes at least 21 bytes of the file, so the array never outgrows what was read.
  for (;;) {
    if (count >= maxItems) return ListReadStatus::TooLarge;
    if (stopRequested && stopRequested()) return ListReadStatus::Stopped;
    ListItem it;
    if (!in.readString(it.fileName, wideLengths) || !in.readString(it.folder, wideLengths))
      return ListReadStatus::DiskError;
    uint8_t labelLength;
    if (!in.readByte(labelLength)) return ListReadStatus::DiskError;
    if (labelLength > kMaxVolumeLabelBytes) {
      if (format == ListFormat::Third) return ListReadStatus::OldestLayout;
      // Longer labels keep their first 32 bytes.
      it.volumeLabel.resize(kMaxVolumeLabelBytes);
      if (!in.read(it.volumeLabel.data(), kMaxVolumeLabelBytes) || !in.skip(labelLength - kMaxVolumeLabelBytes))
        return ListReadStatus::DiskError;
    } else {
      it.volumeLabel.resize(labelLength);
      if (!in.read(it.volumeLabel.data(), labelLength)) return ListReadStatus::DiskError;
    }

    unsigned char block[kNumericBlockSize];
    if (!in.read(block, oldest ? kOldestNumericBlockSize : kNumericBlockSize)) return ListReadStatus::DiskError;
    if (oldest) {
      it.bitrateCode = block[0];
      it.sizeKB = static_cast<int32_t>(getLE32(block + 1));
      // bitrateCode, sizeKB, playtime in whole seconds, stereoMode, fileDate, dateAdded.
      const auto seconds = static_cast<int32_t>(getLE32(block + 5));
      it.frames = static_cast<int32_t>(roundClamped(seconds / kOldestFrameSeconds, INT32_MIN, INT32_MAX));
      it.stereoMode = block[9];
      it.frequencyCode = 0;
      it.fileDate = static_cast<int32_t>(getLE32(block + 10));
      it.dateAdded = static_cast<int32_t>(getLE32(block + 14));
    } else {
      getNumericBlock(block, it);
    }
    if (it.bitrateCode == kBitrateVbr) {
      if (format == ListFormat::Current) {
        unsigned char avg[2];
        if (!in.read(avg, 2)) return ListReadStatus::DiskError;
        it.averageKbps = getLE16(avg);
      } else {
        it.averageKbps = computedAverageKbps(it.sizeKB, it.frames, it.frequencyCode);
      }
    }
    out.items.push_back(std::move(it));
    ++count;
    if (in.atEnd()) return ListReadStatus::Ok;
  }
}

ListReadStatus parseListFile(std::string_view bytes, bool oldestLayout, ListFileContents& out) {
  ListByteReader in(bytes);
  ListFormat format;
  const ListReadStatus magic = readListMagic(in, format);
  if (magic != ListReadStatus::Ok) return magic;
  if (oldestLayout && format == ListFormat::Third) format = ListFormat::Oldest;
  return readListItems(in, format, out);
}

// ---- Reading into the internal list ----

ListReadResult ReadListFile(UserInterface& ui, InternalList& list, const std::string& path, bool showMessages,
                            bool merge, const ClearListFn& clearList) {
  BusyCursor busy(ui);
  ui.setStatus(kTextLoading);
  ListReadResult result;
  ReadEnd end = ReadEnd::Failed;
  try {
    ListFileContents contents;
    std::string openedPath;
    const std::function<bool()> beforeItems = merge ? std::function<bool()>() : clearList;
    end = readWithMessages(ui, path, showMessages, beforeItems, contents, openedPath);
    if (end == ReadEnd::Ok) {
      const auto read = static_cast<int32_t>(contents.items.size());
      if (list.items.empty()) {
        list.items = std::move(contents.items);
      } else {
        list.items.reserve(list.items.size() + contents.items.size());
        for (ListItem& it : contents.items) list.items.push_back(std::move(it));
      }
      list.trim();
      list.sortCode = contents.sortCode;
      list.listName = platform::fileNameOf(openedPath);
      if (merge) list.unsaved = true;
      result.count = read;
      return result;
    }
  } catch (const std::exception&) {
    // Out of memory and the like: the list is left as it was before the items were read.
    if (showMessages) ui.warning(kTextUnknownError);
    end = ReadEnd::Failed;
  }
  result.listKept = end == ReadEnd::ListKept;
  ui.setStatus(kTextCantLoad);
  // A list that was replaced lost its name with its items; a merged-into or kept list keeps both.
  if (!merge && !result.listKept) list.listName.clear();
  return result;
}

bool ReadListFileContents(UserInterface& ui, const std::string& path, ListFileContents& contents) {
  try {
    std::string openedPath;
    return readWithMessages(ui, path, true, {}, contents, openedPath) == ReadEnd::Ok;
  } catch (const std::exception&) {
    ui.warning(kTextUnknownError);
    contents = ListFileContents{};
    return false;
  }
}

// ---- The main window's commands ----

std::string loadedStatusText(uint32_t itemCount) {
  return "Loaded " + std::to_string(itemCount) + itemsWord(itemCount) + ".";
}

std::string mergedStatusText(int32_t read, uint32_t itemCount) {
  return "Loaded " + std::to_string(read) + ", total " + std::to_string(itemCount) + itemsWord(itemCount) + ".";
}

CommandResult SaveButClick(ListCommandContext& context) {
  UserInterface& ui = context.ui;
  InternalList& list = context.list;
  if (context.otherRunOpen) return CommandResult::Ignored;
  if (list.items.empty()) {
    ui.warning(kTextEmptyList);
    return CommandResult::Failed;
  }
  FileDialog dialog;
  dialog.title = " - SAVE THE LIST AS - ";
  dialog.folder = context.settings.saveAsFolder;
  dialog.fileName = list.listName;
  dialog.filters = {FileFilter{"SNLG files", {"*.snlg"}}};
  dialog.defaultExtension = "snlg";
  const auto chosen = ui.chooseSaveFile(dialog);
  if (!chosen || chosen->path.empty()) return CommandResult::Cancelled;
  const std::string& path = chosen->path;
  context.settings.saveAsFolder = platform::folderOf(path);

  if (!writeListFile(path, list.items, list.sortCode)) {
    ui.warning(kTextCantWrite);
    return CommandResult::Failed;
  }
  list.unsaved = false;
  list.listName = platform::fileNameOf(path);
  list.lastSavedPath = path;
  context.settings.lastSavedList = path;
  return CommandResult::Done;
}

CommandResult LoadButClick(ListCommandContext& context, const ClearListFn& clearList,
                           const LoadOptionsWindowFn& loadOptionsWindow, bool ctrlHeld) {
  UserInterface& ui = context.ui;
  InternalList& list = context.list;
  Settings& settings = context.settings;
  if (context.otherRunOpen) return CommandResult::Ignored;

  if (ctrlHeld) settings.DontShowCheck = false;
  LoadMergeChoice choice;  // an empty list is always replaced
  if (!list.items.empty()) {
    if (!settings.DontShowCheck) {
      LoadMergeChoice initial;
      initial.merge = settings.loadMergeAppend != 0;
      initial.appendSort = static_cast<AppendSort>(settings.Rg1 <= 3 ? settings.Rg1 : 1);
      initial.dontShow = settings.DontShowCheck;
      // Without a window (the command line) the stored choices stand as if GO was pressed.
      const std::optional<LoadMergeChoice> chosen = loadOptionsWindow ? loadOptionsWindow(initial) : initial;
      if (!chosen) return CommandResult::Cancelled;
      if (chosen->dontShow) ui.warning(kTextLoadOptionsNote);
      choice = *chosen;
      settings.loadMergeAppend = choice.merge ? 1 : 0;
      settings.Rg1 = static_cast<uint8_t>(choice.appendSort);
      settings.DontShowCheck = choice.dontShow;
    }
  }

  const uint8_t primarySortCode = list.sortCode;
  FileDialog dialog;
  dialog.title = " - LOAD A LIST - ";
  dialog.folder = settings.loadFolder;
  dialog.filters = {FileFilter{"SNLG files", {"*.snlg"}}, FileFilter{"all files", {"*.*"}}};
  const auto chosen = ui.openFile(dialog);
  if (!chosen || chosen->path.empty()) return CommandResult::Cancelled;
  settings.loadFolder = platform::folderOf(chosen->path);

  const ListReadResult read = ReadListFile(ui, list, chosen->path, true, choice.merge, clearList);
  if (read.count < 0) {
    // A failed replace ends with a cleared list; a failed merge leaves the list the user meant to
    // keep as it was.
    if (!choice.merge && !read.listKept && clearList) clearList();
    return CommandResult::Failed;
  }
  if (choice.merge) {
    orderMergedList(list, choice.appendSort, primarySortCode, settings);
    ui.setStatus(mergedStatusText(read.count, list.itemCount()));
  } else {
    ui.setStatus(loadedStatusText(list.itemCount()));
  }
  return CommandResult::Done;
}

}  // namespace sonalog
