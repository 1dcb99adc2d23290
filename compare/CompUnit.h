#pragma once
// The compare run: a worker thread (TMyThread) that loads the external list, matches it against
// the internal list, asks where the options say so, and writes a log, writes a new list or
// removes items from the internal list. The progress window only displays what the run publishes
// (atomics for numbers, a guarded queue for texts and visibility) and sends answers through
// compareState; a GUI timer or a command-line loop polls the same interface.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "compare/CompareOptions.h"
#include "core/ListItem.h"

namespace sonalog {

// compareState: the window writes answers and commands, the worker resets it to 0 before it asks.
inline constexpr uint8_t kCompareRunning = 0;      // running / waiting for an answer
inline constexpr uint8_t kCompareMatch = 1;        // "&MATCH"
inline constexpr uint8_t kCompareDiffer = 2;       // "&DIFFER"
inline constexpr uint8_t kCompareDelete = 4;       // "&DELETE": perform the removal
inline constexpr uint8_t kCompareEnd = 8;          // end (abort, close)
inline constexpr uint8_t kCompareSave = 16;        // stop and write what was found so far
inline constexpr uint8_t kCompareStopLoading = 32; // stop the loading

// The progress window's controls that the run changes.
enum class CompControl : uint8_t {
  Caption, labprog, ProgressBar, Invisilab, labfile1, labfile2, labactlog, ActionTypeLab,
  LogList, MatchBut, DontMatchBut, ViewLogBut, DeleteBut, AbortBut,
};

// One change for the window to apply on its own thread, in order.
struct CompEvent {
  enum class Kind : uint8_t {
    Text,      // control's text or caption := text
    Visible,   // control shown (flag) or hidden
    Width,     // control's width := value pixels
    Left,      // control's left position := value pixels
    LogLine,   // append text to LogList
    Blink,     // the progress bar blinks (flag) or shows the progress
    Warning,   // the "Warning" box with text
    Question,  // a Yes/No question (text, caption); answer with answerQuestion()
  };
  Kind kind = Kind::Text;
  CompControl control = CompControl::Caption;
  std::string text;
  std::string caption;
  bool flag = false;
  int value = 0;
};

// Where the run is; the window uses it to decide what "&ABORT" and closing do.
enum class CompPhase : uint8_t {
  Idle,        // not started
  Loading,     // reading the external list
  Matching,    // scoring pairs
  Confirming,  // waiting for "&MATCH" / "&DIFFER"
  Writing,     // writing the output
  Removal,     // waiting for "&DELETE" (or anything else: no removal)
  Ended,       // the worker has ended
};

// How the run ended, for callers that report it.
enum class CompOutcome : uint8_t {
  None,        // still running
  Completed,   // wrote its output, found nothing to write, or performed the removal
  Declined,    // the removal was not confirmed
  Stopped,     // aborted, or a confirmation was answered with a stop; nothing written
  Failed,      // loading failed, nothing imported, or a write error
};

class TMyThread {
 public:
  // internal is changed only by a confirmed removal, after the matching has ended; the caller
  // keeps it alive and untouched until the worker has ended.
  TMyThread(InternalList& internal, CompareJob job);
  ~TMyThread();  // stops and joins a running worker
  TMyThread(const TMyThread&) = delete;
  TMyThread& operator=(const TMyThread&) = delete;

  // Starts the worker (the window's first timer tick): compareState := 0, "&ABORT" shown.
  void start();
  // Waits for the worker to end.
  void join();

  // --- window side ---------------------------------------------------------------------------
  // Moves the pending events into out (appending, in order).
  void takeEvents(std::vector<CompEvent>& out);
  // Blocks until an event is pending, the worker ended, or the timeout passed.
  void waitForEvents(std::chrono::milliseconds timeout);
  // "&MATCH", "&DIFFER", "&DELETE": sets compareState.
  void answer(uint8_t state);
  // "&CLOSE": list changed := true, compareState := 8.
  void close();
  // The answer to the last Question event.
  void answerQuestion(bool yes);
  // "&ABORT". While loading it stops the loader; while a removal waits it declines it. During
  // the matching it pauses the worker (no pair is scored until finishAbort) and returns the
  // stop question to ask ("prompt", Yes/No) when there is something to save; without one the
  // run ends at once. Call finishAbort after a returned question.
  std::optional<std::string> beginAbort();
  void finishAbort(bool save);

