#include "export/BatchExport.h"

#include <fmt/format.h>

#include <unordered_map>

#include "export/ExportFile.h"
#include "export/HtmlWriter.h"
#include "export/XlsWriter.h"
#include "platform/AsciiCase.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace sonalog {

namespace {

constexpr const char* kRootName = "_ROOT";

bool isPosixFolder(std::string_view folder) { return !folder.empty() && folder.front() == '/'; }

// Generated names must stay one file name in the target folder.
std::string safeFileName(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c == '/' || c == '\0') c = '_';
  return out;
}

std::string_view withoutTrailingSeparators(std::string_view folder, char separator) {
  while (folder.size() > 1 && folder.back() == separator) folder.remove_suffix(1);
  return folder;
}

// The caption rows of a batch table: the folder (ComboCap 1 and 2), else the typed caption
// (ComboCap 3); every file carries its title row as a single export does.
HtmlPage batchPage(const ExportOptions& options, const Settings& settings, std::string_view folder, uint8_t sortCode) {
  HtmlPage page = HtmlPage::forFolder(folder, sortCode);
  if (options.type != ExportType::HtmlTable) return page;
  if (options.captionChoice == kCaptionFromSortedList || options.captionChoice == kCaptionFromListElseInput) {
    page.captionMode = CaptionMode::Typed;
    page.caption = std::string(options.batchFullPath ? folder : lastFolderComponent(folder));
  } else if (options.captionChoice == kCaptionAlwaysInput && !settings.lastCaption.empty()) {
    page.captionMode = CaptionMode::Typed;
    page.caption = settings.lastCaption;
  }
  return page;
}

}  // namespace

std::optional<FolderTable> buildFolderTable(const std::vector<ListItem>& items, size_t maxFolders) {
  FolderTable table;
  std::unordered_map<std::string, uint32_t> index;
  for (size_t i = 0; i < items.size(); ++i) {
    const std::string& folder = items[i].folder;
    if (folder.empty() && i != 0) continue;
    auto [at, added] = index.try_emplace(platform::asciiLowerCopy(folder), static_cast<uint32_t>(table.folders.size()));
    if (added) {
      if (table.folders.size() == maxFolders) return std::nullopt;
      table.folders.push_back(folder);
      table.items.emplace_back();
    }
    if (!folder.empty()) table.items[at->second].push_back(static_cast<uint32_t>(i));
  }
  return table;
}

bool batchFolderUsable(std::string_view folder) {
  if (isPosixFolder(folder)) return true;
  if (folder.size() <= 1) return false;
  const size_t colon = folder.find(':', 1);
  if (colon == std::string_view::npos) return false;
  return colon == folder.size() - 1 || folder.find('\\', 1) != std::string_view::npos;
}

std::string shortFolderName(std::string_view folder) {
  const char separator = isPosixFolder(folder) ? '/' : '\\';
  folder = withoutTrailingSeparators(folder, separator);
  const size_t at = folder.rfind(separator);
  if (at == std::string_view::npos || at + 1 == folder.size()) return kRootName;  // "c:" or "/"
  return safeFileName(folder.substr(at + 1));
}

std::string longFolderName(std::string_view folder) {
  std::string name;
  if (isPosixFolder(folder)) {
    name = folder.substr(1);
    for (char& c : name)
      if (c == '/') c = '.';
  } else {
    const size_t colon = folder.find(':');
    if (colon != std::string_view::npos) folder.remove_prefix(colon + 1);
    if (!folder.empty() && folder.front() == '\\') folder.remove_prefix(1);
    name = folder;
    for (char& c : name)
      if (c == '\\') c = '.';
  }
  if (!name.empty() && name.front() == '.') name.erase(0, 1);
  if (!name.empty() && name.back() == '.') name.pop_back();
  return name.empty() ? std::string(kRootName) : safeFileName(name);
}

std::string batchSummaryText(const BatchSummary& summary) {
  std::string text = fmt::format("{} files created.", summary.created);
  if (summary.notWritten > 0)
    text += fmt::format("\r\n{} files could not be written (probably invalid path).", summary.notWritten);
  return text;
}

