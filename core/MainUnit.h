#pragma once
// The main window's logic without its widgets: start-up (working folder, configuration, leftover
// temporary files, the start-up list), the internal list it owns for the whole run, clearing it
// with the unsaved-list question, NEW and APPEND, which commands are enabled, and the questions
// asked when the window closes. The window reads commands(), status() and folder() after every
// call and while a scan lets events run.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/FolderScan.h"
#include "core/ListFile.h"
#include "core/ListItem.h"
#include "platform/UserInterface.h"
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

// The long operation the main window is running; only one runs at a time, and while one runs the
// window's commands wait (only About stays usable, and a scan shows CANCEL).
enum class MainActivity { Idle, Scan, Load, Import, Export };

// The viewer's two search subsystems, each an options window followed by a run window.
enum class SearchWindow : uint8_t { Duplicates, Compare };

inline constexpr const char* kNoDataToViewText = "No data to view";
inline constexpr const char* kViewerClearedText = "List cleared (closing view window).";

// What a second start of the program says before it ends; with exactly one argument (a list to
// open) it adds that lists cannot be opened this way.
std::string alreadyRunningText(size_t argumentCount);
inline constexpr const char* kAlreadyRunningCaption = "error";

inline constexpr uint8_t kMinFolderFontSize = 4;
inline constexpr uint8_t kMaxFolderFontSize = 32;

class MainUnit {
 public:
  // ui must outlive the unit. Everything the unit does reaches the user through ui(), which passes
  // every call on to ui and keeps the status line's text.
  explicit MainUnit(UserInterface& ui);
  MainUnit(const MainUnit&) = delete;
  MainUnit& operator=(const MainUnit&) = delete;

  // The interface every command of the main window hands to the logic: the status texts it sets
  // become status(), so a later command (an export putting back the text it found) sees the
  // text the user saw.
  UserInterface& ui() { return relay_; }

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
  // a Yes means the caller stops the scan (its CANCEL) before closing. Otherwise an open viewer
  // asks its own closing question first (a filtered list goes back whole or becomes the list;
  // Cancel keeps both windows), and only then is the unsaved question asked, on the whole list.
  bool closeQuery();
  // FormClose: deletes the temporary files and writes the configuration (not when the working
  // folder could not take files at start-up).
  void close();

  // "Vie&w ext.": true when the last exported file may be opened (a playlist asks first).
  bool confirmViewExternal();
  // ExtViewBut: after the confirmation, hands the last exported file to the desktop (a failure is
  // reported as Play reports it) and keeps the button disabled until viewExternalTimer()
  // (timerve, 5 s) enables it again. True when an open was attempted.
  bool viewExternalClick();
  void viewExternalTimer() { viewExternalResting_ = false; }
  static constexpr int kViewExternalRestMs = 5000;

  // SaveBut and LoadBut. Both do nothing while a long operation runs or the duplicates search or
  // comparison window is open. loadOptionsWindow shows the Load options window (unset: the stored
  // choices stand); ctrlHeld is CTRL held during the click.
  CommandResult saveAsClick();
  CommandResult loadClick(const LoadOptionsWindowFn& loadOptionsWindow, bool ctrlHeld);

  // ViewBut: true when the viewer may open; with an empty list says "No data to view".
  bool canView();
  // The viewer opened / closed. changed: the viewer saw the list change; a different item count
  // or an unsaved list count as a change too. A change reads "Altered, N items." and leaves the
  // list unsaved.
  void viewerOpened();
  void viewerClosed(bool changed);
  // The viewer's run (a comparison) removed every item: the list is cleared without a question
  // and the window is reset; the viewer then closes itself.
  void viewerEmptiedList();

  // Marks a long operation as running for as long as the guard lives (nested guards keep the
  // outer activity). Commands that must not run meanwhile test busy().
  class ActivityGuard {
   public:
    ActivityGuard(MainUnit& unit, MainActivity activity);
    ~ActivityGuard();
    ActivityGuard(const ActivityGuard&) = delete;
    ActivityGuard& operator=(const ActivityGuard&) = delete;

   private:
    MainUnit& unit_;
    MainActivity previous_;
  };
  MainActivity activity() const { return activity_; }
  // Called whenever a long operation starts or ends, so the window shows what can be used.
  void setActivityChanged(std::function<void()> changed) { activityChanged_ = std::move(changed); }
  bool busy() const { return activity_ != MainActivity::Idle; }
  // The search windows. Each subsystem is open at most once; while either is open the commands
  // that would change the list or the settings under it are refused. openSearchWindow is false
  // when w is already open; closer closes the open window when the viewer or the program ends.
  bool searchWindowOpen(SearchWindow w) const { return openSearch_[size_t(w)]; }
  bool secondaryRunOpen() const { return openSearch_[0] || openSearch_[1]; }
  bool openSearchWindow(SearchWindow w);
  void searchWindowClosed(SearchWindow w);
  void setSearchWindowCloser(std::function<void()> closer) { closeSearchWindow_ = std::move(closer); }
  void closeSearchWindows();

