#include "import/ImportCommand.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>

#include "import/TextListImport.h"
#include "import/VolumeLabels.h"
#include "platform/Dates.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/ReadFile.h"

namespace sonalog {

namespace {

constexpr int64_t kLargestFile = int64_t{1} << 31;
constexpr size_t kFirstBlock = 65535;
constexpr size_t kSmallestFile = 512;
constexpr size_t kMaxLine = 1023;
constexpr size_t kStatusEvery = 100;
constexpr size_t kAskEvery = 50'000;
constexpr size_t kFinishEventsEvery = 1024;

// Kilobytes per second of the constant bitrate codes 1..14.
constexpr int kKBPerSecond[15] = {0, 4, 5, 6, 7, 8, 10, 12, 14, 16, 20, 24, 28, 32, 40};

std::string head(std::string_view s, size_t n) { return std::string(s.substr(0, n)); }

// Line feeds in a file plus one (0 when it cannot be read): an upper bound of its lines.
size_t countLines(const std::string& path) {
  platform::ReadFile file;
  if (!file.open(path)) return 0;
  std::string buffer(1 << 16, '\0');
  size_t lines = 1;
  int64_t got;
  while ((got = file.read(buffer.data(), buffer.size())) > 0) {
    const size_t n = static_cast<size_t>(got);
    for (const char* p = buffer.data(); (p = static_cast<const char*>(std::memchr(p, '\n', buffer.data() + n - p)));
         ++p)
      ++lines;
  }
  return lines;
}

}  // namespace

ImportCommand::ImportCommand(InternalList& list, ImportSettings& settings, UserInterface& ui)
    : list_(list), settings_(settings), ui_(ui) {}

std::vector<platform::Volume> ImportCommand::volumes() const {
  return volumes_ ? volumes_() : platform::mountedVolumes();
}

FileDialog ImportCommand::openDialog(ImportFileType type, const std::string& folder) {
  FileDialog d;
  d.title = " - Choose text or html list to import - ";
  d.folder = folder;
  switch (type) {
    case ImportFileType::ExportedList:
      d.filters = {{"Text files", {"*.txt"}}, {"Html files", {"*.html", "*.htm"}},
                   {"Text and html files", {"*.txt", "*.htm", "*.html"}}, {"All files", {"*.*"}}};
      d.filterIndex = 2;
      break;
    case ImportFileType::OtherText:
      d.filters = {{"Text files", {"*.txt"}}, {"All files", {"*.*"}}};
      d.filterIndex = 1;
      break;
    case ImportFileType::M3u:
      d.filters = {{"mp3 URL files (m3u)", {"*.m3u"}}, {"All files", {"*.*"}}};
      d.filterIndex = 0;
      break;
  }
  return d;
}

bool ImportCommand::run(bool goPressed) {
  if (!goPressed) return false;
  const auto chosen = ui_.openFile(openDialog(settings_.fileType, settings_.lastImportFolder));
  if (!chosen || chosen->path.empty()) return false;
  return importFile(chosen->path);
}

bool ImportCommand::importFile(const std::string& path) {
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos && path.substr(dot) == ".xls") {
    ui_.warning("Sorry, XLS files can not be imported.");
    return false;
  }
  settings_.lastImportFolder = platform::folderOf(path);
  ui_.setBusy(true);
  bool ok = false;
  if (settings_.fileType == ImportFileType::ExportedList) ok = importExported(path);
  else ok = importOther(path);
  ui_.setBusy(false);
  return ok;
}

void ImportCommand::applyItems(std::vector<ListItem> items) {
  if (!settings_.ImapCheck) {
    list_.items = std::move(items);
  } else {
    list_.items.reserve(list_.items.size() + items.size());
    for (ListItem& it : items) list_.items.push_back(std::move(it));
  }
  list_.sortCode = kSortUnsorted;
  list_.unsaved = true;
}

bool ImportCommand::importOther(const std::string& path) {
  TextListOptions options;
  options.clabcheck = settings_.clabcheck;
  options.MircCheck = settings_.MircCheck;
  options.appendTo = settings_.ImapCheck ? list_.items.size() : 0;
  options.volumes = volumes_;
  TextListResult r = settings_.fileType == ImportFileType::M3u ? importM3u(path, options, ui_)
                                                               : readUnknownTextList(path, options, ui_);
  if (!r.ok) {
    ui_.setStatus("Import failed.");
    return false;
  }
  applyItems(std::move(r.items));
  return true;
}

bool ImportCommand::writeBackup() {
  backupWritten_ = writeItemsFile(backupPath_, list_.items);
  oldCount_ = list_.items.size();
  restored_ = false;
  return backupWritten_;
}

