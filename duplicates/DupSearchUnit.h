#pragma once
// The duplicates search run: a worker thread (TDyThread) walks every pair of items of the
// internal list, scores the names and queues one item of each matching pair for deletion,
// automatically or after asking. The window (or the command line) only shows what the run
// publishes and sends answers; the list itself changes only when the deletions are performed
// after the worker has ended.
//
// Sharing: the state byte, counters, progress, score, marks and visibility flags are atomics;
// log lines, prompts and the finish text travel through a mutex-guarded event queue. Every
// published value and event is exactly what the plain pair-by-pair search would produce, though
// the pairs are scored on every core.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/ListItem.h"
#include "duplicates/FileLabel.h"
#include "duplicates/TitleMatch.h"
#include "export/FieldText.h"
#include "platform/UserInterface.h"

namespace sonalog {

// searchState: the command and answer channel between the window and the worker.
inline constexpr uint8_t kSearchRunning = 0;  // running, or waiting for an answer
inline constexpr uint8_t kDelete1st = 1;
inline constexpr uint8_t kDelete2nd = 2;
inline constexpr uint8_t kLeaveBoth = 4;
inline constexpr uint8_t kSearchStop = 8;

// actionMode
inline constexpr uint8_t kActionAutomatic = 0;
inline constexpr uint8_t kActionAutomaticExact = 1;  // automatic only for 99-100% matches
inline constexpr uint8_t kActionManual = 2;

// The on-screen deletion log holds this many lines, then the notice, then nothing more.
inline constexpr size_t kLogListLimit = 30000;
inline constexpr char kLogFullNotice[] = "LOG FULL (30000 LINES). SEARCH CONTINUES WITHOUT DISPLAY.";
inline constexpr uint16_t kProgressMax = 1000;

inline constexpr char kCaptionSearching[] = " Searching, please wait...";
inline constexpr char kCaptionFinished[] = " Duplicates search";
inline constexpr char kProgressLabel[] = "Progress:";
inline constexpr char kRevertQuestion[] =
    "Do you wish to revert to previous list state?\r\n\nYES = undo all deletions\r\nNO = perform "
    "all the deletions confirmed so far";
inline constexpr char kRevertCaption[] = "cancel duplicates deletion";

// The window's controls whose visibility the worker decides (bits of visibleControls()).
enum DupControl : uint32_t {
  kShowProgressBar = 1u << 0,    // pbar
  kShowProgressLabel = 1u << 1,  // labprog
  kShowFinishLabel = 1u << 2,    // Invisilab
  kShowFileLabels = 1u << 3,     // labfile1, labfile2
  kShowAnswerButtons = 1u << 4,  // Del1But, Del2But, LeaveBut
  kShowAbortBut = 1u << 5,       // "&ABORT" while running, "&UNDO" at the end
  kShowSaveLogBut = 1u << 6,
  kShowCloseBut = 1u << 7,       // "&DELETE" or "&CLOSE"
};

struct DupSearchOptions {
  MatchOptions match;  // partThreshold as computed by GO; relaxed is ignored (always off here)
  uint8_t actionMode = kActionAutomaticExact;
  uint8_t threadPriority = 0;  // 0 low, 1 normal, 2 high
  FieldStyle style;            // field texts of the prompt lines and the log file
  unsigned threads = 0;        // scoring threads; 0: one per core
  PairSearch pairSearch = PairSearch::Auto;  // below 99: how pairs are found (same results)
};

// What the worker tells the window, in order.
struct DupEvent {
  enum class Kind {
    Log,       // append `text` to the deletion log list (already limited to 30000 + notice)
    Ask,       // show file1/file2, set caption and labprog to `text`, blink until answered
    AskEnd,    // back to kCaptionSearching / kProgressLabel, labels emptied and hidden
    Finished,  // `text` is the finish label; caption kCaptionFinished; end buttons
  };
  Kind kind = Kind::Log;
  std::string text;
  std::string file1, file2;  // Ask: the two file lines, not yet fitted to the label width
  uint8_t score = 0;         // Ask: the score of the pair
};

// The end buttons after a finished search.
struct EndButtons {
  std::string abortCaption;  // "&UNDO" (shown only with deletions)
  std::string closeCaption;  // "&DELETE" or "&CLOSE"
  int closeLeft = 0;         // 296 or 384
  bool abortVisible = false;
  bool saveLogVisible = false;
};

class DupSearchRun {
 public:
  // items: the internal list's items, unchanged while the worker runs.
  DupSearchRun(const std::vector<ListItem>& items, const DupSearchOptions& options);
  // Stops the worker (as closing the window does) and waits for it.
  ~DupSearchRun();
  DupSearchRun(const DupSearchRun&) = delete;
  DupSearchRun& operator=(const DupSearchRun&) = delete;

