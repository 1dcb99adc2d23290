#pragma once
// The main window's Import command (ImportBut, "I&mport") bound to its logic (MainUnit): the
// import options window first, then the file dialog and the import, marked as running so the
// other commands wait, with the options stored back into the settings record either way.

#include <functional>
#include <optional>

#include "core/MainUnit.h"
#include "import/ImportUnit.h"
#include "import/ImportTypes.h"

namespace sonalog {

// Whether the text export adds a header or a footer message file: only then can an import strip
// them.
inline bool exportHeaderOrFooterSet(const Settings& s) { return s.CheckHead || s.CheckFoot; }

class MainImport {
 public:
  // main must outlive this object; the import talks to the user through main.ui().
  explicit MainImport(MainUnit& main) : main_(main) {}
  // Labels for the volume-label options; default: the mounted volumes.
  void setVolumeSource(VolumeSource volumes) { volumes_ = std::move(volumes); }

  // Shows the import options window over an opened form and returns once the window has closed
  // (form.closed()); the options it edits are the form's. Unset: the stored options stand as if
  // GO was pressed (the command line).
  using OptionsWindowFn = std::function<void(ImportForm& form, const ImportSettings& options)>;

  // ImportBut: nullopt when a long operation runs (the click is ignored); else whether a list was
  // imported.
  std::optional<bool> ImportButClick(const OptionsWindowFn& optionsWindow);

 private:
  MainUnit& main_;
  VolumeSource volumes_;
};

}  // namespace sonalog
