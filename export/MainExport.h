#pragma once
// The main window's Export button and Batch menu bound to its logic (MainUnit): nothing happens
// while another long operation runs, the run marks itself as running and puts back the status text
// the user saw, a written file becomes the "Vie&w ext." target, and the batch's short and long
// styles write into the main window's folder. The window binds its buttons and the caption window
// here.

#include "core/MainUnit.h"
#include "export/BatchExport.h"
#include "export/ExportCommand.h"

namespace sonalog {

class MainExport {
 public:
  // main must outlive this object; the runs talk to the user through main.ui().
  explicit MainExport(MainUnit& main) : main_(main) {}

  // ExportBut; nullopt when a long operation is running (the click is ignored).
  std::optional<ExportCommandResult> ExportButClick(const CaptionAsker& askCaption);
  // MenuSubSingle, MenuSubShort, MenuSubLong of PmenuRecur; nullopt while a long operation runs.
  std::optional<BatchSummary> batchMenuClick(BatchStyle style, const CaptionAsker& askCaption);

  const ExportMemory& memory() const { return memory_; }

 private:
  ExportContext context(const CaptionAsker& askCaption);

  MainUnit& main_;
  ExportMemory memory_;  // the proposed file name lives as long as the window
};

}  // namespace sonalog
