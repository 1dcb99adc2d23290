#pragma once
// The import options window (TImportForm) without widgets: which options apply to which file
// type, the strip option only while the text export has a header or footer file to strip, and
// the options as they were at opening put back when the window closes without GO. Also the
// exchange between the settings record and the import's own option set.

#include "import/ImportTypes.h"
#include "settings/Settings.h"

namespace sonalog {

// The import's options and the main options it reads, taken from the settings record.
ImportSettings importSettingsFrom(const Settings& s);
// Stores back what the options window or an import changed.
void storeImportSettings(const ImportSettings& in, Settings& s);

class ImportForm {
 public:
  enum class Check { Append, Mirc, CalculateMissing, ReadLabels, Strip };

  // Opening: GO not pressed, the options copied aside. listEmpty decides whether append can be
  // chosen; headerOrFooter whether the text export has a header or footer file set.
  void open(ImportSettings& settings, bool listEmpty, bool headerOrFooter);

  bool enabled(Check c) const;
  // Whether the check box shows checked (append shows unchecked while it cannot be chosen).
  bool checked(Check c) const;
  // daRadio and dsRadio (and their note) are active, not grey.
  bool dateOptionsEnabled() const { return type() == ImportFileType::ExportedList; }

  void fileTypeClick(ImportFileType type);
  // A click on a check box or its label; a disabled box is left alone.
  void checkClick(Check c);
  void daRadioClick(uint8_t item);
  void dsRadioClick(uint8_t item);
  // H, C, V and X toggle strip, calculate, labels and "!user" lines; Escape cancels.
  void keyPress(char key);
  // The timer re-applies the strip rule with the export's current header and footer settings.
  void timerTick(bool headerOrFooter);

  void go();
  // Cancel, Escape, or the window losing the focus without GO: the options go back.
  void cancel();
  bool goPressed() const { return goPressed_; }
  bool closed() const { return closed_; }

 private:
  ImportFileType type() const { return settings_->fileType; }
  void applyStripRule();
  bool& flag(Check c) const;

  ImportSettings* settings_ = nullptr;
  ImportSettings copy_;
  bool listEmpty_ = true;
  bool headerOrFooter_ = false;
  bool goPressed_ = false;
  bool closed_ = false;
};

}  // namespace sonalog