  // The folder list, the two scan switches and the folder list's font size.
  const std::string& folder() const { return folder_; }
  void setFolder(const std::string& folder);
  // The location line over the folder list: goes to a typed or pasted folder ("~" is the home
  // folder, a relative path starts at the folder shown). A path that is not a folder says so
  // and keeps the folder shown. True when the folder changed.
  bool goToFolder(const std::string& typed);
  void setSearchAllDrives(bool on) { settings_.sadcheck = on; }
  void setIncludeSubfolders(bool on) { settings_.Incbox = on; }
  // Raises or lowers the font size by delta, within 4 to 32; setFontSize clamps likewise.
  void changeFontSize(int delta);
  void setFontSize(int size);

  // Facts the window learns from other operations.
  void setLastExport(const std::string& path) { lastExport_ = path; }
  const std::string& lastExport() const { return lastExport_; }
  const std::string& workingFolder() const { return workingFolder_; }
  // After a Load: the list no longer comes from the last scanned drive.
  void listLoaded(const std::string& status);
  // Closes the viewer when the list is cleared under it.
  void setCloseViewer(std::function<void()> closeViewer) { closeViewer_ = std::move(closeViewer); }
  // Closes an open viewer when the program ends, after its closing question; returns false when
  // the user keeps it open (unset or no viewer open: true).
  void setViewerExit(std::function<bool()> viewerExit) { viewerExit_ = std::move(viewerExit); }
  // The status line as the main window last set it.
  void setStatus(const std::string& text);

  MainCommands commands() const;
  const std::string& status() const { return status_; }
  bool scanning() const { return activity_ == MainActivity::Scan; }
  InternalList& list() { return list_; }
  const InternalList& list() const { return list_; }
  Settings& settings() { return settings_; }
  ScanMemory& scanMemory() { return memory_; }
  const std::string& configPath() const { return configPath_; }
  // A window's stored position is the reset one (a fresh configuration, or one reset since),
  // made for a design size and maybe a screen of its own: the window then centres itself.
  bool atResetPosition(WindowPosition Settings::*field) const;
  bool mainWindowAtResetPosition() const { return atResetPosition(&Settings::mainWindowPos); }

 private:
  // Passes every call on to the window's interface and keeps the status text.
  class StatusRelay : public UserInterface {
   public:
    StatusRelay(MainUnit& unit, UserInterface& outer) : unit_(unit), outer_(outer) {}
    Answer show(const MessageBox& box) override { return outer_.show(box); }
    void setStatus(std::string_view text) override;
    void setBusy(bool busy) override { outer_.setBusy(busy); }
    bool processEvents() override { return outer_.processEvents(); }
    std::optional<FileDialogResult> openFile(const FileDialog& d) override { return outer_.openFile(d); }
    std::optional<FileDialogResult> saveFile(const FileDialog& d) override { return outer_.saveFile(d); }
    bool statusFits(std::string_view text) const override { return outer_.statusFits(text); }
    OpenResult openDocument(const std::string& path, bool edit) override { return outer_.openDocument(path, edit); }

   private:
    MainUnit& unit_;
    UserInterface& outer_;
  };

  ScanResult runScan(ScanMode mode);
  ListCommandContext listContext();
  bool askBeforeLosing(const char* text, const char* caption);
  // Reads a list silently, replacing; true when it gave items.
  bool loadStartupList(const std::string& path);

  StatusRelay relay_;
  UserInterface& ui_;  // relay_
  InternalList list_;
  Settings settings_;
  ScanMemory memory_;
  std::string configPath_;
  std::string workingFolder_;
  bool settingsReadOnly_ = false;  // the working folder cannot take files: nothing is saved there
  std::string folder_;       // Dir1
  std::string status_ = "Ready.";
  std::string lastExport_;   // the file the last export wrote, for "Vie&w ext."
  MainActivity activity_ = MainActivity::Idle;
  bool viewExternalResting_ = false;  // ExtViewBut waits for timerve
  // The reset positions for the screen at start-up and for the screen the defaults assume.
  std::unique_ptr<Settings> resetHere_;
  std::unique_ptr<Settings> resetAssumed_;
  uint32_t countAtViewerOpen_ = 0;
  bool openSearch_[2] = {false, false};  // by SearchWindow
  std::function<void()> closeSearchWindow_;
  std::function<void()> closeViewer_;
  std::function<bool()> viewerExit_;
  std::function<void()> activityChanged_;
};

}  // namespace sonalog
