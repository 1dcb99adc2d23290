#include "compare/CompUnit.h"

#include <cmath>
#include <ctime>
#include <exception>

#include "compare/CompareAction.h"
#include "compare/CompareMatcher.h"
#include "compare/CompareReport.h"
#include "compare/ExternalList.h"
#include "core/ListFile.h"
#include "duplicates/TitleMatch.h"
#include "platform/Paths.h"
#include "platform/Threads.h"

namespace sonalog {

namespace {

constexpr uint32_t kLogListLimit = 30000;
constexpr const char* kLogFullLine =
    "LOG FULL (30,000 ENTRIES). COMPARISON CONTINUES WITHOUT DISPLAY.";
constexpr const char* kSearchingCaption = " Searching, please wait...";
constexpr const char* kProgressLabel = "Progress:";
constexpr const char* kFinishedCaption = " Lists comparison";
// Left positions of DeleteBut: "&DELETE" beside "&ABORT", "&CLOSE" alone in the middle.
constexpr int kDeleteButLeft = 296;
constexpr int kCloseButLeft = 384;

// The progress of outer item r of n: 1000 r / (n - 1) + 0.4, halves to even.
uint16_t progressOf(size_t r, size_t n) {
  if (n < 2) return 0;
  return static_cast<uint16_t>(std::nearbyint(1000.0 * static_cast<double>(r) /
                                                  static_cast<double>(n - 1) + 0.4));
}

CompEvent eventOf(CompEvent::Kind kind, CompControl control = CompControl::Caption) {
  CompEvent e;
  e.kind = kind;
  e.control = control;
  return e;
}

}  // namespace

// The loaders' view of the run: texts go to the window, questions wait for its answer.
class CompChannel : public LoadChannel {
 public:
  explicit CompChannel(TMyThread& run) : run_(run) {}
  void status(std::string text) override { run_.text(CompControl::labfile1, std::move(text)); }
  void statusWidth(int pixels) override {
    CompEvent e = eventOf(CompEvent::Kind::Width, CompControl::labfile1);
    e.value = pixels;
    run_.post(std::move(e));
  }
  void warning(std::string text) override { run_.warning(std::move(text)); }
  bool ask(std::string text, std::string caption) override {
    return run_.ask(std::move(text), std::move(caption));
  }
  bool stopRequested() override {
    return run_.stopLoadingRequested() || run_.terminating_.load();
  }

