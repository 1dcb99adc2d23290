#pragma once
// The main window's Batch command (ButBatch, "Batc&h"): the internal list exported as one file per
// folder, each holding only that folder's items, either into each folder under one chosen name or
// all into the main window's folder, named after the folders.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/ExportCommand.h"

namespace sonalog {

enum class BatchStyle {
  EachFolder,  // MenuSubSingle: the chosen name in every folder
  ShortNames,  // MenuSubShort: the main folder, named after each folder's last component
  LongNames,   // MenuSubLong: the main folder, named after each folder's whole path
};

// The popup menu's items (PmenuRecur).
struct BatchMenuItem {
  const char* name;
  const char* caption;
  BatchStyle style;
};
inline constexpr BatchMenuItem kBatchMenu[] = {
    {"MenuSubSingle", "Create a list in each subfolder (prompts for single filename)", BatchStyle::EachFolder},
    {"MenuSubShort", "Create a file for each subfolder (in the root folder, short style, no prompt)",
     BatchStyle::ShortNames},
    {"MenuSubLong", "Create a file for each subfolder (in the root folder, long style, no prompt)",
     BatchStyle::LongNames},
};

inline constexpr size_t kMaxBatchFolders = 100000;
inline constexpr const char* kBatchDialogTitle = "CHOOSE FILENAME (path is ignored!)";
inline constexpr const char* kTooManyFoldersText = "Too many folders to process. 100 000 max.";
inline constexpr const char* kBatchSummaryCaption = "multi-folder export";
inline constexpr const char* kOverwrittenText =
    "Some files were overwritten.\r\n\nBeware! One of the possible reasons is having\r\n"
    "identically named subfolders in different folders.";

// The distinct folders of a list in order of first appearance, compared ignoring ASCII case, with
// the indices of each folder's items. The first item's folder is always entry 0; other items
// without a folder belong to no entry. nullopt when there would be more than maxFolders.
struct FolderTable {
  std::vector<std::string> folders;
  std::vector<std::vector<uint32_t>> items;  // per folder, in list order
};
std::optional<FolderTable> buildFolderTable(const std::vector<ListItem>& items, size_t maxFolders = kMaxBatchFolders);

// A folder that can be named: a Windows folder with a drive ("c:", "c:\...") or an absolute POSIX
// folder. Relative and network folders are skipped.
bool batchFolderUsable(std::string_view folder);
// "rock" for c:\music\rock or /music/rock; "_ROOT" for a drive root or "/".
std::string shortFolderName(std::string_view folder);
// "music.rock" for c:\music\rock or /music/rock; "_ROOT" for a drive root or "/".
std::string longFolderName(std::string_view folder);

struct BatchSummary {
  bool ran = false;        // false when the command ended before writing (or was cancelled)
  size_t created = 0;
  size_t notWritten = 0;
  bool overwrote = false;  // an earlier file was replaced
};

// Runs one of the menu's commands. mainFolder is the main window's current folder (the short and
// long styles write there).
BatchSummary runBatchExport(ExportContext& context, BatchStyle style, const std::string& mainFolder);

// "3 files created." with the count of files that could not be written on a second line.
std::string batchSummaryText(const BatchSummary& summary);

}  // namespace sonalog
