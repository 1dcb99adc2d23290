#pragma once
// The main window's logic without its widgets: start-up (working folder, configuration, leftover
// temporary files, the start-up list), the internal list it owns for the whole run, clearing it
// with the unsaved-list question, NEW and APPEND, which commands are enabled, and the questions
// asked when the window closes. The window reads commands(), status() and folder() after every
// call and while a scan lets events run.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/ApiUnit.h"
#include "core/FolderScan.h"
#include "core/ListItem.h"
#include "settings/Settings.h"

namespace sonalog {

// Every temporary file of the working folder; none survives from one run to the next.
inline constexpr const char* kTemporaryFiles[] = {"vundo.(file).tmp",     "filter.(file).tmp",
                                                  "backup.(file).tmp",    "importing.(file).tmp",
                                                  "main.(file).tmp",      "mp3snlg.m3u"};
// Deletes the temporary files from a working folder (given with a trailing "/").
void deleteTemporaryFiles(const std::string& workingFolder);

// Which main-window controls can be used now.
struct MainCommands {
  bool saveAs = false;        // SaveBut
  bool exportList = false;    // ExportBut
  bool batch = false;         // ButBatch
  bool load = false;          // LoadBut
  bool import = false;        // ImportBut
  bool newScan = false;       // StartBut
  bool append = false;        // apbut
  bool newAppendVisible = true;   // NEW and APPEND are shown...
  bool cancelVisible = false;     // ...except during a scan, when Cancelbutton takes their place
  bool searchAllDrives = false;   // sadcheck
  bool folderChoice = false;      // Drive1 and Dir1
  bool includeSubfolders = false; // Incbox
  bool options = false;       // OptBut
  bool view = false;          // ViewBut
  bool viewExternal = false;  // ExtViewBut
  bool about = true;          // AboutBut
  bool font = false;          // updn1, ButFont and the font menu
  bool operator==(const MainCommands&) const = default;
};

inline constexpr uint8_t kMinFolderFontSize = 4;
inline constexpr uint8_t kMaxFolderFontSize = 32;

class MainUnit {
 public:
  explicit MainUnit(UserInterface& ui);

  // Start of the program: the working folder, the temporary files, the configuration (configPath,
  // or the working folder's "mp3snlg.ini" when empty; a copy from programFolder when missing).
  // False when the program must end (the reason has been shown).
  bool startUp(const std::string& configPath = {}, const std::string& programFolder = {},
               ScreenSize screen = {});
  // First activation of the window: the folder list's folder, then the start-up list, the
  // command line's single argument when there is exactly one, else the "On startup:" choice.
  void activate(const std::vector<std::string>& arguments);

  // Clears the list, asking first when it is unsaved and holds at least EditMaxcursav items.
  // False when the user keeps the list (the calling operation is then cancelled).
  bool clearList();

  // StartButClick and apbutClick. Nothing happens while a scan runs, while the duplicates search
  // or comparison window is open, or (APPEND) with an empty list.
  ScanResult newScan();
  ScanResult appendScan();

  // FormCloseQuery: true when the window may close. While a scan runs the user is asked first;
  // a Yes means the caller stops the scan (its CANCEL) before closing.
  bool closeQuery();
  // FormClose: deletes the temporary files and writes the configuration.
  void close();

  // "Vie&w ext.": true when the last exported file may be opened (a playlist asks first).
  bool confirmViewExternal();

  // The folder list, the two scan switches and the folder list's font size.
  const std::string& folder() const { return folder_; }
  void setFolder(const std::string& folder);
  void setSearchAllDrives(bool on) { settings_.sadcheck = on; }
  void setIncludeSubfolders(bool on) { settings_.Incbox = on; }
  // Raises or lowers the font size by delta, within 4 to 32; setFontSize clamps likewise.
  void changeFontSize(int delta);
  void setFontSize(int size);

  // Facts the window learns from other operations.
  void setSecondaryRunOpen(bool duplicatesOpen, bool compareOpen);
  void setLastExport(const std::string& path) { lastExport_ = path; }
  // After a Load: the list no longer comes from the last scanned drive.
  void listLoaded(const std::string& status);
  // Closes the viewer when the list is cleared under it.
  void setCloseViewer(std::function<void()> closeViewer) { closeViewer_ = std::move(closeViewer); }
  // The status line as the main window last set it.
  void setStatus(const std::string& text);

  MainCommands commands() const;
  const std::string& status() const { return status_; }
  bool scanning() const { return scanning_; }
  InternalList& list() { return list_; }
  const InternalList& list() const { return list_; }
  Settings& settings() { return settings_; }
  ScanMemory& scanMemory() { return memory_; }
  const std::string& configPath() const { return configPath_; }

 private:
  ScanResult runScan(ScanMode mode);
  bool askBeforeLosing(const char* text, const char* caption);
  // Reads a list silently, replacing; true when it gave items.
  bool loadStartupList(const std::string& path);

  UserInterface& ui_;
  InternalList list_;
  Settings settings_;
  ScanMemory memory_;
  std::string configPath_;
  std::string workingFolder_;
  std::string folder_;       // Dir1
  std::string status_ = "Ready.";
  std::string lastExport_;   // the file the last export wrote, for "Vie&w ext."
  bool scanning_ = false;
  bool duplicatesOpen_ = false;
  bool compareOpen_ = false;
  std::function<void()> closeViewer_;
};

}  // namespace sonalog
