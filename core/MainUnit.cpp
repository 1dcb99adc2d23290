#include "core/MainUnit.h"

#include <algorithm>
#include <filesystem>

#include <unistd.h>

#include "core/ApiUnit.h"
#include "core/ListFile.h"
#include "platform/AsciiCase.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace sonalog {

namespace {

constexpr char kUnsavedClearQuestion[] =
    "With unsaved list, are you sure?\r\n(NO will cancel the operation and let you save)";
constexpr char kUnsavedQuitQuestion[] = "With unsaved list... are you sure?";
constexpr char kRunningQuitQuestion[] = "The process is running... are you sure?";
bool isFolder(const std::string& path) {
  const auto facts = platform::fileFacts(path);
  return facts && facts->isDirectory;
}

}  // namespace

void deleteTemporaryFiles(const std::string& workingFolder) {
  for (const char* name : kTemporaryFiles) platform::removeFile(workingFolder + name);
  platform::removeStaleTemporaries(workingFolder);
}

void MainUnit::StatusRelay::setStatus(std::string_view text) {
  unit_.status_.assign(text);
  outer_.setStatus(text);
}

MainUnit::MainUnit(UserInterface& ui) : relay_(*this, ui), ui_(relay_) {}

MainUnit::ActivityGuard::ActivityGuard(MainUnit& unit, MainActivity activity)
    : unit_(unit), previous_(unit.activity_) {
  if (previous_ != MainActivity::Idle) return;
  unit_.activity_ = activity;
  if (unit_.activityChanged_) unit_.activityChanged_();
}

MainUnit::ActivityGuard::~ActivityGuard() {
  if (unit_.activity_ == previous_) return;
  unit_.activity_ = previous_;
  if (unit_.activityChanged_) unit_.activityChanged_();
}

std::string alreadyRunningText(size_t argumentCount) {
  std::string text = "mp3 Sonalog already running.\r\nSorry, only one instance is allowed.";
  if (argumentCount == 1)
    text += "\r\n\nPlease note that you can't use this application\r\nto open and view multiple lists!";
  return text;
}

bool MainUnit::startUp(const std::string& configPath, const std::string& programFolder,
                       ScreenSize screen) {
  workingFolder_ = platform::workingFolder();
  configPath_ = configPath.empty() ? workingConfigPath() : configPath;
  // A working folder that cannot take files (read-only, missing under an unwritable parent, a
  // file) still lets the program run on the configuration it holds, as the command line does.
  const std::string problem = platform::folderWriteProblem(workingFolder_);
  settingsReadOnly_ = !problem.empty();
  if (settingsReadOnly_) {
    list_.clear();
    if (!readOnlyStartupSettings(settings_, ui_, workingFolder_, problem, configPath_)) return false;
    status_ = "Ready.";
    return true;
  }
  deleteTemporaryFiles(workingFolder_);
  list_.clear();
  const StartupSettings loaded = startupSettings(
      settings_, ui_, screen, configPath_,
      programFolder.empty() ? platform::programFolder() : programFolder);
  if (loaded == StartupSettings::Fatal) return false;
  // The reset position centres a window of the design size on the screen the defaults were made
  // for (this one, or an assumed one when another program wrote them).
  resetHere_ = std::make_unique<Settings>();
  resetAssumed_ = std::make_unique<Settings>();
  setAllDefaults(*resetHere_, screen);
  setAllDefaults(*resetAssumed_, ScreenSize{});
  status_ = "Ready.";
  return true;
}

void MainUnit::activate(const std::vector<std::string>& arguments) {
  folder_ = settings_.mainFolder;
  if (folder_.empty() || !isFolder(folder_)) folder_ = platform::homeFolder();
  settings_.mainFolder = folder_;

  if (arguments.size() == 1 && loadStartupList(arguments.front())) return;
  std::string path;
  switch (settings_.ListLoadCombo) {
    case 1: path = settings_.lastSavedList; break;
    case 2: path = settings_.startupList; break;
    default: break;
  }
  if (path.empty() || !loadStartupList(path)) {
    // A start-up list that cannot be read leaves an empty list and no trace: the reader's "Can't
    // load the list." is not shown.
    list_.clear();
    setStatus("Ready.");
  }
}