void ImportCommand::restore() {
  if (!backupWritten_ || restored_) return;
  restored_ = true;
  std::vector<ListItem> items;
  if (readItemsFile(backupPath_, items) && items.size() == oldCount_) {
    list_.items = std::move(items);
    setAside_.clear();
    return;
  }
  // The copy kept in memory gives back the same items when the backup cannot be read.
  if (settings_.ImapCheck) {
    list_.items.resize(oldCount_);
  } else {
    list_.items = std::move(setAside_);
  }
}

void ImportCommand::dropTemporaryFiles() {
  linesFile_.remove();
  backupFile_.remove();
  lineValues_.clear();
  lineValues_.shrink_to_fit();
  setAside_.clear();
  setAside_.shrink_to_fit();
}

bool ImportCommand::importExported(const std::string& path) {
  const std::string work = platform::workingFolder();
  backupWritten_ = restored_ = false;
  imported_ = 0;
  dateRoles_ = {};
  lineValues_.clear();
  ImportFrame frame;

  Outcome outcome = Outcome::Cancelled;
  if (!linesFile_.create(work) || !backupFile_.create(work)) {
    ui_.warning(kDiskError);
  } else {
    linesPath_ = linesFile_.path();
    backupPath_ = backupFile_.path();
    try {
      outcome = runExported(path, frame);
    } catch (const std::exception&) {
      outcome = Outcome::Unexpected;
    }
  }

  bool succeeded = outcome == Outcome::Succeeded;
  if (outcome == Outcome::Unexpected) {
    ui_.warning("Unknown error. Import failed.\r\nProbably not a SNLG file.");
    ui_.setStatus("Import failed.");
    restore();
    dropTemporaryFiles();
    return false;
  }
  if (outcome == Outcome::Failed) {
    const Answer a = ui_.ask("ERROR!\r\n\n" + frame.errorText + "\r\n\n" + "Import as other (non-SNLG) type text file?",
                             "import failed", Buttons::YesNo, Icon::Exclamation);
    if (a == Answer::Yes) {
      restore();
      TextListOptions options;
      options.MircCheck = settings_.MircCheck;
      options.appendTo = settings_.ImapCheck ? list_.items.size() : 0;
      TextListResult r = readUnknownTextList(path, options, ui_);
      if (r.ok) {
        applyItems(std::move(r.items));
        succeeded = true;
      } else {
        ui_.setStatus("Import failed.");
      }
    }
  }
  if (!succeeded) {
    restore();
    ui_.setStatus(list_.items.empty() ? std::string("Import cancelled.")
                                      : "Import cancelled. " + std::to_string(list_.items.size()) + " items.");
  }
  dropTemporaryFiles();
  return succeeded;
}

ImportCommand::Outcome ImportCommand::runExported(const std::string& path, ImportFrame& frame) {
  ui_.setStatus("Importing, please wait...");
  platform::ReadFile file;
  if (!file.open(path)) {
    ui_.warning(kDiskError);
    return Outcome::Cancelled;
  }
  if (file.size() >= kLargestFile) {
    ui_.warning("File too large. Must be below 2 Gb.");
    return Outcome::Cancelled;
  }
  const size_t blockLength = static_cast<size_t>(std::min<int64_t>(kFirstBlock, file.size()));
  if (blockLength < kSmallestFile) {
    ui_.warning("Can't import files smaller than 512 bytes!");
    return Outcome::Cancelled;
  }
  // The block is followed by zero bytes, so a tag at its very end reads as a bad tag.
  std::string block(blockLength + 64, '\0');
  if (!file.readAt(0, block.data(), blockLength)) {
    ui_.warning(kDiskError);
    return Outcome::Cancelled;
  }
  auto toOutcome = [](StepResult r) { return r == StepResult::Failed ? Outcome::Failed : Outcome::Cancelled; };

  StepResult r = detectBody(file, std::string_view(block.data(), blockLength), frame, ui_);
  if (r == StepResult::Ok && frame.bodyKind == BodyKind::Text && settings_.stripcheck)
    r = stripHeaderFooter(file, blockLength, settings_, frame, ui_);
  if (r == StepResult::Ok) r = convertToLines(file, frame, linesPath_, ui_);
  file.close();
  if (r != StepResult::Ok) return toOutcome(r);

  FieldPlan plan;
  if (frame.bodyKind == BodyKind::Text) {
    r = analyseTextList(linesPath_, frame, plan, ui_);
    if (r != StepResult::Ok) return toOutcome(r);
  } else {
    plan = layoutFromTag(frame);
  }
  const Outcome pass = itemPass(frame, plan);
  if (pass != Outcome::Succeeded) {
    if (pass == Outcome::Failed) frame.errorText = errorText_;
    return pass;
  }
  const Outcome done = finish(frame);
  if (done == Outcome::Failed) frame.errorText = errorText_;
  return done;
}