  // Starts the worker: searchState 0, every mark 1.
  void start();

  // ---- window -> worker ----
  // An answer to the pending prompt (kDelete1st, kDelete2nd, kLeaveBoth); ignored unless the
  // worker is waiting for one, so a stop is never overwritten.
  void answer(uint8_t answer);
  // "&ABORT"/"&UNDO", Escape, closing: the worker stops before its next pair.
  void stop();

  // ---- published by the worker ----
  uint32_t matchesFound() const { return matches_.load(); }
  uint32_t duplicatesToDelete() const { return duplicates_.load(); }
  uint16_t progress() const { return progress_.load(); }
  uint8_t currentScore() const { return score_.load(); }
  uint8_t searchState() const { return state_.load(); }
  // True from the start until the search ran to its end; stays true after a stop.
  bool searchRunning() const { return running_.load(); }
  bool workerEnded() const { return ended_.load(); }
  // True while the worker waits for an answer.
  bool asking() const { return asking_.load(); }
  uint32_t visibleControls() const { return visible_.load(); }
  // Events since the last call, in order.
  std::vector<DupEvent> takeEvents();
  // Waits until an event is queued or the worker has ended (true), or the timeout passed.
  bool waitForEvent(std::chrono::milliseconds timeout);
  // Waits for the worker to end.
  void join();

  // ---- after the worker has ended ----
  // 1 keep, 0 queued for deletion, per item.
  std::vector<uint8_t> deletionMarks() const;
  EndButtons endButtons() const;
  bool listChanged() const { return listChanged_; }

  // "&DELETE"/"&CLOSE": performs the deletions and returns the status text "<n> items left.".
  std::string deleteButton(InternalList& list);
  // "&ABORT"/"&UNDO": stop; the list stays as it was.
  void abortButton();
  // Closing the window by any way: stop, let the worker end, and when the search was stopped
  // with items queued, ask whether to revert (No performs the deletions made so far).
  void close(InternalList& list, UserInterface& ui);

  // "&SAVE LOG": asks for a file (initial folder logFolder, which becomes the chosen file's
  // folder) and writes the log of the queued items. False when nothing was written.
  bool saveLogButton(const InternalList& list, UserInterface& ui, std::string& logFolder);
  // Writes the log file to path; "Disk error." on failure. The list is the one searched.
  bool writeLog(const std::string& path, const std::vector<ListItem>& items, UserInterface& ui) const;
  // The file last saved, for "&VIEW LOG"; empty before a save.
  const std::string& savedLogPath() const { return savedLogPath_; }

 private:
  friend class TDyThread;
  void publish(DupEvent event);
  void execute();

  const std::vector<ListItem>& items_;
  DupSearchOptions options_;
  std::unique_ptr<std::atomic<uint8_t>[]> marks_;
  std::atomic<uint8_t> state_{kSearchRunning};
  std::atomic<uint32_t> matches_{0};
  std::atomic<uint32_t> duplicates_{0};
  std::atomic<uint16_t> progress_{0};
  std::atomic<uint8_t> score_{0};
  std::atomic<bool> running_{false};
  std::atomic<bool> ended_{false};
  std::atomic<bool> asking_{false};
  std::atomic<uint32_t> visible_{0};

  std::mutex mutex_;  // guards events_
  std::condition_variable eventsChanged_;
  std::deque<DupEvent> events_;

  std::thread worker_;
  bool listChanged_ = false;     // window thread only
  std::string savedLogPath_;     // window thread only
};

// Performs the deletions: the items whose mark is 1 move down over the marked ones in their
// order. True when the list lost items (it is then marked unsaved).
bool performDeletions(InternalList& list, const std::vector<uint8_t>& marks);

// The prompt's line for one item: prefix, name, time, size, bitrate, mode and volume label.
std::string fileLine(std::string_view prefix, const ListItem& item, const FieldStyle& style);

// The finish label's text.
std::string finishText(uint32_t matches, uint32_t duplicates);
// The progress before row i of n items (0..1000, weighted by the pairs done).
uint16_t rowProgress(uint32_t i, uint32_t n);
// The log file's text (see writeLog), at the given time and date texts.
std::string logFileText(const std::vector<ListItem>& items, const std::vector<uint8_t>& marks,
                        uint32_t duplicates, const FieldStyle& style, std::string_view timeText,
                        std::string_view dateText);

// The deletion log list's auto-scroll: after appending, line 0 is selected while the list has
// fewer than 2 lines; otherwise the last line follows only when the one before it was selected.
int logListSelection(size_t lineCount, int selected);

}  // namespace sonalog
