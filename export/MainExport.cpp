#include "export/MainExport.h"

namespace sonalog {

ExportContext MainExport::context(const CaptionAsker& askCaption) {
  return ExportContext{main_.list(), main_.settings(), main_.ui(), memory_, askCaption, main_.status()};
}

std::optional<ExportCommandResult> MainExport::ExportButClick(const CaptionAsker& askCaption) {
  if (main_.busy()) return std::nullopt;
  const MainUnit::ActivityGuard running(main_, MainActivity::Export);
  ExportContext c = context(askCaption);
  const ExportCommandResult result = runExport(c);
  if (result == ExportCommandResult::Written) main_.setLastExport(memory_.viewTarget);
  return result;
}

std::optional<BatchSummary> MainExport::batchMenuClick(BatchStyle style, const CaptionAsker& askCaption) {
  if (main_.busy()) return std::nullopt;
  const MainUnit::ActivityGuard running(main_, MainActivity::Export);
  ExportContext c = context(askCaption);
  return runBatchExport(c, style, main_.folder());
}

}  // namespace sonalog