bool MainUnit::loadStartupList(const std::string& path) {
  // The list is empty at start-up, so clearing it asks nothing.
  const ListReadResult read =
      ReadListFile(ui_, list_, path, false, false, [this] { list_.clear(); return true; });
  if (read.count <= 0) {
    list_.clear();
    return false;
  }
  setStatus(loadedStatusText(list_.itemCount()));
  memory_.lastSerial.clear();
  return true;
}

bool MainUnit::askBeforeLosing(const char* text, const char* caption) {
  const uint16_t threshold = settings_.EditMaxcursav;
  if (!list_.unsaved || threshold == 0 || list_.itemCount() < threshold) return true;
  return ui_.ask(text, caption, Buttons::YesNo, Icon::Question) == Answer::Yes;
}

bool MainUnit::clearList() {
  if (!askBeforeLosing(kUnsavedClearQuestion, "warning")) return false;
  list_.clear();
  setStatus("Ready.");
  if (closeViewer_) closeViewer_();
  return true;
}

bool MainUnit::atResetPosition(WindowPosition Settings::*field) const {
  if (!resetHere_ || !resetAssumed_) return false;
  const WindowPosition& stored = settings_.*field;
  return stored == (*resetHere_).*field || stored == (*resetAssumed_).*field;
}

ScanResult MainUnit::newScan() { return runScan(ScanMode::New); }

ScanResult MainUnit::appendScan() {
  if (list_.items.empty()) return {ScanOutcome::Declined, {}, {}};
  return runScan(ScanMode::Append);
}

ScanResult MainUnit::runScan(ScanMode mode) {
  if (busy() || secondaryRunOpen()) return {ScanOutcome::Declined, {}, {}};
  // NEW's unsaved-list question and APPEND's same-target question come before the scan counts as
  // running: while they are open the window still shows NEW and APPEND, not CANCEL.
  if (mode == ScanMode::New && !clearList()) return {ScanOutcome::Declined, {}, {}};
  if (mode == ScanMode::Append && !confirmAppend(folder_, memory_, ui_)) return {ScanOutcome::Declined, {}, {}};
  ScanHooks hooks;
  hooks.appendConfirmed = true;
  hooks.showFolder = [this](const std::string& f) { folder_ = f; };
  const ScanTarget target{folder_, settings_.Incbox, settings_.sadcheck};
  ScanResult result;
  {
    const ActivityGuard running(*this, MainActivity::Scan);
    result = runFolderScan(mode, target, scanOptionsFrom(settings_), list_, ui_, memory_, hooks);
  }
  if (result.outcome != ScanOutcome::Declined && status_ != result.status) setStatus(result.status);
  return result;
}

bool MainUnit::closeQuery() {
  // Any long operation counts: closing under an import or export would lose its restore step.
  if (busy()) return ui_.ask(kRunningQuitQuestion, "quit?", Buttons::YesNo, Icon::Question) == Answer::Yes;
  // While the viewer shows a filtered list, the internal list holds only the filtered items and
  // the rest waits in a temporary file: the viewer settles that first, so the unsaved question
  // is about the whole list and the temporary files are still there when it needs them.
  if (viewerExit_ && !viewerExit_()) return false;
  return askBeforeLosing(kUnsavedQuitQuestion, "quit?");
}

void MainUnit::close() {
  deleteTemporaryFiles(workingFolder_.empty() ? platform::workingFolder() : workingFolder_);
  if (!folder_.empty()) settings_.mainFolder = folder_;
  if (settingsReadOnly_) return;  // the user was told at start that nothing is saved
  const std::string path = configPath_.empty() ? workingConfigPath() : configPath_;
  saveSettings(settings_, path, ui_, false);
}

bool MainUnit::confirmViewExternal() {
  if (lastExport_.empty()) return false;
  if (!platform::endsWithAsciiIgnoreCase(lastExport_, ".m3u")) return true;
  return ui_.ask("This will play all the files.\r\nContinue?", "prompt", Buttons::OkCancel,
                 Icon::Question) == Answer::Ok;
}

bool MainUnit::viewExternalClick() {
  if (lastExport_.empty() || viewExternalResting_ || !confirmViewExternal()) return false;
  viewExternalResting_ = true;
  const OpenResult result = openDocumentChecked(ui_, lastExport_);
  // A playlist plays; any other export is a document to read.
  if (platform::endsWithAsciiIgnoreCase(lastExport_, ".m3u"))
    reportPlayFailure(ui_, result, true);
  else
    reportDocumentOpenFailure(ui_, result, lastExport_);
  return true;
}

