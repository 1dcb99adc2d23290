#include "import/MainImport.h"

#include "import/ImportCommand.h"

namespace sonalog {

std::optional<bool> MainImport::ImportButClick(const OptionsWindowFn& optionsWindow) {
  if (main_.busy()) return std::nullopt;
  Settings& settings = main_.settings();
  ImportSettings options = importSettingsFrom(settings);
  ImportForm form;
  form.open(options, main_.list().items.empty(), exportHeaderOrFooterSet(settings));
  bool go = true;
  if (optionsWindow) {
    optionsWindow(form, options);
    go = form.goPressed();
  }
  // A cancelled window has already put its options back; GO keeps what the user chose.
  storeImportSettings(options, settings);
  if (!go) return false;

  bool imported = false;
  {
    const MainUnit::ActivityGuard running(main_, MainActivity::Import);
    ImportCommand command(main_.list(), options, main_.ui());
    if (volumes_) command.setVolumeSource(volumes_);
    imported = command.run(true);
  }
  storeImportSettings(options, settings);  // the folder of the chosen file
  // An imported list no longer comes from the last scanned drive.
  if (imported) main_.scanMemory().lastSerial.clear();
  return imported;
}

}  // namespace sonalog
