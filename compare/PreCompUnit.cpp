#include "compare/PreCompUnit.h"

#include <charconv>

#include "compare/CompareReport.h"
#include "duplicates/PreDupUnit.h"
#include "duplicates/TitleMatch.h"
#include "platform/AsciiCase.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace sonalog {

namespace {

constexpr const char* kRelaxedNote =
    "Please note that this option is not permanent.\r\nWhen you change the type of file to compare to,\r\n"
    "this switch changes to corresponding default.";
constexpr std::string_view kListExtension = ".snlg";

bool readWhole(std::string_view text, unsigned long max, unsigned long& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value <= max;
}

}  // namespace

void normalizeCompareSettings(Settings& s) {
  s.compareWith &= 1;
  s.compareAction %= kCompareActionCount;
  s.actionMode %= 3;
  if (s.matchThreshold < kThresholdMin || s.matchThreshold > kThresholdExact) s.matchThreshold = 99;
  if (s.timeLimitSec >= 100) s.timeLimitSec = 20;
  if (s.sizeLimitKB > 9999) s.sizeLimitKB = 400;
  if (s.threadPriority != 0 && s.threadPriority != 2) s.threadPriority = 1;
}

CompareSettings compareSettingsOf(const Settings& s) {
  CompareSettings c;
  c.compareWith = s.compareWith & 1;
  c.compareAction = s.compareAction % kCompareActionCount;
  c.actionMode = s.actionMode;
  c.threadPriority = s.threadPriority;
  c.examineBangLines = s.examineBangLines;
  copyMatchFields(s, c);
  c.fieldStyle = fieldStyleFrom(s);
  return c;
}

bool endsWithIgnoreCase(std::string_view name, std::string_view ext) {
  return platform::endsWithAsciiIgnoreCase(name, ext);
}

bool inputAcceptable(std::string_view path, uint8_t compareWith) {
  if (compareWith == 1) return true;
  return path.size() > 5 && endsWithIgnoreCase(path, kListExtension);
}

OutputKind outputKindOfName(std::string_view path) {
  return (path.size() > 5 && endsWithIgnoreCase(path, kListExtension)) ? OutputKind::List
                                                                       : OutputKind::Text;
}

std::string shortenPath(std::string_view path, int labelWidth,
                        const std::function<int(std::string_view)>& textWidth) {
  if (textWidth(path) <= labelWidth) return std::string(path);
  std::string shown = "..." + std::string(path);
  while (shown.size() > 4 && textWidth(shown) > labelWidth) shown.erase(3, 1);
  return shown;
}

PreCompUnit::PreCompUnit(Settings& settings, UserInterface& ui,
                         std::function<int(std::string_view)> textWidth, int labelWidth)
    : settings_(settings), ui_(ui), textWidth_(std::move(textWidth)), labelWidth_(labelWidth) {
  if (!textWidth_) textWidth_ = [](std::string_view s) { return static_cast<int>(s.size()); };
}

bool PreCompUnit::open(bool duplicatesOpen) {
  saved_ = settings_;
  lastButtonEnabled = !settings_.lastExternalList.empty() || !settings_.lastOutputFile.empty();
  inputPath.clear();
  outputPath.clear();
  inputLabel.clear();
  outputLabel.clear();
  inputHint.clear();
  outputHint.clear();
  if (duplicatesOpen) {
    ui_.warning("Close duplicates search window first.");
    return false;
  }
  started = false;
  inputOk = outputOk = false;
  outputKind = OutputKind::None;
  relaxedNoteShown = false;
  normalizeCompareSettings(settings_);
  relaxed = settings_.compareWith == 1;
  ignoreCheckEnabled = settings_.compareWith == 1;
  sizeEditEnabled = settings_.sizeCheck;
  timeEditEnabled = settings_.timeCheck;
  goEnabled = false;
  refreshOutput();
  inputMark = outputMark = FileMark::Red;
  return true;
}

void PreCompUnit::chooseInput() {
  FileDialog d;
  d.title = " - SPECIFY LIST TO COMPARE WITH - ";
  if (settings_.compareWith == 0) {
    d.filters = {{"SNLG files", {"*.snlg"}}, {"all files", {"*.*"}}};
    d.defaultExtension = "snlg";
  } else {
    d.filters = {{"Text files", {"*.txt"}}, {"All files", {"*.*"}}};
    d.defaultExtension = "txt";
  }
  d.folder = settings_.compareInputFolder.empty() ? platform::homeFolder() : settings_.compareInputFolder;
  const auto chosen = ui_.openFile(d);
  if (chosen) acceptInput(chosen->path);
}

void PreCompUnit::acceptInput(std::string path) {
  const std::string ext = settings_.compareWith == 0 ? ".snlg" : ".txt";
  if (!platform::fileExists(path) && !endsWithIgnoreCase(path, ext)) path += ext;
  if (!platform::fileExists(path)) {
    ui_.warning("File doesn't exist, or can't be read.");
    return;
  }
  inputPath = path;
  settings_.compareInputFolder = platform::folderOf(path);
  inputMark = FileMark::Green;
  refreshInput();
}

void PreCompUnit::refreshInput() {
  if (!inputPath.empty()) {
    inputOk = inputAcceptable(inputPath, settings_.compareWith);
    inputMark = inputOk ? FileMark::Green : FileMark::Red;
    inputLabel = shortenPath(inputPath, labelWidth_, textWidth_);
    inputHint = "Input file: " + std::string(platform::fileNameOf(inputPath));
  }
  evaluateGo();
}

