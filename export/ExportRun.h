#pragma once
// One export run as the user sees it: "Exporting..." in the status line and the busy cursor while
// it lasts, the CANCEL check every 64 items, and the warnings about missing message files, which a
// batch run shows at most once however many files it writes.

#include <string>

#include "platform/UserInterface.h"

namespace sonalog {

enum class WriteStatus { Ok, Failed, Cancelled };

// What a writer reports: the status, the items it wrote, and for XLS the message to show.
struct WriteResult {
  WriteStatus status = WriteStatus::Ok;
  uint32_t itemsWritten = 0;
  std::string message;

  bool ok() const { return status == WriteStatus::Ok; }
};

class ExportRun {
 public:
  // Shows the progress; statusToRestore is the status text put back when the run ends.
  ExportRun(UserInterface& ui, std::string statusToRestore);
  ~ExportRun();
  ExportRun(const ExportRun&) = delete;
  ExportRun& operator=(const ExportRun&) = delete;

  UserInterface& ui() { return ui_; }

  // Counts one item written; after every 64th lets pending events run. True once the user asked
  // to cancel, then and on every later call.
  bool itemDone();
  bool cancelled() const { return cancelled_; }
  // Lets pending events run now (between the files of a batch); true once cancel was asked.
  bool pollCancel();

  void warnHeaderMissing();
  void warnFooterMissing();

 private:
  UserInterface& ui_;
  std::string statusToRestore_;
  uint64_t items_ = 0;
  bool cancelled_ = false;
  bool headerWarned_ = false;
  bool footerWarned_ = false;
};

inline constexpr const char* kExportingStatus = "Exporting...";
inline constexpr const char* kHeaderMissingText =
    "Header file not found,\r\nzero length, or disk error.\r\n\n(will be ignored)";
inline constexpr const char* kFooterMissingText =
    "Footer file not found,\r\nzero length, or disk error.\r\n\n(will be ignored)";

}  // namespace sonalog