 private:
  TMyThread& run_;
};

std::optional<std::string> abortQuestion(int type, uint32_t matches, uint32_t unique) {
  switch (actionTypeOf(type)) {
    case ActionType::ExternalUniqueToLog:
    case ActionType::InternalUniqueToLog:
      if (unique > 0) return "Save the log without matches found so far?";
      break;
    case ActionType::ExternalUniqueToList:
    case ActionType::InternalUniqueToList:
      if (unique > 0) return "Save the list without matches found so far?";
      break;
    case ActionType::ExternalMatchesToLog:
    case ActionType::ExternalMatchesToList:
    case ActionType::InternalMatchesToLog:
    case ActionType::InternalMatchesToList:
      if (matches > 0) return "Save the matches found so far?";
      break;
    case ActionType::RemoveMatched:
    case ActionType::RemoveUnique: break;
  }
  return std::nullopt;
}

TMyThread::TMyThread(InternalList& internal, CompareJob job)
    : internal_(internal), job_(std::move(job)) {
  job_.settings.compareWith &= 1;
  job_.settings.compareAction %= kCompareActionCount;
}

TMyThread::~TMyThread() {
  if (thread_.joinable()) {
    terminating_.store(true);
    interrupt_.store(true);
    pauseRequested_.store(false);
    setState(kCompareEnd);
    thread_.join();
  }
}

void TMyThread::start() {
  state_.store(kCompareRunning);
  phase_.store(CompPhase::Loading);
  visible(CompControl::AbortBut, true);
  thread_ = std::thread([this] { run(); });
}

void TMyThread::join() {
  if (thread_.joinable()) thread_.join();
}

// --- window side -----------------------------------------------------------------------------

void TMyThread::takeEvents(std::vector<CompEvent>& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (CompEvent& e : events_) out.push_back(std::move(e));
  events_.clear();
}

void TMyThread::waitForEvents(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  cv_.wait_for(lock, timeout,
               [this] { return !events_.empty() || phase_.load() == CompPhase::Ended; });
}

void TMyThread::answer(uint8_t state) { setState(state); }

void TMyThread::close() {
  listChanged_.store(true);
  setState(kCompareEnd);
}

void TMyThread::answerQuestion(bool yes) {
  questionAnswer_.store(yes ? 1 : 2);
  wake();
}

std::optional<std::string> TMyThread::beginAbort() {
  switch (phase_.load()) {
    case CompPhase::Loading:
      setState(kCompareStopLoading);
      return std::nullopt;
    case CompPhase::Removal:
      setState(kCompareEnd);
      return std::nullopt;
    case CompPhase::Matching:
    case CompPhase::Confirming:
      break;
    default:
      return std::nullopt;
  }
  interrupt_.store(true);
  pauseRequested_.store(true);
  wake();
  {
    // The worker parks at its next stop test (within eight pairs) or already waits for a
    // confirmation; it may also have just left the matching.
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [this] {
      const CompPhase p = phase_.load();
      return parked_.load() || (p != CompPhase::Matching && p != CompPhase::Confirming);
    });
  }
  if (!parked_.load()) {
    pauseRequested_.store(false);
    interrupt_.store(false);
    wake();
    return std::nullopt;
  }
  setState(kCompareEnd);
  auto question = abortQuestion(job_.settings.compareAction, matches_.load(), unique_.load());
  if (!question) finishAbort(false);
  return question;
}

void TMyThread::finishAbort(bool save) {
  if (save) setState(kCompareSave);
  pauseRequested_.store(false);
  interrupt_.store(false);
  wake();
}

std::string TMyThread::finishText() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return finishText_;
}

// --- publishing ------------------------------------------------------------------------------

void TMyThread::post(CompEvent e) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(e));
  }
  cv_.notify_all();
}

void TMyThread::text(CompControl c, std::string t) {
  CompEvent e = eventOf(CompEvent::Kind::Text, c);
  e.text = std::move(t);
  post(std::move(e));
}

void TMyThread::visible(CompControl c, bool on) {
  CompEvent e = eventOf(CompEvent::Kind::Visible, c);
  e.flag = on;
  post(std::move(e));
}

void TMyThread::appendLog(const std::string& line) {
  // The list on screen stops at 30000 lines; the run and its output go on.
  if (logLines_ < kLogListLimit) {
    CompEvent e = eventOf(CompEvent::Kind::LogLine, CompControl::LogList);
    e.text = line;
    post(std::move(e));
  } else if (logLines_ == kLogListLimit) {
    CompEvent e = eventOf(CompEvent::Kind::LogLine, CompControl::LogList);
    e.text = kLogFullLine;
    post(std::move(e));
  }
  if (logLines_ <= kLogListLimit) ++logLines_;
}

void TMyThread::warning(std::string t) {
  CompEvent e = eventOf(CompEvent::Kind::Warning);
  e.text = std::move(t);
  post(std::move(e));
}

bool TMyThread::ask(std::string question, std::string caption) {
  questionAnswer_.store(0);
  CompEvent e = eventOf(CompEvent::Kind::Question);
  e.text = std::move(question);
  e.caption = std::move(caption);
  post(std::move(e));
  std::unique_lock<std::mutex> lock(mutex_);
  cv_.wait(lock, [this] { return questionAnswer_.load() != 0 || terminating_.load(); });
  return questionAnswer_.load() == 1;
}

void TMyThread::setState(uint8_t s) {
  state_.store(s);
  wake();
}

void TMyThread::wake() {
  { std::lock_guard<std::mutex> lock(mutex_); }
  cv_.notify_all();
}

