#include "export/ExportRun.h"

namespace sonalog {

namespace {
// Items between two looks at pending events: often enough to feel responsive, rare enough to
// cost nothing.
constexpr uint64_t kItemsPerEventCheck = 64;
}  // namespace

ExportRun::ExportRun(UserInterface& ui, std::string statusToRestore)
    : ui_(ui), statusToRestore_(std::move(statusToRestore)) {
  ui_.setStatus(kExportingStatus);
  ui_.setBusy(true);
}

ExportRun::~ExportRun() {
  ui_.setBusy(false);
  ui_.setStatus(statusToRestore_);
}

bool ExportRun::itemDone() {
  if (!cancelled_ && ++items_ % kItemsPerEventCheck == 0 && ui_.processEvents()) cancelled_ = true;
  return cancelled_;
}

bool ExportRun::pollCancel() {
  if (!cancelled_ && ui_.processEvents()) cancelled_ = true;
  return cancelled_;
}

void ExportRun::warnHeaderMissing() {
  if (headerWarned_) return;
  headerWarned_ = true;
  ui_.warning(kHeaderMissingText);
}

void ExportRun::warnFooterMissing() {
  if (footerWarned_) return;
  footerWarned_ = true;
  ui_.warning(kFooterMissingText);
}

}  // namespace sonalog
