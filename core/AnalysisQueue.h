#pragma once
// Analyses mp3 files on a small pool of threads ahead of the thread that uses the results, which
// takes them strictly in the order the files were queued: the user sees exactly what analysing
// one file after another gives, while the other cores (and the disk) work on the next files.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/Mp3Analysis.h"

namespace sonalog {

// Threads an analysis queue uses at most: past this the disk, not the cores, sets the pace.
inline constexpr unsigned kMaxAnalysisThreads = 8;

// The threads to analyse with for a requested count: 0 means one per core (at most
// kMaxAnalysisThreads); 1 means the caller's thread alone, the plain sequential analysis.
unsigned analysisThreads(unsigned requested);

// Helper threads and their hand-offs cost more than they save while each file takes a few
// microseconds (fast mode on cached files). A queue left to choose its threads starts them once
// one file has taken this long on the caller's thread: a file read from the disk, or counting
// every frame of a long file.
inline constexpr auto kHelpersPayAfter = std::chrono::microseconds(200);

// Files whose first and last blocks a queue asks the disk for ahead of their analysis.
inline constexpr size_t kFilesReadAhead = 200;

class AnalysisQueue {
 public:
  // threads as for analysisThreads(); the caller's own thread counts as one of them. A count
  // asked for starts its helpers at once; 0 starts them only when they pay (kHelpersPayAfter).
  // Once helpers run, kFilesReadAhead files queued past the analysis window have their first and
  // last blocks requested from the disk as they are queued, so that on a cold cache the disk works
  // on many files at once instead of on the one or two being analysed.
  AnalysisQueue(AnalysisMode mode, unsigned threads);
  // Each helper finishes the file in its hands, then all are joined.
  ~AnalysisQueue();
  AnalysisQueue(const AnalysisQueue&) = delete;
  AnalysisQueue& operator=(const AnalysisQueue&) = delete;

  // Files queued and not yet taken.
  size_t pending() const;
  // How many files to keep queued: the analysis window (helpers analyse only that far ahead, which
  // bounds the memory and the work a cancel wastes) and the read-ahead beyond it.
  size_t lookahead() const { return depth_ + kFilesReadAhead; }
  void push(std::string path);
  // The analysis of the oldest queued file (as Mp3Analyser::analyseFile): waits for a helper that
  // has it in hand, or analyses it on this thread when no helper has started it.
  bool take(Mp3AnalysisResult& result);

 private:
  struct Slot {
    std::string path;
    bool started = false;
    bool done = false;
    bool ok = false;
    Mp3AnalysisResult result;
  };

  void startHelpers();
  void helper();
  void reader();

  const AnalysisMode mode_;
  const unsigned threads_;      // the caller's and the helpers', once they run
  const bool startWhenSlow_;    // helpers wait for a slow file
  size_t depth_ = 1;            // changed under mutex_ when the helpers start
  Mp3Analyser own_;  // the taking thread's
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::shared_ptr<Slot>> slots_;  // oldest first
  bool stopping_ = false;
  std::vector<std::thread> helpers_;
  // Files whose blocks to request, and the thread requesting them: a request can wait for the
  // file system's own bookkeeping, which the analysing threads should not.
  std::deque<std::shared_ptr<Slot>> toRequest_;  // filled only while the reader runs
  bool requesting_ = false;
  std::condition_variable requestQueued_;
  std::thread reader_;
};

}  // namespace sonalog