uint8_t TMyThread::parkIfPaused() {
  if (pauseRequested_.load()) {
    std::unique_lock<std::mutex> lock(mutex_);
    parked_.store(true);
    cv_.notify_all();
    cv_.wait(lock, [this] { return !pauseRequested_.load(); });
    parked_.store(false);
  }
  return state_.load();
}

// --- the worker ------------------------------------------------------------------------------

void TMyThread::run() {
  platform::setCurrentThreadPriority(job_.settings.threadPriority);
  const int type = job_.settings.compareAction;
  try {
    text(CompControl::labactlog, reportsUnique(type) ? "Unique log" : "Matches log");
    if (!load()) {
      external_.clear();
      outcome_.store(CompOutcome::Failed);
    } else {
      const MatchEnd end = match();
      if (end == MatchEnd::Stop) {
        outcome_.store(CompOutcome::Stopped);
      } else {
        output();
      }
    }
  } catch (const std::exception&) {
    // Out of memory while matching or writing: nothing is changed, the run ends.
    warning("Unknown error occurred while comparing lists.");
    outcome_.store(CompOutcome::Failed);
  }
  matchingRunning_.store(false);
  if (outcome_.load() != CompOutcome::Completed) state_.store(kCompareEnd);
  phase_.store(CompPhase::Ended);
  wake();
}

bool TMyThread::load() {
  CompChannel channel(*this);
  ExternalList list;
  bool ok;
  if (job_.settings.compareWith == 0) {
    ok = loadExternalListFile(job_.inputPath, list, channel);
  } else {
    ok = loadExternalTextList(job_.inputPath, job_.settings.examineBangLines, list, channel);
  }
  if (!ok) return false;
  if (list.items.empty()) {
    warning("Nothing imported.");
    return false;
  }
  external_ = std::move(list.items);
  externalSortByte_ = list.sortByte;
  return true;
}

TMyThread::MatchEnd TMyThread::match() {
  const int type = job_.settings.compareAction;
  const uint8_t mode = job_.settings.actionMode;
  CompareMatcher matcher(internal_.items, external_, job_);
  const size_t outerCount = matcher.outerCount();
  const size_t innerCount = matcher.innerCount();
  outerMarks_.assign(outerCount, 1);
  outerDone_ = 0;
  matches_.store(0);
  unique_.store(0);
  matchingRunning_.store(true);
  phase_.store(CompPhase::Matching);
  CandidateLookahead lookahead(matcher, interrupt_, helperThreads());
  CompareMatcher::Scanner scanner(matcher);

  // Pairs scored so far in the order of the plain algorithm; compareState is read before every
  // eighth. Stretches that the lookahead or a scan already settled are skipped over at once; the
  // pair-by-pair path runs only while an abort holds the run, so that it parks at a stop test.
  uint64_t pairs = 0;
  for (size_t r = 0; r < outerCount; ++r) {
    progress_.store(progressOf(r, outerCount));
    size_t p = 0;
    bool matched = false;
    while (p < innerCount) {
      size_t q = innerCount;
      uint8_t score = 0;
      bool settled = false;
      if (!interrupt_.load() && state_.load() == kCompareRunning) {
        if (p == 0) {
          CandidateLookahead::Found f{};
          if (lookahead.get(r, f)) {
            q = f.index;
            score = f.score;
            settled = true;
          }
        } else {
          // After "&DIFFER": the rest of the row, a chunk at a time.
          settled = true;
          while (p < innerCount) {
            const size_t end = std::min(innerCount, p + 512);
            q = matcher.scan(scanner, r, p, end, &score);
            if (q < end) break;
            pairs += end - p;
            p = end;
            q = innerCount;
            if (interrupt_.load()) {
              settled = false;
              break;
            }
          }
        }
      }
      if (settled) {
        pairs += (q < innerCount ? q + 1 : innerCount) - p;
        p = q;
        if (q == innerCount) break;
      } else {
        if (p == innerCount) break;
        if (((pairs + 1) & 7) == 0) {
          const uint8_t st = parkIfPaused();
          if (st == kCompareEnd) return MatchEnd::Stop;
          if (st == kCompareSave) return MatchEnd::Save;
        }
        const PairVerdict v = matcher.test(r, p);
        ++pairs;
        score_.store(v.score);
        if (!v.candidate) {
          ++p;
          continue;
        }
        q = p;
        score = v.score;
      }

      // A candidate: accepted at once, or after the user's answer.
      score_.store(score);
      const bool automatic = mode == 0 || (mode == 1 && score >= kThresholdLetters);
      if (!automatic) {
        const uint8_t st = confirm(matcher, r, q, score);
        if (st == kCompareDiffer) {
          p = q + 1;
          continue;
        }
        if (st == kCompareSave) return MatchEnd::Save;
        if (st != kCompareMatch) return MatchEnd::Stop;
      }
      matches_.fetch_add(1);
      outerMarks_[r] = 0;
      if (!reportsUnique(type)) appendLog(matcher.outer(r).fileName);
      matched = true;
      break;
    }
    if (!matched && countsUnmatched(type)) {
      if (reportsUnique(type)) appendLog(matcher.outer(r).fileName);
      unique_.fetch_add(1);
    }
    outerDone_ = r + 1;
  }
  return MatchEnd::Done;
}

