#include "export/ExportCommand.h"

#include <algorithm>
#include <filesystem>

#include "export/ExportFile.h"
#include "export/HtmlWriter.h"
#include "export/M3uWriter.h"
#include "export/TextWriter.h"
#include "export/XlsWriter.h"
#include "platform/AsciiCase.h"
#include "platform/Paths.h"

namespace sonalog {

namespace {

// The words for the configured type in the extension question.
const char* typeWords(ExportType type) {
  switch (type) {
    case ExportType::Text: return "a text file";
    case ExportType::PlainHtml:
    case ExportType::HtmlTable: return "an html file";
    case ExportType::Xls: return "an excel file";
    case ExportType::M3u: return "an m3u file";
  }
  return "a text file";
}

// The save dialogs' filter list: text, HTML, Excel, m3u, all files.
std::vector<FileFilter> exportFilters() {
  return {{"Txt files", {"*.txt"}},
          {"Html files", {"*.html", "*.htm"}},
          {"Excel files", {"*.xls"}},
          {"mp3 URL files (m3u)", {"*.m3u"}},
          {"All files", {"*.*"}}};
}

// The filter preselected for a type, as an index into exportFilters().
int exportFilterIndex(ExportType type) {
  switch (type) {
    case ExportType::Text: return 0;
    case ExportType::PlainHtml:
    case ExportType::HtmlTable: return 1;
    case ExportType::Xls: return 2;
    case ExportType::M3u: return 3;
  }
  return 0;
}

}  // namespace

FileDialog exportSaveDialog(const ExportContext& c, const char* title, ExportType configured) {
  FileDialog dialog;
  dialog.title = title;
  dialog.folder = c.settings.exportFolder;
  dialog.fileName = c.memory.lastFileName;
  dialog.filters = exportFilters();
  dialog.filterIndex = exportFilterIndex(configured);
  dialog.defaultExtension = defaultExtension(configured);
  return dialog;
}

bool captionPromptNeeded(ExportType type, uint8_t captionChoice, uint8_t sortCode) {
  if (type != ExportType::HtmlTable) return false;
  if (captionChoice == kCaptionAlwaysInput) return true;
  const uint8_t key = sortCode & kSortKeyMask;
  return captionChoice == kCaptionFromListElseInput && key != 7 && key != 9;
}

bool requestCaption(ExportContext& context) {
  CaptionRequest request(context.settings);
  if (context.askCaption) return context.askCaption(request);
  request.accept(request.presetText(), request.rememberChecked());
  return true;
}

std::string fileExtension(std::string_view path) {
  const std::string name = platform::fileNameOf(path);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return {};
  return platform::asciiLowerCopy(std::string_view(name).substr(dot + 1));
}

std::optional<ExportType> confirmTypeForExtension(UserInterface& ui, ExportType configured, std::string_view path) {
  const std::string ext = fileExtension(path);
  const char* under = nullptr;
  const char* recommended = nullptr;
  ExportType switchTo = configured;
  if (ext == "txt" && configured != ExportType::Text) {
    under = " under txt filename.";
    recommended = "NO = save as text (recommended)";
    switchTo = ExportType::Text;
  } else if ((ext == "html" || ext == "htm") && configured != ExportType::PlainHtml &&
             configured != ExportType::HtmlTable) {
    under = " under html filename.";
    recommended = "NO = save as html table (recommended)";
    switchTo = ExportType::HtmlTable;
  } else if (ext == "xls" && configured != ExportType::Xls) {
    under = " under xls filename.";
    recommended = "NO = save as xls (recommended)";
    switchTo = ExportType::Xls;
  } else if (ext == "m3u" && configured != ExportType::M3u) {
    under = " under m3u filename.";
    recommended = "NO = save as m3u (recommended)";
    switchTo = ExportType::M3u;
  } else {
    return configured;
  }
  const std::string text = std::string("You chose to save ") + typeWords(configured) + under + "\r\n\n" +
                           "YES = that's what I want to do" + "\r\n" + recommended;
  switch (ui.ask(text, "Warning!", Buttons::YesNoCancel, Icon::Exclamation, Answer::No)) {
    case Answer::Yes: return configured;
    case Answer::No: return switchTo;
    default: return std::nullopt;
  }
}

void noteExportInSettings(Settings& settings, ExportType type) {
  if (type == ExportType::Text && settings.AddHeaderCheck) settings.delimiter = kDelimiterTabs;
  if (type == ExportType::PlainHtml || type == ExportType::HtmlTable) {
    if (settings.tableFont.name.empty()) settings.tableFont.name = "Courier New";
    if (settings.tableFont.size == 0) settings.tableFont.size = 1;
  }
}

ExportCommandResult runExport(ExportContext& c) {
  if (c.list.items.empty()) {
    c.ui.warning(kNoItemsText);
    return ExportCommandResult::NothingToExport;
  }
  const ExportType configured = exportOptionsFrom(c.settings).type;
  if (captionPromptNeeded(configured, c.settings.ComboCap, c.list.sortCode) && !requestCaption(c))
    return ExportCommandResult::Abandoned;

  const std::optional<FileDialogResult> chosen =
      c.ui.chooseSaveFile(exportSaveDialog(c, kExportDialogTitle, configured));
  if (!chosen || chosen->path.empty()) return ExportCommandResult::Abandoned;
  const std::string& path = chosen->path;
  const std::optional<ExportType> type = confirmTypeForExtension(c.ui, configured, path);
  if (!type) return ExportCommandResult::Abandoned;

  c.settings.exportFolder = platform::folderOf(path);
  noteExportInSettings(c.settings, *type);
  ExportOptions options = exportOptionsFrom(c.settings);
  options.type = *type;
  HtmlPage page;
  page.sortCode = c.list.sortCode;
  if (*type == ExportType::HtmlTable) {
    page.captionMode = chooseCaptionMode(options.captionChoice, c.list.sortCode, c.settings.lastCaption);
    page.caption = c.settings.lastCaption;
  }

  ExportFileResult result;
  {
    ExportRun run(c.ui, c.status);
    result = writeExportFile(path, *type, ItemView(c.list.items), options, page, run);
  }

  switch (result.outcome) {
    case FileOutcome::Written: break;
    case FileOutcome::Cancelled: c.ui.warning(kExportCancelledText); return ExportCommandResult::Cancelled;
    case FileOutcome::OpenFailed:
    case FileOutcome::WriteFailed:
      if (*type == ExportType::Xls)
        c.ui.warning(result.write.message.empty() ? kXlsFailedText : result.write.message);
      else if (*type == ExportType::M3u && result.outcome == FileOutcome::WriteFailed)
        c.ui.warning(kM3uDiskErrorText);
      else
        c.ui.warning(kDiskErrorText);
      return ExportCommandResult::Failed;
  }
  if (*type == ExportType::Text && result.write.itemsWritten < c.list.items.size())
    c.ui.warning(textLineBreakText(c.list.items.size() - result.write.itemsWritten));
  if (*type == ExportType::M3u) {
    const size_t unsafe = static_cast<size_t>(std::count_if(c.list.items.begin(), c.list.items.end(), [](const ListItem& i) {
      return !i.fileName.empty() && !i.folder.empty() && breaksM3uLines(i);
    }));
    if (unsafe > 0) c.ui.warning(m3uLineBreakText(unsafe));
    if (result.write.itemsWritten + unsafe < c.list.items.size())
      c.ui.warning(m3uSkippedText(c.list.items.size() - result.write.itemsWritten - unsafe));
  }
  c.memory.viewTarget = path;
  c.memory.lastFileName = platform::fileNameOf(path);
  return ExportCommandResult::Written;
}

}  // namespace sonalog
