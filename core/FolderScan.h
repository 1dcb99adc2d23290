#pragma once
// The folder scan behind NEW and APPEND: collects a folder tree (or every mounted volume), analyses
// each mp3 file within the size window into a list item, and sorts the list at the end. It runs on
// the caller's thread and lets the user interface run between folders and files, where CANCEL
// (UserInterface::processEvents() returning true) stops it.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/ListItem.h"
#include "core/Mp3Analysis.h"
#include "platform/UserInterface.h"
#include "platform/Volumes.h"

namespace sonalog {

struct Settings;

enum class ScanMode { New, Append };

// "Upon encountering existing entries:" (ComboSkip), in the order of its list.
enum class ExistingEntryRule : uint8_t {
  AlwaysAdd = 0,          // "Always add (don't examine) (fast)"
  UpdateIfDifferent = 1,  // "Add/update only if different"
  Update = 2,             // "Update existing entries (write new info)"
  Skip = 3,               // "Skip existing entries (keep old info)"
};

// "On error:" (erroractioncombo), in the order of its list.
enum class OnErrorRule : uint8_t { Discard = 0, Prompt = 1, Include = 2 };

struct ScanOptions {
  int32_t minSizeKB = 10;     // minsizetext
  int32_t maxSizeMB = 2048;   // maxsizetext; 2048 or more: no upper limit
  bool includeHidden = false; // CheckSh: hidden files and folders too
  ExistingEntryRule existingEntries = ExistingEntryRule::AlwaysAdd;
  OnErrorRule onError = OnErrorRule::Prompt;
  AnalysisMode analysisMode = AnalysisMode::Fast;  // Combopopt
  bool sort = true;           // CheckSort
  uint8_t sortKey = 0;        // sortcombo, 0..9
  bool descending = false;    // CheckDescend
  bool caseSensitive = false; // CheckCase
  // Threads that analyse files: 0 one per core, 1 only the scanning thread. Results, texts and
  // questions come in the same order whatever the count.
  unsigned analysisThreads = 0;
};

// The scan's options as the settings record holds them.
ScanOptions scanOptionsFrom(const Settings& settings);

// What the main window's folder controls say.
struct ScanTarget {
  std::string folder;              // the folder shown in Dir1
  bool includeSubfolders = true;   // Incbox
  bool allDrives = false;          // sadcheck: every mounted volume, one after another
};

// Kept from one scan to the next for APPEND's "same drive and folder again?" question.
struct ScanMemory {
  std::string lastFolder;
  std::string lastSerial;  // 8 hex digits; empty when forgotten (a load forgets it)
};

enum class ScanOutcome {
  Declined,       // a question before the scan was answered No; nothing changed
  Completed,
  DriveNotReady,  // the folder could not be listed; reported and ended like a completed scan
  Cancelled,      // CANCEL, Cancel in the error prompt, or the folder limit; the list restored
  Failed,         // an unexpected error; the list was cleared
};

struct ScanCounts {
  uint32_t processed = 0;  // files that reached the existing-entry test or the analysis and stayed
  uint32_t updated = 0;
  uint32_t ignored = 0;
  uint32_t unreadableFolders = 0;  // subfolders that could not be listed and were passed over
};

struct ScanResult {
  ScanOutcome outcome = ScanOutcome::Completed;
  ScanCounts counts;
  std::string status;  // the final status text, as shown
};

// Hooks into the window that runs the scan. Every hook is optional.
struct ScanHooks {
  // With "Search all drives": the folder list shows this folder (each volume's root in turn,
  // then the folder it showed before the scan).
  std::function<void(const std::string&)> showFolder;
  // The volumes "Search all drives" walks; the mounted volumes when unset.
  std::function<std::vector<platform::Volume>()> volumes;
  // Most folders one drive's walk collects, the start folder included.
  size_t folderLimit = 100000;
  // The caller already asked APPEND's "same drive and folder again?" question (confirmAppend).
  bool appendConfirmed = false;
};

inline constexpr char kMainTempFile[] = "main.(file).tmp";

// APPEND from the drive and folder of the last scan asks whether to go on; true when the scan may
// run. A window asks before the scan counts as running, so that CANCEL does not show meanwhile.
bool confirmAppend(const std::string& folder, const ScanMemory& memory, UserInterface& ui);

// Runs one NEW or APPEND scan into list. Every message, question and status text goes through ui;
// the list's unsaved flag, sortCode and listName follow the scan's rules.
ScanResult runFolderScan(ScanMode mode, const ScanTarget& target, const ScanOptions& options,
                         InternalList& list, UserInterface& ui, ScanMemory& memory,
                         const ScanHooks& hooks = {});

// The status line's text for a file being analysed: its path without ".mp3"; while it does not
// fit, its first four characters become "..." so that the tail stays visible.
std::string fitPathStatus(std::string text, const UserInterface& ui);

}  // namespace sonalog