ListCommandContext MainUnit::listContext() {
  return ListCommandContext{ui_, list_, settings_, secondaryRunOpen()};
}

CommandResult MainUnit::saveAsClick() {
  if (busy()) return CommandResult::Ignored;
  ListCommandContext context = listContext();
  return SaveButClick(context);
}

CommandResult MainUnit::loadClick(const LoadOptionsWindowFn& loadOptionsWindow, bool ctrlHeld) {
  if (busy()) return CommandResult::Ignored;
  const ActivityGuard running(*this, MainActivity::Load);
  ListCommandContext context = listContext();
  const CommandResult result = LoadButClick(context, [this] { return clearList(); }, loadOptionsWindow, ctrlHeld);
  // A loaded list no longer comes from the last scanned drive.
  if (result == CommandResult::Done) memory_.lastSerial.clear();
  return result;
}

bool MainUnit::canView() {
  if (busy()) return false;
  if (list_.items.empty()) {
    ui_.warning(kNoDataToViewText);
    return false;
  }
  return true;
}

void MainUnit::viewerOpened() { countAtViewerOpen_ = list_.itemCount(); }

void MainUnit::viewerClosed(bool changed) {
  if (!changed && list_.itemCount() == countAtViewerOpen_ && !list_.unsaved) return;
  list_.unsaved = true;
  setStatus("Altered, " + std::to_string(list_.itemCount()) + " items.");
}

void MainUnit::viewerEmptiedList() {
  list_.clear();
  setStatus("Ready.");
}

void MainUnit::setFolder(const std::string& folder) {
  folder_ = folder;
  settings_.mainFolder = folder;
}

bool MainUnit::goToFolder(const std::string& typed) {
  std::string path = typed;
  const size_t first = path.find_first_not_of(" \t");
  const size_t last = path.find_last_not_of(" \t\r\n");
  path = first == std::string::npos ? std::string() : path.substr(first, last - first + 1);
  if (path.empty()) return false;
  if (path == "~" || path.rfind("~/", 0) == 0) path = platform::homeFolder() + path.substr(1);
  else if (path[0] != '/') path = (folder_ == "/" ? std::string() : folder_) + "/" + path;
  const std::filesystem::path normal = std::filesystem::path(path).lexically_normal();
  path = platform::stripTrailingSeparator(normal.string());
  if (path.empty()) path = "/";
  if (!isFolder(path)) {
    ui_.warning("There is no folder\r\n" + path);
    return false;
  }
  setFolder(path);
  return true;
}

void MainUnit::changeFontSize(int delta) { setFontSize(settings_.folderTreeFont.size + delta); }

void MainUnit::setFontSize(int size) {
  settings_.folderTreeFont.size =
      static_cast<uint8_t>(std::clamp<int>(size, kMinFolderFontSize, kMaxFolderFontSize));
}

bool MainUnit::openSearchWindow(SearchWindow w) {
  if (searchWindowOpen(w)) return false;
  openSearch_[size_t(w)] = true;
  return true;
}

void MainUnit::searchWindowClosed(SearchWindow w) {
  openSearch_[size_t(w)] = false;
  if (!secondaryRunOpen()) closeSearchWindow_ = nullptr;
}

void MainUnit::closeSearchWindows() {
  if (closeSearchWindow_) closeSearchWindow_();
}

void MainUnit::listLoaded(const std::string& status) {
  memory_.lastSerial.clear();
  setStatus(status);
}

void MainUnit::setStatus(const std::string& text) { ui_.setStatus(text); }

MainCommands MainUnit::commands() const {
  MainCommands c;
  const bool idle = !busy();
  const bool hasItems = !list_.items.empty();
  // While the duplicates search or the comparison window is open, the commands that would change
  // the list or the settings under it show as refused.
  const bool free = idle && !secondaryRunOpen();
  c.exportList = c.batch = idle && hasItems;
  c.saveAs = c.view = c.append = free && hasItems;
  c.import = c.searchAllDrives = c.font = idle;
  c.load = c.newScan = c.options = free;
  c.newAppendVisible = !scanning();
  c.cancelVisible = scanning();
  c.folderChoice = c.includeSubfolders = idle && !settings_.sadcheck;
  c.viewExternal = !lastExport_.empty() && !viewExternalResting_;
  c.about = true;
  return c;
}

}  // namespace sonalog