uint8_t TMyThread::confirm(const CompareMatcher& matcher, size_t r, size_t p, uint8_t score) {
  const int type = job_.settings.compareAction;
  const bool matchPrefix = walksExternal(type);
  const FieldStyle& style = job_.settings.fieldStyle;
  text(CompControl::labfile1, confirmLine(matchPrefix ? "Match 1: " : "File 1: ",
                                          matcher.internalItem(r, p), style));
  text(CompControl::labfile2, confirmLine(matchPrefix ? "Match 2: " : "File 2: ",
                                          matcher.externalItem(r, p), style));
  visible(CompControl::labfile1, true);
  visible(CompControl::labfile2, true);
  setState(kCompareRunning);
  phase_.store(CompPhase::Confirming);
  const std::string prompt = " Please confirm this " + std::to_string(score) + " % match:";
  text(CompControl::Caption, prompt);
  text(CompControl::labprog, prompt);
  CompEvent blink = eventOf(CompEvent::Kind::Blink, CompControl::ProgressBar);
  blink.flag = true;
  post(blink);
  visible(CompControl::DontMatchBut, true);
  visible(CompControl::MatchBut, true);
  uint8_t st;
  {
    // Waiting for an answer counts as parked: an abort may ask its question meanwhile.
    std::unique_lock<std::mutex> lock(mutex_);
    parked_.store(true);
    cv_.notify_all();
    cv_.wait(lock, [this] {
      return (state_.load() != kCompareRunning && !pauseRequested_.load()) || terminating_.load();
    });
    parked_.store(false);
    st = state_.load();
  }
  phase_.store(CompPhase::Matching);
  text(CompControl::Caption, kSearchingCaption);
  text(CompControl::labprog, kProgressLabel);
  blink.flag = false;
  post(blink);
  visible(CompControl::MatchBut, false);
  visible(CompControl::DontMatchBut, false);
  // The answer is taken; the state goes back to running for the stop tests.
  if (st == kCompareMatch || st == kCompareDiffer) state_.store(kCompareRunning);
  return st;
}

unsigned TMyThread::helperThreads() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : cores;
}

