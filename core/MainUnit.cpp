#include "core/MainUnit.h"

#include <algorithm>

#include "core/ListFile.h"
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

bool endsWithIgnoringCase(std::string_view s, std::string_view suffix) {
  if (s.size() < suffix.size()) return false;
  s = s.substr(s.size() - suffix.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

}  // namespace

void deleteTemporaryFiles(const std::string& workingFolder) {
  for (const char* name : kTemporaryFiles) platform::removeFile(workingFolder + name);
}

MainUnit::MainUnit(UserInterface& ui) : ui_(ui) {}

bool MainUnit::startUp(const std::string& configPath, const std::string& programFolder,
                       ScreenSize screen) {
  workingFolder_ = platform::workingFolder();
  if (!isFolder(workingFolder_)) {
    ui_.message("Can't create the working folder:\r\n" + workingFolder_, "error", Icon::Error);
    return false;
  }
  deleteTemporaryFiles(workingFolder_);
  list_.clear();
  configPath_ = configPath.empty() ? workingConfigPath() : configPath;
  const StartupSettings loaded = startupSettings(
      settings_, ui_, screen, configPath_,
      programFolder.empty() ? platform::programFolder() : programFolder);
  if (loaded == StartupSettings::Fatal) return false;
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
    default: return;
  }
  if (path.empty() || !loadStartupList(path)) list_.clear();
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

ScanResult MainUnit::newScan() { return runScan(ScanMode::New); }

ScanResult MainUnit::appendScan() {
  if (list_.items.empty()) return {ScanOutcome::Declined, {}, {}};
  return runScan(ScanMode::Append);
}

ScanResult MainUnit::runScan(ScanMode mode) {
  if (scanning_ || duplicatesOpen_ || compareOpen_) return {ScanOutcome::Declined, {}, {}};
  ScanHooks hooks;
  hooks.clearList = [this] { return clearList(); };
  hooks.showFolder = [this](const std::string& f) { folder_ = f; };
  const ScanTarget target{folder_, settings_.Incbox, settings_.sadcheck};
  scanning_ = true;
  ScanResult result = runFolderScan(mode, target, scanOptionsFrom(settings_), list_, ui_, memory_, hooks);
  scanning_ = false;
  if (result.outcome != ScanOutcome::Declined) status_ = result.status;
  return result;
}

bool MainUnit::closeQuery() {
  if (scanning_) return ui_.ask(kRunningQuitQuestion, "quit?", Buttons::YesNo, Icon::Question) == Answer::Yes;
  return askBeforeLosing(kUnsavedQuitQuestion, "quit?");
}

void MainUnit::close() {
  deleteTemporaryFiles(workingFolder_.empty() ? platform::workingFolder() : workingFolder_);
  if (!folder_.empty()) settings_.mainFolder = folder_;
  const std::string path = configPath_.empty() ? workingConfigPath() : configPath_;
  saveSettings(settings_, path, ui_, false);
}

bool MainUnit::confirmViewExternal() {
  if (lastExport_.empty()) return false;
  if (!endsWithIgnoringCase(lastExport_, ".m3u")) return true;
  return ui_.ask("This will play all the files.\r\nContinue?", "prompt", Buttons::OkCancel,
                 Icon::Question) == Answer::Ok;
}

void MainUnit::setFolder(const std::string& folder) {
  folder_ = folder;
  settings_.mainFolder = folder;
}

void MainUnit::changeFontSize(int delta) { setFontSize(settings_.folderTreeFont.size + delta); }

void MainUnit::setFontSize(int size) {
  settings_.folderTreeFont.size =
      static_cast<uint8_t>(std::clamp<int>(size, kMinFolderFontSize, kMaxFolderFontSize));
}

void MainUnit::setSecondaryRunOpen(bool duplicatesOpen, bool compareOpen) {
  duplicatesOpen_ = duplicatesOpen;
  compareOpen_ = compareOpen;
}

void MainUnit::listLoaded(const std::string& status) {
  memory_.lastSerial.clear();
  setStatus(status);
}

void MainUnit::setStatus(const std::string& text) {
  status_ = text;
  ui_.setStatus(text);
}

MainCommands MainUnit::commands() const {
  MainCommands c;
  const bool idle = !scanning_;
  const bool hasItems = !list_.items.empty();
  c.saveAs = c.exportList = c.batch = c.view = c.append = idle && hasItems;
  c.load = c.import = c.newScan = c.options = c.searchAllDrives = c.font = idle;
  c.newAppendVisible = idle;
  c.cancelVisible = scanning_;
  c.folderChoice = c.includeSubfolders = idle && !settings_.sadcheck;
  c.viewExternal = !lastExport_.empty();
  c.about = true;
  return c;
}

}  // namespace sonalog