ImportCommand::Outcome ImportCommand::itemPass(const ImportFrame& frame, const FieldPlan& plan) {
  if (!writeBackup()) {
    ui_.warning(kDiskError);
    return Outcome::Cancelled;
  }
  LineReader in;
  if (!in.open(linesPath_)) {
    ui_.warning(kDiskError);
    return Outcome::Cancelled;
  }
  if (!settings_.ImapCheck) {
    setAside_ = std::move(list_.items);
    list_.items.clear();
  }
  imported_ = 0;
  dateRoles_ = {};
  // Room for every line at once: growing a list of a million items step by step costs more
  // than counting the lines.
  const size_t lines = std::min(countLines(linesPath_), kMaxImportItems);
  list_.items.reserve(list_.items.size() + lines);
  lineValues_.reserve(lines);
  const int32_t today = platform::today();
  std::string line;
  size_t length = 0;
  std::vector<std::string> fields;
  while (in.readLine(line, length, kMaxLine + 1)) {
    if (!addItem(line, length, frame, plan, today, fields)) return Outcome::Failed;
    if (imported_ % kStatusEvery == 0) {
      ui_.setStatus("Imported " + std::to_string(imported_) + " items so far...");
      if (ui_.processEvents()) return Outcome::Cancelled;
    }
    if (list_.items.size() >= kMaxImportItems) {
      ui_.warning(kMillionItemsText);
      break;
    }
    if (imported_ % kAskEvery == 0) {
      const Answer a = ui_.ask("Note: you have successfully imported\r\n" + std::to_string(imported_) +
                                   " items so far. Continue?",
                               "WARNING!", Buttons::OkCancel, Icon::Exclamation);
      if (a != Answer::Ok) return Outcome::Cancelled;
    }
  }
  if (in.failed()) {
    ui_.warning(kDiskError);
    return Outcome::Cancelled;
  }
  list_.trim();
  lineValues_.shrink_to_fit();
  return Outcome::Succeeded;
}

bool ImportCommand::addItem(const std::string& line, size_t length, const ImportFrame& frame, const FieldPlan& plan,
                            int32_t today, std::vector<std::string>& fields) {
  const uint64_t n = imported_ + 1;
  if (length > kMaxLine) {
    errorText_ = "Line " + std::to_string(n) + " too long (" + std::to_string(length) +
                 " bytes) found.\r\nDisplaying first 64 characters:\r\n" + head(line, 64);
    return false;
  }
  const size_t firstNonBlank = line.find_first_not_of(' ');
  if (line.size() < 4 || firstNonBlank == std::string::npos || line.size() - firstNonBlank < 4) {
    errorText_ = "Too short line found. Content:\r\n" + line;
    return false;
  }
  if (!splitLine(line, n, frame, plan, fields, errorText_)) return false;

  ListItem item;
  item.bitrateCode = kBitrateNotGiven;
  item.frequencyCode = kFrequencyMixed;
  item.sizeKB = -1;
  item.frames = -1;
  item.fileDate = -1;
  item.stereoMode = kStereoModeMixed;
  item.averageKbps = 0;
  item.dateAdded = settings_.daRadio == 0 ? today : -1;
  LineValues values;
  const size_t F = static_cast<size_t>(plan.delimiterCount);
  for (size_t i = 0; i <= F; ++i)
    if (!parseField(plan.roles[i], fields[i], n, item, values, dateRoles_, errorText_)) return false;
  if (item.frames > 0) {
    const uint8_t code = values.hasFrequency ? item.frequencyCode : 0;
    item.frames = framesFromSeconds(item.frames, code == 1 || code == 2 ? code : 0);
  }
  list_.items.push_back(std::move(item));
  lineValues_.push_back(values);
  ++imported_;
  return true;
}

bool ImportCommand::eventsCancel(size_t done) {
  return done % kFinishEventsEvery == 0 && ui_.processEvents();
}

