#include "duplicates/DupSearchUnit.h"

#include <cmath>
#include <ctime>

#include "platform/Dates.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Text.h"

namespace sonalog {

namespace {

constexpr int kCloseLeftWithDeletions = 296;
constexpr int kCloseLeftAlone = 384;
constexpr char kCrLf[] = "\r\n";

std::string currentTimeText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buffer[128];
  const size_t n = std::strftime(buffer, sizeof buffer, platform::longTimeFormat().c_str(), &local);
  return std::string(buffer, n);
}

}  // namespace

DupSearchRun::DupSearchRun(const std::vector<ListItem>& items, const DupSearchOptions& options)
    : items_(items), options_(options), marks_(std::make_unique<std::atomic<uint8_t>[]>(items.size())) {
  for (size_t i = 0; i < items.size(); ++i) marks_[i].store(1, std::memory_order_relaxed);
}

DupSearchRun::~DupSearchRun() {
  stop();
  join();
}

void DupSearchRun::start() {
  if (worker_.joinable()) return;
  state_ = kSearchRunning;
  ended_ = false;
  running_ = true;
  visible_ = kShowProgressBar | kShowProgressLabel | kShowAbortBut;
  worker_ = std::thread([this] { execute(); });
}

void DupSearchRun::answer(uint8_t answer) {
  uint8_t expected = kSearchRunning;
  if (asking_.load() && state_.compare_exchange_strong(expected, answer)) state_.notify_all();
}

void DupSearchRun::stop() {
  state_ = kSearchStop;
  state_.notify_all();
}

void DupSearchRun::publish(DupEvent event) {
  {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }
  eventsChanged_.notify_all();
}

std::vector<DupEvent> DupSearchRun::takeEvents() {
  std::lock_guard lock(mutex_);
  std::vector<DupEvent> out(std::make_move_iterator(events_.begin()), std::make_move_iterator(events_.end()));
  events_.clear();
  return out;
}

bool DupSearchRun::waitForEvent(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return eventsChanged_.wait_for(lock, timeout, [this] { return !events_.empty() || ended_.load(); });
}

void DupSearchRun::join() {
  if (worker_.joinable()) worker_.join();
}

std::vector<uint8_t> DupSearchRun::deletionMarks() const {
  std::vector<uint8_t> marks(items_.size());
  for (size_t i = 0; i < marks.size(); ++i) marks[i] = marks_[i].load();
  return marks;
}

EndButtons DupSearchRun::endButtons() const {
  EndButtons b;
  if (duplicates_.load() > 0) {
    b.abortCaption = "&UNDO";
    b.closeCaption = "&DELETE";
    b.closeLeft = kCloseLeftWithDeletions;
    b.abortVisible = b.saveLogVisible = true;
  } else {
    b.closeCaption = "&CLOSE";
    b.closeLeft = kCloseLeftAlone;
  }
  return b;
}

std::string DupSearchRun::deleteButton(InternalList& list) {
  join();
  listChanged_ = true;
  listChanged_ = performDeletions(list, deletionMarks());
  return std::to_string(list.itemCount()) + " items left.";
}

void DupSearchRun::abortButton() {
  stop();
  listChanged_ = false;
}

void DupSearchRun::close(InternalList& list, UserInterface& ui) {
  stop();
  join();
  if (running_.load() && duplicates_.load() > 0) {
    const Answer a = ui.ask(kRevertQuestion, kRevertCaption, Buttons::YesNo, Icon::Question, Answer::Yes);
    if (a == Answer::No) listChanged_ = performDeletions(list, deletionMarks());
  }
  running_ = false;
}

bool DupSearchRun::saveLogButton(const InternalList& list, UserInterface& ui, std::string& logFolder) {
  if (duplicates_.load() == 0) {
    ui.warning("Nothing to save.");
    return false;
  }
  FileDialog dialog;
  dialog.title = " - SAVE DELETION LOG AS - ";
  dialog.folder = logFolder;
  dialog.filters = {{"text files", {"*.txt"}}, {"log files", {"*.log"}}, {"all files", {"*.*"}}};
  dialog.filterIndex = 0;
  dialog.defaultExtension = "txt";
  const std::optional<FileDialogResult> chosen = ui.chooseSaveFile(dialog);
  if (!chosen || chosen->path.empty()) return false;
  savedLogPath_ = chosen->path;
  logFolder = platform::folderOf(chosen->path);
  return writeLog(chosen->path, list.items, ui);
}

bool DupSearchRun::writeLog(const std::string& path, const std::vector<ListItem>& items,
                            UserInterface& ui) const {
  const std::string text = logFileText(items, deletionMarks(), duplicates_.load(), options_.style,
                                       currentTimeText(), platform::formatShortDate(platform::today()));
  platform::AtomicFile file(path);
  if (!file.open() || !file.write(text) || !file.commit()) {
    ui.warning("Disk error.");
    return false;
  }
  return true;
}

bool performDeletions(InternalList& list, const std::vector<uint8_t>& marks) {
  size_t kept = 0;
  for (size_t i = 0; i < list.items.size(); ++i) {
    if (i < marks.size() && marks[i] == 0) continue;
    if (kept != i) list.items[kept] = std::move(list.items[i]);
    ++kept;
  }
  if (kept == list.items.size()) return false;
  list.items.resize(kept);
  list.unsaved = true;
  return true;
}

std::string fileLine(std::string_view prefix, const ListItem& item, const FieldStyle& style) {
  std::string line(prefix);
  line += item.fileName;
  for (const std::string& part : {timeText(item, style), sizeText(item.sizeKB, style), bitrateText(item, style),
                                  modeText(item.stereoMode, style), item.volumeLabel}) {
    line += ", ";
    line += part;
  }
  return line;
}

std::string finishText(uint32_t matches, uint32_t duplicates) {
  return "Finished. " + std::to_string(matches) + " matches found. " + std::to_string(duplicates) +
         " duplicates to be deleted.";
}

uint16_t rowProgress(uint32_t i, uint32_t n) {
  if (n < 3) return 0;
  const double x = static_cast<double>(i) / (n - 2);
  const double p = std::nearbyint(kProgressMax * (2 * x - x * x));
  return p >= kProgressMax ? kProgressMax : p <= 0 ? 0 : static_cast<uint16_t>(p);
}

std::string logFileText(const std::vector<ListItem>& items, const std::vector<uint8_t>& marks,
                        uint32_t duplicates, const FieldStyle& style, std::string_view timeText,
                        std::string_view dateText) {
  std::string out = "Mp3 Sonalog duplicates search log at ";
  out += timeText;
  out += ", ";
  out += dateText;
  out += kCrLf;
  out += std::to_string(duplicates) + " duplicates found:" + kCrLf;
  const bool omit = style.unknownStyle == 0;
  for (size_t i = 0; i < items.size() && i < marks.size(); ++i) {
    if (marks[i] != 0) continue;
    const ListItem& item = items[i];
    out += kCrLf;
    out += item.fileName;
    if (!omit || item.frames >= 0) out += ", " + sonalog::timeText(item, style);
    if (!omit || bitrateKnown(item.bitrateCode)) out += ", " + bitrateText(item, style);
    if (!omit || item.sizeKB >= 0) out += ", " + sizeText(item.sizeKB, style);
    if (!omit || item.stereoMode < kStereoModeMixed) out += ", " + modeText(item.stereoMode, style);
  }
  return out;
}

int logListSelection(size_t lineCount, int selected) {
  if (lineCount < 2) return 0;
  if (selected == static_cast<int>(lineCount) - 2) return static_cast<int>(lineCount) - 1;
  return selected;
}

}  // namespace sonalog
