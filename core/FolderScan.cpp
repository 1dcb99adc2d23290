#include "core/FolderScan.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <exception>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/AnalysisQueue.h"
#include "core/ScanDrive.h"
#include "core/Sorting.h"
#include "platform/AsciiCase.h"
#include "platform/Dates.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "settings/Settings.h"

namespace sonalog {

namespace {

constexpr int64_t kBytesPerKB = 1024;
constexpr int64_t kBytesPerMB = 1048576;
// A maximum of this many MB is the "no upper limit" setting.
constexpr int32_t kNoUpperLimitMB = 2048;
// Names this long never match an existing entry: the list keeps only their first 255 bytes.
constexpr size_t kUnmatchableNameBytes = 256;
// The existing-entry rule "Add/update only if different" treats a re-tagged file as unchanged
// within these differences.
constexpr int32_t kSameFramesBelow = 3;
constexpr int32_t kSameSizeKBBelow = 64;
// The final status line loses this many characters when it is too wide.
constexpr size_t kStatusCut = 6;

constexpr char kMp3Extension[] = ".mp3";
constexpr size_t kMp3ExtensionBytes = 4;

bool hasMp3Extension(std::string_view name) { return platform::endsWithAsciiIgnoreCase(name, kMp3Extension); }

void appendAsciiLower(std::string& out, std::string_view s) {
  for (char c : s) out.push_back(platform::asciiLower(c));
}

// The existing-entry key: name, folder and label compared ignoring the case of ASCII letters.
// The separator byte cannot occur in names or paths.
std::string entryKey(const ListItem& item) {
  std::string key;
  key.reserve(item.fileName.size() + item.folder.size() + item.volumeLabel.size() + 2);
  appendAsciiLower(key, item.fileName);
  key.push_back('\0');
  appendAsciiLower(key, item.folder);
  key.push_back('\0');
  appendAsciiLower(key, item.volumeLabel);
  return key;
}

std::string countText(uint32_t n) {
  return std::to_string(n) + (n == 1 ? " item" : " items");
}

constexpr char kPseudoFolderText[] =
    "\r\nis part of the system's own view of itself (like /proc or /sys), not a place of files.\r\n"
    "Choose another folder.";

std::string withTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

struct FolderId {
  uint64_t device;
  uint64_t inode;
  bool operator==(const FolderId&) const = default;
};
struct FolderIdHash {
  size_t operator()(const FolderId& id) const { return std::hash<uint64_t>()(id.inode * 31 + id.device); }
};

class Scan {
 public:
  Scan(ScanMode mode, const ScanTarget& target, const ScanOptions& options, InternalList& list,
       UserInterface& ui, ScanMemory& memory, const ScanHooks& hooks)
      : mode_(mode), target_(target), options_(options), list_(list), ui_(ui), memory_(memory),
        hooks_(hooks) {}

  ScanResult run();

 private:
  enum class WalkEnd { Done, Stopped };

  bool prepare();
  void scanDrives();
  // One drive: the walk from its start folder, then the files folder by folder.
  void scanVolume(const std::string& startFolder, const DriveFacts& drive, bool stayOnVolume);
  WalkEnd walk(bool stayOnVolume, uint64_t device);
  // Whether the filesystem of device (folder lies on it) is a pseudo filesystem; asked once
  // per device and scan.
  bool pseudoDevice(uint64_t device, const std::string& folder);

  // One *.mp3 file as its folder's listing found it, with what can be decided before it is
  // treated: the existing entry depends only on the items present at the start.
  struct FileTask {
    size_t folder = 0;  // index into folders_
    platform::DirEntry entry;
    bool inSizeWindow = false;
    std::optional<uint32_t> match;  // APPEND: the existing entry
    bool analyse = false;           // queued for analysis
  };
  // The files of the collected folders, in order; the analyses run ahead on the queue's threads.
  void treatFiles();
  // Lists one folder's *.mp3 files into tasks, queueing those that will be analysed.
  void listFolder(size_t folder, std::deque<FileTask>& tasks, AnalysisQueue& queue);
  void treatFile(const FileTask& task, AnalysisQueue& queue);
  std::optional<uint32_t> findExisting(const ListItem& item);
  bool pump();
  void finishCompleted();
  void finishCancelled();
  void finishFailed();
  void showStatus(std::string text);