void TMyThread::output() {
  matchingRunning_.store(false);
  phase_.store(CompPhase::Writing);
  const int type = job_.settings.compareAction;
  const uint32_t unique = unique_.load();
  const uint32_t matched = matches_.load();
  const ActionType action = actionTypeOf(type);
  const uint32_t n = countsUnique(type) ? unique : matched;
  if (n == 0) {
    finish(std::string(nothingText(type)));
    return;
  }
  if (isRemoval(type)) {
    removal(n);
    return;
  }
  text(CompControl::labfile1, "Saving report...");

  // The outer items to write: those that concluded without a match, or with one.
  const bool wantUnique = reportsUnique(type);
  const std::vector<ListItem>& outer = walksExternal(type) ? external_ : internal_.items;
  std::vector<size_t> chosen;
  chosen.reserve(n);
  for (size_t r = 0; r < outerDone_; ++r)
    if ((outerMarks_[r] == 1) == wantUnique) chosen.push_back(r);

  bool ok;
  if (outputOf(type) == OutputKind::Text) {
    const bool externalIsText = job_.settings.compareWith == 1;
    std::vector<std::string> entries;
    entries.reserve(chosen.size());
    for (size_t r : chosen)
      entries.push_back(logEntry(type, outer[r], externalIsText, job_.settings.fieldStyle));
    const std::string header =
        logHeader(type, n, platform::fileNameOf(job_.inputPath), std::time(nullptr));
    ok = writeLogFile(job_.outputPath, header, entries);
  } else {
    std::vector<ListItem> items;
    items.reserve(chosen.size());
    for (size_t r : chosen) {
      ListItem item = outer[r];
      if (action == ActionType::ExternalUniqueToList) {
        // Unique titles of another collection: where and when they were found means nothing here.
        item.fileDate = -1;
        item.dateAdded = -1;
        item.folder.clear();
        item.volumeLabel.clear();
      } else if (action == ActionType::ExternalMatchesToList) {
        item.fileDate = -1;
      }
      items.push_back(std::move(item));
    }
    const uint8_t sortByte = walksExternal(type) ? externalSortByte_ : internal_.sortCode;
    ok = writeListFile(job_.outputPath, items, sortByte);
  }
  if (!ok) {
    warning(std::string(writeErrorText(type)));
    outcome_.store(CompOutcome::Failed);
    return;
  }
  finish(sonalog::finishText(type, n));
  if (outputOf(type) == OutputKind::Text) visible(CompControl::ViewLogBut, true);
}

void TMyThread::showFinishLabel(const std::string& finish) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finishText_ = finish;
  }
  visible(CompControl::ProgressBar, false);
  visible(CompControl::labprog, false);
  text(CompControl::Invisilab, finish);
  visible(CompControl::Invisilab, true);
}

void TMyThread::finish(const std::string& finish) {
  showFinishLabel(finish);
  visible(CompControl::labfile1, false);
  visible(CompControl::labfile2, false);
  text(CompControl::DeleteBut, "&CLOSE");
  CompEvent left = eventOf(CompEvent::Kind::Left, CompControl::DeleteBut);
  left.value = kCloseButLeft;
  post(left);
  visible(CompControl::DeleteBut, true);
  visible(CompControl::AbortBut, false);
  text(CompControl::Caption, kFinishedCaption);
  outcome_.store(CompOutcome::Completed);
}

void TMyThread::removal(uint32_t n) {
  const int type = job_.settings.compareAction;
  setState(kCompareRunning);
  phase_.store(CompPhase::Removal);
  showFinishLabel(sonalog::finishText(type, n));
  // The matching is over: no pair is being compared while the removal waits.
  visible(CompControl::labfile1, false);
  visible(CompControl::labfile2, false);
  text(CompControl::Caption, kFinishedCaption);
  CompEvent left = eventOf(CompEvent::Kind::Left, CompControl::DeleteBut);
  left.value = kDeleteButLeft;
  post(left);
  text(CompControl::DeleteBut, "&DELETE");
  visible(CompControl::DeleteBut, true);
  uint8_t st;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [this] { return state_.load() != kCompareRunning || terminating_.load(); });
    st = state_.load();
  }
  if (st != kCompareDelete || terminating_.load()) {
    outcome_.store(CompOutcome::Declined);
    return;
  }
  // Keep the unmatched items (RemoveMatched) or the matched ones (RemoveUnique), in their order.
  const uint8_t keepMark = actionTypeOf(type) == ActionType::RemoveMatched ? 1 : 0;
  std::vector<ListItem>& items = internal_.items;
  size_t kept = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    if (outerMarks_[i] != keepMark) continue;
    if (kept != i) items[kept] = std::move(items[i]);
    ++kept;
  }
  items.resize(kept);
  items.shrink_to_fit();
  internal_.unsaved = true;
  listChanged_.store(true);
  outcome_.store(CompOutcome::Completed);
  state_.store(kCompareEnd);
}

}  // namespace sonalog