ImportCommand::Outcome ImportCommand::finish(const ImportFrame& frame) {
  const ShownFields carried = frame.layout.fields;
  const size_t first = list_.items.size() - imported_;
  const bool sizeKnown = carried.has(ShownField::Size);
  if (settings_.cmfcheck && carried.has(ShownField::Bitrate) && sizeKnown != carried.has(ShownField::Playtime)) {
    if (const Outcome o = calculateMissing(first, sizeKnown); o != Outcome::Succeeded) return o;
  }
  if (settings_.clabcheck && carried.has(ShownField::Path) && !carried.has(ShownField::VolumeLabel)) {
    if (const Outcome o = addVolumeLabels(first); o != Outcome::Succeeded) return o;
  }
  if (carried.has(ShownField::DateCreated) || carried.has(ShownField::DateAdded)) {
    if (const Outcome o = examineDates(frame, first); o != Outcome::Succeeded) return o;
  }

  list_.unsaved = true;
  const size_t total = list_.items.size();
  ui_.setStatus(total == imported_ ? "Imported " + std::to_string(imported_) + " items."
                                   : "Imported " + std::to_string(imported_) + ", total " +
                                         std::to_string(total) + " items.");
  if (settings_.shown != carried) {
    const Answer a = ui_.ask(
        "Options loaded differ from those set in main options window.\r\nThis may cause confusion if you use internal viewer now, in\r\ncases when some displayed fields are not imported and/or\r\nsome imported fields are not displayed."
        "\r\n\nDo you wish to adjust \"info to include\" options to\r\nthe imported file?  Note that default action is NO.",
        "options", Buttons::YesNo, Icon::Exclamation, Answer::No);
    if (a == Answer::Yes) settings_.shown = carried;
  }
  // Items appended after others do not keep the order the tag tells.
  const bool onlyImported = total == imported_;
  list_.sortCode = frame.bodyKind == BodyKind::Text || !onlyImported ? kSortUnsorted : frame.layout.sortState;
  return Outcome::Succeeded;
}

ImportCommand::Outcome ImportCommand::calculateMissing(size_t first, bool sizeKnown) {
  ui_.setStatus(std::string("Calculating missing ") + (sizeKnown ? "playtimes..." : "file sizes..."));
  if (ui_.processEvents()) return Outcome::Cancelled;
  for (size_t i = first; i < list_.items.size(); ++i) {
    if (eventsCancel(i - first + 1)) return Outcome::Cancelled;
    ListItem& it = list_.items[i];
    if (it.bitrateCode < 1 || it.bitrateCode > 14) continue;
    const int k = kKBPerSecond[it.bitrateCode];
    if (sizeKnown && it.sizeKB >= 0) {
      it.frames = framesFromSeconds(it.sizeKB / k, it.frequencyCode);
    } else if (!sizeKnown && it.frames >= 0) {
      // Whole seconds of the playtime, halves to even, as the time text shows them.
      const double seconds = std::nearbyint(playtimeSeconds(it));
      const double size = seconds * k;
      if (size <= 2147483647.0) it.sizeKB = static_cast<int32_t>(size);
    }
  }
  return Outcome::Succeeded;
}

ImportCommand::Outcome ImportCommand::examineDates(const ImportFrame& frame, size_t first) {
  DateOrder order;
  const uint8_t tagStyle = frame.bodyKind == BodyKind::Text ? 255 : frame.layout.dateStyle;
  const DateOrderResult r = resolveDateOrder(dateRoles_, tagStyle, settings_, ui_, order, errorText_);
  if (r == DateOrderResult::Failed) return Outcome::Failed;
  if (r == DateOrderResult::Cancelled) return Outcome::Cancelled;
  if (r != DateOrderResult::Ok) return Outcome::Succeeded;
  ui_.setStatus("Examining dates...");
  if (ui_.processEvents()) return Outcome::Cancelled;
  for (size_t i = first; i < list_.items.size(); ++i) {
    if (eventsCancel(i - first + 1)) return Outcome::Cancelled;
    ListItem& it = list_.items[i];
    const LineValues& v = lineValues_[i - first];
    int32_t day;
    if (v.created[0] != 0) {
      if (!dayNumberOfParts(v.created, order, day)) return Outcome::Unexpected;
      it.fileDate = day;
    }
    if (v.added[0] != 0) {
      if (!dayNumberOfParts(v.added, order, day)) return Outcome::Unexpected;
      it.dateAdded = day;
    }
  }
  return Outcome::Succeeded;
}

ImportCommand::Outcome ImportCommand::addVolumeLabels(size_t first) {
  ui_.setStatus("Adding fixed disks labels...");
  if (ui_.processEvents()) return Outcome::Cancelled;
  const VolumeLabels labels(volumes());
  for (size_t i = first; i < list_.items.size(); ++i) {
    if (eventsCancel(i - first + 1)) return Outcome::Cancelled;
    ListItem& it = list_.items[i];
    if (it.folder.empty()) continue;
    std::string label = labels.labelFor(it.folder);
    if (!label.empty()) it.volumeLabel = std::move(label);
  }
  return Outcome::Succeeded;
}

}  // namespace sonalog