  ScanMode mode_;
  const ScanTarget& target_;
  const ScanOptions& options_;
  InternalList& list_;
  UserInterface& ui_;
  ScanMemory& memory_;
  const ScanHooks& hooks_;

  bool running_ = false;
  bool limitReached_ = false;
  bool driveNotReady_ = false;
  std::unordered_map<uint64_t, bool> pseudoDevices_;
  ScanCounts counts_;
  int32_t today_ = 0;

  // The list as it stood at the start, for a cancelled APPEND.
  uint32_t startCount_ = 0;
  uint8_t startSortCode_ = kSortUnsorted;
  bool startUnsaved_ = false;
  bool backupWritten_ = false;
  platform::TempFile backup_;  // private to this run

  // The folder shown before the scan, and the current volume's label.
  std::string shownFolder_;
  std::string volumeLabel_;

  // Folders collected for the current drive, each with a trailing "/"; entry 0 is the start.
  std::vector<std::string> folders_;
  std::unordered_set<FolderId, FolderIdHash> seenFolders_;

  // Existing entries: key -> index of the first item among those present at the start.
  std::unordered_map<std::string, uint32_t> existing_;
  bool existingIndexed_ = false;

  std::string status_;
};

bool Scan::pump() {
  if (ui_.processEvents()) running_ = false;
  return running_;
}

void Scan::showStatus(std::string text) {
  status_ = std::move(text);
  ui_.setStatus(status_);
}

bool Scan::prepare() {
  shownFolder_ = target_.folder;
  if (mode_ == ScanMode::Append) {
    if (!hooks_.appendConfirmed && !confirmAppend(shownFolder_, memory_, ui_)) return false;
    backupWritten_ = backup_.create(platform::workingFolder()) && writeItemsFile(backup_.path(), list_.items);
  }
  startSortCode_ = list_.sortCode;
  startCount_ = list_.itemCount();
  startUnsaved_ = list_.unsaved;
  if (mode_ == ScanMode::New) {
    list_.clear();
    startCount_ = list_.itemCount();
  }
  return true;
}

ScanResult Scan::run() {
  if (!prepare()) return {ScanOutcome::Declined, {}, {}};
  list_.unsaved = true;
  running_ = true;
  today_ = platform::today();
  memory_.lastFolder = shownFolder_;
  ui_.setBusy(true);
  ScanOutcome outcome = ScanOutcome::Completed;
  try {
    scanDrives();
    if (running_ && !limitReached_) {
      finishCompleted();
      outcome = driveNotReady_ ? ScanOutcome::DriveNotReady : ScanOutcome::Completed;
    } else {
      finishCancelled();
      outcome = ScanOutcome::Cancelled;
    }
  } catch (const std::exception&) {
    finishFailed();
    outcome = ScanOutcome::Failed;
  }
  if (target_.allDrives && hooks_.showFolder) hooks_.showFolder(shownFolder_);
  backup_.remove();
  list_.listName.clear();
  running_ = false;
  ui_.setBusy(false);
  return {outcome, counts_, status_};
}

void Scan::scanDrives() {
  if (!target_.allDrives) {
    const std::string start = withTrailingSlash(target_.folder);
    const auto drive = volumeOf(start, platform::mountedVolumes());
    if (!drive || !platform::listDirectory(start, options_.includeHidden)) {
      ui_.message("Drive not ready or other I/O error!", "disk error", Icon::Error);
      driveNotReady_ = true;
      return;
    }
    if (pseudoDevice(drive->device, start)) {
      ui_.message(target_.folder + kPseudoFolderText, "disk error", Icon::Error);
      driveNotReady_ = true;
      return;
    }
    scanVolume(start, *drive, false);
    return;
  }
  const std::vector<platform::Volume> volumes =
      hooks_.volumes ? hooks_.volumes() : platform::mountedVolumes();
  for (const platform::Volume& volume : volumes) {
    if (!running_ || limitReached_) return;
    const std::string root = withTrailingSlash(volume.mountPoint);
    // A volume that cannot be listed is passed over, like an empty drive bay.
    const auto drive = volumeOf(root, volumes);
    if (!drive || !platform::listDirectory(root, options_.includeHidden)) continue;
    if (hooks_.showFolder) hooks_.showFolder(volume.mountPoint);
    scanVolume(root, *drive, true);
  }
}

void Scan::scanVolume(const std::string& startFolder, const DriveFacts& drive, bool stayOnVolume) {
  showStatus("Processing drive " + drive.mountPoint + "... wait.");
  volumeLabel_ = drive.label;
  memory_.lastSerial = drive.serial;

  folders_.assign(1, startFolder);
  seenFolders_.clear();
  seenFolders_.insert({drive.device, drive.inode});
  if (target_.includeSubfolders || target_.allDrives) {
    if (walk(stayOnVolume, drive.device) == WalkEnd::Stopped) {
      limitReached_ = true;
      return;
    }
  }
  treatFiles();
  folders_.clear();
}

// Depth-first like a recursive walk: a folder's direct subfolders are appended together, then
// each of them is walked in turn, so every folder is followed later by its own subtree. An
// explicit stack keeps deep trees off the call stack.
Scan::WalkEnd Scan::walk(bool stayOnVolume, uint64_t device) {
  struct Range {
    size_t next;
    size_t end;
  };
  std::vector<Range> stack;
  auto listSubfolders = [&](size_t index) -> std::optional<Range> {
    const size_t begin = folders_.size();
    auto entries = platform::listDirectory(folders_[index], options_.includeHidden);
    if (!entries) ++counts_.unreadableFolders;  // said in the final status, never silently lost
    if (entries) {
      std::sort(entries->begin(), entries->end(),
                [](const platform::DirEntry& a, const platform::DirEntry& b) { return a.name < b.name; });
      for (const platform::DirEntry& e : *entries) {
        if (!e.isDirectory) continue;
        if (stayOnVolume && e.device != device) continue;
        if (e.device != device && pseudoDevice(e.device, folders_[index] + e.name)) continue;
        // A folder reached a second time through a link would repeat its files or loop.
        if (!seenFolders_.insert({e.device, e.inode}).second) continue;
        folders_.push_back(folders_[index] + e.name + "/");
        if (folders_.size() >= hooks_.folderLimit) {
          ui_.message("Maximum of 100 000 folders reached.\r\nTry choosing a smaller part of your drive!",
                      "ERROR: too many folders!", Icon::Error);
          return std::nullopt;
        }
      }
    }
    return Range{begin, folders_.size()};
  };
  if (!pump()) return WalkEnd::Done;
  const auto first = listSubfolders(0);
  if (!first) return WalkEnd::Stopped;
  stack.push_back(*first);
  while (!stack.empty()) {
    Range& top = stack.back();
    if (top.next == top.end) {
      stack.pop_back();
      continue;
    }
    const size_t index = top.next++;
    if (!pump()) return WalkEnd::Done;
    const auto children = listSubfolders(index);
    if (!children) return WalkEnd::Stopped;
    if (children->next != children->end) stack.push_back(*children);
  }
  return WalkEnd::Done;
}

bool Scan::pseudoDevice(uint64_t device, const std::string& folder) {
  const auto known = pseudoDevices_.find(device);
  if (known != pseudoDevices_.end()) return known->second;
  const bool pseudo = platform::onPseudoFilesystem(folder);
  pseudoDevices_.emplace(device, pseudo);
  return pseudo;
}

void Scan::treatFiles() {
  // Folders are listed only as far ahead as the analyses need, so that a CANCEL wastes little.
  constexpr size_t kTasksAhead = 256;
  AnalysisQueue queue(options_.analysisMode, options_.analysisThreads);
  std::deque<FileTask> tasks;
  size_t nextFolder = 0;
  while (running_) {
    while (nextFolder < folders_.size() &&
           (tasks.empty() || (queue.pending() < queue.lookahead() && tasks.size() < kTasksAhead)))
      listFolder(nextFolder++, tasks, queue);
    if (tasks.empty()) return;
    const FileTask task = std::move(tasks.front());
    tasks.pop_front();
    if (!pump()) return;
    treatFile(task, queue);
  }
}

void Scan::listFolder(size_t folder, std::deque<FileTask>& tasks, AnalysisQueue& queue) {
  auto entries = platform::listDirectory(folders_[folder], options_.includeHidden);
  if (!entries) return;
  std::sort(entries->begin(), entries->end(),
            [](const platform::DirEntry& a, const platform::DirEntry& b) { return a.name < b.name; });
  for (platform::DirEntry& e : *entries) {
    if (e.isDirectory || !hasMp3Extension(e.name)) continue;
    FileTask task;
    task.folder = folder;
    task.entry = std::move(e);
    const int64_t size = task.entry.size;
    task.inSizeWindow = size >= int64_t{options_.minSizeKB} * kBytesPerKB &&
                        (options_.maxSizeMB >= kNoUpperLimitMB || size <= int64_t{options_.maxSizeMB} * kBytesPerMB);
    if (task.inSizeWindow) {
      const std::string& name = task.entry.name;
      if (mode_ == ScanMode::Append && options_.existingEntries != ExistingEntryRule::AlwaysAdd &&
          name.size() - kMp3ExtensionBytes < kUnmatchableNameBytes) {
        ListItem probe;
        probe.fileName = cutName(name.substr(0, name.size() - kMp3ExtensionBytes), kMaxFileNameBytes);
        probe.folder = platform::stripTrailingSeparator(folders_[folder]);
        probe.volumeLabel = volumeLabel_;
        task.match = findExisting(probe);
      }
      task.analyse = !(task.match && options_.existingEntries == ExistingEntryRule::Skip);
      if (task.analyse) queue.push(folders_[folder] + task.entry.name);
    }
    tasks.push_back(std::move(task));
  }
}

std::optional<uint32_t> Scan::findExisting(const ListItem& item) {
  if (!existingIndexed_) {
    // Only the items present at the start are looked at: items this scan adds never match.
    existing_.reserve(startCount_);
    for (uint32_t i = 0; i < startCount_; ++i) {
      const ListItem& it = list_.items[i];
      if (it.fileName.size() >= kUnmatchableNameBytes) continue;
      existing_.emplace(entryKey(it), i);
    }
    existingIndexed_ = true;
  }
  const auto found = existing_.find(entryKey(item));
  if (found == existing_.end()) return std::nullopt;
  return found->second;
}

void Scan::treatFile(const FileTask& task, AnalysisQueue& queue) {
  if (!task.inSizeWindow) return;
  const std::string& folder = folders_[task.folder];
  const platform::DirEntry& entry = task.entry;
  const int64_t size = entry.size;
  const std::string path = folder + entry.name;
  const std::string rawName = entry.name.substr(0, entry.name.size() - kMp3ExtensionBytes);
  ListItem item;
  item.fileName = cutName(rawName, kMaxFileNameBytes);
  item.folder = platform::stripTrailingSeparator(folder);
  item.volumeLabel = volumeLabel_;
  item.fileDate = entry.mtime > 0 ? platform::dayNumberFromTime(entry.mtime) : 0;
  item.dateAdded = today_;

  const std::string pathStatus = path.substr(0, path.size() - kMp3ExtensionBytes);
  const std::optional<uint32_t> match = task.match;
  if (!task.analyse) {
    ++counts_.ignored;
    ++counts_.processed;
    showStatus(fitPathStatus(pathStatus, ui_));
    return;
  }

  showStatus(fitPathStatus(pathStatus, ui_));
  Mp3AnalysisResult result;
  if (!queue.take(result)) {
    switch (options_.onError) {
      case OnErrorRule::Discard: return;
      case OnErrorRule::Include: break;
      case OnErrorRule::Prompt: {
        const std::string text = "Error processing file:\r\n" + path + "\r\n\n" + "Error message:" + "\r\n" +
                                 result.errorText + "\r\n\n" + "INCLUDE THIS FILE TO THE LIST?" + "\r\n\n" +
                                 "(you can set your options to always include or" + "\r\n" +
                                 "exclude erroneous files and avoid this message)";
        // No is preselected: it leaves the file out and keeps the scan going.
        const Answer a = ui_.ask(text, "failure", Buttons::YesNoCancel, Icon::Question, Answer::No);
        if (a == Answer::Cancel) {
          running_ = false;
          return;
        }
        if (a != Answer::Yes) return;
        break;
      }
    }
  }
  // A failed analysis carries the unknown codes, so an included file never inherits another's.
  storeAnalysis(result, item);
  item.sizeKB = sizeKBFromFileSize(size);

  if (match) {
    ListItem& old = list_.items[*match];
    if (options_.existingEntries == ExistingEntryRule::UpdateIfDifferent &&
        old.stereoMode == item.stereoMode && old.bitrateCode == item.bitrateCode &&
        old.frequencyCode == item.frequencyCode &&
        std::abs(int64_t{old.frames} - item.frames) < kSameFramesBelow &&
        std::abs(int64_t{old.sizeKB} - item.sizeKB) < kSameSizeKBBelow && old.fileDate == item.fileDate) {
      ++counts_.ignored;
      ++counts_.processed;
      return;
    }
    old = std::move(item);
    ++counts_.updated;
    ++counts_.processed;
    return;
  }
  list_.append(std::move(item));
  ++counts_.processed;
}

void Scan::finishCompleted() {
  list_.trim();
  uint8_t code = kSortUnsorted;
  if (options_.sort) {
    showStatus("Sorting... wait.");
    sortItems(list_.items, SortOrder{options_.sortKey, options_.descending, options_.caseSensitive});
    code = options_.sortKey;
  }
  if (options_.descending) code += kSortDescending;
  if (options_.caseSensitive) code += kSortCaseSensitive;
  list_.sortCode = code;

  const uint32_t count = list_.itemCount();
  const uint32_t added = count - startCount_;
  std::string text;
  if (added != 0) text += "Added: " + std::to_string(added) + " of " + std::to_string(counts_.processed) + ".";
  if (counts_.updated != 0) text += " Updated: " + std::to_string(counts_.updated) + ".";
  if (counts_.ignored != 0) text += " Ignored: " + std::to_string(counts_.ignored) + ".";
  const bool nothing = text.empty();
  if (nothing) text = "No mp3's found.";
  if (!(nothing && count == 0)) text += " Total: " + countText(count) + ".";
  if (counts_.unreadableFolders != 0)
    text += " Unreadable folders skipped: " + std::to_string(counts_.unreadableFolders) + ".";
  if (!ui_.statusFits(text) && text.size() > kStatusCut) {
    text.resize(text.size() - kStatusCut);
    text.back() = '.';
  }
  showStatus(text);
}

void Scan::finishCancelled() {
  if (mode_ == ScanMode::New) {
    list_.clear();
    showStatus("Cancelled.");
    return;
  }
  list_.sortCode = startSortCode_;
  list_.unsaved = startUnsaved_;
  std::vector<ListItem> copy;
  if (backupWritten_ && readItemsFile(backup_.path(), copy) && copy.size() == startCount_) {
    list_.items = std::move(copy);
    list_.trim();
    showStatus("Cancelled. " + countText(list_.itemCount()) + " in memory.");
  } else {
    list_.clear();
    showStatus("Backup file error. List cleared.");
  }
}

void Scan::finishFailed() {
  list_.clear();
  list_.sortCode = 0;
  showStatus("Failed. List cleared.");
  ui_.warning("Unknown error. Processing failed.\r\nList had to be erased.");
}

}  // namespace

ScanOptions scanOptionsFrom(const Settings& s) {
  ScanOptions o;
  o.minSizeKB = s.minsizetext;
  o.maxSizeMB = s.maxsizetext;
  o.includeHidden = s.CheckSh;
  o.existingEntries = static_cast<ExistingEntryRule>(s.ComboSkip & 3);
  o.onError = s.erroractioncombo <= 2 ? static_cast<OnErrorRule>(s.erroractioncombo) : OnErrorRule::Prompt;
  o.analysisMode = s.Combopopt == 1 ? AnalysisMode::Slow : AnalysisMode::Fast;
  o.sort = s.CheckSort;
  o.sortKey = s.sortcombo <= 9 ? s.sortcombo : 0;
  o.descending = s.CheckDescend;
  o.caseSensitive = s.CheckCase;
  return o;
}

bool confirmAppend(const std::string& folder, const ScanMemory& memory, UserInterface& ui) {
  if (memory.lastSerial.empty()) return true;
  const auto volume = volumeOf(folder, platform::mountedVolumes());
  const std::string serial = volume ? volume->serial : std::string();
  if (serial != memory.lastSerial ||
      !platform::equalsIgnoreCase(platform::stripTrailingSeparator(folder),
                                  platform::stripTrailingSeparator(memory.lastFolder)))
    return true;
  return ui.ask("You don't seem to have changed neither\r\ndrive nor path. Continue anyway?", "please confirm",
                Buttons::YesNo, Icon::Question) == Answer::Yes;
}

ScanResult runFolderScan(ScanMode mode, const ScanTarget& target, const ScanOptions& options,
                         InternalList& list, UserInterface& ui, ScanMemory& memory,
                         const ScanHooks& hooks) {
  Scan scan(mode, target, options, list, ui, memory, hooks);
  return scan.run();
}

std::string fitPathStatus(std::string text, const UserInterface& ui) {
  while (text.size() > 3 && !ui.statusFits(text)) text = "..." + text.substr(4);
  return text;
}

}  // namespace sonalog
