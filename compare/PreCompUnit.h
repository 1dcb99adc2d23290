#pragma once
// The compare options window's logic (TPreCompForm) without widgets: which external list and
// output file are acceptable, their marks and labels, the normalised stored values, and when GO
// is enabled. The window binds its controls to this state and calls the handlers; the command
// line uses the same rules.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "compare/CompareAction.h"
#include "compare/CompareOptions.h"
#include "platform/UserInterface.h"
#include "settings/Settings.h"

namespace sonalog {

// The coloured mark of a file button: not chosen or not acceptable, acceptable, acceptable and
// the file exists (it will be replaced; output only).
enum class FileMark : uint8_t { Red, Green, Yellow };

// The stored values as the window normalises them when it opens.
void normalizeCompareSettings(Settings& settings);
// A run's settings from the (normalised) settings record.
CompareSettings compareSettingsOf(const Settings& settings);

// An input path is acceptable for any text list, or for a list file when its name is longer
// than 5 bytes and ends with ".snlg" (any case).
bool inputAcceptable(std::string_view path, uint8_t compareWith);
// The kind of an output name: a list file when it is longer than 5 bytes and ends with ".snlg".
OutputKind outputKindOfName(std::string_view path);
// True when name ends with the extension (with its dot), letter case ignored.
bool endsWithIgnoreCase(std::string_view name, std::string_view extension);

// A path for a label of the given width: the whole path when it fits, else "..." followed by its
// end, losing characters after the "..." until it fits or only 4 characters are left.
std::string shortenPath(std::string_view path, int labelWidth,
                        const std::function<int(std::string_view)>& textWidth);

class PreCompUnit {
 public:
  // Widths are measured by textWidth in pixels; without a window, one pixel per byte.
  PreCompUnit(Settings& settings, UserInterface& ui,
              std::function<int(std::string_view)> textWidth = {}, int labelWidth = 400);

  // Opening (each activation). False, after the warning, when the duplicates search or its
  // options window is open: the window closes.
  bool open(bool duplicatesOpen);

  // ButLoadFile: the open dialog, then acceptInput.
  void chooseInput();
  // The input choice with a path (from the dialog or ButLast).
  void acceptInput(std::string path);
  // ButSaveFile: the save dialog, then acceptOutput (the types 4 and 9 only refresh).
  void chooseOutput();
  // The output choice with a name and the selected filter entry (0-based); askReplace asks
  // before a name grown by its extension replaces an existing file.
  void acceptOutput(std::string path, int filterIndex, bool askReplace);
  void actionChanged(int type);      // ActionCombo
  void withChanged(int with);        // WithCombo
  void relaxedClicked(bool on);      // relaxcheck
  void useLastFiles();               // ButLast
  void sizeEditChanged(std::string_view text);
  void timeEditChanged(std::string_view text);
  // GO: started, the last file names remembered, partThreshold computed. The window closes.
  void go();
  // Any other close: the options as they were when the window opened (the chosen folders stay).
  void cancel();

  // The job GO hands to the run.
  CompareJob job() const;

  // Window state.
  bool started = false;
  bool inputOk = false, outputOk = false;
  OutputKind outputKind = OutputKind::None;
  FileMark inputMark = FileMark::Red, outputMark = FileMark::Red;
  std::string inputPath, outputPath;
  std::string inputLabel, outputLabel, inputHint, outputHint;
  bool relaxed = true;
  bool relaxedNoteShown = false;
  bool goEnabled = false;
  bool saveButtonEnabled = true;
  bool lastButtonEnabled = false;
  bool ignoreCheckEnabled = true;   // IgnoreCheck and its labels: text lists only
  bool sizeEditEnabled = true, timeEditEnabled = true;
  double partThreshold = 0.9801;

 private:
  void refreshInput();
  void refreshOutput();
  void evaluateGo();
  int type() const { return settings_.compareAction; }

  Settings& settings_;
  Settings saved_;  // the settings when the window opened, for cancel
  UserInterface& ui_;
  std::function<int(std::string_view)> textWidth_;
  int labelWidth_;
};

}  // namespace sonalog