void PreCompUnit::chooseOutput() {
  if (isRemoval(type())) {
    refreshOutput();
    return;
  }
  FileDialog d;
  d.title = " - SAVE COMPARISON RESULTS AS - ";
  if (outputOf(type()) == OutputKind::Text)
    d.filters = {{"text files", {"*.txt"}}, {"log files", {"*.log"}}, {"all files", {"*.*"}}};
  else
    d.filters = {{"SNLG files", {"*.snlg"}}, {"all files", {"*.*"}}};
  d.folder = settings_.compareOutputFolder.empty() ? platform::homeFolder() : settings_.compareOutputFolder;
  const auto chosen = ui_.chooseSaveFile(d);
  if (chosen) acceptOutput(chosen->path, chosen->filterIndex, true);
}

void PreCompUnit::acceptOutput(std::string path, int filterIndex, bool askReplace) {
  if (isRemoval(type())) {
    refreshOutput();
    return;
  }
  const bool textType = outputOf(type()) == OutputKind::Text;
  outputKind = textType ? OutputKind::Text : OutputKind::List;
  std::string ext;
  if (textType) ext = filterIndex == 0 ? ".txt" : filterIndex == 1 ? ".log" : "";
  else ext = filterIndex == 0 ? ".snlg" : "";
  if (!ext.empty() && !endsWithIgnoreCase(path, ext)) {
    path += ext;
    if (askReplace && platform::fileExists(path) &&
        ui_.ask(path + " already exists.\r\nDo you want to replace it?", "save comparison results",
                Buttons::YesNo, Icon::Question) != Answer::Yes)
      return;
  }
  outputPath = path;
  outputOk = true;
  settings_.compareOutputFolder = platform::folderOf(path);
  const bool suits = outputKindOfName(path) == outputOf(type());
  if (!suits) {
    outputMark = FileMark::Red;
    refreshOutput();
    return;
  }
  outputMark = platform::fileExists(path) ? FileMark::Yellow : FileMark::Green;
  refreshOutput();
}

void PreCompUnit::refreshOutput() {
  saveButtonEnabled = !isRemoval(type());
  if (saveButtonEnabled && !outputPath.empty()) {
    outputHint = "Output file: " + std::string(platform::fileNameOf(outputPath));
    outputKind = outputKindOfName(outputPath);
    outputLabel = shortenPath(outputPath, labelWidth_, textWidth_);
    // A name that does not suit the type keeps the red mark and GO disabled.
    if (outputKind != outputOf(type())) outputOk = false;
  } else if (saveButtonEnabled) {
    outputMark = FileMark::Red;
    outputOk = false;
  } else {
    outputLabel.clear();
    outputHint.clear();
  }
  evaluateGo();
}

void PreCompUnit::evaluateGo() { goEnabled = inputOk && (outputOk || isRemoval(type())); }

void PreCompUnit::actionChanged(int newType) {
  settings_.compareAction = static_cast<uint8_t>(newType % kCompareActionCount);
  refreshOutput();
  if (!isRemoval(type())) {
    if (outputKind == outputOf(type()) && !outputPath.empty()) {
      outputMark = platform::fileExists(outputPath) ? FileMark::Yellow : FileMark::Green;
      outputOk = true;
    } else {
      outputMark = FileMark::Red;
      outputOk = false;
    }
  }
  evaluateGo();
}

void PreCompUnit::withChanged(int with) {
  settings_.compareWith = static_cast<uint8_t>(with & 1);
  relaxed = settings_.compareWith == 1;
  ignoreCheckEnabled = settings_.compareWith == 1;
  refreshInput();
}

void PreCompUnit::relaxedClicked(bool on) {
  relaxed = on;
  const bool againstDefault = on != (settings_.compareWith == 1);
  if (againstDefault && !relaxedNoteShown) {
    relaxedNoteShown = true;
    ui_.warning(kRelaxedNote);
  }
}

void PreCompUnit::useLastFiles() {
  if (!settings_.lastExternalList.empty()) acceptInput(settings_.lastExternalList);
  if (settings_.lastOutputFile.empty()) {
    outputMark = FileMark::Red;
    outputPath.clear();
    outputLabel.clear();
    outputHint.clear();
    outputOk = false;
    evaluateGo();
    return;
  }
  // The remembered name keeps its extension: filter entry "all files" adds none.
  acceptOutput(settings_.lastOutputFile, outputOf(type()) == OutputKind::Text ? 2 : 1, false);
}

void PreCompUnit::sizeEditChanged(std::string_view text) {
  unsigned long v;
  if (readWhole(text, 9999, v)) settings_.sizeLimitKB = static_cast<uint16_t>(v);
}

void PreCompUnit::timeEditChanged(std::string_view text) {
  unsigned long v;
  if (readWhole(text, 99, v)) settings_.timeLimitSec = static_cast<uint16_t>(v);
}

void PreCompUnit::go() {
  started = true;
  settings_.lastExternalList = inputPath;
  settings_.lastOutputFile = outputPath;
  partThreshold = ComputePartThreshold(settings_.matchThreshold);
}

void PreCompUnit::cancel() { restoreSearchOptions(settings_, saved_); }

CompareJob PreCompUnit::job() const {
  CompareJob j;
  j.inputPath = inputPath;
  j.outputPath = outputPath;
  j.settings = compareSettingsOf(settings_);
  j.relaxedSwitch = relaxed;
  j.partThreshold = partThreshold;
  return j;
}

}  // namespace sonalog
