#pragma once
// The Import command: reads a chosen file into the internal list by the options of the import
// options window - an exported text or HTML list through detection, line analysis and item
// building, or an m3u playlist or other text list through their own readers. The list ends as
// either the imported one or exactly the one before.

#include <string>
#include <vector>

#include "core/ListItem.h"
#include "import/FieldParsers.h"
#include "import/ImportTypes.h"
#include "import/LineAnalysis.h"
#include "platform/Files.h"
#include "platform/UserInterface.h"

namespace sonalog {

class ImportCommand {
 public:
  ImportCommand(InternalList& list, ImportSettings& settings, UserInterface& ui);
  // Labels for the volume-label options; default: the mounted volumes.
  void setVolumeSource(VolumeSource volumes) { volumes_ = std::move(volumes); }

  // The command after the options window closed: nothing without GO; else the open dialog in
  // lastImportFolder, then importFile. True when the import succeeded.
  bool run(bool goPressed);
  // Imports one file by the settings' file type. True when the import succeeded.
  bool importFile(const std::string& path);

  // The open dialog of a file type.
  static FileDialog openDialog(ImportFileType type, const std::string& folder);

 private:
  enum class Outcome { Succeeded, Failed, Cancelled, Unexpected };

  bool importOther(const std::string& path);
  bool importExported(const std::string& path);
  Outcome runExported(const std::string& path, ImportFrame& frame);
  Outcome itemPass(const ImportFrame& frame, const FieldPlan& plan);
  // Reads one line into a new item; false with errorText_ set.
  bool addItem(const std::string& line, size_t length, const ImportFrame& frame, const FieldPlan& plan,
               int32_t today, std::vector<std::string>& fields);
  Outcome finish(const ImportFrame& frame);
  // The steps of finish over the imported items from index first on.
  Outcome calculateMissing(size_t first, bool sizeKnown);
  Outcome addVolumeLabels(size_t first);
  Outcome examineDates(const ImportFrame& frame, size_t first);
  // Lets pending events run every so many items; true when the user cancelled.
  bool eventsCancel(size_t done);
  bool writeBackup();
  void restore();
  void applyItems(std::vector<ListItem> items);
  void dropTemporaryFiles();
  std::vector<platform::Volume> volumes() const;

  InternalList& list_;
  ImportSettings& settings_;
  UserInterface& ui_;
  VolumeSource volumes_;

  // Private to this run: two imports at once never share them.
  platform::TempFile linesFile_;
  platform::TempFile backupFile_;
  std::string linesPath_;
  std::string backupPath_;
  std::string errorText_;
  bool backupWritten_ = false;
  bool restored_ = false;
  size_t oldCount_ = 0;             // items before the import
  std::vector<ListItem> setAside_;  // the old items while a replacing import runs
  size_t imported_ = 0;
  std::vector<LineValues> lineValues_;  // per imported item: frequency seen and date parts
  DatePartRoles dateRoles_{};
};

}  // namespace sonalog