  // --- published state ----------------------------------------------------------------------
  uint8_t compareState() const { return state_.load(); }
  CompPhase phase() const { return phase_.load(); }
  bool workerRunning() const { return matchingRunning_.load(); }
  uint16_t progress() const { return progress_.load(); }
  uint8_t currentScore() const { return score_.load(); }
  uint32_t matches() const { return matches_.load(); }
  uint32_t uniqueCount() const { return unique_.load(); }
  bool listChanged() const { return listChanged_.load(); }
  CompOutcome outcome() const { return outcome_.load(); }
  // The finish label's text once the run finished (empty before).
  std::string finishText() const;
  // True once the worker has ended (joinable without blocking long).
  bool ended() const { return phase_.load() == CompPhase::Ended; }
  // The run finished with its output and now only waits for "&CLOSE".
  bool waitsForClose() const { return ended() && state_.load() != kCompareEnd; }

 private:
  friend class CompChannel;
  enum class MatchEnd { Done, Stop, Save };
  void run();
  bool load();
  MatchEnd match();
  // Asks about a candidate; returns the answer (compareState).
  uint8_t confirm(const class CompareMatcher& matcher, size_t r, size_t p, uint8_t score);
  void output();
  void showFinishLabel(const std::string& finish);
  void finish(const std::string& finish);
  void removal(uint32_t n);
  static unsigned helperThreads();

  // Publishing.
  void post(CompEvent e);
  void text(CompControl c, std::string t);
  void visible(CompControl c, bool on);
  void appendLog(const std::string& line);
  void warning(std::string t);
  bool ask(std::string text, std::string caption);
  // Blocks while an abort holds the worker; returns the state seen afterwards.
  uint8_t parkIfPaused();
  void setState(uint8_t s);
  void wake();
  bool stopLoadingRequested() const { return state_.load() == kCompareStopLoading; }

  InternalList& internal_;
  CompareJob job_;
  std::vector<ListItem> external_;
  uint8_t externalSortByte_ = 0;
  std::vector<uint8_t> outerMarks_;  // 1 = no match (yet), 0 = matched
  size_t outerDone_ = 0;             // outer items whose scan concluded
  uint32_t logLines_ = 0;

  std::atomic<uint8_t> state_{kCompareRunning};
  std::atomic<CompPhase> phase_{CompPhase::Idle};
  std::atomic<CompOutcome> outcome_{CompOutcome::None};
  std::atomic<bool> matchingRunning_{false};
  std::atomic<uint16_t> progress_{0};  // 0..1000
  std::atomic<uint8_t> score_{0};
  std::atomic<uint32_t> matches_{0};
  std::atomic<uint32_t> unique_{0};
  std::atomic<bool> listChanged_{false};
  std::atomic<uint8_t> questionAnswer_{0};  // 0 pending, 1 yes, 2 no
  std::atomic<bool> pauseRequested_{false};  // an abort holds the worker at its next stop test
  std::atomic<bool> parked_{false};          // the worker is held (or waits for a confirmation)
  std::atomic<bool> interrupt_{false};       // pause or end: helpers stop scoring, waits return
  std::atomic<bool> terminating_{false};     // the run object is being destroyed

  mutable std::mutex mutex_;  // guards events_, finishText_ and the waits below
  std::condition_variable cv_;
  std::deque<CompEvent> events_;
  std::string finishText_;
  std::thread thread_;
};

// The stop question for an abort during the matching, or nothing when there is nothing to save.
std::optional<std::string> abortQuestion(int actionType, uint32_t matches, uint32_t unique);

}  // namespace sonalog