namespace {

// The one file name written in every folder, and the file type its extension confirms; false
// when the user cancelled.
bool chooseFileName(ExportContext& c, ExportType configured, ExportType& type, std::string& name) {
  FileDialog dialog = exportSaveDialog(c, kBatchDialogTitle, configured);
  // Only the name counts: the files written are the folders' own, reported after the run.
  dialog.askBeforeReplacing = false;
  const std::optional<FileDialogResult> chosen = c.ui.chooseSaveFile(dialog);
  if (!chosen) return false;
  name = platform::fileNameOf(chosen->path);
  if (name.empty()) return false;
  const std::optional<ExportType> confirmed = confirmTypeForExtension(c.ui, configured, name);
  if (!confirmed) return false;
  type = *confirmed;
  return true;
}

// The file a folder's items go to: the chosen name in the folder itself, or a file named after
// the folder in the main folder.
std::string batchTarget(BatchStyle style, const std::string& folder, const std::string& chosenName,
                        const std::string& mainFolder, const std::string& extension) {
  if (style == BatchStyle::EachFolder) return platform::joinPath(folder, chosenName);
  const std::string name = style == BatchStyle::ShortNames ? shortFolderName(folder) : longFolderName(folder);
  return platform::joinPath(mainFolder, name + "." + extension);
}

}  // namespace

BatchSummary runBatchExport(ExportContext& c, BatchStyle style, const std::string& mainFolder) {
  BatchSummary summary;
  if (c.list.items.empty()) {
    c.ui.warning(kNoItemsText);
    return summary;
  }
  const ExportType configured = exportOptionsFrom(c.settings).type;
  if (configured == ExportType::HtmlTable && c.settings.ComboCap == kCaptionAlwaysInput && !requestCaption(c))
    return summary;

  ExportType type = configured;
  std::string chosenName;
  if (style == BatchStyle::EachFolder && !chooseFileName(c, configured, type, chosenName)) return summary;

  const std::optional<FolderTable> table = buildFolderTable(c.list.items);
  if (!table) {
    c.ui.warning(kTooManyFoldersText);
    return summary;
  }

  noteExportInSettings(c.settings, type);
  ExportOptions options = exportOptionsFrom(c.settings);
  options.type = type;
  const std::string extension = defaultExtension(type);
  bool tooLargeShown = false;
  {
    ExportRun run(c.ui, c.status);
    for (size_t f = 0; f < table->folders.size(); ++f) {
      const std::string& folder = table->folders[f];
      if (!batchFolderUsable(folder)) continue;
      // A folder from a Windows list names no place on this system.
      if (style == BatchStyle::EachFolder && !isPosixFolder(folder)) {
        ++summary.notWritten;
        continue;
      }
      const std::string target = batchTarget(style, folder, chosenName, mainFolder, extension);
      const bool existed = platform::fileExists(target);
      const ItemView items(c.list.items, table->items[f]);
      const ExportFileResult result =
          writeExportFile(target, type, items, options, batchPage(options, c.settings, folder, c.list.sortCode), run,
                          /*keepEmpty=*/false);
      if (result.outcome == FileOutcome::Cancelled || run.pollCancel()) return summary;
      if (result.outcome != FileOutcome::Written) {
        ++summary.notWritten;
        if (type == ExportType::Xls && result.write.message == kXlsTooLargeText && !tooLargeShown) {
          tooLargeShown = true;
          c.ui.warning(kXlsTooLargeText);
        }
        continue;
      }
      if (result.write.itemsWritten > 0) {
        ++summary.created;
        summary.overwrote = summary.overwrote || existed;
      }
    }
  }
  summary.ran = true;
  c.ui.message(batchSummaryText(summary), kBatchSummaryCaption,
               summary.notWritten > 0 ? Icon::Exclamation : Icon::Information);
  if (summary.overwrote) c.ui.warning(kOverwrittenText);
  return summary;
}

}  // namespace sonalog
