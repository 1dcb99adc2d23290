#pragma once
// The main window's Export command (ExportBut, "E&xport"): the whole internal list into one file
// of the configured type, through the caption window when a table caption is to be typed, the save
// dialog and the questions about an extension that does not fit the type.

#include <optional>
#include <string>
#include <vector>

#include "core/ListItem.h"
#include "export/CaptionRequest.h"
#include "export/ExportOptions.h"
#include "platform/UserInterface.h"
#include "settings/Settings.h"

namespace sonalog {

// What the main window remembers between exports; none of it is stored in the configuration.
struct ExportMemory {
  std::string lastFileName;  // proposed by the next export dialog
  std::string viewTarget;    // the file last exported, opened by "Vie&w ext." (ExtViewBut); empty: disabled
};

// Everything a run of Export or Batch works with. The caller has made sure that no scan or other
// long operation is running.
struct ExportContext {
  const InternalList& list;
  Settings& settings;  // remembered folder, caption and delimiter change here
  UserInterface& ui;
  ExportMemory& memory;
  CaptionAsker askCaption;  // the caption window; unset: OK on the preset text
  std::string status;       // the status text to put back after the run
};

enum class ExportCommandResult {
  Written,
  NothingToExport,  // "No items to export!"
  Abandoned,        // the user cancelled the caption window, the dialog or a question
  Failed,           // the message has been shown
  Cancelled,        // CANCEL during the run; any earlier file is untouched
};

inline constexpr const char* kNoItemsText = "No items to export!";
inline constexpr const char* kDiskErrorText = "Disk error!";
inline constexpr const char* kExportCancelledText = "Export cancelled; the file was not written.";
inline constexpr const char* kExportDialogTitle = " - EXPORT THE LIST AS - ";

// The export's save dialog titled title: in the export folder, with the last file name and the
// filter of the configured type.
FileDialog exportSaveDialog(const ExportContext& c, const char* title, ExportType configured);

// Whether the HTML table's caption must be typed before the dialog: caption choice 3, or 2 on a
// list that is not sorted by path or volume label.
bool captionPromptNeeded(ExportType type, uint8_t captionChoice, uint8_t sortCode);
// Opens the caption window (or takes its preset text when no window is bound); false when the user
// cancelled it.
bool requestCaption(ExportContext& context);

// The lower-case text after the last "." of a path's file name ("" when there is none).
std::string fileExtension(std::string_view path);
// Asks about an extension that another type owns ("You chose to save an excel file under txt
// filename. ..."): Yes keeps the configured type, No switches to the extension's type, Cancel
// gives nullopt. Other extensions keep the configured type without a question.
std::optional<ExportType> confirmTypeForExtension(UserInterface& ui, ExportType configured, std::string_view path);

// Brings the settings in line with what a run of this type does to them: a text export with the
// title row makes tabs the stored delimiter, and an HTML export stores its font corrections.
void noteExportInSettings(Settings& settings, ExportType type);

ExportCommandResult runExport(ExportContext& context);

}  // namespace sonalog
